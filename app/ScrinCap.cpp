#include "ScrinCap.h"

#include "CommandError.h"
#include "TJPEGImage.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

QImage CaptureScreenRect(const ScreenRect &rect)
{
    const QSize size(rect.right - rect.left, rect.bottom - rect.top);
    if (size.width() <= 0 || size.height() <= 0)
        return QImage(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(Qt::black);

    const QPoint topLeft(rect.left, rect.top);
    QScreen *screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // A picture that is only black would be saved as if it showed the panel: say so instead.
    if (!screen)
        throw CommandError(QStringLiteral("Cannot read the screen: there is no screen"));
    // Only the part on this screen can be read; the rest stays black.
    const QRect visible = QRect(topLeft, size) & screen->geometry();
    if (visible.isEmpty())
        return bitmap;
    // Window 0 is the whole screen as shown: the grab reads the screen's pixels, not a fresh
    // painting of our widgets. Qt holds no screen handle past this call.
    const QPoint onScreen = visible.topLeft() - screen->geometry().topLeft();
    const QPixmap grab =
        screen->grabWindow(0, onScreen.x(), onScreen.y(), visible.width(), visible.height());
    if (grab.isNull())
        throw CommandError(
            QStringLiteral("Cannot read the screen: this desktop does not let programs read it"));
    QImage pixels = grab.toImage();
    pixels.setDevicePixelRatio(1);
    if (pixels.size() != visible.size())
        pixels = pixels.scaled(visible.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&bitmap);
    painter.drawImage(visible.topLeft() - topLeft, pixels);
    painter.end();
    return bitmap;
}

QImage CapturePanel(const QWidget *panel)
{
    const QPoint origin = panel->mapToGlobal(QPoint(0, 0));
    return CaptureScreenRect(
        {origin.x(), origin.y(), origin.x() + panel->width(), origin.y() + panel->height()});
}

void SaveAsJpeg(const QWidget *panel, const QString &fileName)
{
    writeJpegFile(CapturePanel(panel), fileName);
}

void writeJpegFile(const QImage &bitmap, const QString &fileName)
{
    writeFileReplacing(fileName, jpegFileBytes(bitmap));
}
