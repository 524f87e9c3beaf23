#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn rather than stored: the 32 x 32 program picture and the
// small glyphs of the menu.
QPixmap programPicture();
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
    SavePicture
};
QIcon menuGlyph(MenuGlyph glyph);
