#include "data/QueryModel.h"

#include "config/RegionalFormats.h"
#include "data/Query.h"

#include <QDate>
#include <QTime>

namespace db {

QueryModel::QueryModel(Query& query, QObject* parent) : QAbstractTableModel(parent), m_query(query)
{
    connect(&m_query, &Query::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int QueryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_query.recordCount();
}

int QueryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_query.columnCount();
}

QVariant QueryModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    const QVariant& v = m_query.value(index.row(), index.column());
    const RegionalFormats& formats = RegionalFormats::current();
    switch (v.typeId()) {
    case QMetaType::QDate:
        return formats.dateToText(v.toDate());
    case QMetaType::QTime:
        return formats.timeToText(v.toTime());
    case QMetaType::QByteArray:
        return {};
    default:
        return v;
    }
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_query.columnCount())
        return m_query.columnNames().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace db
