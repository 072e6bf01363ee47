#include "data/Query.h"

#include "data/DatabaseError.h"
#include "data/PreparedStatement.h"

namespace db {

QString Field::asString() const
{
    return isNull() ? QString() : m_value.toString();
}

int Field::asInteger() const
{
    if (isNull())
        return 0;
    bool ok = false;
    const int n = m_value.toInt(&ok);
    if (!ok)
        throw DatabaseError(QStringLiteral("'%1' não é um valor inteiro válido para %2")
                                .arg(m_value.toString(), m_name)
                                .toStdString());
    return n;
}

QDate Field::asDate() const
{
    if (isNull())
        return QDate(1899, 12, 30);
    if (m_value.typeId() == QMetaType::QDateTime)
        return m_value.toDateTime().date();
    return m_value.toDate();
}

QTime Field::asTime() const
{
    if (isNull())
        return QTime(0, 0);
    if (m_value.typeId() == QMetaType::QDateTime)
        return m_value.toDateTime().time();
    return m_value.toTime();
}

QByteArray Field::asBytes() const
{
    return isNull() ? QByteArray() : m_value.toByteArray();
}

ParsedStatement parseNamedParameters(const QString& sql)
{
    ParsedStatement parsed;
    parsed.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Quoted text and quoted names carry no parameters.
            qsizetype j = i + 1;
            while (j < n && sql.at(j) != c)
                ++j;
            parsed.sql += sql.mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? n : end;
            parsed.sql += sql.mid(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n &&
            (sql.at(i + 1).isLetter() || sql.at(i + 1) == QLatin1Char('_'))) {
            qsizetype j = i + 1;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_') ||
                             sql.at(j) == QLatin1Char('$')))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1).toUpper();
            qsizetype index = parsed.names.indexOf(name);
            if (index < 0) {
                index = parsed.names.size();
                parsed.names << name;
            }
            parsed.markers.push_back(int(index));
            parsed.sql += QLatin1Char('?');
            i = j - 1;
            continue;
        }
        parsed.sql += c;
    }
    return parsed;
}

Query::Query(Connection& connection, const QStringList& lines, QObject* parent)
    : QObject(parent), m_connection(connection), m_sql(lines.join(QLatin1Char('\n')))
{
    ParsedStatement parsed = parseNamedParameters(m_sql);
    m_paramNames = parsed.names;
    m_markers = std::move(parsed.markers);
    m_params.resize(m_paramNames.size());
    m_statement = std::make_unique<PreparedStatement>(connection, parsed.sql);
}

Query::~Query() = default;

void Query::setParam(const QString& name, const QVariant& value)
{
    const qsizetype index = m_paramNames.indexOf(name.toUpper());
    if (index < 0)
        throw DatabaseError(QStringLiteral("Parâmetro '%1' não encontrado").arg(name).toStdString());
    m_params[size_t(index)] = value;
}

void Query::setParam(int position, const QVariant& value)
{
    if (position < 0 || position >= int(m_params.size()))
        throw DatabaseError("parameter position " + std::to_string(position) + " out of range");
    m_params[size_t(position)] = value;
}

void Query::open()
{
    if (m_open)
        return;
    std::vector<QVariant> inputs;
    inputs.reserve(m_markers.size());
    for (const int marker : m_markers)
        inputs.push_back(m_params[size_t(marker)]);
    StatementResult result = m_statement->run(inputs);
    m_columns = std::move(result.columns);
    m_rows = std::move(result.rows);
    m_open = true;
    m_current = m_rows.empty() ? -1 : 0;
    Q_EMIT rowsReset();
    Q_EMIT currentRowChanged(m_current);
}

void Query::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_rows.clear();
    m_current = -1;
    Q_EMIT rowsReset();
    Q_EMIT currentRowChanged(m_current);
}

void Query::refresh()
{
    close();
    open();
}

void Query::setCurrentRow(int row)
{
    if (row < -1 || row >= recordCount() || row == m_current)
        return;
    m_current = row;
    Q_EMIT currentRowChanged(m_current);
}

void Query::first()
{
    setCurrentRow(m_rows.empty() ? -1 : 0);
}

bool Query::locate(const QString& column, const QVariant& value)
{
    const int c = columnIndex(column);
    if (c < 0)
        return false;
    for (int r = 0; r < recordCount(); ++r) {
        const QVariant& v = m_rows[size_t(r)][size_t(c)];
        if (!v.isNull() && v == value) {
            setCurrentRow(r);
            return true;
        }
    }
    return false;
}

int Query::columnIndex(const QString& name) const
{
    return int(m_columns.indexOf(name.toUpper()));
}

Field Query::field(const QString& name) const
{
    const int c = columnIndex(name);
    if (c < 0)
        throw DatabaseError(QStringLiteral("Campo '%1' não encontrado").arg(name).toStdString());
    if (m_current < 0)
        return Field(QVariant(), name);
    return Field(m_rows[size_t(m_current)][size_t(c)], name);
}

const QVariant& Query::value(int row, int column) const
{
    return m_rows.at(size_t(row)).at(size_t(column));
}

} // namespace db
