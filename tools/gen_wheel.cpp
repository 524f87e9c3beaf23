// Draws the culture wheel behind the diagram and writes it as the program's background
// picture: a baseline JFIF JPEG of 598 x 557 with 4:2:0 chroma, the picture results/ embeds.
//
// Usage: gen_wheel OUTPUT.jpg
#include "CommandError.h"
#include "CultureWheel.h"
#include "TJPEGImage.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

// Fine lines and small coloured words need more than the default quality to stay clean.
constexpr int kWheelQuality = 95;

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: gen_wheel OUTPUT.jpg\n", stderr);
        return 2;
    }
    // Fonts, no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QImage picture(kWheelPictureWidth, kWheelPictureHeight, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        drawCultureWheel(painter, picture.size());
    }
    try {
        TJPEGImage jpeg;
        jpeg.settings.quality = kWheelQuality;
        jpeg.assign(picture);
        jpeg.saveToFile(QString::fromLocal8Bit(argv[1]));
        std::printf("%s: %d x %d, %lld bytes\n", argv[1], picture.width(), picture.height(),
                    static_cast<long long>(jpeg.data().size()));
    } catch (const CommandError &e) {
        std::fprintf(stderr, "gen_wheel: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
