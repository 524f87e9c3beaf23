#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <functional>
#include <variant>
#include <vector>

class QPaintDevice;

// What a paint routine drew, kept to be drawn again later by another painter, on any thread.
// The report's charts and results grid are painted by widgets, which live on the GUI thread
// only: recorded there, they are played into a PDF that a worker thread makes. Playing hands
// the target the calls that painting it directly would: the painter's state, the shapes, the
// images, and the text as characters, laid out again with the target thread's own fonts.
class PaintRecording
{
public:
    // Records paint(painter) on a device of the size and resolution of `like`, so that text is
    // measured as it would be there.
    static PaintRecording record(const QPaintDevice &like,
                                 const std::function<void(QPainter &)> &paint);

    // Draws the recording with the painter's current transformation as its origin, and leaves
    // the painter in the state the routine left its own (its clip, pen, transformation...).
    // What the routine did not set is the player's, as if the routine painted there directly.
    void play(QPainter &painter) const;

    bool isEmpty() const { return steps_.empty(); }

    // The painter's state as a paint engine is told it: the fields named by `dirty` changed
    // (its background too, which a painter never flags).
    struct State
    {
        QPaintEngine::DirtyFlags dirty;
        QPen pen;
        QBrush brush;
        QPointF brushOrigin;
        QBrush background;
        Qt::BGMode backgroundMode = Qt::TransparentMode;
        QFont font;
        QTransform transform;
        Qt::ClipOperation clipOperation = Qt::NoClip;
        QRegion clipRegion;
        QPainterPath clipPath;
        bool clipEnabled = false;
        QPainter::RenderHints hints;
        QPainter::CompositionMode composition = QPainter::CompositionMode_SourceOver;
        qreal opacity = 1;
    };
    struct Rects
    {
        std::vector<QRectF> rects;
    };
    struct IntRects
    {
        std::vector<QRect> rects;
    };
    struct Lines
    {
        std::vector<QLineF> lines;
    };
    struct IntLines
    {
        std::vector<QLine> lines;
    };
    struct Ellipse
    {
        QRectF rect;
    };
    struct IntEllipse
    {
        QRect rect;
    };
    struct Path
    {
        QPainterPath path;
    };
    struct Points
    {
        std::vector<QPointF> points;
    };
    struct IntPoints
    {
        std::vector<QPoint> points;
    };
    struct Polygon
    {
        std::vector<QPointF> points;
        QPaintEngine::PolygonDrawMode mode;
    };
    struct IntPolygon
    {
        std::vector<QPoint> points;
        QPaintEngine::PolygonDrawMode mode;
    };
    // Pixmaps are kept as images: only the GUI thread may make or copy a pixmap.
    struct Image
    {
        QRectF target;
        QImage image;
        QRectF source;
        Qt::ImageConversionFlags flags;
    };
    struct TiledImage
    {
        QRectF target;
        QImage image;
        QPointF offset;
    };
    struct Text
    {
        QPointF baseline;
        QString text;
        QFont font;
    };
    using Step = std::variant<State, Rects, IntRects, Lines, IntLines, Ellipse, IntEllipse, Path,
                              Points, IntPoints, Polygon, IntPolygon, Image, TiledImage, Text>;

private:
    std::vector<Step> steps_;
};
