#include "Caption.h"

#include "ShapedText.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

namespace {

// Characters that break or space a caption's line in drawText's own way (line and paragraph
// breaks, tabs): a caption holding one is laid out by drawText itself.
bool laidOutAsOneRun(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    return true;
}

} // namespace

QRect captionBox(const QFont &font, const QPaintDevice *device, const QString &text, int x, int top,
                 bool rightAnchor, int leadingWidth)
{
    const QFontMetrics metrics(font);
    const QSize size(leadingWidth + shapedWidth(font, device, text), metrics.height());
    return QRect(QPoint(rightAnchor ? x - size.width() : x, top), size);
}

void paintCaption(QPainter &painter, QSize box, const QString &text, Qt::Alignment alignment,
                  int leadingWidth, const CaptionLeading &leading)
{
    if (leading)
        leading(painter, QRect(0, 0, leadingWidth, box.height()));
    const QRect room = QRect(QPoint(0, 0), box).adjusted(leadingWidth, 0, 0, 0);
    if (!laidOutAsOneRun(text)) {
        painter.drawText(room, int(alignment), text);
        return;
    }
    // Where drawText(room, alignment) puts a one-line caption, from kept glyphs: the captions
    // repaint with every drawing of the panel under them.
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal free = room.width() - shapedAdvance(painter, text);
    const qreal x = room.left() + (alignment & Qt::AlignRight     ? free
                                   : alignment & Qt::AlignHCenter ? free / 2
                                                                  : 0);
    const qreal y = alignment & Qt::AlignBottom    ? box.height() - metrics.height()
                    : alignment & Qt::AlignVCenter ? (box.height() - metrics.height()) / 2
                                                   : 0;
    drawShapedText(painter, QPointF(x, y + metrics.ascent()), text);
}
