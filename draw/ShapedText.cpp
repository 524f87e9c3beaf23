#include "ShapedText.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QStaticText>
#include <vector>

namespace {

// Bounds of what a thread keeps: a view paints in two or three fonts and a few hundred texts.
constexpr std::size_t kMaxFonts = 8;
constexpr qsizetype kMaxTextsPerFont = 2048;

struct Shape
{
    QStaticText glyphs;
    qreal advance = 0;
    // Glyphs are kept only for a text the font holds whole: one that takes glyphs of another
    // font (an emoji, a rare script) is painted by drawText, as the two would differ.
    bool kept = false;
};

struct FontShapes
{
    QFont font;
    QRawFont raw;
    int dpi = 0;
    qreal ascent = 0;
    QHash<QString, Shape> texts;
    QHash<QString, int> widths;
};

bool fontHolds(const QRawFont &font, const QString &text)
{
    for (const char32_t c : QStringView(text).toUcs4())
        if (!font.supportsCharacter(c))
            return false;
    return true;
}

FontShapes &shapesOf(const QFont &font, const QPaintDevice *device)
{
    thread_local std::vector<FontShapes> fonts;
    const int dpi = device->logicalDpiY();
    for (FontShapes &shapes : fonts)
        if (shapes.dpi == dpi && shapes.font == font)
            return shapes;
    if (fonts.size() >= kMaxFonts)
        fonts.clear();
    fonts.push_back(
        {font, QRawFont::fromFont(font), dpi, QFontMetricsF(font, device).ascent(), {}, {}});
    return fonts.back();
}

FontShapes &shapesOf(QPainter &painter)
{
    return shapesOf(painter.font(), painter.device());
}

const Shape &shapeOf(QPainter &painter, FontShapes &shapes, const QString &text)
{
    const auto kept = shapes.texts.constFind(text);
    if (kept != shapes.texts.cend())
        return *kept;
    if (shapes.texts.size() >= kMaxTextsPerFont)
        shapes.texts.clear();
    Shape shape;
    shape.advance = QFontMetricsF(shapes.font, painter.device()).horizontalAdvance(text);
    shape.kept = fontHolds(shapes.raw, text);
    if (shape.kept) {
        shape.glyphs.setTextFormat(Qt::PlainText);
        shape.glyphs.setText(text);
        shape.glyphs.prepare(QTransform(), shapes.font);
    }
    return *shapes.texts.insert(text, shape);
}

// Kept glyphs go onto pixels at their size: a recording device gets the text itself, and a
// scaled or turned painter has drawText shape the text for the pixels it covers.
bool paintsKeptGlyphs(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Raster &&
           painter.deviceTransform().type() <= QTransform::TxTranslate;
}

} // namespace

qreal shapedAdvance(QPainter &painter, const QString &text)
{
    if (text.isEmpty() || !paintsKeptGlyphs(painter))
        return QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
    FontShapes &shapes = shapesOf(painter);
    return shapeOf(painter, shapes, text).advance;
}

int shapedWidth(const QFont &font, const QPaintDevice *device, const QString &text)
{
    FontShapes &shapes = shapesOf(font, device);
    const auto kept = shapes.widths.constFind(text);
    if (kept != shapes.widths.cend())
        return *kept;
    if (shapes.widths.size() >= kMaxTextsPerFont)
        shapes.widths.clear();
    const int width = QFontMetrics(font, device).horizontalAdvance(text);
    shapes.widths.insert(text, width);
    return width;
}

void drawShapedText(QPainter &painter, const QPointF &baselineStart, const QString &text)
{
    if (text.isEmpty() || !paintsKeptGlyphs(painter)) {
        painter.drawText(baselineStart, text);
        return;
    }
    FontShapes &shapes = shapesOf(painter);
    const Shape &shape = shapeOf(painter, shapes, text);
    if (!shape.kept) {
        painter.drawText(baselineStart, text);
        return;
    }
    painter.drawStaticText(QPointF(baselineStart.x(), baselineStart.y() - shapes.ascent),
                           shape.glyphs);
}
