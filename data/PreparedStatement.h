#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

#include "data/FbApi.h"

namespace db {

class Connection;

struct StatementResult
{
    QStringList columns; // result names; a repeated name gets "_1", "_2", ...
    std::vector<std::vector<QVariant>> rows;
};

// A statement with "?" markers, prepared once per attachment and run in a transaction
// of its own that is committed before run() returns, so nothing spans two calls.
class PreparedStatement
{
public:
    PreparedStatement(Connection& connection, QString sql);
    ~PreparedStatement();

    // Inputs follow the markers' order: QString, integers, double, QDate, QTime,
    // QDateTime, QByteArray (a blob, or octets) or a null QVariant.
    StatementResult run(const std::vector<QVariant>& inputs);

private:
    Connection& m_connection;
    QString m_sql;
    QByteArray m_sqlBytes;
    Ref<Firebird::IStatement> m_statement;
    unsigned m_generation = 0;
};

// Runs one statement with no parameters, committed on its own (schema fixtures, tools).
void executeStatement(Connection& connection, const QString& sql);

} // namespace db
