// The PDF writer held to Qt's own: one page painted through PdfDocument and through QPdfWriter,
// both rendered by poppler, must differ only where edges are anti-aliased; its text reads back
// and its fonts are embedded; documents painted on several threads at once come out alike.
#include "PdfDocument.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int kDpi = 150;

const QString kSansText = QStringLiteral("Съешь же ещё этих мягких французских булок, йод");
const QString kBoldText = QStringLiteral("Ёжик в тумане: «ВОРЛ» — 12,5 %");
const QString kSerifText = QStringLiteral("Анализ факторов: Инновация = 62,5%");

QFont face(const QString &family, int points, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A picture with straight alpha: opaque red on the left, half transparent blue on the right,
// fully transparent at the bottom.
QImage alphaImage()
{
    QImage image(60, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(0, 0, 30, 30, QColor(200, 30, 30));
    p.fillRect(30, 0, 30, 30, QColor(30, 30, 200, 128));
    return image;
}

// One page of what the report paints, in points from the paint rectangle's top left corner.
struct Region
{
    const char *name;
    QRectF points;
};

const Region kRegions[] = {
    {"sans", {20, 20, 480, 30}},          {"bold", {20, 60, 480, 30}},
    {"serif", {20, 100, 480, 30}},        {"rotated", {20, 140, 40, 200}},
    {"image", {80, 150, 120, 80}},        {"gradient", {220, 150, 200, 40}},
    {"clipped", {220, 200, 200, 60}},     {"strokes", {80, 260, 340, 80}},
    {"scaled_text", {20, 360, 480, 60}},
};

void paintSample(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(p.device()->logicalDpiX() / 72.0, p.device()->logicalDpiY() / 72.0);
    p.setPen(QColor(33, 37, 41));
    p.setFont(face(QStringLiteral("Liberation Sans"), 14));
    p.drawText(QPointF(20, 40), kSansText);
    p.setFont(face(QStringLiteral("Liberation Sans"), 14, true));
    p.setPen(QColor(31, 58, 95));
    p.drawText(QPointF(20, 80), kBoldText);
    p.setFont(face(QStringLiteral("Liberation Serif"), 15));
    p.setPen(Qt::black);
    p.drawText(QPointF(20, 120), kSerifText);

    p.save();
    p.translate(45, 330);
    p.rotate(-90);
    p.setFont(face(QStringLiteral("Liberation Sans"), 12));
    p.drawText(QPointF(0, 0), QStringLiteral("Повёрнутый"));
    p.restore();

    p.fillRect(QRectF(80, 150, 120, 80), QColor(250, 230, 150));
    p.drawImage(QRectF(90, 160, 90, 60), alphaImage());

    QLinearGradient gradient(220, 0, 420, 0);
    gradient.setColorAt(0, QColor(220, 60, 60));
    gradient.setColorAt(0.5, Qt::white);
    gradient.setColorAt(1, QColor(60, 160, 60));
    p.fillRect(QRectF(220, 150, 200, 40), gradient);

    p.save();
    p.setClipRect(QRectF(230, 200, 80, 60));
    QPainterPath round;
    round.addEllipse(QRectF(240, 190, 120, 80));
    p.setClipPath(round, Qt::IntersectClip);
    p.fillRect(QRectF(220, 200, 200, 60), QColor(40, 90, 200));
    p.restore();

    p.setPen(QPen(QColor(0, 120, 0), 3, Qt::DashLine, Qt::FlatCap));
    p.drawLine(QPointF(80, 270), QPointF(420, 270));
    p.setPen(QPen(QColor(160, 20, 20, 140), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 200, 0, 100));
    p.drawPolygon(QPolygonF({{100, 330}, {160, 285}, {220, 330}}));
    p.setPen(QPen(Qt::black, 0)); // cosmetic: a hairline at any scale
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(260, 285, 140, 45));

    p.save();
    p.translate(20, 400);
    p.scale(2.5, 2.5);
    p.setPen(QColor(120, 0, 120));
    p.setFont(face(QStringLiteral("Liberation Sans"), 8, true));
    p.drawText(QPointF(0, 0), QStringLiteral("Масштаб ×2,5"));
    p.restore();
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray ownPdf()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    PdfDocument document(&buffer);
    document.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    document.setTitle(QStringLiteral("Проба"));
    QPainter painter(&document);
    paintSample(painter);
    painter.end();
    return buffer.data();
}

QByteArray qtPdf()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter(&writer);
    paintSample(painter);
    painter.end();
    return buffer.data();
}

class PdfPage : public testing::Test
{
protected:
    QString save(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QImage rendered(const QString &pdf)
    {
        const QString stem = pdf + QStringLiteral("-page");
        run("pdftoppm", {"-r", QString::number(kDpi), "-png", "-singlefile", pdf, stem});
        return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir;
};

// Anti-aliasing moves an edge by a pixel at most: few pixels of a region differ much, and the
// region's colours agree on average. A shape left out, misplaced or miscoloured fails both.
// Qt embeds its glyphs hinted and ours are not: stems of small text scaled up may fall a pixel
// apart, a few per cent of the ink.
TEST_F(PdfPage, RendersAsQtsOwnWriterWithinAntiAliasing)
{
    const QImage own = rendered(save("own.pdf", ownPdf()));
    const QImage qt = rendered(save("qt.pdf", qtPdf()));
    ASSERT_FALSE(own.isNull());
    ASSERT_EQ(own.size(), qt.size());
    const double pixelsPerPoint = kDpi / 72.0;
    const double margin = 15 / 25.4 * kDpi;
    for (const Region &region : kRegions) {
        const QRectF r = region.points;
        const QRect area(int(margin + r.left() * pixelsPerPoint),
                         int(margin + r.top() * pixelsPerPoint), int(r.width() * pixelsPerPoint),
                         int(r.height() * pixelsPerPoint));
        int far = 0, ink = 0;
        double total = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor a = own.pixelColor(x, y), b = qt.pixelColor(x, y);
                const int d = std::max({std::abs(a.red() - b.red()),
                                        std::abs(a.green() - b.green()),
                                        std::abs(a.blue() - b.blue())});
                far += d > 96;
                total += d;
                ink += b != QColor(Qt::white);
            }
        SCOPED_TRACE(region.name);
        EXPECT_GT(ink, 50);
        EXPECT_LE(far, ink / 10);
        EXPECT_LT(total / (area.width() * area.height()), 3.0);
    }
}

TEST_F(PdfPage, TextReadsBackAndItsFontsAreEmbedded)
{
    const QString pdf = save("own.pdf", ownPdf());
    const QString text = run("pdftotext", {"-enc", "UTF-8", pdf, "-"}).simplified();
    for (const QString &line : {kSansText, kBoldText, kSerifText, QStringLiteral("Повёрнутый"),
                                QStringLiteral("Масштаб ×2,5")})
        EXPECT_TRUE(text.contains(line)) << line.toStdString() << "\n" << text.toStdString();

    const QStringList fonts = run("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    QStringList names;
    for (const QString &font : fonts) {
        EXPECT_TRUE(font.contains(QRegularExpression("CID TrueType\\s+Identity-H\\s+yes yes yes")))
            << font.toStdString();
        names << font.section('+', 1).section(' ', 0, 0);
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"LiberationSans", "LiberationSans-Bold", "LiberationSerif"}));
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QStringLiteral("Проба")));
}

// The font programs are prepared once per process, by whichever thread needs them first.
TEST(PdfThreads, DocumentsPaintedAtOnceAreAlike)
{
    constexpr int kThreads = 4;
    QByteArray made[kThreads];
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&made, i] { made[i] = ownPdf(); });
    for (std::thread &thread : threads)
        thread.join();
    const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
    const QByteArray first = QString::fromLatin1(made[0]).remove(date).toLatin1();
    EXPECT_GT(first.size(), 1000);
    for (int i = 1; i < kThreads; ++i)
        EXPECT_EQ(QString::fromLatin1(made[i]).remove(date).toLatin1(), first) << i;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
