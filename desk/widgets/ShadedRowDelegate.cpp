#include "desk/widgets/ShadedRowDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

ShadedRowDelegate::ShadedRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

bool ShadedRowDelegate::isShaded(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    return index.isValid() && index.row() % 2 == 1 && !(option.state & QStyle::State_Selected);
}

void ShadedRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!isShaded(option, index))
        return;
    QStyleOptionViewItem shaded(option);
    initStyleOption(&shaded, index);
    shaded.backgroundBrush = kShade;
    // The style only fills a background brush it is given; the fill also covers what
    // the first pass drew under the text.
    painter->fillRect(shaded.rect, kShade);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &shaded, painter, widget);
}
