#include "data/TDM.h"

#include "config/IniFile.h"
#include "config/Messages.h"
#include "config/ProgramFolder.h"
#include "data/DatabaseError.h"

TDM* DM = nullptr;

namespace {

const QStringList kVisitasPorDataHead = {
    QStringLiteral("SELECT VISITAS.CPF, VISITAS.VISITADO, VISITAS.DATA_VISITA, VISITAS.HORA_VISITA, "
                   "VISITAS.DATA_SAIDA, VISITAS.HORA_SAIDA, VISITAS.PORTARIA, VISITAS.LIBERADO_POR,"),
    QStringLiteral(
        "VISITAS.ID_LOCAL_VISITADO, VISITANTES.TIPO, VISITANTES.VECTO_INTEGRACAO, VISITANTES.NOME, "
        "VISITANTES.FOTO, VISITANTES.EMPRESA, VISITANTES.OBS, LOCALIDADES.LOCALIDADE"),
    QStringLiteral(
        "FROM (VISITAS INNER JOIN LOCALIDADES ON VISITAS.ID_LOCAL_VISITADO = LOCALIDADES.ID) INNER "
        "JOIN VISITANTES ON VISITAS.CPF = VISITANTES.CPF"),
};
const QString kVisitasPorDataOrder = QStringLiteral("ORDER BY VISITAS.DATA_VISITA, VISITAS.HORA_VISITA");

} // namespace

TDM::TDM(QObject* parent)
    : QObject(parent),
      qryLocaliza(FDConn, {QStringLiteral("SELECT CPF, NOME, EMPRESA, TELEFONE, RG, "),
                           QStringLiteral("ID_LOCAL_VISITADO, VISITADO, FOTO, OBS,"),
                           QStringLiteral("TIPO, VECTO_INTEGRACAO, DOCTO"), QStringLiteral("FROM VISITANTES"),
                           QStringLiteral("WHERE CPF =:CPF")}),
      qryLocalizaPorNome(FDConn,
                         {QStringLiteral("select CPF, NOME, EMPRESA, TELEFONE, RG, "),
                          QStringLiteral("ID_LOCAL_VISITADO, VISITADO, URL_FOTO,"),
                          QStringLiteral("FOTO, OBS, TIPO, VECTO_INTEGRACAO, DOCTO"),
                          QStringLiteral("from VISITANTES"), QStringLiteral("where NOME like :pNome")}),
      qryLocalizaPorEmpresa(
          FDConn, {QStringLiteral("select CPF, NOME, EMPRESA, TELEFONE, RG, ID_LOCAL_VISITADO, "),
                   QStringLiteral("VISITADO, URL_FOTO, FOTO, OBS, TIPO, VECTO_INTEGRACAO"),
                   QStringLiteral("from VISITANTES "), QStringLiteral("where EMPRESA like :wEmpresa")}),
      qryLocalidades(FDConn,
                     {QStringLiteral("select * from LOCALIDADES"), QStringLiteral("ORDER BY LOCALIDADE")}),
      qryVisitasPorData(FDConn, kVisitasPorDataHead +
                                    QStringList{QStringLiteral("WHERE VISITAS.DATA_VISITA >=:D1 AND "
                                                               "VISITAS.DATA_VISITA <=:D2"),
                                                kVisitasPorDataOrder}),
      qryVisitasPorDataPorLocalidade(
          FDConn,
          kVisitasPorDataHead +
              QStringList{QStringLiteral("WHERE VISITAS.DATA_VISITA >=:WDATA_INI AND VISITAS.DATA_VISITA "
                                         "<=:WDATA_FIN AND VISITAS.ID_LOCAL_VISITADO=:WID"),
                          kVisitasPorDataOrder}),
      qryVisitasDoVisitante(
          FDConn,
          {QStringLiteral("SELECT VISITANTES.CPF, VISITANTES.NOME, VISITANTES.FOTO, VISITANTES.EMPRESA, "
                          "VISITANTES.OBS, VISITANTES.TIPO, VISITANTES.VECTO_INTEGRACAO, "),
           QStringLiteral("VISITAS.ID_LOCAL_VISITADO, LOCALIDADES.LOCALIDADE, "),
           QStringLiteral("VISITAS.VISITADO, VISITAS.DATA_VISITA, VISITAS.HORA_VISITA, VISITAS.DATA_SAIDA, "
                          "VISITAS.HORA_SAIDA, "),
           QStringLiteral("VISITAS.LIBERADO_POR, VISITAS.PORTARIA"),
           QStringLiteral("FROM LOCALIDADES INNER JOIN (VISITANTES INNER JOIN VISITAS ON VISITANTES.CPF = "
                          "VISITAS.CPF) ON LOCALIDADES.ID = VISITAS.ID_LOCAL_VISITADO"),
           QStringLiteral("WHERE VISITAS.CPF =:WCPF AND"),
           QStringLiteral("VISITAS.DATA_VISITA >= :D1 AND VISITAS.DATA_VISITA <= :D2"),
           QStringLiteral("ORDER BY VISITAS.DATA_VISITA DESC")}),
      qryCrachasEmAberto(
          FDConn,
          {QStringLiteral("SELECT VISITAS.CRACHA, VISITAS.CPF, VISITANTES.NOME, VISITANTES.EMPRESA, "
                          "VISITANTES.FOTO, LOCALIDADES.LOCALIDADE, VISITAS.VISITADO, VISITAS.DATA_VISITA, "
                          "VISITAS.HORA_VISITA, VISITAS.PORTARIA"),
           QStringLiteral("FROM LOCALIDADES INNER JOIN (VISITANTES INNER JOIN VISITAS ON VISITANTES.CPF = "
                          "VISITAS.CPF) ON LOCALIDADES.ID = VISITAS.ID_LOCAL_VISITADO"),
           QStringLiteral("WHERE VISITAS.SITUACAO_CRACHA ='ABERTO' AND"),
           QStringLiteral("VISITAS.CRACHA > 0"), QStringLiteral("ORDER BY VISITAS.cracha")}),
      qryBuscaCracha(
          FDConn,
          {QStringLiteral(
               "select visitas.cpf, visitas.id_local_visitado, visitas.visitado, visitas.data_visita, "
               "visitas.hora_visita, visitas.cracha, visitas.situacao_cracha, visitas.data_saida, "
               "visitas.hora_saida, visitas.portaria, visitas.liberado_por, visitantes.nome, "
               "visitantes.empresa, visitantes.rg, visitantes.visitado, visitantes.foto, "
               "localidades.localidade"),
           QStringLiteral("from visitas"),
           QStringLiteral("left outer join visitantes on (visitas.cpf = visitantes.cpf)"),
           QStringLiteral("inner join localidades on (visitantes.id_local_visitado = localidades.id)"),
           QStringLiteral("WHERE CRACHA =:CRACHA"), QStringLiteral("AND"),
           QStringLiteral("visitas.data_visita =:DATA")}),
      qryNroCrachaAberto(FDConn, {QStringLiteral("SELECT CRACHA"), QStringLiteral("FROM VISITAS"),
                                  QStringLiteral("WHERE SITUACAO_CRACHA ='ABERTO' AND CRACHA =:CRACHA")}),
      DS_LocalizaPorNome(qryLocalizaPorNome), DS_LocalizaPorEmpresa(qryLocalizaPorEmpresa),
      DS_Localidades(qryLocalidades), DS_VisitasPorData(qryVisitasPorData),
      DS_VisitasPorDataPorLocalidade(qryVisitasPorDataPorLocalidade),
      DS_VisitasDoVisitante(qryVisitasDoVisitante), DS_CrachasAbertos(qryCrachasEmAberto),
      dsBuscaCracha(qryBuscaCracha), SP_DataHora_Server(FDConn, QStringLiteral("DATA_HORA_SERVER")),
      SP_INS_UDP_VISITANTES(FDConn, QStringLiteral("VISITANTES_INS_UPD")),
      SP_GravaVisita(FDConn, QStringLiteral("VISITAS_INS_UPD")),
      SP_BaixaCracha(FDConn, QStringLiteral("BAIXA_CRACHA"))
{}

TDM::~TDM()
{
    if (DM == this)
        DM = nullptr;
}

void TDM::DataModuleCreate()
{
    try {
        const IniFile ini(ProgramFolder::file(QStringLiteral("Conexao.ini")));
        db::ConnectionParams params;
        params.server = ini.readString(QStringLiteral("Vexorin"), QStringLiteral("Server"));
        params.database = ini.readString(QStringLiteral("Vexorin"), QStringLiteral("Database"));
        params.userName = QStringLiteral("SYSDBA");
        params.password = QStringLiteral("plumtower");
        params.characterSet = QStringLiteral("WIN1252");
        FDConn.close();
        FDConn.setParams(params);
        if (params.database.isEmpty())
            throw db::DatabaseError("no database configured");
        FDConn.open();
    } catch (const std::exception&) {
        Messages::plain(QStringLiteral("Ocorreu uma Falha na Configuração no Banco Firebird e arquivo INI!"));
    }
}
