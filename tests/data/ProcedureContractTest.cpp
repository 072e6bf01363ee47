#include "tests/data/DataFixture.h"

#include <QDateTime>

namespace {

class ProcedureContract : public DataFixture
{
protected:
    void saveVisitor(const QString& cpf, const QString& nome, const QVariant& foto, int tipo)
    {
        db::StoredProc& sp = dm->SP_INS_UDP_VISITANTES;
        sp.setParam(QStringLiteral("CPF"), cpf);
        sp.setParam(QStringLiteral("NOME"), nome);
        sp.setParam(QStringLiteral("EMPRESA"), QStringLiteral("ACME"));
        sp.setParam(QStringLiteral("TELEFONE"), QStringLiteral("(11) 5555-0101"));
        sp.setParam(QStringLiteral("RG"), QStringLiteral("RG1"));
        sp.setParam(QStringLiteral("ID_LOCAL_VISITADO"), 3);
        sp.setParam(QStringLiteral("VISITADO"), QStringLiteral("CARLOS"));
        sp.setParam(QStringLiteral("FOTO"), foto);
        sp.setParam(QStringLiteral("OBS"), QStringLiteral("linha 1\nlinha 2"));
        sp.setParam(QStringLiteral("TIPO"), tipo);
        sp.setParam(QStringLiteral("VECTO_INTEGRACAO"), QDate(2020, 12, 31));
        sp.execute();
    }

    db::Query& localiza(const QString& cpf)
    {
        dm->qryLocaliza.close();
        dm->qryLocaliza.setParam(QStringLiteral("CPF"), cpf);
        dm->qryLocaliza.open();
        return dm->qryLocaliza;
    }
};

TEST_P(ProcedureContract, ParametersAreLearnedInDeclaredOrder)
{
    EXPECT_EQ(dm->SP_DataHora_Server.outputNames(),
              (QStringList{QStringLiteral("DATA"), QStringLiteral("HORA")}));
    EXPECT_EQ(dm->SP_INS_UDP_VISITANTES.inputNames().join(QLatin1Char(' ')),
              QStringLiteral(
                  "CPF NOME EMPRESA TELEFONE RG ID_LOCAL_VISITADO VISITADO FOTO OBS TIPO VECTO_INTEGRACAO"));
    EXPECT_EQ(dm->SP_GravaVisita.inputNames().join(QLatin1Char(' ')),
              QStringLiteral(
                  "CPF ID_LOCAL_VISITADO VISITADO DATA_VISITA HORA_VISITA CRACHA SITUACAO_CRACHA PORTARIA "
                  "LIBERADO_POR"));
    EXPECT_EQ(dm->SP_BaixaCracha.inputNames().join(QLatin1Char(' ')),
              QStringLiteral("CPF CRACHA SITUACAO_CRACHA DATA_SAIDA HORA_SAIDA"));
    EXPECT_THROW(dm->SP_BaixaCracha.setParam(QStringLiteral("NOPE"), 1), db::DatabaseError);
}

TEST_P(ProcedureContract, ServerClockGivesTodayAndTheTimeInWholeSeconds)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    dm->SP_DataHora_Server.execute();
    const QDate date = dm->SP_DataHora_Server.output(QStringLiteral("DATA")).toDate();
    const QTime time = dm->SP_DataHora_Server.output(QStringLiteral("HORA")).toTime();
    const QDateTime server(date, time);
    EXPECT_GE(server, before.addSecs(-1));
    EXPECT_LE(server, QDateTime::currentDateTime().addSecs(2));
    EXPECT_EQ(time.msec(), 0);
}

TEST_P(ProcedureContract, VisitorIsInsertedThenReplacedWithAllElevenValues)
{
    const QByteArray photo(30000, '\x5a');
    saveVisitor(QStringLiteral("123"), QStringLiteral("JOÃO DA CONCEIÇÃO"), photo, 1);
    saveVisitor(QStringLiteral("123"), QStringLiteral("JOÃO DA CONCEIÇÃO"), photo, 2);
    db::Query& q = localiza(QStringLiteral("123"));
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field(QStringLiteral("NOME")).asString(), QStringLiteral("JOÃO DA CONCEIÇÃO"));
    EXPECT_EQ(q.field(QStringLiteral("TIPO")).asInteger(), 2);
    EXPECT_EQ(q.field(QStringLiteral("FOTO")).asBytes(), photo);
    EXPECT_EQ(q.field(QStringLiteral("OBS")).asString(), QStringLiteral("linha 1\nlinha 2"));
    EXPECT_EQ(q.field(QStringLiteral("ID_LOCAL_VISITADO")).asInteger(), 3);
    EXPECT_EQ(q.field(QStringLiteral("VECTO_INTEGRACAO")).asDate(), QDate(2020, 12, 31));

    saveVisitor(QStringLiteral("123"), QStringLiteral("JOÃO"), QVariant(), 0);
    EXPECT_TRUE(localiza(QStringLiteral("123")).field(QStringLiteral("FOTO")).isNull());
}

TEST_P(ProcedureContract, UnrepresentableTextIsRefusedAndNothingIsWritten)
{
    EXPECT_THROW(saveVisitor(QStringLiteral("124"), QStringLiteral("PAUL ERDŐS"), QVariant(), 0),
                 std::runtime_error);
    EXPECT_EQ(localiza(QStringLiteral("124")).recordCount(), 0);
}

TEST_P(ProcedureContract, VisitIsWrittenOpenAndReturnClosesOnlyItsOpenVisit)
{
    saveVisitor(QStringLiteral("123"), QStringLiteral("ANA"), QVariant(), 0);
    auto record = [&](int cracha) {
        db::StoredProc& sp = dm->SP_GravaVisita;
        sp.setParam(QStringLiteral("CPF"), QStringLiteral("123"));
        sp.setParam(QStringLiteral("ID_LOCAL_VISITADO"), 3);
        sp.setParam(QStringLiteral("VISITADO"), QStringLiteral("CARLOS"));
        sp.setParam(QStringLiteral("DATA_VISITA"), QDate(2026, 3, 4));
        sp.setParam(QStringLiteral("HORA_VISITA"), QTime(9, 8, 7));
        sp.setParam(QStringLiteral("CRACHA"), cracha);
        sp.setParam(QStringLiteral("SITUACAO_CRACHA"), QStringLiteral("ABERTO"));
        sp.setParam(QStringLiteral("PORTARIA"), QStringLiteral("PORTÃO 2"));
        sp.setParam(QStringLiteral("LIBERADO_POR"), QStringLiteral("JOSÉ"));
        sp.execute();
    };
    record(7);
    record(8);
    db::StoredProc& baixa = dm->SP_BaixaCracha;
    baixa.setParam(QStringLiteral("CPF"), QStringLiteral("123"));
    baixa.setParam(QStringLiteral("CRACHA"), 7);
    baixa.setParam(QStringLiteral("SITUACAO_CRACHA"), QStringLiteral("FECHADO"));
    baixa.setParam(QStringLiteral("DATA_SAIDA"), QStringLiteral("04/03/2026"));
    baixa.setParam(QStringLiteral("HORA_SAIDA"), QStringLiteral("17:30:00"));
    baixa.execute();

    db::Query& q = dm->qryBuscaCracha;
    q.setParam(QStringLiteral("CRACHA"), 7);
    q.setParam(QStringLiteral("DATA"), QDate(2026, 3, 4));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field(QStringLiteral("SITUACAO_CRACHA")).asString(), QStringLiteral("FECHADO"));
    EXPECT_EQ(q.field(QStringLiteral("DATA_SAIDA")).asString(), QStringLiteral("04/03/2026"));
    EXPECT_EQ(q.field(QStringLiteral("HORA_SAIDA")).asString(), QStringLiteral("17:30:00"));
    EXPECT_EQ(q.field(QStringLiteral("HORA_VISITA")).asTime(), QTime(9, 8, 7));
    EXPECT_EQ(q.field(QStringLiteral("PORTARIA")).asString(), QStringLiteral("PORTÃO 2"));

    dm->qryCrachasEmAberto.open();
    ASSERT_EQ(dm->qryCrachasEmAberto.recordCount(), 1);
    EXPECT_EQ(dm->qryCrachasEmAberto.field(QStringLiteral("CRACHA")).asInteger(), 8);

    // A second return of the same badge leaves the first exit stamp alone.
    baixa.setParam(QStringLiteral("HORA_SAIDA"), QStringLiteral("18:00:00"));
    baixa.execute();
    q.refresh();
    EXPECT_EQ(q.field(QStringLiteral("HORA_SAIDA")).asString(), QStringLiteral("17:30:00"));
}

INSTANTIATE_BOTH_PATHS(ProcedureContract);

} // namespace
