#include "MenuBarStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {

constexpr int kGlyphSize = 16;
constexpr int kGlyphGap = 4;

const QStyleOptionMenuItem *menuBarItem(const QStyleOption *option)
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    return item && !item->icon.isNull() ? item : nullptr;
}

} // namespace

MenuBarStyle::MenuBarStyle(QObject *parent) : QProxyStyle(QApplication::style()->name())
{
    setParent(parent);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption *option,
                                     const QSize &size, const QWidget *widget) const
{
    if (type == CT_MenuBarItem) {
        if (const QStyleOptionMenuItem *item = menuBarItem(option)) {
            // The bar measured the glyph alone; make room for the caption beside it.
            const QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
            const QSize both(kGlyphSize + kGlyphGap + text.width(),
                             std::max(kGlyphSize, text.height()));
            return QProxyStyle::sizeFromContents(type, option, both, widget);
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption *option,
                               QPainter *painter, const QWidget *widget) const
{
    const QStyleOptionMenuItem *item = element == CE_MenuBarItem ? menuBarItem(option) : nullptr;
    if (!item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The base style paints the item's background and highlight; glyph and caption follow.
    QStyleOptionMenuItem background = *item;
    background.text.clear();
    background.icon = QIcon();
    QProxyStyle::drawControl(element, &background, painter, widget);

    const bool enabled = item->state & State_Enabled;
    const QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
    const int width = kGlyphSize + kGlyphGap + text.width();
    const QRect content(item->rect.center().x() - width / 2, item->rect.top(), width,
                        item->rect.height());
    const QPixmap glyph =
        item->icon.pixmap(QSize(kGlyphSize, kGlyphSize), enabled ? QIcon::Normal : QIcon::Disabled);
    drawItemPixmap(painter, QRect(content.left(), content.top(), kGlyphSize, content.height()),
                   Qt::AlignCenter, glyph);
    const QRect textRect = content.adjusted(kGlyphSize + kGlyphGap, 0, 0, 0);
    const QPalette::ColorRole role =
        item->state & State_Selected ? QPalette::HighlightedText : QPalette::ButtonText;
    drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                 item->palette, enabled, item->text, role);
}
