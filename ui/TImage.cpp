#include "TImage.h"

#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void TImage::setPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    if (picture_.size() == size()) {
        painter.drawImage(0, 0, picture_);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
}
