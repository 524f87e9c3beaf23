#include "PixelProbes.h"
#include "ResultsGrid.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <ostream>

namespace {

const QColor kWhite(255, 255, 255);
// Backgrounds that differ from white and from each other, so each rule shows in the pixels.
const QColor kGridColour(250, 250, 210);
const QColor kFixedColour(200, 215, 240);

enum class Ink { None, Black, Green, Red };

const char *inkName(Ink ink)
{
    switch (ink) {
    case Ink::None:
        return "none";
    case Ink::Black:
        return "black";
    case Ink::Green:
        return "green";
    case Ink::Red:
        return "red";
    }
    return "?";
}

Ink inkKind(const InkCensus &census)
{
    if (census.green > 0 && census.red == 0)
        return Ink::Green;
    if (census.red > 0 && census.green == 0)
        return Ink::Red;
    if (census.green == 0 && census.red == 0)
        return census.dark > 0 ? Ink::Black : Ink::None;
    return Ink::None; // mixed hues match no expectation
}

class PaintedTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setupResultsGrid(grid);
        QPalette palette = grid.palette();
        palette.setColor(QPalette::Base, kGridColour);
        palette.setColor(QPalette::Button, kFixedColour);
        grid.setPalette(palette);
        for (double &score : store.ScaleScores)
            score = 50;
        for (double &score : store.SummaryScores)
            score = 50;
        store.SummaryScores[11] = 61;  // column 1, row 1
        store.SummaryScores[2] = 60.4; // column 3, row 5
        store.ScaleScores[17] = 39;    // column 5, row 1
        store.ScaleScores[18] = 40;    // column 5, row 3
        store.ScaleScores[1] = 100;    // column 7, row 1
        store.ScaleScores[2] = -5;     // column 7, row 2
        fill();
        grid.resize(602, 167);
        grid.show();
        grid.selectCell(1, 8); // an empty cell, out of the way of the probes
        settle();
    }

    void fill() { fillResultsTable(grid, store, QLocale::c()); }

    InkCensus inkOf(const QImage &image, int col, int row, const QColor &background) const
    {
        return census(image, grid.cellRect(col, row), background);
    }

    // The left eight pixels of a cell, where right-aligned short texts never reach.
    QRect leftStrip(int col, int row) const
    {
        const QRect cell = grid.cellRect(col, row);
        return QRect(cell.topLeft(), QSize(8, cell.height()));
    }

    TStringGrid grid;
    ProfileStore store;
};

// Threshold colours follow the shown whole number.

struct Threshold
{
    double value;
    Ink ink;
};

void PrintTo(const Threshold &t, std::ostream *os)
{
    *os << t.value << " -> " << inkName(t.ink);
}

class ThresholdColour : public PaintedTable, public ::testing::WithParamInterface<Threshold>
{
};

TEST_P(ThresholdColour, OfAScaleCell)
{
    store.ScaleScores[3] = GetParam().value;
    fill();
    const QImage image = grabCells(grid);
    const InkCensus ink = inkOf(image, 7, 3, kGridColour);
    EXPECT_EQ(inkKind(ink), GetParam().ink)
        << grid.cell(7, 3).toStdString() << ": expected " << inkName(GetParam().ink) << ", dark "
        << ink.dark << " green " << ink.green << " red " << ink.red;
}

INSTANTIATE_TEST_SUITE_P(ShownValue, ThresholdColour,
                         ::testing::Values(Threshold{61, Ink::Green}, Threshold{60.5, Ink::Green},
                                           Threshold{60.4, Ink::Black}, Threshold{60, Ink::Black},
                                           Threshold{50, Ink::Black}, Threshold{40, Ink::Black},
                                           Threshold{39.5, Ink::Black}, Threshold{39.4, Ink::Red},
                                           Threshold{39, Ink::Red}, Threshold{2.5, Ink::Red},
                                           Threshold{0, Ink::Red}, Threshold{-0.4, Ink::Red},
                                           Threshold{-8.33, Ink::Red}, Threshold{100, Ink::Green},
                                           Threshold{108.33, Ink::Green}));

// Only the value columns below the header are read as numbers.

struct Placed
{
    int col;
    int row;
    const char *text;
    Ink ink;
};

void PrintTo(const Placed &p, std::ostream *os)
{
    *os << "(" << p.col << "," << p.row << ") '" << p.text << "' -> " << inkName(p.ink);
}

class ThresholdPlace : public PaintedTable, public ::testing::WithParamInterface<Placed>
{
};

TEST_P(ThresholdPlace, DecidesTheColour)
{
    const Placed &p = GetParam();
    grid.setCell(p.col, p.row, QString::fromLatin1(p.text));
    const QImage image = grabCells(grid);
    const QColor background = p.row == 0 ? kFixedColour : kGridColour;
    EXPECT_EQ(inkKind(inkOf(image, p.col, p.row, background)), p.ink)
        << p.col << "," << p.row << " '" << p.text << "' expected " << inkName(p.ink);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ThresholdPlace,
    ::testing::Values(Placed{1, 2, " 70", Ink::Green}, Placed{3, 4, " 20", Ink::Red},
                      Placed{5, 2, "  7 ", Ink::Red}, Placed{1, 0, " 70", Ink::Black},
                      Placed{7, 0, " 20", Ink::Black}, Placed{6, 2, " 70", Ink::Black},
                      Placed{0, 3, " 20", Ink::Black}, Placed{4, 2, " 20", Ink::Black}));

// Bold shows as heavier strokes than the same text in a regular cell.

struct Weight
{
    int col;
    int row;
    bool bold;
};

void PrintTo(const Weight &w, std::ostream *os)
{
    *os << "(" << w.col << "," << w.row << ") " << (w.bold ? "bold" : "regular");
}

class FontWeight : public PaintedTable, public ::testing::WithParamInterface<Weight>
{
};

TEST_P(FontWeight, OfTheSameText)
{
    const Weight &w = GetParam();
    const QString text = QStringLiteral(" 50");
    grid.setCell(w.col, w.row, text);
    grid.setCell(3, 2, text); // a regular value cell as the yardstick
    const QImage image = grabCells(grid);
    const double here = inkOf(image, w.col, w.row, w.row == 0 ? kFixedColour : kGridColour).amount;
    const double regular = inkOf(image, 3, 2, kGridColour).amount;
    ASSERT_GT(regular, 0);
    if (w.bold)
        EXPECT_GT(here / regular, 1.25) << w.col << "," << w.row;
    else
        EXPECT_NEAR(here / regular, 1.0, 0.1) << w.col << "," << w.row;
}

INSTANTIATE_TEST_SUITE_P(Cells, FontWeight,
                         ::testing::Values(Weight{0, 0, true}, Weight{1, 0, true},
                                           Weight{6, 0, true}, Weight{7, 0, true},
                                           Weight{0, 2, true}, Weight{2, 2, true},
                                           Weight{4, 2, true}, Weight{6, 2, true},
                                           Weight{1, 2, false}, Weight{5, 2, false},
                                           Weight{7, 3, false}));

// Backgrounds.

TEST_F(PaintedTable, HeaderRowLiesOnTheFixedColour)
{
    const QImage image = grabCells(grid);
    for (int col = 0; col < kResultsCols; ++col)
        EXPECT_EQ(pixelsNotOf(image, leftStrip(col, 0), kFixedColour), 0) << col;
    EXPECT_EQ(pixelsNotOf(image, leftStrip(3, 1), kGridColour), 0);
}

TEST_F(PaintedTable, EmptyCellsShowOnlyTheirBackground)
{
    const QImage image = grabCells(grid);
    for (int row = 2; row <= 7; ++row)
        EXPECT_EQ(pixelsNotOf(image, grid.cellRect(1, row), kGridColour), 0) << row;
    EXPECT_EQ(pixelsNotOf(image, grid.cellRect(3, 2), kGridColour), 0);
    EXPECT_EQ(pixelsNotOf(image, grid.cellRect(5, 4), kGridColour), 0);
    EXPECT_EQ(pixelsNotOf(image, grid.cellRect(0, 2), kGridColour), 0);
}

TEST_F(PaintedTable, SelectedCellIsWhiteWithItsUsualInk)
{
    grid.clearFocus();
    grid.selectCell(1, 1); // 61
    QImage image = grabCells(grid);
    EXPECT_EQ(pixelsNotOf(image, leftStrip(1, 1), kWhite), 0);
    EXPECT_EQ(inkKind(inkOf(image, 1, 1, kWhite)), Ink::Green);

    grid.selectCell(3, 1); // 50
    image = grabCells(grid);
    EXPECT_EQ(pixelsNotOf(image, leftStrip(1, 1), kGridColour), 0);
    EXPECT_EQ(pixelsNotOf(image, leftStrip(3, 1), kWhite), 0);
    EXPECT_EQ(inkKind(inkOf(image, 3, 1, kWhite)), Ink::Black);

    // With the focus the cell keeps its white and gains the dotted mark on its rim.
    grid.setFocus();
    ASSERT_TRUE(grid.hasFocus());
    image = grabCells(grid);
    const QRect cell = grid.cellRect(3, 1);
    EXPECT_EQ(pixelsNotOf(image, QRect(cell.left() + 1, cell.top() + 1, 7, 15), kWhite), 0);
    EXPECT_GT(pixelsNotOf(image, QRect(cell.left(), cell.top(), cell.width(), 1), kWhite), 0);
}

// Text placement: Qt's own right- and top-aligned layout in the rectangle that ends six pixels
// inside the cell and starts two pixels down must give the very same pixels.

struct Placement
{
    int col;
    int row;
    bool bold;
    QColor ink;
};

void PrintTo(const Placement &p, std::ostream *os)
{
    *os << "(" << p.col << "," << p.row << ") " << (p.bold ? "bold " : "regular ")
        << p.ink.name().toStdString();
}

class TextPlacement : public PaintedTable, public ::testing::WithParamInterface<Placement>
{
};

TEST_P(TextPlacement, MatchesAlignedLayout)
{
    const Placement &p = GetParam();
    const QImage image = grabCells(grid);
    const QRect cell = grid.cellRect(p.col, p.row);
    const QColor background = p.row == 0 ? kFixedColour : kGridColour;

    QImage expected(cell.size(), image.format());
    expected.fill(background);
    QPainter painter(&expected);
    QFont font = grid.font();
    font.setBold(p.bold);
    painter.setFont(font);
    painter.setPen(p.ink);
    painter.drawText(QRect(0, 2, cell.width() - 6, cell.height() - 2),
                     Qt::AlignRight | Qt::AlignTop, grid.cell(p.col, p.row));
    painter.end();

    ASSERT_GT(pixelsNotOf(expected, expected.rect(), background), 0);
    EXPECT_EQ(pixelsDiffering(image.copy(cell), expected), 0) << p.col << "," << p.row;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TextPlacement,
    ::testing::Values(Placement{0, 0, true, Qt::black}, Placement{1, 0, true, Qt::black},
                      Placement{6, 0, true, Qt::black}, Placement{0, 1, true, Qt::black},
                      Placement{2, 5, true, Qt::black}, Placement{6, 4, true, Qt::black},
                      Placement{3, 1, false, Qt::black}, Placement{3, 5, false, Qt::black},
                      Placement{1, 1, true, QColor(0, 128, 0)},
                      Placement{7, 1, true, QColor(0, 128, 0)},
                      Placement{5, 1, true, QColor(255, 0, 0)},
                      Placement{7, 2, true, QColor(255, 0, 0)}));

TEST_F(PaintedTable, DigitsEndSixPixelsInsideTheCell)
{
    const QImage image = grabCells(grid);
    // A digit's ink reaches the last pixel before the six-pixel margin, in every value column.
    for (const QPoint at : {QPoint(1, 1), QPoint(3, 1), QPoint(5, 1), QPoint(7, 1), QPoint(7, 4)}) {
        const QRect cell = grid.cellRect(at.x(), at.y());
        const InkCensus ink = census(image, cell, kGridColour);
        EXPECT_EQ(cell.x() + cell.width() - (ink.right + 1), 6) << at.x() << "," << at.y();
        EXPECT_GE(ink.top, cell.top() + 2);
    }
}

} // namespace
