#pragma once

#include <QComboBox>
#include <QPointer>
#include <QVariant>

namespace db {
class QueryModel;
}

// A drop-down list whose items are the rows of a data source: it shows one column and
// its value is the key column of the chosen row. Not bound to a record; nothing is
// chosen until the guard or the program picks a key. A key with no matching row is
// kept and shows no name.
class DBLookupComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    void setListSource(db::QueryModel* source, const QString& listField, const QString& keyField);

    QVariant keyValue() const { return m_key; }
    void setKeyValue(const QVariant& key);
    // The shown text; empty while nothing (or an unknown key) is chosen.
    QString text() const { return currentText(); }

Q_SIGNALS:
    void keyValueChanged(const QVariant& key);

private:
    void reload();
    void showKey();

    QPointer<db::QueryModel> m_source;
    QString m_listField;
    QString m_keyField;
    QVariant m_key;
    bool m_updating = false; // set while the program, not the guard, moves the selection
};
