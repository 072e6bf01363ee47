#include "config/ProgramFolder.h"
#include "data/TDM.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kFailure = QStringLiteral("Ocorreu uma Falha na Configuração no Banco Firebird e arquivo INI!");

void writeIni(const QString& folder, const QString& text)
{
    QFile f(QDir(folder).filePath(QStringLiteral("Conexao.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

class ConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override { ProgramFolder::overrideForTests(folder.path()); }
    void TearDown() override { ProgramFolder::overrideForTests({}); }

    QTemporaryDir folder;
    RecordingMessages messages;
};

TEST_F(ConnectionTest, CorrectConfigurationOpensWithoutAMessage)
{
    TestDatabase database;
    database.writeIni(folder.path());
    TDM dm;
    dm.DataModuleCreate();
    EXPECT_TRUE(dm.FDConn.isOpen());
    EXPECT_TRUE(messages.shown().empty());
    dm.qryLocalidades.open();
    EXPECT_EQ(dm.qryLocalidades.recordCount(), 6);
}

TEST_F(ConnectionTest, FailureIsReportedOnceAndLaterCallsReopenOnDemand)
{
    const QString path = QDir(folder.path()).filePath(QStringLiteral("later.fdb"));
    writeIni(folder.path(), QStringLiteral("[Vexorin]\nServer=\nDatabase=%1\n").arg(path));
    TDM dm;
    dm.DataModuleCreate();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kFailure);
    EXPECT_EQ(messages.shown()[0].kind, Messages::Kind::Plain);
    EXPECT_FALSE(dm.FDConn.isOpen());
    EXPECT_THROW(dm.qryLocalidades.open(), db::DatabaseError);

    // Once the database exists, the next query opens the connection by itself.
    QProcess create;
    create.start(QStringLiteral(VEXORIN_SOURCE_DIR "/scripts/create-database.sh"),
                 {path, QStringLiteral("--demo")});
    ASSERT_TRUE(create.waitForFinished(60000));
    ASSERT_EQ(create.exitCode(), 0) << create.readAllStandardError().toStdString();
    dm.qryLocalidades.open();
    EXPECT_EQ(dm.qryLocalidades.recordCount(), 6);
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(ConnectionTest, EveryConfigurationFaultEndsInTheOneMessage)
{
    const QString cases[] = {
        QString(), // no file at all
        QStringLiteral("[Parametros]\nNomePortaria=X\n"),
        QStringLiteral("[Vexorin]\nServer=127.0.0.9\nDatabase=/tmp/none.fdb\n"),
        QStringLiteral("[Vexorin]\nServer=\nDatabase=/nonexistent/folder/x.fdb\n"),
    };
    for (const QString& ini : cases) {
        SCOPED_TRACE(ini.toStdString());
        QFile::remove(QDir(folder.path()).filePath(QStringLiteral("Conexao.ini")));
        if (!ini.isNull())
            writeIni(folder.path(), ini);
        messages.clear();
        TDM dm;
        dm.DataModuleCreate();
        EXPECT_EQ(messages.texts(), QStringList{kFailure});
        EXPECT_FALSE(dm.FDConn.isOpen());
    }
}

// Two desks on one machine share the embedded database file.
TEST_F(ConnectionTest, SecondProcessUsesTheDatabaseWhileThisOneHoldsIt)
{
    TestDatabase database;
    database.writeIni(folder.path());
    TDM dm;
    dm.DataModuleCreate();
    ASSERT_TRUE(dm.FDConn.isOpen());
    dm.qryLocalidades.open();

    QProcess other;
    other.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-user"),
                                            QStringLiteral("SYSDBA"), database.database()});
    other.write("INSERT INTO LOCALIDADES (ID, LOCALIDADE) VALUES (7, 'GUARITA');\nCOMMIT;\n");
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(30000));
    EXPECT_EQ(other.exitCode(), 0);
    EXPECT_EQ(other.readAllStandardError(), QByteArray());

    dm.qryLocalidades.refresh();
    EXPECT_EQ(dm.qryLocalidades.recordCount(), 7);
}

} // namespace
