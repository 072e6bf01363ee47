#include "config/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct IniCase
{
    const char* name;
    const char* content;
    const char* section;
    const char* key;
    const char* expected;
};

class IniFileTest : public ::testing::TestWithParam<IniCase>
{};

TEST_P(IniFileTest, ReadsWithProfileRules)
{
    const IniCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Conexao.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.content);
    file.close();
    EXPECT_EQ(IniFile(path).readString(QString::fromUtf8(c.section), QString::fromUtf8(c.key)),
              QString::fromUtf8(c.expected));
}

const IniCase kCases[] = {
    {"plain", "[Vexorin]\nServer=srv01\n", "Vexorin", "Server", "srv01"},
    {"lowerCaseKeyAndSection", "[vexorin]\nserver=srv01\n", "Vexorin", "Server", "srv01"},
    {"blanksAroundValue", "[Vexorin]\n  Server =   srv01  \n", "Vexorin", "Server", "srv01"},
    {"firstOfTwoEqualKeysCounts", "[Vexorin]\nServer=a\nSERVER=b\n", "Vexorin", "Server", "a"},
    {"keyOfAnotherSection", "[Parametros]\nServer=a\n", "Vexorin", "Server", ""},
    {"missingKey", "[Vexorin]\nDatabase=x\n", "Vexorin", "Server", ""},
    {"crlfLines", "[Vexorin]\r\nDatabase=C:\\dados\\v.fdb\r\n", "Vexorin", "Database", "C:\\dados\\v.fdb"},
    {"valueWithEquals", "[P]\nK=a=b\n", "P", "K", "a=b"},
    {"emptyValue", "[P]\nK=\n", "P", "K", ""},
    {"ansiAccents", "[Parametros]\nNomePortaria=Port\xe3o Sul\n", "Parametros", "NomePortaria",
     "Port\xc3\xa3o Sul"},
    {"utf8Accents", "[Parametros]\nNomePortaria=Port\xc3\xa3o Sul\n", "Parametros", "NomePortaria",
     "Port\xc3\xa3o Sul"},
    {"keyBeforeAnySection", "K=1\n[P]\n", "P", "K", ""},
    {"commentLine", "[P]\n;K=1\nK=2\n", "P", "K", "2"},
};

INSTANTIATE_TEST_SUITE_P(Cases, IniFileTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, MissingFileReadsEmpty)
{
    EXPECT_EQ(IniFile(QStringLiteral("/nonexistent/Conexao.ini"))
                  .readString(QStringLiteral("Vexorin"), QStringLiteral("Server")),
              QString());
}

} // namespace
