#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QPainter;
class QRect;

// How a JPEG picture is encoded and decoded. Every picture copies the process-wide defaults
// when it is made; the save path raises only the quality.
struct TJPEGSettings
{
    enum class PixelFormat { Bit24, Bit8 };
    enum class Performance { BestQuality, BestSpeed };

    int quality = 90;                             // libjpeg quality factor, 1 to 100 (encoding)
    bool grayscale = false;                       // one grey channel (encoding and decoding)
    bool progressiveEncoding = false;             // progressive instead of baseline (encoding)
    PixelFormat pixelFormat = PixelFormat::Bit24; // decoded bitmap
    bool progressiveDisplay = false;              // decoding runs in one go, so this is only kept
    Performance performance = Performance::BestQuality; // inverse transform and dithering
    int scale = 1;                                      // decode at 1/scale: 1, 2, 4 or 8
    bool smoothing = true;                              // libjpeg block smoothing (decoding)
};

// The process-wide defaults, a copy for each reader: the pixel format is 8-bit when the display
// shows at most 8 bits per pixel, as decideJpegDefaults found it.
TJPEGSettings jpegDefaults();
// Looks at the screen once, on the thread of the application object, before any picture is
// made; without it (the batch, which has no screen) the defaults are 24-bit.
void decideJpegDefaults();

// A JPEG picture: one complete JPEG file in memory and the bitmap it was made from or decoded
// to. libjpeg errors become CommandError "JPEG error #%d" with libjpeg's message code; its
// warnings and trace messages are dropped.
class TJPEGImage
{
public:
    TJPEGImage();

    TJPEGSettings settings;

    // Drops the compressed data and keeps a copy of the bitmap as the source.
    void assign(const QImage &bitmap);
    // Encodes the source bitmap into fresh data; no bitmap, or one of width or height 0,
    // gives empty data.
    void compress();
    // Writes the data (compressing first when there is none) to the file, replacing it only
    // once every byte is written; "Cannot create file %s" when that fails.
    void saveToFile(const QString &fileName);

    // Takes one JPEG file's bytes; the bitmap is decoded from them when first needed.
    void loadFromBytes(const QByteArray &data);
    // The same from a file (a Qt resource path too); "Cannot open file %s" when unreadable.
    void loadFromFile(const QString &fileName);

    // The source bitmap, decoded from the data once and kept for every later use.
    const QImage &bitmap();
    // Stretches the bitmap into the rectangle.
    void draw(QPainter &painter, const QRect &rect);

    const QByteArray &data() const { return data_; }
    bool empty() const { return data_.isEmpty() && bitmap_.isNull(); }

private:
    QByteArray data_;
    QImage bitmap_;
};

// Pure conversions behind the picture object, for callers that hold only bytes or pixels.
QByteArray encodeJpeg(const QImage &bitmap, const TJPEGSettings &settings);
QImage decodeJpeg(const QByteArray &data, const TJPEGSettings &settings);

// The bitmap as the bytes of a JPEG file of quality 100, as the picture saves write it.
QByteArray jpegFileBytes(const QImage &bitmap);
