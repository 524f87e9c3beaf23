#pragma once

#include "PdfDocumentFonts.h"
#include "PdfFile.h"

#include <QBrush>
#include <QByteArray>
#include <QHash>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class PdfDocument;
class QGlyphRun;

// The paint engine of PdfDocument: writes what a QPainter draws as PDF 1.4 content. Paths,
// polygons, rectangles and lines are filled and stroked natively (pen width, cap, join, dash,
// cosmetic pens in device pixels), solid brushes with their alpha, linear gradients as axial
// shadings, clip rectangles and paths, world transforms, constant opacity, images (alpha as a
// soft mask) and text as embedded TrueType glyphs placed where Qt's own layout puts them.
// Radial, conical and pattern brushes, pens with a brush and composition modes are left to
// QPainter, which paints them as images.
class PdfPaintEngine : public QPaintEngine
{
public:
    explicit PdfPaintEngine(PdfDocument *document);
    ~PdfPaintEngine() override;
    Q_DISABLE_COPY(PdfPaintEngine)

    bool begin(QPaintDevice *device) override;
    bool end() override;
    Type type() const override;
    bool newPage();

    void updateState(const QPaintEngineState &changed) override;

    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF *rects, int count) override;
    void drawLines(const QLineF *lines, int count) override;
    void drawPixmap(const QRectF &target, const QPixmap &pixmap, const QRectF &source) override;
    void drawImage(const QRectF &target, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF &at, const QTextItem &item) override;

private:
    // Where path coordinates are written: in the painter's user space under a cm of the
    // world transform (strokes scale with it), or in device pixels (cosmetic pens).
    enum class Space { Any, User, Device };

    // ---- pages and the file
    void startPage();
    void finishPage();
    QByteArray info() const;

    // ---- graphics state
    void prepare(Space space);
    void forgetEmitted();
    bool hasPen() const { return pen_.style() != Qt::NoPen; }
    bool hasBrush() const { return brush_.style() != Qt::NoBrush; }
    bool cosmetic() const { return pen_.isCosmetic() || pen_.widthF() == 0; }
    bool allClipped() const;
    void setFillColor(const QColor &color);
    void setStrokePen();
    void setAlpha(int fill, int stroke);

    // ---- geometry
    int decimals() const;
    void point(const QPointF &p);
    void writePath(const QPainterPath &path, const QTransform *map, int places);
    // Writes geometry (once, or twice for a gradient and a pen) and fills and strokes it.
    void paint(const std::function<void()> &geometry, bool fillable, bool oddEven);
    void fillWithGradient(const std::function<void()> &geometry, bool oddEven);
    QByteArray shading(const QGradient &gradient);
    int imageObject(const QImage &image);
    void writeGlyphs(const QGlyphRun &run, PdfDocumentFonts::Face &face, const QPointF &origin);
    void drawGlyphPaths(const QGlyphRun &run, const QPointF &origin);

    PdfDocument *document_;
    PdfFile file_;
    PdfDocumentFonts fonts_;
    int catalog_ = 0, pageTree_ = 0, resources_ = 0, info_ = 0;
    std::vector<int> pages_;
    QByteArray content_;
    QByteArray xobjects_, shadings_, states_;
    QHash<qint64, int> images_;
    std::map<std::pair<int, int>, QByteArray> alphaStates_;
    int shadingCount_ = 0;

    // The painter's state.
    QTransform matrix_;
    QPen pen_;
    QBrush brush_;
    double opacity_ = 1;
    bool clipEnabled_ = false;
    std::vector<QPainterPath> clips_; // device pixels, intersected in order

    // What the content stream has set so far.
    bool clipDirty_ = true;
    bool userSpace_ = true;       // the cm of emittedMatrix_ stands
    QTransform emittedMatrix_;    // the cm at the transform level
    std::optional<QRgb> fill_, stroke_;
    QByteArray strokeStyle_;      // width, cap, join and dash as last written
    std::pair<int, int> alpha_{255, 255};
};
