#include "desk/widgets/DBLookupComboBox.h"

#include "data/Query.h"
#include "data/QueryModel.h"

namespace {

bool sameKey(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return false;
    // Keys arrive as int from the window and as the column's own integer type from the
    // query; compare them as numbers.
    bool okA = false, okB = false;
    const qlonglong na = a.toLongLong(&okA), nb = b.toLongLong(&okB);
    if (okA && okB)
        return na == nb;
    return a.toString() == b.toString();
}

} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_updating)
            return;
        m_key = index >= 0 ? itemData(index) : QVariant();
        Q_EMIT keyValueChanged(m_key);
    });
}

void DBLookupComboBox::setListSource(db::QueryModel* source, const QString& listField,
                                     const QString& keyField)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_listField = listField;
    m_keyField = keyField;
    if (m_source) {
        connect(m_source, &QAbstractItemModel::modelReset, this, &DBLookupComboBox::reload);
        connect(m_source, &QAbstractItemModel::dataChanged, this, &DBLookupComboBox::reload);
    }
    reload();
}

void DBLookupComboBox::setKeyValue(const QVariant& key)
{
    m_key = key;
    showKey();
    Q_EMIT keyValueChanged(m_key);
}

void DBLookupComboBox::reload()
{
    m_updating = true;
    clear();
    if (m_source) {
        const db::Query& query = m_source->query();
        const int listColumn = query.columnIndex(m_listField);
        const int keyColumn = query.columnIndex(m_keyField);
        if (listColumn >= 0 && keyColumn >= 0) {
            for (int row = 0; row < m_source->rowCount(); ++row) {
                const QString text = m_source->index(row, listColumn).data().toString();
                addItem(text, query.value(row, keyColumn));
            }
        }
    }
    m_updating = false;
    // A reopened list keeps the chosen key, as a data-bound list does.
    showKey();
}

void DBLookupComboBox::showKey()
{
    int found = -1;
    for (int i = 0; i < count(); ++i) {
        if (sameKey(itemData(i), m_key)) {
            found = i;
            break;
        }
    }
    m_updating = true;
    setCurrentIndex(found);
    m_updating = false;
}
