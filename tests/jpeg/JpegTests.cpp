#include "CommandError.h"
#include "TJPEGImage.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
// jerror.h after jpeglib.h: it names the message codes the errors carry.
#include <jerror.h>

namespace {

// Eight colour blocks of 40 x 40 pixels over a grey ground.
QImage blocksPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    const QRgb colours[] = {qRgb(255, 0, 0),   qRgb(0, 160, 0),    qRgb(0, 0, 255),
                            qRgb(255, 255, 0), qRgb(128, 0, 0),    qRgb(0, 255, 255),
                            qRgb(0, 0, 0),     qRgb(255, 255, 255)};
    for (int i = 0; i < 8; ++i)
        for (int y = 40; y < 80; ++y)
            for (int x = 40 + 60 * i; x < 80 + 60 * i && x < width; ++x)
                image.setPixel(x, y, colours[i]);
    return image;
}

// The segments of a JPEG file up to the start of scan, by marker.
struct Segment
{
    unsigned char marker;
    QByteArray body;
};

std::vector<Segment> segmentsOf(const QByteArray &file)
{
    std::vector<Segment> segments;
    qsizetype at = 2;
    while (at + 4 <= file.size() && uchar(file[at]) == 0xFF) {
        const unsigned char marker = uchar(file[at + 1]);
        const int length = (uchar(file[at + 2]) << 8) | uchar(file[at + 3]);
        segments.push_back({marker, file.mid(at + 4, length - 2)});
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return segments;
}

const Segment *find(const std::vector<Segment> &segments, unsigned char marker)
{
    for (const Segment &s : segments)
        if (s.marker == marker)
            return &s;
    return nullptr;
}

int maxChannelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

TEST(JpegEncoding, SavedPictureIsBaselineJfifWithQuality100Tables)
{
    const QByteArray file = jpegFileBytes(blocksPicture(602, 564));
    ASSERT_GE(file.size(), 4);
    EXPECT_EQ(uchar(file[0]), 0xFF);
    EXPECT_EQ(uchar(file[1]), 0xD8);
    const auto segments = segmentsOf(file);
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments.front().marker, 0xE0);
    EXPECT_TRUE(segments.front().body.startsWith(QByteArray("JFIF\0", 5)));

    EXPECT_EQ(find(segments, 0xC2), nullptr) << "progressive";
    const Segment *sof = find(segments, 0xC0);
    ASSERT_NE(sof, nullptr) << "no baseline frame header";
    const QByteArray &f = sof->body;
    EXPECT_EQ(uchar(f[0]), 8); // precision
    EXPECT_EQ((uchar(f[1]) << 8) | uchar(f[2]), 564);
    EXPECT_EQ((uchar(f[3]) << 8) | uchar(f[4]), 602);
    ASSERT_EQ(uchar(f[5]), 3);
    // Luma sampled 2 x 2, both chroma channels 1 x 1: 4:2:0.
    EXPECT_EQ(uchar(f[6 + 1]), 0x22);
    EXPECT_EQ(uchar(f[9 + 1]), 0x11);
    EXPECT_EQ(uchar(f[12 + 1]), 0x11);

    // Quality 100 scales every entry of the standard tables down to 1; 8-bit entries.
    int tables = 0;
    for (const Segment &s : segments) {
        if (s.marker != 0xDB)
            continue;
        for (qsizetype at = 0; at < s.body.size(); at += 65, ++tables) {
            EXPECT_EQ(uchar(s.body[at]) >> 4, 0);
            for (int i = 1; i <= 64; ++i)
                EXPECT_EQ(uchar(s.body[at + i]), 1);
        }
    }
    EXPECT_EQ(tables, 2);
}

// A 32-bit bitmap is encoded from its pixels as they lie in memory, any other from a 24-bit
// copy: one picture gives one file whatever its format, in colour and in grey.
TEST(JpegEncoding, EveryFormatOfOnePictureGivesOneFile)
{
    const QImage picture = blocksPicture(602, 564);
    for (const bool grey : {false, true}) {
        TJPEGSettings settings;
        settings.quality = 100;
        settings.grayscale = grey;
        const QByteArray expected =
            encodeJpeg(picture.convertToFormat(QImage::Format_RGB888), settings);
        ASSERT_FALSE(expected.isEmpty());
        for (const QImage::Format format :
             {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied})
            EXPECT_EQ(encodeJpeg(picture.convertToFormat(format), settings), expected)
                << "format " << int(format) << (grey ? ", grey" : "");
    }
}

TEST(JpegEncoding, RoundTripKeepsColoursWithinQuality100Loss)
{
    const QImage source = blocksPicture(602, 564);
    TJPEGImage decoded;
    decoded.loadFromBytes(jpegFileBytes(source));
    const QImage &image = decoded.bitmap();
    ASSERT_EQ(image.size(), source.size());
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    // Away from the edges, where 2 x 2 chroma sampling blurs colours on purpose.
    for (int i = 0; i < 8; ++i) {
        const QPoint p(60 + 60 * i, 60);
        EXPECT_LE(maxChannelDifference(image.pixel(p), source.pixel(p)), 4) << "block " << i;
    }
    EXPECT_LE(maxChannelDifference(image.pixel(300, 400), source.pixel(300, 400)), 2);
}

TEST(JpegEncoding, EmptyBitmapGivesZeroByteFileOverAnOldOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.jpg"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();

    for (const QImage &bitmap :
         {QImage(), QImage(0, 10, QImage::Format_RGB32), QImage(10, 0, QImage::Format_RGB32)}) {
        TJPEGImage jpeg;
        jpeg.assign(bitmap);
        jpeg.saveToFile(path);
        EXPECT_EQ(QFileInfo(path).size(), 0);
    }
}

TEST(JpegEncoding, SavingOverAFileLeavesExactlyTheNewData)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("over.jpg"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(1 << 20, 'x'));
    old.close();

    TJPEGImage jpeg;
    jpeg.assign(blocksPicture(100, 90));
    jpeg.saveToFile(path); // compresses first
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), jpeg.data());
}

TEST(JpegEncoding, MissingFolderGivesCannotCreateFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/picture.jpg"));
    TJPEGImage jpeg;
    jpeg.assign(blocksPicture(20, 20));
    try {
        jpeg.saveToFile(path);
        FAIL() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(path));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(JpegEncoding, ImpossibleSizeIsAJpegError)
{
    try {
        encodeJpeg(QImage(70000, 1, QImage::Format_RGB888), TJPEGSettings{});
        FAIL() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("JPEG error #%1").arg(JERR_IMAGE_TOO_BIG));
    }
}

// ---- decoding

struct CorruptCase
{
    const char *name;
    QByteArray bytes;
    int code;
};

void PrintTo(const CorruptCase &c, std::ostream *os)
{
    *os << c.name;
}

class JpegCorruptData : public testing::TestWithParam<CorruptCase>
{
};

TEST_P(JpegCorruptData, DecodingFailsWithLibjpegsCode)
{
    TJPEGImage jpeg;
    jpeg.loadFromBytes(GetParam().bytes);
    try {
        jpeg.bitmap();
        FAIL() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("JPEG error #%1").arg(GetParam().code));
    }
    // Nothing half-decoded is kept.
    EXPECT_TRUE(jpeg.data() == GetParam().bytes);
}

QByteArray withZeroWidth()
{
    QByteArray file = jpegFileBytes(blocksPicture(16, 16));
    const qsizetype sof = file.indexOf(QByteArray("\xFF\xC0", 2));
    file[sof + 7] = 0;
    file[sof + 8] = 0;
    return file;
}

QByteArray withBadHuffmanTable()
{
    QByteArray file = jpegFileBytes(blocksPicture(16, 16));
    const qsizetype dht = file.indexOf(QByteArray("\xFF\xC4", 2));
    file[dht + 4] = char(0x7F); // table class and number out of range
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Table, JpegCorruptData,
    testing::Values(CorruptCase{"not_a_jpeg", QByteArray("GIF89a......"), JERR_NO_SOI},
                    CorruptCase{"only_start_marker", QByteArray("\xFF\xD8", 2), JERR_NO_IMAGE},
                    CorruptCase{"zero_width", withZeroWidth(), JERR_EMPTY_IMAGE},
                    CorruptCase{"bad_huffman_table", withBadHuffmanTable(), JERR_DHT_INDEX}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(JpegDecoding, EightBitDisplayGivesAtMost236Colours)
{
    TJPEGImage jpeg;
    jpeg.settings.pixelFormat = TJPEGSettings::PixelFormat::Bit8;
    jpeg.loadFromBytes(jpegFileBytes(blocksPicture(200, 120)));
    const QImage &image = jpeg.bitmap();
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.size(), QSize(200, 120));
    EXPECT_LE(image.colorCount(), 236);
    EXPECT_LE(maxChannelDifference(image.pixel(60, 60), qRgb(255, 0, 0)), 40);
}

TEST(JpegDecoding, DecodesOnceAndStretchesIntoTheRectangle)
{
    TJPEGImage jpeg;
    jpeg.loadFromBytes(jpegFileBytes(blocksPicture(100, 100)));
    const qint64 key = jpeg.bitmap().cacheKey();
    EXPECT_EQ(jpeg.bitmap().cacheKey(), key);

    QImage target(200, 200, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    jpeg.draw(painter, QRect(0, 0, 200, 200));
    painter.end();
    // The red block at (40..80, 40..80) lands at (80..160, 80..160).
    EXPECT_LE(maxChannelDifference(target.pixel(120, 120), qRgb(255, 0, 0)), 6);
    EXPECT_LE(maxChannelDifference(target.pixel(40, 40), qRgb(200, 200, 200)), 4);
}
