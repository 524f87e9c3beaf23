#pragma once

#include <QPointF>
#include <QString>

class QFont;
class QPaintDevice;
class QPainter;

// Texts painted again and again keep their shaped glyphs. QPainter::drawText shapes its text
// anew at every call, which costs more than putting the glyphs on the canvas, while a grid
// paints the same few texts (names, whole percentages) at every paint and every load. The
// glyphs are kept by font and text, a bounded number per thread, for texts the font holds
// whole; they paint the pixels drawText paints. On a device that records text rather than
// pixels (a picture, a PDF), and through a scaled painter, the text goes to drawText as before.

// QFontMetricsF(painter's font, painter's device).horizontalAdvance(text).
qreal shapedAdvance(QPainter &painter, const QString &text);

// QFontMetrics(font, device).horizontalAdvance(text), kept as the glyphs are: a layout that
// measures its labels at every frame measures each text once.
int shapedWidth(const QFont &font, const QPaintDevice *device, const QString &text);

// painter.drawText(baselineStart, text).
void drawShapedText(QPainter &painter, const QPointF &baselineStart, const QString &text);
