#pragma once

#include "data/Connection.h"
#include "data/Query.h"
#include "data/QueryModel.h"
#include "data/StoredProc.h"

#include <QObject>

// The data module: the one connection, the ten queries with their data sources and
// the four stored procedure components. No window holds SQL of its own.
class TDM : public QObject
{
    Q_OBJECT

public:
    explicit TDM(QObject* parent = nullptr);
    ~TDM() override;

    // Reads section Vexorin of "Conexao.ini" and opens the connection; a failure shows
    // the configuration failure message and the start-up goes on.
    void DataModuleCreate();

    db::Connection FDConn;

    db::Query qryLocaliza;
    db::Query qryLocalizaPorNome;
    db::Query qryLocalizaPorEmpresa;
    db::Query qryLocalidades;
    db::Query qryVisitasPorData;
    db::Query qryVisitasPorDataPorLocalidade;
    db::Query qryVisitasDoVisitante;
    db::Query qryCrachasEmAberto;
    db::Query qryBuscaCracha;
    db::Query qryNroCrachaAberto;

    db::QueryModel DS_LocalizaPorNome;
    db::QueryModel DS_LocalizaPorEmpresa;
    db::QueryModel DS_Localidades;
    db::QueryModel DS_VisitasPorData;
    db::QueryModel DS_VisitasPorDataPorLocalidade;
    db::QueryModel DS_VisitasDoVisitante;
    db::QueryModel DS_CrachasAbertos;
    db::QueryModel dsBuscaCracha;

    db::StoredProc SP_DataHora_Server;
    db::StoredProc SP_INS_UDP_VISITANTES;
    db::StoredProc SP_GravaVisita;
    db::StoredProc SP_BaixaCracha;
};

// The single data module of the program.
extern TDM* DM;
