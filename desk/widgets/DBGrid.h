#pragma once

#include <QList>
#include <QString>
#include <QTableView>

#include <memory>

namespace db {
class QueryModel;
}
class DBGridColumns;

// A result grid bound to a data source: shows the chosen columns of the query's rows
// and follows the query's current row both ways (selecting a row moves the query,
// moving the query selects the row). Cells cannot be edited; even rows are shaded.
class DBGrid : public QTableView
{
    Q_OBJECT

public:
    struct Column
    {
        QString field; // the query's column name
        QString title; // empty: the column name
        int width = 0; // pixels; 0 fits the column to its values and title
    };

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    // Binds the grid; nullptr unbinds it. The data source must outlive the binding.
    void setDataSource(db::QueryModel* source);
    db::QueryModel* dataSource() const { return m_source; }

    // Columns in display order. With none set, every column of the query shows under
    // its own name. A name the query does not have is left out.
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }

    // The grid column showing a query column, -1 when it is not shown.
    int gridColumn(const QString& field) const;

private:
    void followQuery(int row);
    void applyWidths();

    db::QueryModel* m_source = nullptr;
    std::unique_ptr<DBGridColumns> m_model;
    QList<Column> m_columns;
};
