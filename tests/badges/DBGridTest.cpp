#include "desk/widgets/DBGrid.h"

#include "tests/badges/BadgesFixture.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTest>

namespace {

class DBGridTest : public BadgesFixture
{
protected:
    void SetUp() override
    {
        BadgesFixture::SetUp();
        grid.resize(500, 300);
        grid.setDataSource(&dm->DS_Localidades);
        dm->qryLocalidades.open();
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    QString cell(int row, int column) const { return grid.model()->index(row, column).data().toString(); }
    QString title(int column) const { return grid.model()->headerData(column, Qt::Horizontal).toString(); }

    DBGrid grid;
};

TEST_F(DBGridTest, ShowsTheChosenColumnsInOrderWithTitlesAndWidths)
{
    QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    // With no columns chosen every column shows under its name.
    ASSERT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(title(0), QStringLiteral("ID"));

    grid.setColumns({{QStringLiteral("LOCALIDADE"), QStringLiteral("LOCAL"), 150},
                     {QStringLiteral("NAO_EXISTE"), QStringLiteral("X"), 40},
                     {QStringLiteral("ID"), QString(), 0}});
    ASSERT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(title(0), QStringLiteral("LOCAL"));
    EXPECT_EQ(title(1), QStringLiteral("ID"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("ADMINISTRAÇÃO"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(grid.gridColumn(QStringLiteral("id")), 1);
    EXPECT_EQ(grid.gridColumn(QStringLiteral("NAO_EXISTE")), -1);
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);

    // Every reopen resets the view's sections; the widths must come back.
    dm->qryLocalidades.close();
    dm->qryLocalidades.open();
    EXPECT_EQ(grid.columnWidth(0), 150);
    EXPECT_GT(grid.columnWidth(1), 0);
    EXPECT_EQ(grid.model()->rowCount(), 6);
}

TEST_F(DBGridTest, FollowsTheQueryCurrentRowBothWays)
{
    db::Query& query = dm->qryLocalidades;
    EXPECT_EQ(grid.currentIndex().row(), 0);

    query.setCurrentRow(4);
    EXPECT_EQ(grid.currentIndex().row(), 4);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(4, {}));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(2, 1)).center());
    EXPECT_EQ(query.currentRow(), 2);
    EXPECT_EQ(cell(grid.currentIndex().row(), 1), QStringLiteral("MANUTENÇÃO"));

    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(query.currentRow(), 3);

    query.refresh();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    query.close();
    EXPECT_FALSE(grid.currentIndex().isValid());
    EXPECT_EQ(grid.model()->rowCount(), 0);
}

} // namespace
