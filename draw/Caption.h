#pragma once

#include <QRect>
#include <QString>
#include <functional>

class QFont;
class QPaintDevice;
class QPainter;

// A caption of the window's panels: a line of text in a box as wide as the text, kept at one
// edge where it was put (the left edge, or the right one for right-aligned captions), with room
// before the text that another painting fills (a legend's sample). The label widgets paint
// through it, and so do the views that paint a panel without widgets.

using CaptionLeading = std::function<void(QPainter &, const QRect &)>;

// The caption's box: its top-left corner at (x, top), or its right end (exclusive) at x when
// anchored at the right.
QRect captionBox(const QFont &font, const QPaintDevice *device, const QString &text, int x, int top,
                 bool rightAnchor, int leadingWidth = 0);

// Paints the caption into a box of the given size at the painter's origin, with the painter's
// font and pen, aligned in the box as alignment says; leading paints the room before the text.
void paintCaption(QPainter &painter, QSize box, const QString &text, Qt::Alignment alignment,
                  int leadingWidth = 0, const CaptionLeading &leading = {});
