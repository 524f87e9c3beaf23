#include "TLabel.h"

#include "ShapedText.h"
#include "ShownText.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// Characters that break or space a caption's line in drawText's own way (line and paragraph
// breaks, tabs): a caption holding one is laid out by drawText itself.
bool laidOutAsOneRun(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    return true;
}

} // namespace

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
    if (paintLeading_)
        paintLeading_(painter, QRect(0, 0, leadingWidth_, height()));
    const QRect box = rect().adjusted(leadingWidth_, 0, 0, 0);
    const QString caption = text();
    if (!laidOutAsOneRun(caption)) {
        painter.drawText(box, int(alignment()), caption);
        return;
    }
    // Where drawText(box, alignment) puts a one-line caption, from kept glyphs: the labels
    // repaint with every drawing of the panel under them.
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal room = box.width() - shapedAdvance(painter, caption);
    const Qt::Alignment align = alignment();
    const qreal x = box.left() + (align & Qt::AlignRight     ? room
                                  : align & Qt::AlignHCenter ? room / 2
                                                             : 0);
    const qreal y = align & Qt::AlignBottom    ? height() - metrics.height()
                    : align & Qt::AlignVCenter ? (height() - metrics.height()) / 2
                                               : 0;
    drawShapedText(painter, QPointF(x, y + metrics.ascent()), caption);
}

void TLabel::setLeading(int width, std::function<void(QPainter &, const QRect &)> paint)
{
    leadingWidth_ = width;
    paintLeading_ = std::move(paint);
    fit();
}

void TLabel::fit()
{
    const QFontMetrics metrics(font());
    const QSize size(leadingWidth_ + shapedWidth(font(), this, text()), metrics.height());
    const int left = anchor_ == Anchor::Right ? x_ - size.width() : x_;
    setGeometry(left, top_, size.width(), size.height());
}
