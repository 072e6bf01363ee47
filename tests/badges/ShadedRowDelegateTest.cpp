#include "desk/widgets/ShadedRowDelegate.h"

#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

// Renders a plain table and reads the colour at the right end of each row's cell, away
// from the text.
TEST(ShadedRowDelegate, ShadesEvenRowsButNotSelectedCells)
{
    QStandardItemModel model(5, 1);
    for (int r = 0; r < model.rowCount(); ++r)
        model.setItem(r, new QStandardItem(QStringLiteral("x")));
    QTableView view;
    view.setItemDelegate(new ShadedRowDelegate(&view));
    view.setModel(&model);
    view.setColumnWidth(0, 200);
    view.resize(260, 240);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.selectRow(3);
    view.show();

    const QImage shot = view.viewport()->grab().toImage();
    const auto colourOfRow = [&](int row) {
        const QRect cell = view.visualRect(model.index(row, 0));
        return shot.pixelColor(cell.right() - 4, cell.center().y());
    };
    const QColor base = view.palette().color(QPalette::Base);
    EXPECT_EQ(colourOfRow(0), base);
    EXPECT_EQ(colourOfRow(1), ShadedRowDelegate::kShade);
    EXPECT_EQ(colourOfRow(2), base);
    EXPECT_NE(colourOfRow(3), ShadedRowDelegate::kShade); // the 4th row, selected
    EXPECT_NE(colourOfRow(3), base);
    EXPECT_EQ(colourOfRow(4), base);
}

} // namespace
