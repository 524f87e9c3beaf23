#include "TurnedHeader.h"

#include <QPainter>

namespace {

constexpr int kHeaderPad = 8;

} // namespace

QSize TurnedHeader::sectionSizeFromContents(int section) const
{
    if (section < firstTurned_)
        return QHeaderView::sectionSizeFromContents(section);
    const QFontMetrics metrics(font());
    const QString text = model()->headerData(section, orientation()).toString();
    return {metrics.height() + kHeaderPad, metrics.horizontalAdvance(text) + 3 * kHeaderPad};
}

void TurnedHeader::paintSection(QPainter *painter, const QRect &rect, int section) const
{
    if (section < firstTurned_) {
        QHeaderView::paintSection(painter, rect, section);
        return;
    }
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = section;
    if (isSortIndicatorShown() && sortIndicatorSection() == section)
        option.sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder
                                   ? QStyleOptionHeader::SortDown
                                   : QStyleOptionHeader::SortUp;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    const QFontMetrics metrics(font());
    painter->save();
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->translate(rect.center().x() + (metrics.ascent() - metrics.descent()) / 2,
                       rect.bottom() - kHeaderPad);
    painter->rotate(-90);
    painter->drawText(QPoint(0, 0), model()->headerData(section, orientation()).toString());
    painter->restore();
    if (option.sortIndicator != QStyleOptionHeader::None) {
        QStyleOptionHeader arrow = option;
        arrow.rect = QRect(rect.left(), rect.top() + 2, rect.width(), kHeaderPad);
        style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &arrow, painter, this);
    }
}
