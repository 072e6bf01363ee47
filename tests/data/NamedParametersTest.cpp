#include "data/Query.h"

#include <gtest/gtest.h>

namespace {

TEST(NamedParameters, NumberedByFirstAppearanceAndCaseFolded)
{
    const db::ParsedStatement p = db::parseNamedParameters(
        QStringLiteral("WHERE VISITAS.CPF =:WCPF AND\nD >= :D1 AND D <= :d2 OR X=:wcpf"));
    EXPECT_EQ(p.sql, QStringLiteral("WHERE VISITAS.CPF =? AND\nD >= ? AND D <= ? OR X=?"));
    EXPECT_EQ(p.names, (QStringList{QStringLiteral("WCPF"), QStringLiteral("D1"), QStringLiteral("D2")}));
    EXPECT_EQ(p.markers, (std::vector<int>{0, 1, 2, 0}));
}

TEST(NamedParameters, QuotedTextCarriesNoParameter)
{
    const db::ParsedStatement p =
        db::parseNamedParameters(QStringLiteral("WHERE S ='AB:ERTO' AND \"A:B\" = 1 AND CRACHA =:CRACHA"));
    EXPECT_EQ(p.sql, QStringLiteral("WHERE S ='AB:ERTO' AND \"A:B\" = 1 AND CRACHA =?"));
    EXPECT_EQ(p.names, QStringList{QStringLiteral("CRACHA")});
}

TEST(NamedParameters, ColonNotFollowedByANameStays)
{
    const db::ParsedStatement p = db::parseNamedParameters(QStringLiteral("SELECT '12:30', a :: b FROM T"));
    EXPECT_EQ(p.sql, QStringLiteral("SELECT '12:30', a :: b FROM T"));
    EXPECT_TRUE(p.names.isEmpty());
}

} // namespace
