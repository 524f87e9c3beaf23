#include "Bevel.h"

#include <QLineF>
#include <QPainter>
#include <QPalette>

void paintBevel(QPainter &painter, const QRect &rect, const QPalette &palette, bool sunken)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const int x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    const QPen pen = painter.pen();
    // The top and left lines meet at the top-left pixel; the bottom and right ones run to the
    // corners the first pair leaves.
    painter.setPen(sunken ? dark : light);
    painter.drawLines(QList<QLineF>{QLineF(x, y, x + w - 2, y), QLineF(x, y + h - 2, x, y)});
    painter.setPen(sunken ? light : dark);
    painter.drawLines(QList<QLineF>{QLineF(x, y + h - 1, x + w - 1, y + h - 1),
                                    QLineF(x + w - 1, y, x + w - 1, y + h - 2)});
    painter.setPen(pen);
}
