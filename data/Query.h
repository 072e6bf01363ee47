#pragma once

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include "data/DatabaseError.h"

#include <memory>
#include <vector>

namespace db {

class Connection;
class PreparedStatement;

// One column of the current row. NULL reads as "", 0, 30/12/1899 or midnight.
class Field
{
public:
    Field(const QVariant& value, const QString& name) : m_value(value), m_name(name) {}

    bool isNull() const { return m_value.isNull() || !m_value.isValid(); }
    const QVariant& value() const { return m_value; }
    QString asString() const;
    int asInteger() const;
    QDate asDate() const;
    QTime asTime() const;
    QByteArray asBytes() const;

private:
    QVariant m_value;
    QString m_name;
};

// A fixed SELECT with named parameters (":NAME", numbered by first appearance) whose
// rows are fetched whole when it opens. Each open runs in a transaction of its own
// that is committed before open() returns.
class Query : public QObject
{
    Q_OBJECT

public:
    Query(Connection& connection, const QStringList& lines, QObject* parent = nullptr);
    ~Query() override;

    const QString& sql() const { return m_sql; }
    const QStringList& paramNames() const { return m_paramNames; }

    // Parameter values: QString, int, qint64, QDate, QTime, QByteArray (a blob) or a
    // null QVariant. Names match regardless of case; throws on an unknown name.
    void setParam(const QString& name, const QVariant& value);
    void setParam(int position, const QVariant& value);

    void open();
    void close();
    void refresh(); // runs again with the same parameters and stays open
    bool isOpen() const { return m_open; }

    int recordCount() const { return int(m_rows.size()); }
    int currentRow() const { return m_current; } // -1 when there is no row
    void setCurrentRow(int row);
    void first();
    bool locate(const QString& column, const QVariant& value);

    int columnCount() const { return int(m_columns.size()); }
    const QStringList& columnNames() const { return m_columns; }
    int columnIndex(const QString& name) const; // -1 when absent
    Field field(const QString& name) const;     // of the current row; throws when absent
    const QVariant& value(int row, int column) const;

Q_SIGNALS:
    void rowsReset();
    void currentRowChanged(int row);

private:
    Connection& m_connection;
    QString m_sql;
    QStringList m_paramNames;
    std::vector<int> m_markers; // for each "?", its parameter
    std::vector<QVariant> m_params;
    std::unique_ptr<PreparedStatement> m_statement;
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    int m_current = -1;
    bool m_open = false;
};

// Firebird takes "?" markers; the statement keeps the names in order of appearance.
struct ParsedStatement
{
    QString sql;
    QStringList names;        // distinct names, upper case, by first appearance
    std::vector<int> markers; // for each "?", the index into names
};
ParsedStatement parseNamedParameters(const QString& sql);

} // namespace db
