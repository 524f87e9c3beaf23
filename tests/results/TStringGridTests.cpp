#include "PixelProbes.h"
#include "TStringGrid.h"

#include <QApplication>
#include <QPainter>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <utility>

namespace {

// The shape of the results table: eight columns, a header row and sixteen data rows.
constexpr int kWidths[] = {134, 35, 91, 35, 91, 35, 117, 35};
constexpr int kCols = 8;
constexpr int kRows = 17;
constexpr int kRowHeight = 17;
constexpr int kGridWidth = 602;
constexpr int kGridHeight = 167;

class GridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.setColCount(kCols);
        grid.setRowCount(kRows);
        grid.setFixedRows(1);
        grid.setDefaultRowHeight(kRowHeight);
        for (int col = 0; col < kCols; ++col)
            grid.setColWidth(col, kWidths[col]);
        grid.resize(kGridWidth, kGridHeight);
        grid.show();
        settle();
    }

    QPoint centreOf(int col, int row) const { return grid.cellRect(col, row).center(); }

    TStringGrid grid;
};

// geometry

TEST_F(GridTest, FrameAndScrollBarLeaveExactlyTheColumnsWidth)
{
    EXPECT_EQ(grid.frameWidth(), 2);
    const QScrollBar *bar = grid.verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->width(), 17);
    EXPECT_FALSE(grid.horizontalScrollBar()->isVisible());

    const int columns = std::accumulate(std::begin(kWidths), std::end(kWidths), 0) + kCols;
    EXPECT_EQ(columns, 581);
    EXPECT_EQ(grid.viewport()->geometry(), QRect(2, 2, 581, 163));
    const QRect last = grid.cellRect(7, 1);
    EXPECT_EQ(last.x() + last.width() + 1, grid.viewport()->width()); // the last line is the edge
}

TEST_F(GridTest, CellRectsFollowWidthsRowHeightAndOnePixelLines)
{
    const int left[kCols] = {0, 135, 171, 263, 299, 391, 427, 545};
    for (int col = 0; col < kCols; ++col) {
        EXPECT_EQ(grid.cellRect(col, 0), QRect(left[col], 0, kWidths[col], 17)) << col;
        EXPECT_EQ(grid.cellRect(col, 3), QRect(left[col], 54, kWidths[col], 17)) << col;
    }
    // The ninth data row shows one pixel line; the tenth is out of view.
    EXPECT_EQ(grid.cellRect(0, 8), QRect(0, 144, 134, 17));
    EXPECT_EQ(grid.cellRect(0, 9), QRect(0, 162, 134, 17));
    EXPECT_TRUE(grid.cellRect(0, 10).isEmpty());
    EXPECT_TRUE(grid.cellRect(8, 1).isEmpty());
    EXPECT_TRUE(grid.cellRect(0, 17).isEmpty());
}

TEST_F(GridTest, ScrollingMovesDataRowsUnderTheFixedRow)
{
    grid.setTopRow(5);
    EXPECT_EQ(grid.topRow(), 5);
    EXPECT_EQ(grid.cellRect(2, 0), QRect(171, 0, 91, 17));
    EXPECT_EQ(grid.cellRect(2, 5), QRect(171, 18, 91, 17));
    EXPECT_EQ(grid.cellRect(2, 12), QRect(171, 144, 91, 17));
    EXPECT_TRUE(grid.cellRect(2, 1).isEmpty());
    EXPECT_TRUE(grid.cellRect(2, 4).isEmpty());
    EXPECT_TRUE(grid.cellRect(2, 14).isEmpty());

    EXPECT_EQ(grid.cellAt(QPoint(200, 5)), QPoint(2, 0));
    EXPECT_EQ(grid.cellAt(QPoint(200, 20)), QPoint(2, 5));
}

TEST_F(GridTest, ScrollRangeCountsWholeRows)
{
    const QScrollBar *bar = grid.verticalScrollBar();
    EXPECT_EQ(grid.visibleRowCount(), 8);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 8);
    EXPECT_EQ(bar->pageStep(), 8);

    grid.setTopRow(100);
    EXPECT_EQ(grid.topRow(), 9);
    grid.setTopRow(0);
    EXPECT_EQ(grid.topRow(), 1);

    // 163 pixels less a 21-pixel header leave room for six whole 20-pixel rows.
    grid.setDefaultRowHeight(20);
    grid.setRowCount(30);
    EXPECT_EQ(grid.visibleRowCount(), 6);
    EXPECT_EQ(bar->maximum(), 29 - 6);
}

TEST_F(GridTest, BarGoesWhenEveryRowFits)
{
    grid.setRowCount(9);
    settle();
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(grid.verticalScrollBar()->isVisible());
    EXPECT_EQ(grid.viewport()->width(), 598);

    grid.setRowCount(10);
    settle();
    EXPECT_TRUE(grid.verticalScrollBar()->isVisible());
    EXPECT_EQ(grid.viewport()->width(), 581);
}

TEST_F(GridTest, CellTextsSurviveShapeChangesWhereTheyStillFit)
{
    grid.setCell(2, 3, QStringLiteral("kept"));
    grid.setCell(6, 3, QStringLiteral("cut"));
    grid.setCell(9, 3, QStringLiteral("outside"));
    EXPECT_EQ(grid.cell(2, 3), QStringLiteral("kept"));
    EXPECT_EQ(grid.cell(9, 3), QString());

    grid.setColCount(4);
    grid.setColCount(8);
    EXPECT_EQ(grid.cell(2, 3), QStringLiteral("kept"));
    EXPECT_EQ(grid.cell(6, 3), QString());
    EXPECT_EQ(grid.colWidth(2), 91);
    EXPECT_EQ(grid.colWidth(6), TStringGrid::kDefaultColWidth);
}

// selection

TEST_F(GridTest, SelectionIsOneCellClampedOutOfTheFixedRow)
{
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 1));
    grid.selectCell(3, 0);
    EXPECT_EQ(grid.selectedCell(), QPoint(3, 1));
    grid.selectCell(-4, 40);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 16));
    EXPECT_EQ(grid.topRow(), 9);

    grid.setRowCount(10);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 9));
}

TEST_F(GridTest, ArrowKeysMoveOneCellAndStopAtTheEdges)
{
    grid.selectCell(1, 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.selectedCell(), QPoint(1, 1));
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.selectedCell(), QPoint(2, 2));
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(grid.selectedCell(), QPoint(7, 2));
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.selectedCell(), QPoint(7, 2));
    QTest::keyClick(&grid, Qt::Key_Home);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 2));
}

TEST_F(GridTest, KeyboardKeepsTheSelectionInView)
{
    grid.selectCell(1, 1);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.selectedCell(), QPoint(1, 9));
    EXPECT_EQ(grid.topRow(), 2);

    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.selectedCell(), QPoint(7, 16));
    EXPECT_EQ(grid.topRow(), 9);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 1));
    EXPECT_EQ(grid.topRow(), 1);

    // A page moves view and selection together until the last row stops both.
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 9));
    EXPECT_EQ(grid.topRow(), 9);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 16));
    QTest::keyClick(&grid, Qt::Key_PageUp);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 8));
    EXPECT_EQ(grid.topRow(), 1);
    EXPECT_FALSE(grid.cellRect(0, 8).isEmpty());
}

TEST_F(GridTest, MouseSelectsDataCellsButNeverTheHeader)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(3, 4));
    EXPECT_EQ(grid.selectedCell(), QPoint(3, 4));
    EXPECT_TRUE(grid.hasFocus());

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(5, 0));
    EXPECT_EQ(grid.selectedCell(), QPoint(3, 4));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(134, 40)); // a grid line
    EXPECT_EQ(grid.selectedCell(), QPoint(3, 4));

    grid.setTopRow(5);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(2, 6));
    EXPECT_EQ(grid.selectedCell(), QPoint(2, 6));
}

TEST_F(GridTest, WheelScrollsByWholeRowsWithoutMovingTheSelection)
{
    const QPointF at = centreOf(2, 3);
    QWheelEvent down(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &down);
    EXPECT_GT(grid.topRow(), 1);
    EXPECT_EQ(grid.cellRect(0, grid.topRow()).top(), 18);
    EXPECT_EQ(grid.selectedCell(), QPoint(0, 1));
}

// painting

struct DrawCall
{
    GridDrawState state;
    QRect rect;
    QFont font;
    QColor pen;
};

TEST_F(GridTest, HandlerPaintsEveryCellInViewWithAPreparedPainter)
{
    std::map<std::pair<int, int>, DrawCall> calls;
    grid.setFont(QFont(QStringLiteral("Liberation Serif"), 11));
    grid.setOnDrawCell([&](TStringGrid &, QPainter &painter, int col, int row, const QRect &rect,
                           GridDrawState state) {
        calls[{col, row}] = {state, rect, painter.font(), painter.pen().color()};
        painter.setFont(QFont(QStringLiteral("Liberation Mono"), 20)); // must not leak
        painter.setPen(Qt::red);
    });
    grid.clearFocus();
    grid.setTopRow(5);
    grid.selectCell(2, 7);
    grabCells(grid);

    EXPECT_EQ(calls.size(), std::size_t(kCols * (1 + 9))); // header, rows 5..13
    EXPECT_EQ(calls.count({0, 1}), 0u);
    EXPECT_EQ(calls.count({0, 14}), 0u);
    for (const auto &[cell, call] : calls) {
        const auto [col, row] = cell;
        EXPECT_EQ(call.rect, grid.cellRect(col, row));
        EXPECT_EQ(call.font, grid.font());
        EXPECT_EQ(call.pen, QColor(Qt::black));
        const GridDrawState expected = row == 0                           ? gdFixed
                                       : QPoint(col, row) == QPoint(2, 7) ? gdSelected
                                                                          : 0;
        EXPECT_EQ(call.state, expected) << col << "," << row;
    }

    grid.setFocus();
    ASSERT_TRUE(grid.hasFocus());
    calls.clear();
    grabCells(grid);
    EXPECT_EQ(calls.at({2, 7}).state, gdSelected | gdFocused);
    EXPECT_EQ(calls.at({3, 7}).state, 0);
}

TEST_F(GridTest, LinesRunRightAndBelowEveryCell)
{
    grid.setOnDrawCell([](TStringGrid &, QPainter &painter, int, int, const QRect &rect,
                          GridDrawState) { painter.fillRect(rect, Qt::white); });
    const QImage image = grabCells(grid);
    const QRgb line = grid.gridLineColor().rgb();
    ASSERT_NE(line, QColor(Qt::white).rgb());

    EXPECT_EQ(image.pixel(133, 10), QColor(Qt::white).rgb());
    EXPECT_EQ(image.pixel(134, 10), line);
    EXPECT_EQ(image.pixel(135, 10), QColor(Qt::white).rgb());
    EXPECT_EQ(image.pixel(580, 40), line); // after the last column
    EXPECT_EQ(image.pixel(50, 16), QColor(Qt::white).rgb());
    EXPECT_EQ(image.pixel(50, 17), line);
    EXPECT_EQ(image.pixel(50, 18), QColor(Qt::white).rgb());
    EXPECT_EQ(image.pixel(50, 161), line);
}

TEST_F(GridTest, DottedFocusMarkOnlyWhileFocused)
{
    grid.setOnDrawCell([](TStringGrid &, QPainter &painter, int, int, const QRect &rect,
                          GridDrawState) { painter.fillRect(rect, Qt::white); });
    grid.selectCell(2, 3);
    const QRect cell = grid.cellRect(2, 3);
    const QRect inside = cell.adjusted(1, 1, -1, -1);

    grid.clearFocus();
    QImage image = grabCells(grid);
    EXPECT_EQ(pixelsNotOf(image, cell, Qt::white), 0);

    grid.setFocus();
    ASSERT_TRUE(grid.hasFocus());
    image = grabCells(grid);
    EXPECT_EQ(pixelsNotOf(image, inside, Qt::white), 0);
    // Every other pixel of the border is dark.
    const int border = 2 * (cell.width() + cell.height()) - 4;
    const int marked = pixelsNotOf(image, cell, Qt::white);
    EXPECT_GE(marked, border / 2 - 2);
    EXPECT_LE(marked, border / 2 + 2);
    EXPECT_EQ(pixelsNotOf(image, grid.cellRect(3, 3), Qt::white), 0);
}

TEST_F(GridTest, DefaultDrawingShowsTextAndHighlightsTheSelection)
{
    grid.setCell(2, 2, QStringLiteral("text"));
    grid.selectCell(4, 2);
    const QImage image = grabCells(grid);
    const QRect written = grid.cellRect(2, 2);
    EXPECT_GT(census(image, written, grid.color()).dark, 0);
    // Default text starts two pixels in from the left.
    EXPECT_EQ(pixelsNotOf(image, QRect(written.left(), written.top(), 2, 17), grid.color()), 0);
    const QRect selected = grid.cellRect(4, 2);
    EXPECT_EQ(image.pixelColor(selected.center()), grid.palette().color(QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(grid.cellRect(4, 0).center()), grid.fixedColor());
}

} // namespace
