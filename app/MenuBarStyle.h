#pragma once

#include <QProxyStyle>

// The menu bar's look: every item shows its glyph and its caption side by side, where the
// toolkit's own style shows only the glyph of an item that has one.
class MenuBarStyle : public QProxyStyle
{
    Q_OBJECT

public:
    explicit MenuBarStyle(QObject *parent);

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
};
