#pragma once

#include <QImage>
#include <QWidget>

// An image control: shows its picture stretched to the control's size. A picture with an alpha
// channel lets whatever lies below show through where it is transparent, which is how the
// diagram's overlay sits on the background picture.
class TImage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TImage)

public:
    explicit TImage(QWidget *parent);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return picture_; }
    // The picture to draw on; call update() when done.
    QImage &canvas() { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
};
