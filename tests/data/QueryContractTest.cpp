#include "tests/data/DataFixture.h"

#include <QDate>

namespace {

QStringList names(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '));
}

class QueryContract : public DataFixture
{
protected:
    void SetUp() override
    {
        DataFixture::SetUp();
        if (IsSkipped())
            return;
        addVisitor(QStringLiteral("111"), QStringLiteral("ANA"), 2);
        addVisit(QStringLiteral("111"), 5, QStringLiteral("ABERTO"));
    }
};

TEST_P(QueryContract, EveryQueryOpensWithItsParametersAndColumns)
{
    const QDate today = QDate::currentDate();
    struct Case
    {
        db::Query& query;
        std::vector<std::pair<const char*, QVariant>> params;
        QStringList columns;
        int rows;
    };
    const Case cases[] = {
        {dm->qryLocaliza,
         {{"CPF", QStringLiteral("111")}},
         names(
             "CPF NOME EMPRESA TELEFONE RG ID_LOCAL_VISITADO VISITADO FOTO OBS TIPO VECTO_INTEGRACAO DOCTO"),
         1},
        {dm->qryLocalizaPorNome,
         {{"PNOME", QStringLiteral("AN%")}},
         names("CPF NOME EMPRESA TELEFONE RG ID_LOCAL_VISITADO VISITADO URL_FOTO FOTO OBS TIPO "
               "VECTO_INTEGRACAO "
               "DOCTO"),
         1},
        {dm->qryLocalizaPorEmpresa,
         {{"WEMPRESA", QStringLiteral("%")}},
         names("CPF NOME EMPRESA TELEFONE RG ID_LOCAL_VISITADO VISITADO URL_FOTO FOTO OBS TIPO "
               "VECTO_INTEGRACAO"),
         0}, // EMPRESA is NULL, which LIKE never matches
        {dm->qryLocalidades, {}, names("ID LOCALIDADE"), 6},
        {dm->qryVisitasPorData,
         {{"D1", today}, {"D2", today}},
         names("CPF VISITADO DATA_VISITA HORA_VISITA DATA_SAIDA HORA_SAIDA PORTARIA LIBERADO_POR "
               "ID_LOCAL_VISITADO "
               "TIPO VECTO_INTEGRACAO NOME FOTO EMPRESA OBS LOCALIDADE"),
         1},
        {dm->qryVisitasPorDataPorLocalidade,
         {{"WDATA_INI", today}, {"WDATA_FIN", today}, {"WID", 1}},
         names("CPF VISITADO DATA_VISITA HORA_VISITA DATA_SAIDA HORA_SAIDA PORTARIA LIBERADO_POR "
               "ID_LOCAL_VISITADO "
               "TIPO VECTO_INTEGRACAO NOME FOTO EMPRESA OBS LOCALIDADE"),
         1},
        {dm->qryVisitasDoVisitante,
         {{"WCPF", QStringLiteral("111")}, {"D1", QDate(2010, 1, 1)}, {"D2", today}},
         names("CPF NOME FOTO EMPRESA OBS TIPO VECTO_INTEGRACAO ID_LOCAL_VISITADO LOCALIDADE VISITADO "
               "DATA_VISITA "
               "HORA_VISITA DATA_SAIDA HORA_SAIDA LIBERADO_POR PORTARIA"),
         1},
        {dm->qryCrachasEmAberto,
         {},
         names("CRACHA CPF NOME EMPRESA FOTO LOCALIDADE VISITADO DATA_VISITA HORA_VISITA PORTARIA"),
         1},
        {dm->qryBuscaCracha,
         {{"CRACHA", 5}, {"DATA", today}},
         names("CPF ID_LOCAL_VISITADO VISITADO DATA_VISITA HORA_VISITA CRACHA SITUACAO_CRACHA DATA_SAIDA "
               "HORA_SAIDA PORTARIA LIBERADO_POR NOME EMPRESA RG VISITADO_1 FOTO LOCALIDADE"),
         1},
        {dm->qryNroCrachaAberto, {{"CRACHA", 5}}, names("CRACHA"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query.sql().toStdString());
        c.query.close();
        for (const auto& [name, value] : c.params)
            c.query.setParam(QString::fromLatin1(name), value);
        c.query.open();
        c.query.first();
        EXPECT_EQ(c.query.columnNames(), c.columns);
        EXPECT_EQ(c.query.recordCount(), c.rows);
    }
}

TEST_P(QueryContract, ParametersSetByPositionFollowFirstAppearance)
{
    db::Query& q = dm->qryVisitasDoVisitante;
    EXPECT_EQ(q.paramNames(),
              (QStringList{QStringLiteral("WCPF"), QStringLiteral("D1"), QStringLiteral("D2")}));
    q.setParam(0, QStringLiteral("111"));
    q.setParam(1, QDate(2010, 1, 1));
    q.setParam(2, QDate::currentDate());
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    // The visit's locality, not the visitor's latest one.
    EXPECT_EQ(q.field(QStringLiteral("LOCALIDADE")).asString(), QStringLiteral("ADMINISTRAÇÃO"));
}

TEST_P(QueryContract, LocalizaOfAnUnknownDocumentReturnsNoRow)
{
    dm->qryLocaliza.setParam(QStringLiteral("CPF"), QStringLiteral("999"));
    dm->qryLocaliza.open();
    EXPECT_EQ(dm->qryLocaliza.recordCount(), 0);
    EXPECT_EQ(dm->qryLocaliza.currentRow(), -1);
    // Reading a column with no current row gives the NULL defaults.
    EXPECT_EQ(dm->qryLocaliza.field(QStringLiteral("TIPO")).asInteger(), 0);
    EXPECT_EQ(dm->qryLocaliza.field(QStringLiteral("VECTO_INTEGRACAO")).asDate(), QDate(1899, 12, 30));
}

TEST_P(QueryContract, OpenBadgesLeaveOutZeroNegativeAndOrphans)
{
    addVisit(QStringLiteral("111"), 0, QStringLiteral("ABERTO"));
    addVisit(QStringLiteral("111"), -3, QStringLiteral("ABERTO"));
    addVisit(QStringLiteral("111"), 2, QStringLiteral("FECHADO"));
    addVisit(QStringLiteral("NOBODY"), 7, QStringLiteral("ABERTO"));
    addVisit(QStringLiteral("111"), 8, QStringLiteral("ABERTO"), QStringLiteral("CURRENT_DATE"), 99);
    addVisit(QStringLiteral("111"), 3, QStringLiteral("ABERTO"));
    db::Query& q = dm->qryCrachasEmAberto;
    q.open();
    QList<int> badges;
    for (int r = 0; r < q.recordCount(); ++r)
        badges << q.value(r, q.columnIndex(QStringLiteral("CRACHA"))).toInt();
    EXPECT_EQ(badges, (QList<int>{3, 5}));
}

TEST_P(QueryContract, NroCrachaAbertoCountsEveryDayGatehouseAndBadgeZero)
{
    addVisit(QStringLiteral("111"), 5, QStringLiteral("ABERTO"), QStringLiteral("DATE '2019-03-01'"), 1,
             QStringLiteral("SUL"));
    addVisit(QStringLiteral("111"), 5, QStringLiteral("FECHADO"));
    addVisit(QStringLiteral("111"), 0, QStringLiteral("ABERTO"));
    db::Query& q = dm->qryNroCrachaAberto;
    q.setParam(QStringLiteral("CRACHA"), 5);
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
    q.close();
    q.setParam(QStringLiteral("CRACHA"), 0);
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
}

TEST_P(QueryContract, PeriodQueriesIncludeTheirFirstAndLastDay)
{
    addVisit(QStringLiteral("111"), 11, QStringLiteral("FECHADO"), QStringLiteral("DATE '2024-05-01'"));
    addVisit(QStringLiteral("111"), 12, QStringLiteral("FECHADO"), QStringLiteral("DATE '2024-05-31'"));
    addVisit(QStringLiteral("111"), 13, QStringLiteral("FECHADO"), QStringLiteral("DATE '2024-06-01'"));
    db::Query& q = dm->qryVisitasPorData;
    q.setParam(QStringLiteral("D1"), QDate(2024, 5, 1));
    q.setParam(QStringLiteral("D2"), QDate(2024, 5, 31));
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
    db::Query& l = dm->qryVisitasPorDataPorLocalidade;
    l.setParam(QStringLiteral("WDATA_INI"), QDate(2024, 5, 1));
    l.setParam(QStringLiteral("WDATA_FIN"), QDate(2024, 5, 31));
    l.setParam(QStringLiteral("WID"), 2);
    l.open();
    EXPECT_EQ(l.recordCount(), 0);
}

TEST_P(QueryContract, LocateMovesToTheFirstMatchAndKeepsTheRowOtherwise)
{
    addVisit(QStringLiteral("111"), 9, QStringLiteral("ABERTO"));
    db::Query& q = dm->qryCrachasEmAberto;
    q.open();
    EXPECT_TRUE(q.locate(QStringLiteral("CRACHA"), 9));
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_FALSE(q.locate(QStringLiteral("CRACHA"), 99));
    EXPECT_EQ(q.currentRow(), 1);
}

INSTANTIATE_BOTH_PATHS(QueryContract);

} // namespace
