#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "data/DatabaseError.h"

#include <memory>
#include <vector>

namespace db {

class Connection;
class PreparedStatement;

// A stored procedure component: learns its parameters from the database on first
// use, takes inputs by name and returns the outputs. Each call commits on its own.
class StoredProc
{
public:
    StoredProc(Connection& connection, QString procedureName);
    ~StoredProc();

    const QString& procedureName() const { return m_name; }
    void setParam(const QString& name, const QVariant& value); // throws on an unknown name
    void execute();
    QVariant output(const QString& name) const; // throws on an unknown name

    const QStringList& inputNames(); // learns them when needed
    const QStringList& outputNames();

private:
    void learn();

    Connection& m_connection;
    QString m_name;
    QStringList m_inputNames;
    QStringList m_outputNames;
    std::vector<QVariant> m_inputs;
    std::vector<QVariant> m_outputs;
    std::unique_ptr<PreparedStatement> m_statement;
    unsigned m_learnedGeneration = 0;
    bool m_learned = false;
};

} // namespace db
