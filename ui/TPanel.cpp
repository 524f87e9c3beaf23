#include "TPanel.h"

#include "Bevel.h"

#include <QPainter>

TPanel::TPanel(QWidget *parent, Bevel outer, Bevel inner)
    : QWidget(parent), outer_(outer), inner_(inner)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

QRect TPanel::innerRect() const
{
    const int width = (outer_ != Bevel::None) + (inner_ != Bevel::None);
    return rect().adjusted(width, width, -width, -width);
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect r = rect();
    for (const Bevel bevel : {outer_, inner_}) {
        if (bevel == Bevel::None)
            continue;
        paintBevel(painter, r, palette(), bevel == Bevel::Lowered);
        r.adjust(1, 1, -1, -1);
    }
}
