#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

// Draw state of one cell, as bits of GridDrawFlag.
enum GridDrawFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using GridDrawState = int;

// A read-only grid of texts with owner-drawn cells: fixed header rows at the top, one
// selected cell, whole-row vertical scrolling and one-pixel lines between all cells.
// Cells are numbered from 0, columns as x and rows as y.
class TStringGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using DrawCellHandler = std::function<void(TStringGrid &grid, QPainter &painter, int col,
                                               int row, const QRect &rect, GridDrawState state)>;

    static constexpr int kDefaultColWidth = 64;
    static constexpr int kDefaultRowHeight = 24;
    static constexpr int kGridLineWidth = 1;
    static constexpr int kFrameWidth = 2;
    static constexpr int kScrollBarWidth = 17;

    explicit TStringGrid(QWidget *parent = nullptr);
    Q_DISABLE_COPY(TStringGrid)

    // shape
    void setColCount(int count);
    int colCount() const { return int(colWidths_.size()); }
    void setRowCount(int count);
    int rowCount() const { return rowCount_; }
    // Fixed rows are the header: they stay in view while the rest scrolls, and are never
    // selected.
    void setFixedRows(int count);
    int fixedRows() const { return fixedRows_; }
    void setDefaultRowHeight(int height);
    int defaultRowHeight() const { return rowHeight_; }
    void setColWidth(int col, int width);
    int colWidth(int col) const;

    // contents
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    // The hint shown while the mouse rests on a cell; empty for none. The texts are made by
    // the source when asked for, not at every fill.
    using HintSource = std::function<QString(int col, int row)>;
    QString cellHint(int col, int row) const;
    void setHintSource(HintSource source);

    // selection and scrolling
    // Selects one cell, clamped into the non-fixed rows, and scrolls it into view.
    void selectCell(int col, int row);
    QPoint selectedCell() const { return selected_; }
    int topRow() const;
    void setTopRow(int row);
    // Non-fixed rows that fit whole below the fixed rows (at least 1).
    int visibleRowCount() const;

    // colours
    QColor color() const;
    QColor fixedColor() const;
    QColor gridLineColor() const;

    // geometry, in viewport pixels
    // The cell without its grid lines; empty when no part of the cell is in view.
    QRect cellRect(int col, int row) const;
    // The cell under a viewport point, or (-1, -1) when the point is on no cell.
    QPoint cellAt(const QPoint &pos) const;

    // drawing
    void setOnDrawCell(DrawCellHandler handler);
    // Paints the visible cells and lines into painter, in viewport coordinates.
    void render(QPainter &painter);
    using QWidget::render;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    int colLeft(int col) const;
    int rowTop(int row) const;
    int fixedHeight() const;
    int rowPitch() const { return rowHeight_ + kGridLineWidth; }
    void updateScrollBar();
    void clampSelection();
    void scrollIntoView(int row);
    void drawCellDefault(QPainter &painter, int col, int row, const QRect &rect,
                         GridDrawState state);

    std::vector<int> colWidths_;
    std::vector<QString> cells_; // row-major, colCount() per row
    HintSource hintSource_;
    int rowCount_ = 0;
    int fixedRows_ = 0;
    int rowHeight_ = kDefaultRowHeight;
    QPoint selected_{0, 0};
    DrawCellHandler onDrawCell_;
};
