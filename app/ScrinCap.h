#pragma once

#include "SafeFile.h"

#include <QImage>
#include <QString>

class QWidget;

// A rectangle of the screen: left and top inclusive, right and bottom exclusive, in the
// window system's (device-independent) pixels.
struct ScreenRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The screen's own pixels in the rectangle, whatever covers the program there: a bitmap of
// width right - left and height bottom - top. On a screen with a device pixel ratio above 1
// the grab is scaled to that size, so pictures look alike on every screen. Parts outside the
// screen are black.
QImage CaptureScreenRect(const ScreenRect &rect);

// The screen's pixels of the panel's whole area, bevels included.
QImage CapturePanel(const QWidget *panel);

// Writes the bitmap as a JPEG file of quality 100 under exactly that name.
void writeJpegFile(const QImage &bitmap, const QString &fileName);

// Captures the panel and writes it as a JPEG file of quality 100 under exactly that name.
void SaveAsJpeg(const QWidget *panel, const QString &fileName);
