#include "TStringGrid.h"

#include <QHelpEvent>
#include <QToolTip>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kDefaultColCount = 5;
constexpr int kDefaultRowCount = 5;
constexpr int kDefaultFixedRows = 1;
constexpr int kTextMargin = 2; // default drawing: text offset from the cell's left and top

// QAbstractScrollArea sizes its bar by the bar's size hint, so the hint carries the width.
class GridScrollBar : public QScrollBar
{
public:
    using QScrollBar::QScrollBar;
    QSize sizeHint() const override
    {
        QSize hint = QScrollBar::sizeHint();
        hint.setWidth(TStringGrid::kScrollBarWidth);
        return hint;
    }
};

} // namespace

TStringGrid::TStringGrid(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kFrameWidth);
    setVerticalScrollBar(new GridScrollBar(Qt::Vertical, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    rowCount_ = kDefaultRowCount;
    fixedRows_ = kDefaultFixedRows;
    setColCount(kDefaultColCount);
    clampSelection();
    updateScrollBar();
}

// shape

void TStringGrid::setColCount(int count)
{
    count = std::max(0, count);
    const int oldCols = colCount();
    std::vector<QString> cells(std::size_t(count) * std::size_t(rowCount_));
    const int keep = std::min(oldCols, count);
    for (int row = 0; row < rowCount_; ++row)
        for (int col = 0; col < keep; ++col)
            cells[std::size_t(row * count + col)] =
                std::move(cells_[std::size_t(row * oldCols + col)]);
    cells_ = std::move(cells);
    colWidths_.resize(std::size_t(count), kDefaultColWidth);
    clampSelection();
    viewport()->update();
}

void TStringGrid::setRowCount(int count)
{
    rowCount_ = std::max(0, count);
    cells_.resize(std::size_t(colCount()) * std::size_t(rowCount_));
    clampSelection();
    updateScrollBar();
    viewport()->update();
}

void TStringGrid::setFixedRows(int count)
{
    fixedRows_ = std::max(0, count);
    clampSelection();
    updateScrollBar();
    viewport()->update();
}

void TStringGrid::setDefaultRowHeight(int height)
{
    rowHeight_ = std::max(0, height);
    updateScrollBar();
    viewport()->update();
}

void TStringGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= colCount())
        return;
    colWidths_[std::size_t(col)] = std::max(0, width);
    viewport()->update();
}

int TStringGrid::colWidth(int col) const
{
    return col >= 0 && col < colCount() ? colWidths_[std::size_t(col)] : 0;
}

// contents

QString TStringGrid::cell(int col, int row) const
{
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount_)
        return {};
    return cells_[std::size_t(row * colCount() + col)];
}

void TStringGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount_)
        return;
    cells_[std::size_t(row * colCount() + col)] = text;
    viewport()->update();
}

QString TStringGrid::cellHint(int col, int row) const
{
    return hintSource_ ? hintSource_(col, row) : QString();
}

void TStringGrid::setHintSource(HintSource source)
{
    hintSource_ = std::move(source);
}

bool TStringGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QPoint cell = cellAt(help->pos());
    const QString hint = cellHint(cell.x(), cell.y());
    if (hint.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), hint, viewport(), cellRect(cell.x(), cell.y()));
    }
    return true;
}

// selection and scrolling

void TStringGrid::selectCell(int col, int row)
{
    selected_ = QPoint(col, row);
    clampSelection();
    scrollIntoView(selected_.y());
    viewport()->update();
}

int TStringGrid::topRow() const
{
    return fixedRows_ + verticalScrollBar()->value();
}

void TStringGrid::setTopRow(int row)
{
    verticalScrollBar()->setValue(row - fixedRows_);
}

int TStringGrid::visibleRowCount() const
{
    const int room = viewport()->height() - fixedHeight();
    const int whole = room >= rowHeight_ ? (room - rowHeight_) / rowPitch() + 1 : 0;
    return std::max(1, whole);
}

void TStringGrid::clampSelection()
{
    // The selection lives in the non-fixed rows; a grid without them keeps a nominal cell.
    const int lastRow = std::max(fixedRows_, rowCount_ - 1);
    selected_.setX(std::clamp(selected_.x(), 0, std::max(0, colCount() - 1)));
    selected_.setY(std::clamp(selected_.y(), fixedRows_, lastRow));
}

void TStringGrid::scrollIntoView(int row)
{
    if (row < fixedRows_)
        return;
    const int top = topRow();
    const int visible = visibleRowCount();
    if (row < top)
        setTopRow(row);
    else if (row >= top + visible)
        setTopRow(row - visible + 1);
}

void TStringGrid::updateScrollBar()
{
    const int scrollable = std::max(0, rowCount_ - fixedRows_);
    const int page = visibleRowCount();
    QScrollBar *bar = verticalScrollBar();
    bar->setSingleStep(1);
    bar->setPageStep(page);
    bar->setRange(0, std::max(0, scrollable - page));
}

// colours

QColor TStringGrid::color() const
{
    return palette().color(QPalette::Base);
}

QColor TStringGrid::fixedColor() const
{
    return palette().color(QPalette::Button);
}

QColor TStringGrid::gridLineColor() const
{
    return palette().color(QPalette::Mid);
}

// geometry

int TStringGrid::colLeft(int col) const
{
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += colWidths_[std::size_t(c)] + kGridLineWidth;
    return x;
}

int TStringGrid::fixedHeight() const
{
    return std::min(fixedRows_, rowCount_) * rowPitch();
}

int TStringGrid::rowTop(int row) const
{
    // Rows scrolled out above the top row have no place; -1 marks them.
    if (row < fixedRows_)
        return row * rowPitch();
    const int top = topRow();
    if (row < top)
        return -1;
    return fixedHeight() + (row - top) * rowPitch();
}

QRect TStringGrid::cellRect(int col, int row) const
{
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount_)
        return {};
    const int y = rowTop(row);
    if (y < 0)
        return {};
    const QRect rect(colLeft(col), y, colWidths_[std::size_t(col)], rowHeight_);
    return rect.intersects(viewport()->rect()) ? rect : QRect();
}

QPoint TStringGrid::cellAt(const QPoint &pos) const
{
    if (!viewport()->rect().contains(pos))
        return {-1, -1};
    for (int row = 0; row < rowCount_; ++row) {
        const int y = rowTop(row);
        if (y < 0 || pos.y() < y || pos.y() >= y + rowHeight_)
            continue;
        for (int col = 0; col < colCount(); ++col) {
            const int x = colLeft(col);
            if (pos.x() >= x && pos.x() < x + colWidth(col))
                return {col, row};
        }
        break;
    }
    return {-1, -1};
}

// drawing

void TStringGrid::setOnDrawCell(DrawCellHandler handler)
{
    onDrawCell_ = std::move(handler);
    viewport()->update();
}

void TStringGrid::drawCellDefault(QPainter &painter, int col, int row, const QRect &rect,
                                  GridDrawState state)
{
    QColor back = (state & gdFixed) ? fixedColor() : color();
    if ((state & gdSelected) && !(state & gdFixed)) {
        back = palette().color(QPalette::Highlight);
        painter.setPen(palette().color(QPalette::HighlightedText));
    }
    painter.fillRect(rect, back);
    const int baseline = rect.top() + kTextMargin + painter.fontMetrics().ascent();
    painter.drawText(QPoint(rect.left() + kTextMargin, baseline), cell(col, row));
}

void TStringGrid::render(QPainter &painter)
{
    const QRect area = viewport()->rect();
    painter.fillRect(area, color());

    // Rows in view: the fixed rows, then the scrolled ones from the top row down.
    std::vector<int> rows;
    for (int row = 0; row < std::min(fixedRows_, rowCount_); ++row)
        rows.push_back(row);
    for (int row = topRow(); row < rowCount_ && rowTop(row) < area.height(); ++row)
        rows.push_back(row);

    int right = 0;
    for (int col = 0; col < colCount() && colLeft(col) < area.width(); ++col)
        right = colLeft(col) + colWidth(col) + kGridLineWidth;
    const int bottom = rows.empty() ? 0 : rowTop(rows.back()) + rowPitch();

    for (int row : rows) {
        for (int col = 0; col < colCount(); ++col) {
            const QRect rect = cellRect(col, row);
            if (rect.isEmpty())
                continue;
            GridDrawState state = 0;
            if (row < fixedRows_)
                state |= gdFixed;
            else if (selected_ == QPoint(col, row)) {
                state |= gdSelected;
                if (hasFocus())
                    state |= gdFocused;
            }
            painter.save();
            painter.setClipRect(rect, Qt::IntersectClip);
            painter.setFont(font());
            painter.setPen(QColor(Qt::black));
            painter.setBrush((state & gdFixed) ? fixedColor() : color());
            if (onDrawCell_)
                onDrawCell_(*this, painter, col, row, rect, state);
            else
                drawCellDefault(painter, col, row, rect, state);
            painter.restore();
        }
    }

    // One-pixel lines on the right and bottom of every cell.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(gridLineColor(), 0));
    for (int col = 0; col < colCount() && colLeft(col) < area.width(); ++col) {
        const int x = colLeft(col) + colWidth(col);
        painter.drawLine(x, 0, x, bottom - 1);
    }
    for (int row : rows) {
        const int y = rowTop(row) + rowHeight_;
        painter.drawLine(0, y, right - 1, y);
    }
    painter.restore();

    // The focus mark: a dotted rectangle on the selected cell's outer pixels.
    const QRect selected = cellRect(selected_.x(), selected_.y());
    if (hasFocus() && !selected.isEmpty() && selected_.y() >= fixedRows_) {
        painter.save();
        QPen dotted(QColor(Qt::black), 0, Qt::CustomDashLine);
        dotted.setDashPattern({1, 1});
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(selected.adjusted(0, 0, -1, -1));
        painter.restore();
    }
}

// events

void TStringGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    render(painter);
}

void TStringGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void TStringGrid::scrollContentsBy(int, int)
{
    // The bar counts rows, not pixels, so the whole view is redrawn from the new top row.
    viewport()->update();
}

void TStringGrid::keyPressEvent(QKeyEvent *event)
{
    const int col = selected_.x();
    const int row = selected_.y();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        selectCell(col, row - 1);
        break;
    case Qt::Key_Down:
        selectCell(col, row + 1);
        break;
    case Qt::Key_Left:
        selectCell(col - 1, row);
        break;
    case Qt::Key_Right:
        selectCell(col + 1, row);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // A page moves the view and the selection together, so the cell keeps its place.
        const int page = event->key() == Qt::Key_PageDown ? visibleRowCount() : -visibleRowCount();
        setTopRow(topRow() + page);
        selectCell(col, row + page);
        break;
    }
    case Qt::Key_Home:
        selectCell(0, ctrl ? fixedRows_ : row);
        break;
    case Qt::Key_End:
        selectCell(colCount() - 1, ctrl ? rowCount_ - 1 : row);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint hit = cellAt(event->position().toPoint());
    if (hit.y() >= fixedRows_)
        selectCell(hit.x(), hit.y());
    event->accept();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    // The press did the whole click; its release is ours as well.
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QAbstractScrollArea::mouseReleaseEvent(event);
}

void TStringGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TStringGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
