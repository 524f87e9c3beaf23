#include "TJPEGImage.h"

#include "CommandError.h"
#include "SafeFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>

namespace {

// ---- the libjpeg boundary
//
// libjpeg reports a fatal error by calling error_exit, which must not return. It jumps back
// to the setjmp of the C-style frame that called into libjpeg; those frames hold only plain
// data, so no destructor is skipped, and they return libjpeg's message code to the C++ code
// above them, which turns it into an exception. So neither a longjmp nor an exception ever
// crosses a frame it must not.

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
};

void errorExit(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    manager->code = manager->pub.msg_code;
    std::longjmp(manager->jump, 1);
}

// Warnings and trace messages are not shown anywhere.
void emitMessage(j_common_ptr, int) {}
void outputMessage(j_common_ptr) {}

void setUpErrors(ErrorManager *manager)
{
    jpeg_std_error(&manager->pub);
    manager->pub.error_exit = errorExit;
    manager->pub.emit_message = emitMessage;
    manager->pub.output_message = outputMessage;
    manager->code = 0;
}

// The compressed data goes into one growing malloc'd buffer whose current address is always
// here: libjpeg's own memory destination tells its caller the address only when compression
// finishes, so after an error it would leave a pointer to a buffer it had already freed.
struct MemoryDestination
{
    jpeg_destination_mgr pub;
    unsigned char *buffer;
    std::size_t capacity;
    std::size_t firstCapacity;
};

constexpr std::size_t kFirstOutputBytes = 64 * 1024;

void initDestination(j_compress_ptr info)
{
    auto *dest = reinterpret_cast<MemoryDestination *>(info->dest);
    dest->buffer = static_cast<unsigned char *>(std::malloc(dest->firstCapacity));
    if (!dest->buffer)
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    dest->capacity = dest->firstCapacity;
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean emptyOutputBuffer(j_compress_ptr info)
{
    auto *dest = reinterpret_cast<MemoryDestination *>(info->dest);
    const std::size_t grown = dest->capacity * 2;
    auto *buffer = static_cast<unsigned char *>(std::realloc(dest->buffer, grown));
    if (!buffer)
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    dest->buffer = buffer;
    dest->pub.next_output_byte = buffer + dest->capacity;
    dest->pub.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

void termDestination(j_compress_ptr) {}

struct CompressFrame
{
    jpeg_compress_struct info;
    ErrorManager errors;
    MemoryDestination destination; // its buffer is freed by the caller in every case
    unsigned long outputSize;
};

struct CompressJob
{
    const unsigned char *rows; // packed RGB, or 32-bit pixels as QImage::Format_RGB32 holds them
    int fourBytes;             // the rows are 32-bit pixels
    std::size_t stride;
    int width;
    int height;
    int quality;
    int grayscale;
    int progressive;
};

// QImage::Format_RGB32 pixels as bytes in memory: 0xffRRGGBB words.
constexpr J_COLOR_SPACE kRgb32Space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// Returns 0, or libjpeg's message code. The caller frees frame->destination.buffer in either
// case.
int compressFrame(CompressFrame *frame, const CompressJob *job)
{
    frame->destination.buffer = nullptr;
    frame->destination.capacity = 0;
    // A byte per pixel holds the pictures the program saves even at quality 100 (about half a
    // byte each), so the buffer is seldom grown and copied.
    frame->destination.firstCapacity =
        std::max(kFirstOutputBytes, std::size_t(job->width) * std::size_t(job->height));
    frame->outputSize = 0;
    setUpErrors(&frame->errors);
    frame->info.err = &frame->errors.pub;
    if (setjmp(frame->errors.jump)) {
        jpeg_destroy_compress(&frame->info);
        return frame->errors.code;
    }
    jpeg_create_compress(&frame->info);
    frame->destination.pub.init_destination = initDestination;
    frame->destination.pub.empty_output_buffer = emptyOutputBuffer;
    frame->destination.pub.term_destination = termDestination;
    frame->info.dest = &frame->destination.pub;
    frame->info.image_width = static_cast<JDIMENSION>(job->width);
    frame->info.image_height = static_cast<JDIMENSION>(job->height);
    frame->info.input_components = job->fourBytes ? 4 : 3;
    frame->info.in_color_space = job->fourBytes ? kRgb32Space : JCS_RGB;
    jpeg_set_defaults(&frame->info);
    jpeg_set_quality(&frame->info, job->quality, TRUE);
    if (job->grayscale)
        jpeg_set_colorspace(&frame->info, JCS_GRAYSCALE);
    if (job->progressive)
        jpeg_simple_progression(&frame->info);
    jpeg_start_compress(&frame->info, TRUE);
    // The rows a band of blocks needs, handed over together.
    constexpr JDIMENSION kBand = 16;
    JSAMPROW rows[kBand];
    while (frame->info.next_scanline < frame->info.image_height) {
        const JDIMENSION first = frame->info.next_scanline;
        const JDIMENSION count = std::min(kBand, frame->info.image_height - first);
        for (JDIMENSION k = 0; k < count; ++k)
            rows[k] = const_cast<JSAMPROW>(job->rows + job->stride * (first + k));
        jpeg_write_scanlines(&frame->info, rows, count);
    }
    jpeg_finish_compress(&frame->info);
    frame->outputSize = static_cast<unsigned long>(frame->destination.capacity -
                                                   frame->destination.pub.free_in_buffer);
    jpeg_destroy_compress(&frame->info);
    return 0;
}

struct DecodeFrame
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    int created;
};

struct DecodeOptions
{
    int grayscale;
    int quantize;
    int scale;
    int smoothing;
    int fast;
};

// Reads the header and starts the decoder; output_width, output_height, output_components
// and, when quantising, the colour map are then known. Returns 0 or libjpeg's message code.
int startDecode(DecodeFrame *frame, const unsigned char *data, unsigned long size,
                const DecodeOptions *options)
{
    setUpErrors(&frame->errors);
    frame->info.err = &frame->errors.pub;
    if (setjmp(frame->errors.jump))
        return frame->errors.code;
    jpeg_create_decompress(&frame->info);
    frame->created = 1;
    jpeg_mem_src(&frame->info, data, size);
    jpeg_read_header(&frame->info, TRUE);
    const int grey = options->grayscale || frame->info.jpeg_color_space == JCS_GRAYSCALE;
    frame->info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    frame->info.scale_num = 1;
    frame->info.scale_denom = static_cast<unsigned int>(options->scale);
    frame->info.do_block_smoothing = options->smoothing ? TRUE : FALSE;
    if (options->quantize || grey) {
        frame->info.quantize_colors = TRUE;
        frame->info.desired_number_of_colors = 236;
    }
    if (options->fast) {
        frame->info.dct_method = JDCT_IFAST;
        frame->info.dither_mode = JDITHER_ORDERED;
        frame->info.two_pass_quantize = FALSE;
    }
    jpeg_start_decompress(&frame->info);
    return 0;
}

// Decodes every row, top first, into rows of the given stride.
int readRows(DecodeFrame *frame, unsigned char *rows, std::size_t stride)
{
    if (setjmp(frame->errors.jump))
        return frame->errors.code;
    while (frame->info.output_scanline < frame->info.output_height) {
        JSAMPROW row = rows + stride * frame->info.output_scanline;
        jpeg_read_scanlines(&frame->info, &row, 1);
    }
    return 0;
}

// Reads up to the end of the file; the colour map is gone afterwards.
int finishDecode(DecodeFrame *frame)
{
    if (setjmp(frame->errors.jump))
        return frame->errors.code;
    jpeg_finish_decompress(&frame->info);
    return 0;
}

CommandError jpegError(int code)
{
    return CommandError(QString::asprintf("JPEG error #%d", code));
}

// Releases the decoder however decoding ends.
class DecodeGuard
{
public:
    explicit DecodeGuard(DecodeFrame &frame) : frame_(frame) {}
    ~DecodeGuard()
    {
        if (frame_.created)
            jpeg_destroy_decompress(&frame_.info);
    }
    DecodeGuard(const DecodeGuard &) = delete;
    DecodeGuard &operator=(const DecodeGuard &) = delete;

private:
    DecodeFrame &frame_;
};

// Larger pictures than this are refused before their pixels are allocated: a damaged header
// may claim a size no screen ever needs.
constexpr qint64 kMaxDecodedBytes = qint64(1) << 28;

int validScale(int scale)
{
    return (scale == 2 || scale == 4 || scale == 8) ? scale : 1;
}

bool displayHasAtMost8Bits()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->depth() <= 8;
}

} // namespace

namespace {

// Written once by decideJpegDefaults before any worker starts, read by every picture.
std::atomic<bool> eightBitDisplay{false};

} // namespace

TJPEGSettings jpegDefaults()
{
    TJPEGSettings s;
    if (eightBitDisplay.load(std::memory_order_relaxed))
        s.pixelFormat = TJPEGSettings::PixelFormat::Bit8;
    return s;
}

void decideJpegDefaults()
{
    eightBitDisplay.store(displayHasAtMost8Bits(), std::memory_order_relaxed);
}

QByteArray encodeJpeg(const QImage &bitmap, const TJPEGSettings &settings)
{
    if (bitmap.isNull() || bitmap.width() == 0 || bitmap.height() == 0)
        return {};
    // The pixels of a 32-bit bitmap as they are; any other a 24-bit copy, so the depth of the
    // screen the bitmap came from does not matter. libjpeg converts both alike.
    const bool fourBytes = bitmap.format() == QImage::Format_RGB32;
    const QImage pixels = fourBytes ? bitmap : bitmap.convertToFormat(QImage::Format_RGB888);
    const CompressJob job{pixels.constBits(),
                          fourBytes ? 1 : 0,
                          static_cast<std::size_t>(pixels.bytesPerLine()),
                          pixels.width(),
                          pixels.height(),
                          settings.quality,
                          settings.grayscale ? 1 : 0,
                          settings.progressiveEncoding ? 1 : 0};
    CompressFrame frame;
    std::memset(&frame, 0, sizeof frame);
    const int code = compressFrame(&frame, &job);
    QByteArray bytes;
    if (code == 0)
        bytes = QByteArray(reinterpret_cast<const char *>(frame.destination.buffer),
                           static_cast<qsizetype>(frame.outputSize));
    std::free(frame.destination.buffer);
    if (code != 0)
        throw jpegError(code);
    return bytes;
}

QImage decodeJpeg(const QByteArray &data, const TJPEGSettings &settings)
{
    DecodeFrame frame;
    std::memset(&frame, 0, sizeof frame);
    DecodeGuard guard(frame);
    const DecodeOptions options{settings.grayscale ? 1 : 0,
                                settings.pixelFormat == TJPEGSettings::PixelFormat::Bit8 ? 1 : 0,
                                validScale(settings.scale), settings.smoothing ? 1 : 0,
                                settings.performance == TJPEGSettings::Performance::BestSpeed ? 1
                                                                                              : 0};
    if (const int code =
            startDecode(&frame, reinterpret_cast<const unsigned char *>(data.constData()),
                        static_cast<unsigned long>(data.size()), &options))
        throw jpegError(code);

    const jpeg_decompress_struct &info = frame.info;
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    const bool indexed = info.quantize_colors;
    const int bytesPerPixel = indexed ? 1 : info.output_components;
    if (qint64(width) * height * bytesPerPixel > kMaxDecodedBytes)
        throw CommandError(QStringLiteral("Out of memory"));
    QImage image(width, height, indexed ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (image.isNull())
        throw CommandError(QStringLiteral("Out of memory"));
    if (const int code =
            readRows(&frame, image.bits(), static_cast<std::size_t>(image.bytesPerLine())))
        throw jpegError(code);

    if (indexed) {
        QList<QRgb> colours;
        colours.reserve(info.actual_number_of_colors);
        const bool grey = info.out_color_components == 1;
        for (int i = 0; i < info.actual_number_of_colors; ++i) {
            const int r = info.colormap[0][i];
            colours << (grey ? qRgb(r, r, r) : qRgb(r, info.colormap[1][i], info.colormap[2][i]));
        }
        image.setColorTable(colours);
    }
    if (const int code = finishDecode(&frame))
        throw jpegError(code);
    return image;
}

// ---- the picture object

TJPEGImage::TJPEGImage() : settings(jpegDefaults()) {}

void TJPEGImage::assign(const QImage &bitmap)
{
    data_.clear();
    bitmap_ = bitmap;
}

void TJPEGImage::compress()
{
    data_.clear();
    data_ = encodeJpeg(bitmap_, settings);
}

void TJPEGImage::saveToFile(const QString &fileName)
{
    if (data_.isEmpty())
        compress();
    writeFileReplacing(fileName, data_);
}

void TJPEGImage::loadFromBytes(const QByteArray &data)
{
    data_ = data;
    bitmap_ = QImage();
}

void TJPEGImage::loadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(fileName);
    loadFromBytes(file.readAll());
}

const QImage &TJPEGImage::bitmap()
{
    if (bitmap_.isNull() && !data_.isEmpty())
        bitmap_ = decodeJpeg(data_, settings);
    return bitmap_;
}

void TJPEGImage::draw(QPainter &painter, const QRect &rect)
{
    const QImage &image = bitmap();
    if (!image.isNull())
        painter.drawImage(rect, image);
}

QByteArray jpegFileBytes(const QImage &bitmap)
{
    TJPEGImage jpeg;
    jpeg.assign(bitmap);
    jpeg.settings.quality = 100;
    jpeg.compress();
    return jpeg.data();
}
