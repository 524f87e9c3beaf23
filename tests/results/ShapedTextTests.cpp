#include "Fonts.h"
#include "PixelProbes.h"
#include "ShapedText.h"
#include "TLabel.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <gtest/gtest.h>

namespace {

struct ShapedCase
{
    const char *name;
    QFont font;
};

void PrintTo(const ShapedCase &c, std::ostream *os)
{
    *os << c.name;
}

// Texts of the grid and of other views: names, whole and signed percentages, Latin, a blank
// at the start, a pair of surrogates, and the empty text.
const QStringList kTexts = {"Взаимодействие", "Ф. (III)", "%", " 38",  "100", "-5", "  0",
                            "Code. A",        "😀",        "",  "Итог!"};
// Starts of the baseline between whole pixels, as a right-aligned text has them.
const double kStarts[] = {3.0, 3.25, 3.4, 3.75, 4.1};

class ShapedTextRule : public testing::TestWithParam<ShapedCase>
{
};

// Kept glyphs paint what drawText paints, the first time and again, wherever the text starts;
// kept widths are the metrics' own.
TEST_P(ShapedTextRule, PaintsWhatDrawTextPaints)
{
    QImage expected(120, 24, QImage::Format_ARGB32_Premultiplied);
    QImage drawn = expected;
    int compared = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (const QString &text : kTexts)
            for (double x : kStarts) {
                expected.fill(Qt::white);
                drawn.fill(Qt::white);
                const QPointF start(x, 16.0 + x / 8);
                QPainter reference(&expected);
                reference.setFont(GetParam().font);
                reference.setPen(QColor(0, 128, 0));
                reference.drawText(start, text);
                reference.end();
                QPainter painter(&drawn);
                painter.setFont(GetParam().font);
                painter.setPen(QColor(0, 128, 0));
                EXPECT_DOUBLE_EQ(shapedAdvance(painter, text),
                                 QFontMetricsF(painter.font(), &drawn).horizontalAdvance(text))
                    << text.toStdString();
                EXPECT_EQ(shapedWidth(GetParam().font, &drawn, text),
                          QFontMetrics(GetParam().font, &drawn).horizontalAdvance(text))
                    << text.toStdString();
                drawShapedText(painter, start, text);
                painter.end();
                EXPECT_EQ(pixelsDiffering(drawn, expected), 0) << text.toStdString() << " at " << x;
                ++compared;
            }
    EXPECT_EQ(compared, 2 * kTexts.size() * std::size(kStarts));
}

// A recording gets the text itself, as drawText records it.
TEST_P(ShapedTextRule, RecordingGetsTheText)
{
    for (const QString &text : kTexts) {
        QPicture expected;
        QPainter reference(&expected);
        reference.setFont(GetParam().font);
        reference.drawText(QPointF(3.25, 16), text);
        reference.end();
        QPicture recorded;
        QPainter painter(&recorded);
        painter.setFont(GetParam().font);
        drawShapedText(painter, QPointF(3.25, 16), text);
        painter.end();
        EXPECT_EQ(QByteArray(recorded.data(), recorded.size()),
                  QByteArray(expected.data(), expected.size()))
            << text.toStdString();
    }
}

// Through a scaled painter drawText shapes the text for the pixels it covers, as before.
TEST_P(ShapedTextRule, ScaledPainterPaintsWhatDrawTextPaints)
{
    QImage expected(240, 48, QImage::Format_ARGB32_Premultiplied);
    QImage drawn = expected;
    for (const QString &text : kTexts) {
        expected.fill(Qt::white);
        drawn.fill(Qt::white);
        QPainter reference(&expected);
        reference.scale(1.25, 1.25);
        reference.setFont(GetParam().font);
        reference.drawText(QPointF(3.25, 16), text);
        reference.end();
        QPainter painter(&drawn);
        painter.scale(1.25, 1.25);
        painter.setFont(GetParam().font);
        drawShapedText(painter, QPointF(3.25, 16), text);
        painter.end();
        EXPECT_EQ(pixelsDiffering(drawn, expected), 0) << text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, ShapedTextRule,
                         testing::Values(ShapedCase{"grid", pixelFont(kSansSerif, 13)},
                                         ShapedCase{"grid_bold", pixelFont(kSansSerif, 13, true)},
                                         ShapedCase{"memo", pixelFont(kTimes, 16)}),
                         [](const auto &row) { return std::string(row.param.name); });

// ---- labels

struct LabelCase
{
    const char *name;
    Qt::Alignment alignment;
    QString caption;
};

void PrintTo(const LabelCase &c, std::ostream *os)
{
    *os << c.name;
}

class LabelRule : public testing::TestWithParam<LabelCase>
{
};

// A label paints its caption where drawText(rect, alignment) puts it, in its own colour, as
// sized to its caption and in a box of another size.
TEST_P(LabelRule, PaintsWhatDrawTextInItsRectPaints)
{
    const QFont font = pixelFont(kSansSerif, 13, true);
    const QColor colour(128, 0, 0);
    TLabel label(nullptr, font, colour);
    label.setAlignment(GetParam().alignment);
    label.setCaption(GetParam().caption);
    for (const QSize size : {label.size(), label.size() + QSize(7, 5)}) {
        label.resize(size);
        QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::white);
        label.render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
        QImage expected(size, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(QRect(QPoint(), size), int(GetParam().alignment), GetParam().caption);
        painter.end();
        QImage blank(size, expected.format());
        blank.fill(Qt::white);
        EXPECT_GT(pixelsDiffering(expected, blank), 0);
        EXPECT_EQ(pixelsDiffering(drawn, expected), 0) << size.width() << "x" << size.height();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, LabelRule,
    testing::Values(LabelCase{"left", Qt::AlignLeft | Qt::AlignTop, "0451. Петрова"},
                    LabelCase{"right", Qt::AlignRight | Qt::AlignTop, "07.12.2025"},
                    LabelCase{"centre", Qt::AlignCenter, " 57"},
                    LabelCase{"bottom", Qt::AlignRight | Qt::AlignBottom, "B"},
                    LabelCase{"tab", Qt::AlignLeft | Qt::AlignTop, "Код\tимя"},
                    LabelCase{"line_separator", Qt::AlignCenter,
                              QStringLiteral("верх") + QChar::LineSeparator + "низ"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
