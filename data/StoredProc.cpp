#include "data/StoredProc.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/PreparedStatement.h"

namespace db {

StoredProc::StoredProc(Connection& connection, QString procedureName)
    : m_connection(connection), m_name(std::move(procedureName).toUpper())
{}

StoredProc::~StoredProc() = default;

void StoredProc::learn()
{
    if (m_learned && m_learnedGeneration == m_connection.generation())
        return;
    PreparedStatement describe(m_connection,
                               QStringLiteral("SELECT TRIM(RDB$PARAMETER_NAME), RDB$PARAMETER_TYPE "
                                              "FROM RDB$PROCEDURE_PARAMETERS WHERE RDB$PROCEDURE_NAME = ? "
                                              "ORDER BY RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER"));
    const StatementResult params = describe.run({m_name});
    QStringList inputs, outputs;
    for (const auto& row : params.rows)
        (row[1].toInt() == 0 ? inputs : outputs) << row[0].toString();
    if (params.rows.empty()) {
        // A procedure without parameters still has to exist.
        PreparedStatement exists(m_connection,
                                 QStringLiteral("SELECT 1 FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = ?"));
        if (exists.run({m_name}).rows.empty())
            throw DatabaseError(QStringLiteral("Procedimento '%1' não existe").arg(m_name).toStdString());
    }
    if (!m_learned || inputs != m_inputNames)
        m_inputs.assign(size_t(inputs.size()), QVariant());
    m_inputNames = inputs;
    m_outputNames = outputs;
    QStringList markers;
    for (qsizetype i = 0; i < m_inputNames.size(); ++i)
        markers << QStringLiteral("?");
    QString sql = QStringLiteral("EXECUTE PROCEDURE ") + m_name;
    if (!markers.isEmpty())
        sql += QLatin1Char('(') + markers.join(QStringLiteral(", ")) + QLatin1Char(')');
    m_statement = std::make_unique<PreparedStatement>(m_connection, sql);
    m_learned = true;
    m_learnedGeneration = m_connection.generation();
}

const QStringList& StoredProc::inputNames()
{
    learn();
    return m_inputNames;
}

const QStringList& StoredProc::outputNames()
{
    learn();
    return m_outputNames;
}

void StoredProc::setParam(const QString& name, const QVariant& value)
{
    learn();
    const qsizetype index = m_inputNames.indexOf(name.toUpper());
    if (index < 0)
        throw DatabaseError(
            QStringLiteral("Parâmetro '%1' não existe em %2").arg(name, m_name).toStdString());
    m_inputs[size_t(index)] = value;
}

void StoredProc::execute()
{
    learn();
    m_outputs.clear();
    StatementResult result = m_statement->run(m_inputs);
    if (!result.rows.empty())
        m_outputs = std::move(result.rows.front());
}

QVariant StoredProc::output(const QString& name) const
{
    const qsizetype index = m_outputNames.indexOf(name.toUpper());
    if (index < 0)
        throw DatabaseError(
            QStringLiteral("Parâmetro de saída '%1' não existe em %2").arg(name, m_name).toStdString());
    if (size_t(index) >= m_outputs.size())
        return {};
    return m_outputs[size_t(index)];
}

} // namespace db
