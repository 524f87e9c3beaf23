#pragma once

#include <QRect>

class QPainter;
class QPalette;

// A one-pixel bevel round rect, as the window's panels have them: raised is light at the top and
// left and dark at the bottom and right, sunken the other way round.
void paintBevel(QPainter &painter, const QRect &rect, const QPalette &palette, bool sunken);
