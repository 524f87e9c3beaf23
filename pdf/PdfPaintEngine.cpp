#include "PdfPaintEngine.h"

#include "PdfDocument.h"

#include <QDateTime>
#include <QGlyphRun>
#include <QIODevice>
#include <QImage>
#include <QPixmap>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>

namespace {

// What this engine paints itself; QPainter paints the rest into images it hands over.
constexpr QPaintEngine::PaintEngineFeatures kFeatures =
    QPaintEngine::AllFeatures &
    ~QPaintEngine::PaintEngineFeatures(
        QPaintEngine::PorterDuff | QPaintEngine::PerspectiveTransform |
        QPaintEngine::ObjectBoundingModeGradients | QPaintEngine::ConicalGradientFill |
        QPaintEngine::RadialGradientFill | QPaintEngine::PatternBrush |
        QPaintEngine::BrushStroke | QPaintEngine::RasterOpModes | QPaintEngine::BlendModes);

// Digits after the point: user space is the painter's logical units, device space 1200 dpi.
constexpr int kUserDecimals = 3;
constexpr int kDeviceDecimals = 2;
constexpr int kColorDecimals = 4;

void matrix(QByteArray &out, const QTransform &m)
{
    for (const double v : {m.m11(), m.m12(), m.m21(), m.m22()})
        pdf::number(out, v, 6);
    pdf::number(out, m.dx(), kUserDecimals);
    pdf::number(out, m.dy(), kUserDecimals);
    out.append("cm\n");
}

void color(QByteArray &out, const QColor &c)
{
    pdf::number(out, c.redF(), kColorDecimals);
    pdf::number(out, c.greenF(), kColorDecimals);
    pdf::number(out, c.blueF(), kColorDecimals);
}

void hex4(QByteArray &out, unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    const char text[4] = {digits[(value >> 12) & 15], digits[(value >> 8) & 15],
                          digits[(value >> 4) & 15], digits[value & 15]};
    out.append(text, 4);
}

// An exponential function from one colour to the next, as a gradient's piece between stops.
QByteArray colorFunction(const QColor &from, const QColor &to)
{
    QByteArray out("<< /FunctionType 2 /Domain [0 1] /C0 [");
    color(out, from);
    out.append("] /C1 [");
    color(out, to);
    out.append("] /N 1 >>");
    return out;
}

} // namespace

PdfPaintEngine::PdfPaintEngine(PdfDocument *document)
    : QPaintEngine(kFeatures), document_(document)
{
}

PdfPaintEngine::~PdfPaintEngine() = default;

QPaintEngine::Type PdfPaintEngine::type() const
{
    // Not QPaintEngine::Pdf: code that meets that type takes the engine for Qt's own.
    return QPaintEngine::User;
}

// ---- pages and the file

bool PdfPaintEngine::begin(QPaintDevice *)
{
    file_ = PdfFile();
    fonts_ = PdfDocumentFonts();
    catalog_ = file_.reserve();
    pageTree_ = file_.reserve();
    resources_ = file_.reserve();
    info_ = file_.reserve();
    pages_.clear();
    xobjects_.clear();
    shadings_.clear();
    states_.clear();
    images_.clear();
    alphaStates_.clear();
    shadingCount_ = 0;
    matrix_ = QTransform();
    pen_ = QPen();
    brush_ = QBrush();
    opacity_ = 1;
    clipEnabled_ = false;
    clips_.clear();
    startPage();
    setActive(true);
    return true;
}

bool PdfPaintEngine::newPage()
{
    finishPage();
    startPage();
    return true;
}

void PdfPaintEngine::startPage()
{
    content_.clear();
    content_.reserve(64 * 1024);
    // The page's user space as QPdfWriter sets it: device pixels from the top left corner of
    // the paint rectangle, y downwards.
    const QPageLayout layout = document_->pageLayout();
    const double scale = 72.0 / PdfDocument::kResolution;
    QTransform page(scale, 0, 0, -scale, 0, layout.fullRectPoints().height());
    const QRect paint = layout.paintRectPixels(PdfDocument::kResolution);
    page.translate(paint.left(), paint.top());
    matrix(content_, page);
    // The clip level, then the transform level; prepare() replaces them as the state changes.
    content_.append("q\nq\n");
    clipDirty_ = true;
    forgetEmitted();
}

void PdfPaintEngine::finishPage()
{
    content_.append("Q\nQ\n");
    const int stream = file_.writeStream(0, {}, content_);
    const QRect media = document_->pageLayout().fullRectPoints();
    const int page = file_.beginObject();
    QByteArray &out = file_.out();
    out.append("<<\n/Type /Page\n/Parent " + QByteArray::number(pageTree_) +
               " 0 R /MediaBox [0 0 " + QByteArray::number(media.width()) + ' ' +
               QByteArray::number(media.height()) + "] /Resources " +
               QByteArray::number(resources_) + " 0 R /Contents " + QByteArray::number(stream) +
               " 0 R >>");
    file_.endObject();
    pages_.push_back(page);
}

QByteArray PdfPaintEngine::info() const
{
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc() / 60;
    QByteArray date = "(D:" + now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (offset == 0)
        date.append("Z)");
    else
        date.append((offset < 0 ? "-" : "+") +
                    QByteArray::number(std::abs(offset) / 60).rightJustified(2, '0') + '\'' +
                    QByteArray::number(std::abs(offset) % 60).rightJustified(2, '0') + "')");
    return "<< /Title " + pdf::textString(document_->title()) + " /Creator " +
           pdf::textString(document_->creator()) + " /CreationDate " + date + " >>";
}

bool PdfPaintEngine::end()
{
    finishPage();
    fonts_.write(file_);

    file_.beginObject(resources_);
    file_.out().append("<< /ProcSet [/PDF /Text /ImageB /ImageC] /Font << " +
                       fonts_.resources() + ">> /XObject << " + xobjects_ + ">> /Shading << " +
                       shadings_ + ">> /ExtGState << " + states_ + ">> >>");
    file_.endObject();

    file_.beginObject(pageTree_);
    QByteArray kids;
    for (const int page : pages_)
        kids.append(QByteArray::number(page) + " 0 R ");
    file_.out().append("<< /Type /Pages /Kids [" + kids + "] /Count " +
                       QByteArray::number(qsizetype(pages_.size())) + " >>");
    file_.endObject();

    file_.beginObject(catalog_);
    file_.out().append("<< /Type /Catalog /Pages " + QByteArray::number(pageTree_) + " 0 R >>");
    file_.endObject();

    file_.beginObject(info_);
    file_.out().append(info());
    file_.endObject();

    file_.finish(catalog_, info_);
    setActive(false);
    QIODevice *out = document_->outputDevice();
    const bool written = out && out->write(file_.out()) == file_.out().size();
    file_ = PdfFile();
    content_.clear();
    return written;
}

// ---- graphics state

void PdfPaintEngine::updateState(const QPaintEngineState &changed)
{
    const DirtyFlags flags = changed.state();
    // The transform first: a clip that comes with it is in its coordinates.
    if (flags & DirtyTransform)
        matrix_ = changed.transform();
    if (flags & DirtyPen)
        pen_ = changed.pen();
    if (flags & DirtyBrush) {
        brush_ = changed.brush();
        if (brush_.style() == Qt::SolidPattern && brush_.color().alpha() == 0)
            brush_ = QBrush();
    }
    if (flags & DirtyOpacity)
        opacity_ = changed.opacity();

    const auto clip = [&](const QPainterPath &path, Qt::ClipOperation operation) {
        clipDirty_ = true;
        if (operation == Qt::NoClip) {
            clipEnabled_ = false;
            clips_.clear();
            return;
        }
        clipEnabled_ = true;
        if (operation == Qt::ReplaceClip)
            clips_.clear();
        clips_.push_back(matrix_.map(path));
    };
    if (flags & DirtyClipPath) {
        clip(changed.clipPath(), changed.clipOperation());
    } else if (flags & DirtyClipRegion) {
        QPainterPath path;
        for (const QRect &rect : changed.clipRegion())
            path.addRect(rect);
        clip(path, changed.clipOperation());
    } else if ((flags & DirtyClipEnabled) && clipEnabled_ != changed.isClipEnabled()) {
        clipEnabled_ = changed.isClipEnabled();
        clipDirty_ = true;
    }
}

void PdfPaintEngine::forgetEmitted()
{
    fill_.reset();
    stroke_.reset();
    strokeStyle_.clear();
    alpha_ = {255, 255};
}

// Puts the clip and the transform the next drawing needs into the stream: the clip level is
// replaced when the clip changed, the transform level when the space changes.
void PdfPaintEngine::prepare(Space space)
{
    bool user = space == Space::User || (space == Space::Any && userSpace_);
    if (matrix_.isIdentity())
        user = true;
    if (!clipDirty_ && user == userSpace_ && (!user || emittedMatrix_ == matrix_))
        return;
    if (clipDirty_) {
        content_.append("Q\nQ\nq\n");
        if (clipEnabled_) {
            for (const QPainterPath &clip : clips_) {
                writePath(clip, nullptr, kDeviceDecimals);
                content_.append(clip.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n");
            }
        }
        content_.append("q\n");
        clipDirty_ = false;
    } else {
        content_.append("Q\nq\n");
    }
    userSpace_ = user;
    emittedMatrix_ = user ? matrix_ : QTransform();
    if (!emittedMatrix_.isIdentity())
        matrix(content_, emittedMatrix_);
    forgetEmitted();
}

bool PdfPaintEngine::allClipped() const
{
    if (!clipEnabled_)
        return false;
    return std::any_of(clips_.begin(), clips_.end(),
                       [](const QPainterPath &clip) { return clip.boundingRect().isEmpty(); });
}

void PdfPaintEngine::setFillColor(const QColor &c)
{
    const QRgb rgb = c.rgb();
    if (fill_ == rgb)
        return;
    color(content_, c);
    content_.append("rg\n");
    fill_ = rgb;
}

void PdfPaintEngine::setStrokePen()
{
    const QColor c = pen_.color();
    if (stroke_ != c.rgb()) {
        color(content_, c);
        content_.append("RG\n");
        stroke_ = c.rgb();
    }
    QByteArray style;
    const double width = pen_.widthF();
    pdf::number(style, width, decimals());
    style.append("w ");
    switch (pen_.capStyle()) {
    case Qt::FlatCap:
        style.append("0 J ");
        break;
    case Qt::RoundCap:
        style.append("1 J ");
        break;
    default:
        style.append("2 J ");
        break;
    }
    switch (pen_.joinStyle()) {
    case Qt::MiterJoin:
    case Qt::SvgMiterJoin:
        style.append("0 j ");
        pdf::number(style, std::max(1.0, pen_.miterLimit()));
        style.append("M ");
        break;
    case Qt::RoundJoin:
        style.append("1 j ");
        break;
    default:
        style.append("2 j ");
        break;
    }
    style.append('[');
    if (pen_.style() != Qt::SolidLine) {
        // Dashes are given in pen widths; a cosmetic hairline's in pixels.
        const double unit = width < 0.001 ? 1 : width;
        for (const double dash : pen_.dashPattern())
            pdf::number(style, std::max(dash * unit, 0.0001), decimals());
        style.append("] ");
        pdf::number(style, pen_.dashOffset() * unit, decimals());
    } else {
        style.append("] 0 ");
    }
    style.append("d\n");
    if (style != strokeStyle_) {
        content_.append(style);
        strokeStyle_ = style;
    }
}

// Fill and stroke alpha, with the painter's opacity; -1 keeps what the stream has.
void PdfPaintEngine::setAlpha(int fill, int stroke)
{
    const auto scaled = [&](int alpha, int current) {
        return alpha < 0 ? current : int(std::lround(alpha * opacity_));
    };
    const std::pair<int, int> wanted{scaled(fill, alpha_.first), scaled(stroke, alpha_.second)};
    if (wanted == alpha_)
        return;
    QByteArray &name = alphaStates_[wanted];
    if (name.isEmpty()) {
        const int object = file_.beginObject();
        QByteArray &out = file_.out();
        out.append("<< /Type /ExtGState /ca ");
        pdf::number(out, wanted.first / 255.0);
        out.append("/CA ");
        pdf::number(out, wanted.second / 255.0);
        out.append(">>");
        file_.endObject();
        name = "/GS" + QByteArray::number(object);
        states_.append(name + ' ' + QByteArray::number(object) + " 0 R ");
    }
    content_.append(name + " gs\n");
    alpha_ = wanted;
}

// ---- geometry

int PdfPaintEngine::decimals() const
{
    return userSpace_ ? kUserDecimals : kDeviceDecimals;
}

void PdfPaintEngine::point(const QPointF &p)
{
    const QPointF at = userSpace_ ? p : matrix_.map(p);
    pdf::number(content_, at.x(), decimals());
    pdf::number(content_, at.y(), decimals());
}

void PdfPaintEngine::writePath(const QPainterPath &path, const QTransform *map, int places)
{
    const auto put = [&](double x, double y) {
        if (map)
            map->map(x, y, &x, &y);
        pdf::number(content_, x, places);
        pdf::number(content_, y, places);
    };
    int start = -1;
    const auto close = [&](int last) {
        if (start >= 0 && path.elementAt(start).x == path.elementAt(last).x &&
            path.elementAt(start).y == path.elementAt(last).y)
            content_.append("h\n");
    };
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                close(i - 1);
            put(e.x, e.y);
            content_.append("m\n");
            start = i;
            break;
        case QPainterPath::LineToElement:
            put(e.x, e.y);
            content_.append("l\n");
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 >= count)
                return;
            put(e.x, e.y);
            put(path.elementAt(i + 1).x, path.elementAt(i + 1).y);
            put(path.elementAt(i + 2).x, path.elementAt(i + 2).y);
            content_.append("c\n");
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (count > 0)
        close(count - 1);
}

void PdfPaintEngine::paint(const std::function<void()> &geometry, bool fillable, bool oddEven)
{
    bool fill = fillable && hasBrush();
    const bool stroke = hasPen();
    if ((!fill && !stroke) || allClipped())
        return;
    prepare(stroke ? (cosmetic() ? Space::Device : Space::User) : Space::Any);
    if (fill && brush_.style() == Qt::LinearGradientPattern) {
        fillWithGradient(geometry, oddEven);
        fill = false;
        if (!stroke)
            return;
    }
    if (fill)
        setFillColor(brush_.color());
    if (stroke)
        setStrokePen();
    setAlpha(fill ? brush_.color().alpha() : -1, stroke ? pen_.color().alpha() : -1);
    geometry();
    if (fill && stroke)
        content_.append(oddEven ? "B*\n" : "B\n");
    else if (fill)
        content_.append(oddEven ? "f*\n" : "f\n");
    else
        content_.append("S\n");
}

// The gradient painted over the whole area clipped to the shape, in the brush's coordinates.
void PdfPaintEngine::fillWithGradient(const std::function<void()> &geometry, bool oddEven)
{
    const QByteArray name = shading(*brush_.gradient());
    const auto fill = fill_;
    const auto strokeColor = stroke_;
    const QByteArray strokeStyle = strokeStyle_;
    const auto alpha = alpha_;
    content_.append("q\n");
    setAlpha(255, -1);
    geometry();
    content_.append(oddEven ? "W* n\n" : "W n\n");
    if (!userSpace_)
        matrix(content_, matrix_);
    if (!brush_.transform().isIdentity())
        matrix(content_, brush_.transform());
    content_.append(name + " sh\nQ\n");
    fill_ = fill;
    stroke_ = strokeColor;
    strokeStyle_ = strokeStyle;
    alpha_ = alpha;
}

QByteArray PdfPaintEngine::shading(const QGradient &gradient)
{
    QGradientStops stops = gradient.stops();
    if (stops.isEmpty())
        stops = {{0, Qt::black}, {1, Qt::black}};
    if (stops.front().first > 0)
        stops.prepend({0, stops.front().second});
    if (stops.back().first < 1)
        stops.append({1, stops.back().second});
    QByteArray function;
    if (stops.size() == 2) {
        function = colorFunction(stops[0].second, stops[1].second);
    } else {
        QByteArray functions, bounds, encode;
        for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
            functions.append(colorFunction(stops[i].second, stops[i + 1].second) + ' ');
            if (i > 0)
                pdf::number(bounds, stops[i].first, 6);
            encode.append("0 1 ");
        }
        function = "<< /FunctionType 3 /Domain [0 1] /Functions [" + functions + "] /Bounds [" +
                   bounds + "] /Encode [" + encode + "] >>";
    }
    const auto &linear = static_cast<const QLinearGradient &>(gradient);
    const int object = file_.beginObject();
    QByteArray &out = file_.out();
    out.append("<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [");
    for (const double v : {linear.start().x(), linear.start().y(), linear.finalStop().x(),
                           linear.finalStop().y()})
        pdf::number(out, v, kUserDecimals);
    out.append("] /Extend [true true] /Function " + function + " >>");
    file_.endObject();
    const QByteArray name = "/Sh" + QByteArray::number(object);
    shadings_.append(name + ' ' + QByteArray::number(object) + " 0 R ");
    return name;
}

void PdfPaintEngine::drawPath(const QPainterPath &path)
{
    paint([&] { writePath(path, userSpace_ ? nullptr : &matrix_, decimals()); }, true,
          path.fillRule() == Qt::OddEvenFill);
}

void PdfPaintEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    if (count < 2)
        return;
    const bool closed = mode != PolylineMode;
    paint(
        [&] {
            point(points[0]);
            content_.append("m\n");
            for (int i = 1; i < count; ++i) {
                point(points[i]);
                content_.append("l\n");
            }
            if (closed)
                content_.append("h\n");
        },
        closed, mode == OddEvenMode);
}

void PdfPaintEngine::drawRects(const QRectF *rects, int count)
{
    paint(
        [&] {
            for (int i = 0; i < count; ++i) {
                const QRectF &r = rects[i];
                if (userSpace_ || matrix_.type() <= QTransform::TxScale) {
                    const QRectF at = userSpace_ ? r : matrix_.mapRect(r);
                    for (const double v : {at.x(), at.y(), at.width(), at.height()})
                        pdf::number(content_, v, decimals());
                    content_.append("re\n");
                } else {
                    point(r.topLeft());
                    content_.append("m\n");
                    for (const QPointF &p : {r.topRight(), r.bottomRight(), r.bottomLeft()}) {
                        point(p);
                        content_.append("l\n");
                    }
                    content_.append("h\n");
                }
            }
        },
        true, false);
}

void PdfPaintEngine::drawLines(const QLineF *lines, int count)
{
    paint(
        [&] {
            for (int i = 0; i < count; ++i) {
                point(lines[i].p1());
                content_.append("m\n");
                point(lines[i].p2());
                content_.append("l\n");
            }
        },
        false, false);
}

// ---- images

void PdfPaintEngine::drawPixmap(const QRectF &target, const QPixmap &pixmap, const QRectF &source)
{
    drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
}

void PdfPaintEngine::drawImage(const QRectF &target, const QImage &image, const QRectF &source,
                               Qt::ImageConversionFlags)
{
    if (image.isNull() || target.isEmpty() || source.isEmpty() || allClipped())
        return;
    const QRect part = source.toRect();
    const QImage shown = part == image.rect() ? image : image.copy(part);
    const int object = imageObject(shown);
    prepare(Space::Any);
    setAlpha(255, -1);
    content_.append("q\n");
    if (!userSpace_)
        matrix(content_, matrix_);
    // The image's unit square, its first row at the top of the target.
    matrix(content_, QTransform(target.width(), 0, 0, -target.height(), target.x(),
                                target.y() + target.height()));
    content_.append("/Im" + QByteArray::number(object) + " Do\nQ\n");
}

// An image XObject: RGB Flate-compressed, and its alpha as a soft mask when it has any.
int PdfPaintEngine::imageObject(const QImage &image)
{
    const qint64 key = image.cacheKey();
    if (const auto known = images_.constFind(key); known != images_.cend())
        return *known;
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const int width = rgba.width(), height = rgba.height();
    QByteArray rgb(qsizetype(width) * height * 3, Qt::Uninitialized);
    QByteArray alpha(qsizetype(width) * height, Qt::Uninitialized);
    bool opaque = true;
    char *to = rgb.data();
    char *alphaTo = alpha.data();
    for (int y = 0; y < height; ++y) {
        const uchar *from = rgba.constScanLine(y);
        for (int x = 0; x < width; ++x, from += 4) {
            *to++ = char(from[0]);
            *to++ = char(from[1]);
            *to++ = char(from[2]);
            *alphaTo++ = char(from[3]);
            opaque = opaque && from[3] == 255;
        }
    }
    const QByteArray size =
        " /Width " + QByteArray::number(width) + " /Height " + QByteArray::number(height);
    QByteArray entries = "/Type /XObject /Subtype /Image" + size +
                         " /ColorSpace /DeviceRGB /BitsPerComponent 8";
    if (!opaque) {
        const int mask = file_.writeStream(
            0, "/Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceGray /BitsPerComponent 8",
            alpha);
        entries.append(" /SMask " + QByteArray::number(mask) + " 0 R");
    }
    const int object = file_.writeStream(0, entries, rgb);
    xobjects_.append("/Im" + QByteArray::number(object) + ' ' + QByteArray::number(object) +
                     " 0 R ");
    images_.insert(key, object);
    return object;
}

// ---- text

// The item's text shaped again in its font: the same glyphs at the same places as Qt laid
// them out for the painter (kerning and all), since a QTextItem gives neither through public
// API. Each glyph is placed exactly: a TJ array moves it by what Qt's advance differs from the
// font's width.
void PdfPaintEngine::drawTextItem(const QPointF &at, const QTextItem &item)
{
    const QString text = item.text();
    if (text.isEmpty() || !hasPen() || allClipped())
        return;
    QTextLayout layout(text, item.font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection((item.renderFlags() & QTextItem::RightToLeft) ? Qt::RightToLeft
                                                                          : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    const QPointF origin(at.x(), at.y() - line.ascent());
    const QList<QGlyphRun> runs = layout.glyphRuns();

    prepare(Space::Any);
    setFillColor(pen_.color());
    setAlpha(pen_.color().alpha(), -1);
    const bool transformed = !userSpace_ && !matrix_.isIdentity();
    if (transformed) {
        content_.append("q\n");
        matrix(content_, matrix_);
    }
    bool inText = false;
    for (const QGlyphRun &run : runs) {
        PdfDocumentFonts::Face *face = fonts_.face(run.rawFont(), file_);
        if (!face) {
            if (inText)
                content_.append("ET\n");
            inText = false;
            drawGlyphPaths(run, origin);
            continue;
        }
        if (!inText)
            content_.append("BT\n");
        inText = true;
        writeGlyphs(run, *face, origin);
    }
    if (inText)
        content_.append("ET\n");
    if (transformed)
        content_.append("Q\n");
}

void PdfPaintEngine::writeGlyphs(const QGlyphRun &run, PdfDocumentFonts::Face &face,
                                 const QPointF &origin)
{
    const double size = run.rawFont().pixelSize();
    if (size <= 0)
        return;
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    const PdfFontProgram &program = *face.program;
    content_.append(face.name + " 1 Tf\n");
    double baseline = qQNaN();
    double expected = 0; // where the glyph after the last would stand by the font's width
    bool inString = false, inArray = false;
    for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
        const quint32 glyph = glyphs[i];
        if (glyph >= quint32(program.glyphCount()))
            continue;
        const QPointF p = origin + positions[i];
        if (!(std::abs(p.y() - baseline) < 1e-6)) {
            if (inString)
                content_.append('>');
            if (inArray)
                content_.append("] TJ\n");
            pdf::number(content_, size, kUserDecimals);
            content_.append("0 0 ");
            pdf::number(content_, -size, kUserDecimals);
            pdf::number(content_, p.x(), kUserDecimals);
            pdf::number(content_, p.y(), kUserDecimals);
            content_.append("Tm [");
            baseline = p.y();
            inArray = true;
            inString = false;
        } else {
            const double shift = (expected - p.x()) * 1000 / size;
            if (std::abs(shift) >= 0.005) {
                if (inString)
                    content_.append("> ");
                inString = false;
                pdf::number(content_, shift, 2);
            }
        }
        if (!inString)
            content_.append('<');
        inString = true;
        hex4(content_, glyph);
        face.used[glyph] = true;
        expected = p.x() + program.width(glyph) * size / 1000;
    }
    if (inString)
        content_.append('>');
    if (inArray)
        content_.append("] TJ\n");
}

// A face that cannot be embedded is painted as the outlines of its glyphs.
void PdfPaintEngine::drawGlyphPaths(const QGlyphRun &run, const QPointF &origin)
{
    const QRawFont font = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    QPainterPath outlines;
    for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
        outlines.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    writePath(outlines, nullptr, kUserDecimals);
    content_.append("f\n");
}
