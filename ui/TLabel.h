#pragma once

#include <QLabel>
#include <functional>

// A label sized to its text that keeps one edge where it was put when its text changes, as the
// window's captions do: the left edge, or the right edge for right-aligned captions.
class TLabel : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY(TLabel)

public:
    enum class Anchor { Left, Right };

    TLabel(QWidget *parent, const QFont &font, const QColor &color, Anchor anchor = Anchor::Left);

    // Places the label by its top-left corner (left anchor) or its top-right end (right
    // anchor, x is the right edge, exclusive).
    void place(int x, int top);
    // A caption longer than kShownTextLength (ShownText.h) is kept cut at the far end from the
    // anchored edge; what the label shows is the same.
    void setCaption(const QString &text);
    QString caption() const { return text(); }
    void setTextColor(const QColor &color);
    // Room of the given width before the caption, painted by paint (a legend's sample line):
    // one widget for both, as the panel draws its labels at every frame.
    void setLeading(int width, std::function<void(QPainter &, const QRect &)> paint);
    QColor textColor() const { return color_; }

protected:
    // Paints the caption in the label's own colour: QLabel would take the colour of a role that
    // depends on the parent's background (ButtonText on a button-face panel), not the one set.
    void paintEvent(QPaintEvent *event) override;

private:
    void fit();

    QColor color_;
    int leadingWidth_ = 0;
    std::function<void(QPainter &, const QRect &)> paintLeading_;
    Anchor anchor_;
    int x_ = 0;
    int top_ = 0;
};
