#include "desk/widgets/DBGrid.h"

#include "data/Query.h"
#include "data/QueryModel.h"
#include "desk/widgets/ShadedRowDelegate.h"

#include <QAbstractProxyModel>
#include <QHeaderView>

#include <vector>

// Picks and orders the query's columns and gives them their titles. The data source
// only ever resets as a whole (each open, close or refresh of the query), so a reset
// and changed data are all that need following.
class DBGridColumns : public QAbstractProxyModel
{
public:
    explicit DBGridColumns(QObject* parent) : QAbstractProxyModel(parent) {}

    void bind(db::QueryModel* source)
    {
        beginResetModel();
        if (sourceModel())
            sourceModel()->disconnect(this);
        QAbstractProxyModel::setSourceModel(source);
        m_query = source ? &source->query() : nullptr;
        if (source) {
            connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
            connect(source, &QAbstractItemModel::modelReset, this, [this] {
                resolve();
                endResetModel();
            });
            connect(source, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                        if (rowCount() > 0 && columnCount() > 0)
                            Q_EMIT dataChanged(index(from.row(), 0), index(to.row(), columnCount() - 1),
                                               roles);
                    });
        }
        resolve();
        endResetModel();
    }

    void setColumns(const QList<DBGrid::Column>& columns)
    {
        beginResetModel();
        m_wanted = columns;
        resolve();
        endResetModel();
    }

    int gridColumn(const QString& field) const
    {
        for (size_t i = 0; i < m_shown.size(); ++i) {
            if (m_shown[i].field.compare(field, Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }
    const DBGrid::Column& shown(int column) const { return m_shown.at(size_t(column)); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return {};
        return createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !sourceModel() ? 0 : sourceModel()->rowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_sourceColumn.size());
    }
    QModelIndex mapToSource(const QModelIndex& index) const override
    {
        if (!index.isValid() || !sourceModel())
            return {};
        return sourceModel()->index(index.row(), m_sourceColumn.at(size_t(index.column())));
    }
    QModelIndex mapFromSource(const QModelIndex& source) const override
    {
        if (!source.isValid())
            return {};
        for (size_t i = 0; i < m_sourceColumn.size(); ++i) {
            if (m_sourceColumn[i] == source.column())
                return index(source.row(), int(i));
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < columnCount())
            return m_shown[size_t(section)].title;
        if (orientation == Qt::Vertical)
            return QAbstractItemModel::headerData(section, orientation, role);
        return QAbstractProxyModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QAbstractProxyModel::flags(index) & ~Qt::ItemIsEditable;
    }

private:
    // The query learns its columns only when it first opens, so names are matched anew
    // at every reset.
    void resolve()
    {
        m_sourceColumn.clear();
        m_shown.clear();
        if (!m_query)
            return;
        if (m_wanted.isEmpty()) {
            const QStringList& names = m_query->columnNames();
            for (int c = 0; c < names.size(); ++c) {
                m_sourceColumn.push_back(c);
                m_shown.push_back({names.at(c), names.at(c), 0});
            }
            return;
        }
        for (const DBGrid::Column& column : m_wanted) {
            const int c = m_query->columnIndex(column.field);
            if (c < 0)
                continue;
            m_sourceColumn.push_back(c);
            m_shown.push_back(
                {column.field, column.title.isEmpty() ? column.field : column.title, column.width});
        }
    }

    db::Query* m_query = nullptr;
    QList<DBGrid::Column> m_wanted;
    std::vector<int> m_sourceColumn;
    std::vector<DBGrid::Column> m_shown;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(std::make_unique<DBGridColumns>(nullptr))
{
    setItemDelegate(new ShadedRowDelegate(this));
    setAlternatingRowColors(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setModel(m_model.get());

    // Runs after the view's own reset handling, which puts every section back to the
    // default width.
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, &DBGrid::applyWidths);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_source && current.isValid())
                    m_source->query().setCurrentRow(current.row());
            });
}

DBGrid::~DBGrid()
{
    // The view must let go of the model before the model goes.
    setModel(nullptr);
}

void DBGrid::setDataSource(db::QueryModel* source)
{
    if (m_source)
        m_source->query().disconnect(this);
    m_source = source;
    m_model->bind(source);
    if (source) {
        connect(&source->query(), &db::Query::currentRowChanged, this, &DBGrid::followQuery);
        followQuery(source->query().currentRow());
    }
}

void DBGrid::setColumns(const QList<Column>& columns)
{
    m_columns = columns;
    m_model->setColumns(columns);
    if (m_source)
        followQuery(m_source->query().currentRow());
}

int DBGrid::gridColumn(const QString& field) const
{
    return m_model->gridColumn(field);
}

void DBGrid::followQuery(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clearCurrentIndex();
        clearSelection();
        return;
    }
    if (currentIndex().isValid() && currentIndex().row() == row)
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    selectionModel()->setCurrentIndex(m_model->index(row, column),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void DBGrid::applyWidths()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int width = m_model->shown(c).width;
        if (width > 0)
            setColumnWidth(c, width);
        else
            resizeColumnToContents(c);
    }
}
