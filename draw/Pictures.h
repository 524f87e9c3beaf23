#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

// The program's own pictures, drawn rather than stored: the 32 x 32 program picture and the
// small glyphs of the menu.
QPixmap programPicture();
// The program picture at any size, on any device (the desktop icons are drawn with it).
void paintProgramPicture(QPainter &painter, double size);
QIcon programIcon();

enum class MenuGlyph {
    Open,
    Group,
    Plots,
    Images,
    Save,
    ImageA,
    ImageB,
    ImageC,
    ImageD,
    SaveText,
    SavePicture,
    Compare
};
QIcon menuGlyph(MenuGlyph glyph);
