#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

constexpr int kProgramPictureSize = 32;
constexpr int kGlyphSize = 16;

// A culture wheel in small: ring, axes and a polygon.
void drawWheel(QPainter &p, const QRectF &box, const QColor &polygon, int corners)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 128, 0), 1));
    p.setBrush(QColor(255, 255, 192));
    p.drawEllipse(box);
    p.setPen(QPen(QColor(0, 128, 0), 1));
    p.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
    p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    QPolygonF shape;
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * M_PI * i / corners + M_PI / corners;
        const double r = box.width() / 2 * (i % 2 ? 0.55 : 0.8);
        shape << box.center() + QPointF(r * std::sin(angle), -r * std::cos(angle));
    }
    p.setPen(QPen(polygon, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(shape);
}

void drawBars(QPainter &p, const QRectF &box)
{
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 128, 0), QColor(255, 255, 0),
                              QColor(0, 0, 255)};
    const double heights[] = {0.5, 0.8, 0.35, 0.65};
    const double w = box.width() / 4;
    for (int i = 0; i < 4; ++i) {
        const double h = box.height() * heights[i];
        p.fillRect(QRectF(box.left() + i * w, box.bottom() - h, w - 1, h), colours[i]);
    }
}

void drawPage(QPainter &p, const QRectF &box, const QColor &fold)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(box.adjusted(2, 0, -3, -1));
    p.setPen(QPen(fold, 1));
    for (int y = 4; y < int(box.height()) - 3; y += 3)
        p.drawLine(QPointF(box.left() + 4, box.top() + y), QPointF(box.right() - 5, box.top() + y));
}

QPixmap glyphPixmap(MenuGlyph glyph)
{
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QRectF box(0.5, 0.5, kGlyphSize - 1, kGlyphSize - 1);
    switch (glyph) {
    case MenuGlyph::Open:
        drawPage(p, box, QColor(0, 0, 128));
        break;
    case MenuGlyph::Group:
        drawPage(p, box.adjusted(4, 0, 0, -3), QColor(0, 0, 128));
        drawPage(p, box.adjusted(0, 3, -4, 0), QColor(0, 0, 128));
        break;
    case MenuGlyph::Plots:
        drawBars(p, box);
        break;
    case MenuGlyph::Compare:
        // Two outlines over each other, the second dashed, as the diagram shows a comparison.
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(0, 0, 128), 1.5, Qt::DashLine));
        p.drawEllipse(box.adjusted(1, 1, -1, -1));
        p.setPen(QPen(QColor(0, 0, 255), 1.5));
        p.drawEllipse(box.adjusted(4, 4, -4, -4));
        break;
    case MenuGlyph::ImageD:
        drawWheel(p, box, QColor(255, 0, 255), 16);
        drawWheel(p, box.adjusted(3, 3, -3, -3), QColor(0, 128, 0), 4);
        break;
    case MenuGlyph::ImageA:
        drawWheel(p, box, QColor(255, 0, 255), 16);
        break;
    case MenuGlyph::Images:
    case MenuGlyph::ImageB:
        drawWheel(p, box, QColor(0, 0, 255), 8);
        break;
    case MenuGlyph::ImageC:
        drawWheel(p, box, QColor(0, 128, 0), 4);
        break;
    case MenuGlyph::Save:
    case MenuGlyph::SavePicture:
        p.fillRect(box.adjusted(1, 1, -1, -1), QColor(0, 0, 128));
        p.fillRect(QRectF(4, 2, 8, 5), Qt::white);
        p.fillRect(QRectF(4, 10, 8, 4), QColor(192, 192, 192));
        break;
    case MenuGlyph::SaveText:
        drawPage(p, box, QColor(128, 0, 0));
        break;
    }
    return pixmap;
}

} // namespace

void paintProgramPicture(QPainter &p, double size)
{
    p.save();
    // Drawn on the 32-pixel grid and scaled, so every size is the same picture.
    p.scale(size / kProgramPictureSize, size / kProgramPictureSize);
    drawWheel(p, QRectF(1.5, 1.5, kProgramPictureSize - 3, kProgramPictureSize - 3),
              QColor(0, 0, 255), 8);
    p.restore();
}

QPixmap programPicture()
{
    QPixmap pixmap(kProgramPictureSize, kProgramPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paintProgramPicture(p, kProgramPictureSize);
    return pixmap;
}

QIcon programIcon()
{
    return QIcon(programPicture());
}

QIcon menuGlyph(MenuGlyph glyph)
{
    return QIcon(glyphPixmap(glyph));
}
