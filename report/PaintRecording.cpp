#include "PaintRecording.h"

#include <QPaintDevice>
#include <QPixmap>

#include <algorithm>
#include <memory>
#include <type_traits>

namespace {

// A path of the recording's own: a path shares its data, and caches its bounds in it, with
// every copy, which another thread may be using.
QPainterPath ownPath(const QPainterPath &path)
{
    QPainterPath own;
    own.addPath(path);
    own.setFillRule(path.fillRule());
    return own;
}

template <typename T> std::vector<T> listOf(const T *items, int count)
{
    return std::vector<T>(items, items + std::max(count, 0));
}

// Takes down every call a painter makes on its device. It claims every feature, so the painter
// hands over the calls as made, and the painter that plays them does what its own engine needs.
class RecordingEngine : public QPaintEngine
{
public:
    explicit RecordingEngine(std::vector<PaintRecording::Step> &steps)
        : QPaintEngine(QPaintEngine::AllFeatures), steps_(steps)
    {
    }

    // The background the painter starts with: a painter never flags a change of it to its
    // engine, so changes are found by comparing with the last one seen.
    void startWith(const QBrush &background, Qt::BGMode mode)
    {
        background_ = background;
        backgroundMode_ = mode;
    }
    // Every part of the state the routine changed before it last drew.
    QPaintEngine::DirtyFlags changed() const { return changed_; }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &newState) override
    {
        PaintRecording::State s;
        s.dirty = newState.state();
        s.pen = newState.pen();
        s.brush = newState.brush();
        s.brushOrigin = newState.brushOrigin();
        s.background = newState.backgroundBrush();
        s.backgroundMode = newState.backgroundMode();
        s.font = newState.font();
        s.transform = newState.transform();
        s.clipOperation = newState.clipOperation();
        s.clipRegion = newState.clipRegion();
        s.clipPath = ownPath(newState.clipPath());
        s.clipEnabled = newState.isClipEnabled();
        s.hints = newState.renderHints();
        s.composition = newState.compositionMode();
        s.opacity = newState.opacity();
        if (s.background != background_)
            s.dirty |= QPaintEngine::DirtyBackground;
        if (s.backgroundMode != backgroundMode_)
            s.dirty |= QPaintEngine::DirtyBackgroundMode;
        background_ = s.background;
        backgroundMode_ = s.backgroundMode;
        changed_ |= s.dirty;
        steps_.push_back(std::move(s));
    }

    void drawRects(const QRectF *rects, int count) override
    {
        steps_.push_back(PaintRecording::Rects{listOf(rects, count)});
    }
    void drawRects(const QRect *rects, int count) override
    {
        steps_.push_back(PaintRecording::IntRects{listOf(rects, count)});
    }
    void drawLines(const QLineF *lines, int count) override
    {
        steps_.push_back(PaintRecording::Lines{listOf(lines, count)});
    }
    void drawLines(const QLine *lines, int count) override
    {
        steps_.push_back(PaintRecording::IntLines{listOf(lines, count)});
    }
    void drawEllipse(const QRectF &rect) override
    {
        steps_.push_back(PaintRecording::Ellipse{rect});
    }
    void drawEllipse(const QRect &rect) override
    {
        steps_.push_back(PaintRecording::IntEllipse{rect});
    }
    void drawPath(const QPainterPath &path) override
    {
        steps_.push_back(PaintRecording::Path{ownPath(path)});
    }
    void drawPoints(const QPointF *points, int count) override
    {
        steps_.push_back(PaintRecording::Points{listOf(points, count)});
    }
    void drawPoints(const QPoint *points, int count) override
    {
        steps_.push_back(PaintRecording::IntPoints{listOf(points, count)});
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        steps_.push_back(PaintRecording::Polygon{listOf(points, count), mode});
    }
    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override
    {
        steps_.push_back(PaintRecording::IntPolygon{listOf(points, count), mode});
    }
    void drawPixmap(const QRectF &target, const QPixmap &pixmap, const QRectF &source) override
    {
        steps_.push_back(PaintRecording::Image{target, pixmap.toImage(), source, Qt::AutoColor});
    }
    void drawImage(const QRectF &target, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override
    {
        steps_.push_back(PaintRecording::Image{target, image, source, flags});
    }
    void drawTiledPixmap(const QRectF &target, const QPixmap &pixmap,
                         const QPointF &offset) override
    {
        steps_.push_back(PaintRecording::TiledImage{target, pixmap.toImage(), offset});
    }
    void drawTextItem(const QPointF &baseline, const QTextItem &item) override
    {
        steps_.push_back(PaintRecording::Text{baseline, item.text(), item.font()});
    }

private:
    std::vector<PaintRecording::Step> &steps_;
    QBrush background_;
    Qt::BGMode backgroundMode_ = Qt::TransparentMode;
    QPaintEngine::DirtyFlags changed_;
};

// A device that measures as `like` does and records what is painted on it.
class RecordingDevice : public QPaintDevice
{
public:
    RecordingDevice(const QPaintDevice &like, std::vector<PaintRecording::Step> &steps)
        : engine_(std::make_unique<RecordingEngine>(steps)), width_(like.width()),
          height_(like.height()), widthMM_(like.widthMM()), heightMM_(like.heightMM()),
          colorCount_(like.colorCount()), depth_(like.depth()), dpiX_(like.logicalDpiX()),
          dpiY_(like.logicalDpiY()), physicalDpiX_(like.physicalDpiX()),
          physicalDpiY_(like.physicalDpiY()), pixelRatio_(like.devicePixelRatio())
    {
    }
    ~RecordingDevice() override = default;

    QPaintEngine *paintEngine() const override { return engine_.get(); }
    RecordingEngine &engine() { return *engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmWidthMM:
            return widthMM_;
        case PdmHeightMM:
            return heightMM_;
        case PdmNumColors:
            return colorCount_;
        case PdmDepth:
            return depth_;
        case PdmDpiX:
            return dpiX_;
        case PdmDpiY:
            return dpiY_;
        case PdmPhysicalDpiX:
            return physicalDpiX_;
        case PdmPhysicalDpiY:
            return physicalDpiY_;
        case PdmDevicePixelRatio:
            return int(pixelRatio_);
        case PdmDevicePixelRatioScaled:
            return int(pixelRatio_ * devicePixelRatioFScale());
        }
        return 0;
    }

private:
    std::unique_ptr<RecordingEngine> engine_;
    int width_;
    int height_;
    int widthMM_;
    int heightMM_;
    int colorCount_;
    int depth_;
    int dpiX_;
    int dpiY_;
    int physicalDpiX_;
    int physicalDpiY_;
    qreal pixelRatio_;
};

// The painter's state as it stands, its clip as a path in its current coordinates.
PaintRecording::State stateOf(const QPainter &painter)
{
    PaintRecording::State s;
    s.pen = painter.pen();
    s.brush = painter.brush();
    s.brushOrigin = painter.brushOrigin();
    s.background = painter.background();
    s.backgroundMode = painter.backgroundMode();
    s.font = painter.font();
    s.transform = painter.combinedTransform();
    s.clipEnabled = painter.hasClipping();
    s.clipOperation = s.clipEnabled ? Qt::ReplaceClip : Qt::NoClip;
    if (s.clipEnabled)
        s.clipPath = ownPath(painter.clipPath());
    s.hints = painter.renderHints();
    s.composition = painter.compositionMode();
    s.opacity = painter.opacity();
    return s;
}

// The state the routine leaves, to be set when the recording is played to its end: a painter
// tells its engine of a change only before it next draws, and the routine's last changes count
// too. Only what the routine changed is set; the rest stays the player's, as it would have.
PaintRecording::State finalState(const QPainter &painter, const PaintRecording::State &initial,
                                 QPaintEngine::DirtyFlags changed)
{
    PaintRecording::State s = stateOf(painter);
    using E = QPaintEngine;
    const auto mark = [&](bool differs, E::DirtyFlags flags) {
        if (differs)
            changed |= flags;
    };
    mark(s.pen != initial.pen, E::DirtyPen);
    mark(s.brush != initial.brush, E::DirtyBrush);
    mark(s.brushOrigin != initial.brushOrigin, E::DirtyBrushOrigin);
    mark(s.background != initial.background, E::DirtyBackground);
    mark(s.backgroundMode != initial.backgroundMode, E::DirtyBackgroundMode);
    mark(s.font != initial.font, E::DirtyFont);
    mark(s.transform != initial.transform, E::DirtyTransform);
    mark(s.hints != initial.hints, E::DirtyHints);
    mark(s.composition != initial.composition, E::DirtyCompositionMode);
    mark(s.opacity != initial.opacity, E::DirtyOpacity);
    // The clip, however it was set, is set again as the path it has come to.
    const E::DirtyFlags clip = E::DirtyClipPath | E::DirtyClipRegion | E::DirtyClipEnabled;
    mark(s.clipEnabled != initial.clipEnabled || s.clipPath != initial.clipPath, clip);
    if (changed & clip)
        changed |= E::DirtyClipPath | E::DirtyClipEnabled;
    s.dirty = changed & ~E::DirtyFlags(E::DirtyClipRegion);
    return s;
}

void applyState(QPainter &painter, const PaintRecording::State &s, const QTransform &origin)
{
    const QPaintEngine::DirtyFlags dirty = s.dirty;
    // The transformation first: a clip is given in the coordinates in force with it.
    if (dirty & QPaintEngine::DirtyTransform)
        painter.setTransform(s.transform * origin);
    if (dirty & QPaintEngine::DirtyClipRegion)
        painter.setClipRegion(s.clipRegion, s.clipOperation);
    if (dirty & QPaintEngine::DirtyClipPath)
        painter.setClipPath(s.clipPath, s.clipOperation);
    if (dirty & QPaintEngine::DirtyClipEnabled)
        painter.setClipping(s.clipEnabled);
    if (dirty & QPaintEngine::DirtyPen)
        painter.setPen(s.pen);
    if (dirty & QPaintEngine::DirtyBrush)
        painter.setBrush(s.brush);
    if (dirty & QPaintEngine::DirtyBrushOrigin)
        painter.setBrushOrigin(s.brushOrigin);
    if (dirty & QPaintEngine::DirtyBackground)
        painter.setBackground(s.background);
    if (dirty & QPaintEngine::DirtyBackgroundMode)
        painter.setBackgroundMode(s.backgroundMode);
    if (dirty & QPaintEngine::DirtyFont)
        painter.setFont(s.font);
    if (dirty & QPaintEngine::DirtyHints) {
        painter.setRenderHints(painter.renderHints() & ~s.hints, false);
        painter.setRenderHints(s.hints, true);
    }
    if (dirty & QPaintEngine::DirtyCompositionMode)
        painter.setCompositionMode(s.composition);
    if (dirty & QPaintEngine::DirtyOpacity)
        painter.setOpacity(s.opacity);
}

template <typename Point>
void drawPolygon(QPainter &painter, const std::vector<Point> &points,
                 QPaintEngine::PolygonDrawMode mode)
{
    const int count = int(points.size());
    switch (mode) {
    case QPaintEngine::OddEvenMode:
        painter.drawPolygon(points.data(), count, Qt::OddEvenFill);
        break;
    case QPaintEngine::WindingMode:
        painter.drawPolygon(points.data(), count, Qt::WindingFill);
        break;
    case QPaintEngine::ConvexMode:
        painter.drawConvexPolygon(points.data(), count);
        break;
    case QPaintEngine::PolylineMode:
        painter.drawPolyline(points.data(), count);
        break;
    }
}

// The text as characters: the painter lays them out again with its own fonts, which gives the
// glyphs and places the recording painter had. Its underline and background were recorded as
// shapes of their own.
void drawText(QPainter &painter, const PaintRecording::Text &text)
{
    const QFont font = painter.font();
    const Qt::BGMode mode = painter.backgroundMode();
    QFont plain = text.font;
    plain.setUnderline(false);
    plain.setOverline(false);
    plain.setStrikeOut(false);
    painter.setFont(plain);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(text.baseline, text.text);
    painter.setBackgroundMode(mode);
    painter.setFont(font);
}

} // namespace

PaintRecording PaintRecording::record(const QPaintDevice &like,
                                      const std::function<void(QPainter &)> &paint)
{
    PaintRecording recording;
    RecordingDevice device(like, recording.steps_);
    QPainter painter;
    if (!painter.begin(&device))
        return recording;
    const State initial = stateOf(painter);
    device.engine().startWith(initial.background, initial.backgroundMode);
    paint(painter);
    recording.steps_.push_back(finalState(painter, initial, device.engine().changed()));
    painter.end();
    return recording;
}

void PaintRecording::play(QPainter &painter) const
{
    const QTransform origin = painter.worldTransform();
    for (const Step &step : steps_) {
        std::visit(
            [&](const auto &s) {
                using T = std::decay_t<decltype(s)>;
                if constexpr (std::is_same_v<T, State>)
                    applyState(painter, s, origin);
                else if constexpr (std::is_same_v<T, Rects> || std::is_same_v<T, IntRects>)
                    painter.drawRects(s.rects.data(), int(s.rects.size()));
                else if constexpr (std::is_same_v<T, Lines> || std::is_same_v<T, IntLines>)
                    painter.drawLines(s.lines.data(), int(s.lines.size()));
                else if constexpr (std::is_same_v<T, Ellipse> || std::is_same_v<T, IntEllipse>)
                    painter.drawEllipse(s.rect);
                else if constexpr (std::is_same_v<T, Path>)
                    painter.drawPath(s.path);
                else if constexpr (std::is_same_v<T, Points> || std::is_same_v<T, IntPoints>)
                    painter.drawPoints(s.points.data(), int(s.points.size()));
                else if constexpr (std::is_same_v<T, Polygon> || std::is_same_v<T, IntPolygon>)
                    drawPolygon(painter, s.points, s.mode);
                else if constexpr (std::is_same_v<T, Image>)
                    painter.drawImage(s.target, s.image, s.source, s.flags);
                else if constexpr (std::is_same_v<T, TiledImage>) {
                    // A pixmap may not be made off the GUI thread: the tiles are a brush's.
                    painter.save();
                    painter.setPen(Qt::NoPen);
                    painter.setBrush(QBrush(s.image));
                    painter.setBrushOrigin(s.target.topLeft() - s.offset);
                    painter.drawRect(s.target);
                    painter.restore();
                } else if constexpr (std::is_same_v<T, Text>)
                    drawText(painter, s);
            },
            step);
    }
}
