#pragma once

#include "HeatTable.h"
#include "Trend.h"
#include "TrendChart.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class Dialogs;
class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QSplitter;
class QTableView;
class TChart;

// The waves of a trend for the window's table: a row per wave with its name and count, a column
// per summary value (and the 24 scales when asked), each cell the wave's value over its change
// from the wave before, coloured by that change as the heat map colours a difference.
class TrendModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(TrendModel)

public:
    static constexpr int kNameColumn = kHeatNameColumn;
    static constexpr int kCountColumn = kHeatCountColumn;
    static constexpr int kFirstValueColumn = kHeatFirstValueColumn;
    // Whether a cell's change from the wave before is marked significant.
    static constexpr int kSignificantRole = kHeatSignificantRole;

    TrendModel(std::shared_ptr<const Trend> trend, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The 24 scales as columns after the summary values, or not.
    void setShowScales(bool show);
    // The value columns' titles cut to width pixels of font, so that their turned heading takes
    // no more than the window gives it; the tool tip keeps the whole title.
    void setTitleWidth(const QFont &font, int width);

private:
    std::shared_ptr<const Trend> trend_;
    bool showScales_ = false;
    QFont titleFont_;
    int titleWidth_ = 0;
};

// The trend of a parent folder in a window of its own: the chart of the four factors (II) or
// the twelve summary values across the waves, the table of the waves, what the minimum size left
// out, and the saves of the chart (JPEG), the page (PDF) and the table (CSV). A click on a
// legend entry or a value's column highlights that value on the chart; a double click on a wave
// in the table or on the chart hands it to the main window.
class TrendWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TrendWindow)

public:
    // Receives the index of a double-clicked wave in Trend::waves.
    using OpenWave = std::function<void(std::size_t wave)>;

    // The saves propose the Results folder beside programFolder.
    TrendWindow(std::shared_ptr<const Trend> trend, Dialogs &dialogs, OpenWave open,
                const QString &programFolder = {}, QWidget *parent = nullptr);
    ~TrendWindow() override;

    // The values the chart draws, and the one it highlights (kNoHighlight for none).
    TrendValues values() const;
    int highlight() const { return trendHighlight(values(), chosen_); }

    // commands
    void openWave(int row);
    // Highlights column on the chart, when the chart draws it; the four factors' highlighted
    // one chosen again goes back to all four in colour.
    void chooseValue(int column);
    void btSavePictureClick();
    void btSavePdfClick();
    void btSaveCsvClick();

    QLabel *laNotes = nullptr;
    QCheckBox *cbSummary = nullptr;
    QCheckBox *cbScales = nullptr;
    QSplitter *spTrend = nullptr;
    TChart *chTrend = nullptr;
    QTableView *tvWaves = nullptr;
    QPushButton *btSavePicture = nullptr;
    QPushButton *btSavePdf = nullptr;
    QPushButton *btSaveCsv = nullptr;
    TrendModel *model = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Fills the chart again at its size, for the values and the highlight chosen.
    void fillChart();
    // Keeps the table's heading within a fifth of the window's height.
    void fitHeading();
    // The save dialog in the results folder, proposing the trend's name with extension.
    QString askSaveName(const QString &title, const QString &filter, const QString &extension,
                        const QString &suffix);

    std::shared_ptr<const Trend> trend_;
    Dialogs &dialogs_;
    OpenWave open_;
    const QString programFolder_;
    QFileDialog *saveDialog_ = nullptr;
    std::vector<TrendColumnSeries> chartSeries_;
    int chosen_ = kNoHighlight;
};
