#pragma once

#include <QAbstractTableModel>

namespace db {

class Query;

// A data source: shows a query's rows to grids and lists. Dates and times show in the
// machine's short date and long time formats; blobs show nothing.
class QueryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit QueryModel(Query& query, QObject* parent = nullptr);

    Query& query() const { return m_query; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Query& m_query;
};

} // namespace db
