// A recording played on another painter paints what its routine painted there directly: the
// state, the shapes, the images and the text, with the player's transformation as its origin
// and the routine's last state left behind, on the GUI thread or off it. The target is a PDF,
// as in the report, read back as pictures by pdftoppm.

#include "PaintRecording.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QPainterPath>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <thread>

namespace {

const QColor kSeeThroughInk(0, 0, 0, 110);

// A routine that uses every kind of state and drawing the report's widgets use, and more.
void routine(QPainter &p)
{
    // A clip set before anything is drawn, as the report's charts have.
    p.setClipRect(QRect(0, 0, 1950, 1480));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(QRect(0, 0, 2000, 1500), QColor(235, 240, 250));
    p.setPen(QPen(QColor(200, 0, 0), 12, Qt::DashLine));
    p.setBrush(QColor(0, 120, 0));
    p.drawRect(QRectF(100.5, 100.5, 600, 400));
    p.drawEllipse(QRect(800, 100, 500, 300));

    // A clip rectangle under a rotation, undone by restore.
    p.save();
    p.translate(1000, 600);
    p.rotate(20);
    p.setClipRect(QRect(0, 0, 600, 400));
    p.setBrush(QBrush(QColor(0, 0, 200), Qt::Dense4Pattern));
    p.drawPolygon(QPolygonF({{-100, -100}, {800, 0}, {300, 600}}));
    p.restore();

    QPainterPath circle;
    circle.addEllipse(QPointF(600, 1000), 350, 300);
    p.setClipPath(circle);
    QPainterPath curve;
    curve.moveTo(100, 1000);
    curve.cubicTo(400, 600, 800, 1400, 1200, 1000);
    p.setPen(QPen(QColor(120, 0, 160), 30));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setClipping(false);

    p.setPen(QPen(Qt::black, 4));
    p.drawLine(QLine(50, 1450, 1950, 1450));
    p.drawPolyline(QPolygon({{1400, 100}, {1500, 300}, {1600, 150}, {1900, 400}}));
    QImage tile(20, 20, QImage::Format_RGB32);
    tile.fill(QColor(250, 180, 0));
    for (int i = 0; i < 20; ++i)
        tile.setPixel(i, i, qRgb(0, 0, 0));
    p.setOpacity(0.6);
    p.drawImage(QRect(1400, 500, 400, 300), tile);
    p.setOpacity(1);

    // Text in two scripts; underlined over an opaque background, both see-through, so that
    // either drawn twice would show darker.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(90);
    p.setFont(font);
    p.setPen(kSeeThroughInk);
    p.drawText(QPointF(100, 1250), QStringLiteral("Профиль ABC 42"));
    font.setUnderline(true);
    p.setFont(font);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(QColor(255, 200, 0, 120));
    p.drawText(QPointF(100, 1380), QStringLiteral("Факторы"));
    p.setBackgroundMode(Qt::TransparentMode);
    font.setUnderline(false);
    p.setFont(font);
    p.drawText(QRectF(1100, 1050, 800, 350), Qt::AlignRight | Qt::TextWordWrap,
               QStringLiteral("слова в две строки"));

    // Left behind, set after the last drawing: a transformation, a clip and a pen.
    p.translate(200, 100);
    p.setClipRect(QRect(0, 0, 1000, 600));
    p.setPen(QPen(QColor(0, 0, 255), 20));
}

// A routine that leaves the pen and the font as it found them: the player's are drawn with.
void fillsOnly(QPainter &p)
{
    p.setBrush(QColor(250, 120, 0));
    p.drawRect(QRect(200, 200, 900, 500));
}

// What the caller draws after the routine, in whatever state it left.
void afterwards(QPainter &p)
{
    p.drawLine(QLine(0, 0, 2000, 1500));
    p.drawText(QPointF(50, 200), QStringLiteral("после"));
}

// A page painted by paint, at an origin of the player's own, then drawn on by afterwards.
QByteArray pdfOf(const std::function<void(QPainter &)> &paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter p(&writer);
        p.translate(300, 250);
        p.scale(2.5, 2.5);
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPixelSize(120);
        p.setFont(font);
        p.setPen(QPen(QColor(0, 128, 128), 8));
        paint(p);
        afterwards(p);
    }
    return buffer.data();
}

// The page at 60 dpi, as pdftoppm renders it.
QImage pageOf(const QByteArray &pdf, const QString &stem)
{
    QFile file(stem + ".pdf");
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {"-r", "60", "-png", "-singlefile", stem + ".pdf", stem});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
}

QByteArray withoutCreationDate(QByteArray pdf)
{
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9]+Z\\)"));
    return QString::fromLatin1(pdf).remove(date).toLatin1();
}

int inkedPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

const QPaintDevice &pdfLike()
{
    static QBuffer unused;
    static QPdfWriter writer(&unused);
    return writer;
}

} // namespace

struct Routine
{
    const char *name;
    void (*paint)(QPainter &);
};

void PrintTo(const Routine &routine, std::ostream *out)
{
    *out << routine.name;
}

class PlayedPage : public testing::TestWithParam<Routine>
{
};

TEST_P(PlayedPage, LooksAsThePagePaintedDirectly)
{
    QTemporaryDir dir;
    const QImage direct = pageOf(pdfOf(GetParam().paint), dir.filePath("direct"));
    ASSERT_FALSE(direct.isNull());
    const PaintRecording recording = PaintRecording::record(pdfLike(), GetParam().paint);
    ASSERT_FALSE(recording.isEmpty());
    const QImage played =
        pageOf(pdfOf([&](QPainter &p) { recording.play(p); }), dir.filePath("played"));
    ASSERT_EQ(played.size(), direct.size());
    EXPECT_GT(inkedPixels(direct), direct.width() * direct.height() / 50);
    int differing = 0;
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x)
            differing += played.pixel(x, y) != direct.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Routines, PlayedPage,
                         testing::Values(Routine{"every_kind_of_drawing", routine},
                                         Routine{"fills_only", fillsOnly}),
                         [](const auto &row) { return std::string(row.param.name); });

// Played on a worker thread, with that thread's own fonts, the recording gives the same PDF.
TEST(PaintRecording, PlaysOnAWorkerThreadAsOnTheGuiThread)
{
    const PaintRecording recording = PaintRecording::record(pdfLike(), routine);
    const QByteArray here = pdfOf([&](QPainter &p) { recording.play(p); });
    QByteArray there;
    std::thread worker([&] { there = pdfOf([&](QPainter &p) { recording.play(p); }); });
    worker.join();
    EXPECT_GT(here.size(), 1000);
    EXPECT_EQ(withoutCreationDate(there), withoutCreationDate(here));
}
