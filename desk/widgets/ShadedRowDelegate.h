#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Result grids' alternate-row shading: after a cell is painted as usual, a cell of an
// even-numbered row (2nd, 4th, ... counting from 1) that is not selected is painted
// again on a pale blue background.
class ShadedRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static inline const QColor kShade{223, 239, 255};

    explicit ShadedRowDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    static bool isShaded(const QStyleOptionViewItem& option, const QModelIndex& index);
};
