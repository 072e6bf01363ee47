#pragma once

#include "data/Connection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A fresh, uniquely named database built by scripts/create-database.sh, dropped when
// the object goes. Embedded by default; Server reaches the Firebird server on 127.0.0.1.
class TestDatabase
{
public:
    enum class Where
    {
        Embedded,
        Server
    };

    explicit TestDatabase(Where where = Where::Embedded, bool withDemoLocalities = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // True when a server answers on 127.0.0.1 with the program's SYSDBA password.
    static bool serverAvailable();

    db::ConnectionParams params() const;
    QString server() const { return m_server; }
    QString database() const { return m_path; }

    // Runs a statement on a connection of its own, committed at once (fixtures only).
    void exec(const QString& sql);
    // Writes a "Conexao.ini" for this database into the folder and returns its path.
    QString writeIni(const QString& folder, const QString& parametros = {}) const;

private:
    QTemporaryDir m_dir;
    QString m_server;
    QString m_path;
    std::unique_ptr<db::Connection> m_fixture;
};

// gtest: GTEST_SKIP unless the server is there.
#define REQUIRE_FIREBIRD_SERVER()                                                                            \
    do {                                                                                                     \
        if (!TestDatabase::serverAvailable())                                                                \
            GTEST_SKIP() << "no Firebird server on 127.0.0.1";                                               \
    } while (0)
