#pragma once

#include "HeatTable.h"
#include "Trend.h"
#include "TrendChart.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
#include <memory>

class Dialogs;
class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;
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

private:
    std::shared_ptr<const Trend> trend_;
    bool showScales_ = false;
};

// The trend of a parent folder in a window of its own: the chart of the four factors (II) or
// the twelve summary values across the waves, the table of the waves, what the minimum size left
// out, and the saves of the chart (JPEG), the page (PDF) and the table (CSV). A double click on
// a wave hands it to the main window.
class TrendWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TrendWindow)

public:
    // Receives the index of a double-clicked wave in Trend::waves.
    using OpenWave = std::function<void(std::size_t wave)>;

    TrendWindow(std::shared_ptr<const Trend> trend, Dialogs &dialogs, OpenWave open,
                QWidget *parent = nullptr);
    ~TrendWindow() override;

    // The values the chart draws.
    TrendValues values() const;

    // commands
    void openWave(int row);
    void btSavePictureClick();
    void btSavePdfClick();
    void btSaveCsvClick();

    QLabel *laNotes = nullptr;
    QCheckBox *cbSummary = nullptr;
    QCheckBox *cbScales = nullptr;
    TChart *chTrend = nullptr;
    QTableView *tvWaves = nullptr;
    QPushButton *btSavePicture = nullptr;
    QPushButton *btSavePdf = nullptr;
    QPushButton *btSaveCsv = nullptr;
    TrendModel *model = nullptr;

private:
    // The save dialog in the results folder, proposing the trend's name with extension.
    QString askSaveName(const QString &title, const QString &filter, const QString &extension,
                        const QString &suffix);

    std::shared_ptr<const Trend> trend_;
    Dialogs &dialogs_;
    OpenWave open_;
    QFileDialog *saveDialog_ = nullptr;
};
