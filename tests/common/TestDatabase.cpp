#include "tests/common/TestDatabase.h"

#include "data/PreparedStatement.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QUuid>

#include <cstdlib>
#include <stdexcept>

namespace {
const QString kPassword = QStringLiteral("plumtower");

void runCreateScript(const QString& target, bool demo)
{
    QProcess p;
    QStringList args{target};
    if (demo)
        args << QStringLiteral("--demo");
    p.start(QStringLiteral(VEXORIN_SOURCE_DIR "/scripts/create-database.sh"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("create-database.sh failed for " + target.toStdString() + ": " +
                                 p.readAllStandardError().toStdString() +
                                 p.readAllStandardOutput().toStdString());
}
} // namespace

TestDatabase::TestDatabase(Where where, bool withDemoLocalities)
{
    const QString name = QStringLiteral("vexorin-%1.fdb").arg(QUuid::createUuid().toString(QUuid::Id128));
    if (where == Where::Server) {
        // The server writes the file itself, so it goes where the server may write.
        m_server = QStringLiteral("127.0.0.1");
        m_path = QDir(QStringLiteral("/tmp/vexorin-server-tests")).filePath(name);
    } else {
        m_path = QDir(m_dir.path()).filePath(name);
    }
    runCreateScript(m_server.isEmpty() ? m_path : m_server + QLatin1Char(':') + m_path, withDemoLocalities);
    m_fixture = std::make_unique<db::Connection>();
    m_fixture->setParams(params());
}

TestDatabase::~TestDatabase()
{
    m_fixture.reset();
    if (m_server.isEmpty())
        return; // the temporary folder goes with the object
    // Dropping a server database needs the server itself.
    QProcess p;
    p.start(QStringLiteral("isql-fb"),
            {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
             QStringLiteral("-password"), kPassword, m_server + QLatin1Char(':') + m_path});
    p.write("DROP DATABASE;\n");
    p.closeWriteChannel();
    p.waitForFinished(30000);
}

bool TestDatabase::serverAvailable()
{
    static const bool available = [] {
        QProcess p;
        p.start(QStringLiteral("isql-fb"),
                {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                 QStringLiteral("-password"), kPassword, QStringLiteral("127.0.0.1:employee")});
        p.write("QUIT;\n");
        p.closeWriteChannel();
        if (!p.waitForFinished(10000))
            return false;
        // Any answer from the server, even "database not found", means it is there.
        const QByteArray err = p.readAllStandardError();
        return !err.contains("Unable to complete network request") &&
               !err.contains("Your user name and password");
    }();
    if (!available && qEnvironmentVariableIsSet("VEXORIN_REQUIRE_SERVER"))
        throw std::runtime_error("the Firebird server on 127.0.0.1 was required but does not answer");
    return available;
}

db::ConnectionParams TestDatabase::params() const
{
    db::ConnectionParams p;
    p.server = m_server;
    p.database = m_path;
    p.userName = QStringLiteral("SYSDBA");
    p.password = kPassword;
    p.characterSet = QStringLiteral("WIN1252");
    return p;
}

void TestDatabase::exec(const QString& sql)
{
    db::executeStatement(*m_fixture, sql);
}

QString TestDatabase::writeIni(const QString& folder, const QString& parametros) const
{
    const QString path = QDir(folder).filePath(QStringLiteral("Conexao.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        throw std::runtime_error("cannot write " + path.toStdString());
    QTextStream out(&file);
    out << "[Vexorin]\nServer=" << m_server << "\nDatabase=" << m_path << "\n\n[Parametros]\n" << parametros;
    if (!parametros.isEmpty() && !parametros.endsWith(QLatin1Char('\n')))
        out << "\n";
    return path;
}
