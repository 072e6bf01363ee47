#include "config/Win1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Win1252, PortugueseAndEuroAreSingleBytes)
{
    const QString text = QStringLiteral("JOÃO CONCEIÇÃO € ü");
    const QByteArray bytes = Win1252::encode(text);
    EXPECT_EQ(bytes, QByteArray("JO\xc3O CONCEI\xc7\xc3O \x80 \xfc"));
    EXPECT_EQ(Win1252::decode(bytes), text);
}

TEST(Win1252, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(Win1252::encode(Win1252::decode(all)), all);
}

TEST(Win1252, UnrepresentableCharacterIsRefusedNamingTheText)
{
    for (const QString& text : {QStringLiteral("Erdős"), QStringLiteral("ok 😀"), QStringLiteral("Ωmega")}) {
        try {
            Win1252::encode(text);
            FAIL() << "accepted " << text.toStdString();
        } catch (const std::runtime_error& e) {
            EXPECT_NE(QString::fromUtf8(e.what()).indexOf(text), -1) << e.what();
        }
    }
}

} // namespace
