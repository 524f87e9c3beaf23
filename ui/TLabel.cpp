#include "TLabel.h"

#include "Caption.h"
#include "ShownText.h"

#include <QPainter>

TLabel::TLabel(QWidget *parent, const QFont &font, const QColor &color, Anchor anchor)
    : QLabel(parent), anchor_(anchor)
{
    setFont(font);
    setTextColor(color);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setAlignment(anchor == Anchor::Right ? Qt::AlignRight | Qt::AlignTop
                                         : Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
}

void TLabel::place(int x, int top)
{
    x_ = x;
    top_ = top;
    fit();
}

void TLabel::setCaption(const QString &text)
{
    // A label shows no more than a panel's width of its caption, from the anchored edge, and
    // the text is measured at every change and drawn at every paint: a caption of a header line
    // of 256 KiB would cost seconds each time, and its first (or last) thousand characters
    // already reach far past any panel.
    setText(anchor_ == Anchor::Right ? shownEnd(text) : shownBeginning(text));
    fit();
}

void TLabel::setTextColor(const QColor &color)
{
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::ButtonText, color);
    setPalette(p);
    update();
}

void TLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(color_);
    paintCaption(painter, size(), text(), alignment(), leadingWidth_, paintLeading_);
}

void TLabel::setLeading(int width, std::function<void(QPainter &, const QRect &)> paint)
{
    leadingWidth_ = width;
    paintLeading_ = std::move(paint);
    fit();
}

void TLabel::fit()
{
    setGeometry(
        captionBox(font(), this, text(), x_, top_, anchor_ == Anchor::Right, leadingWidth_));
}
