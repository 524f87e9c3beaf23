#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>

class QPainter;

// The culture wheel behind the diagram: circles at 20, 40, 60, 80 and 100 per cent with the
// 40-60 band, sixteen sectors, the ring of scale words, the "Климат" and "Мотивация" words,
// the four factors (II) in the corners and the two factors (I) on the vertical axis.

// The stored picture's size; the window stretches it to the 598 x 560 overlay.
inline constexpr int kWheelPictureWidth = 598;
inline constexpr int kWheelPictureHeight = 557;

// Radii of the ring of scale words, in overlay pixels; the inner edge is 100 per cent.
inline constexpr double kRingOuterRadius = 211.0;
inline constexpr double kHubRadius = 9.0;

// Colours the tests and the picture share.
inline const QColor kWheelBandColor{255, 246, 196};
inline const QColor kWheelRingColor{252, 234, 168};
inline const QColor kWheelAxisColor{34, 139, 34};

// Draws the wheel filling a device of the given size. The wheel is laid out on the diagram's
// own grid (the 598 x 560 overlay, same centre and radii as the polygons) and scaled to size,
// so a picture of any size, stretched back to the overlay, lines up with the diagram.
void drawCultureWheel(QPainter &painter, QSize size);

// The stored picture: a baseline JPEG of kWheelPictureWidth x kWheelPictureHeight.
QByteArray wheelPictureBytes();
