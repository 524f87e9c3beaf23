#pragma once

#include "Breakdown.h"
#include "HeatTable.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class Dialogs;
class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QTableView;

// The rows of a breakdown for the window's table: the whole folder always first, the subgroups
// in the order last asked for; a column for the name, the count and every shown value.
class BreakdownModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(BreakdownModel)

public:
    static constexpr int kNameColumn = kHeatNameColumn;
    static constexpr int kCountColumn = kHeatCountColumn;
    static constexpr int kFirstValueColumn = kHeatFirstValueColumn;
    // Whether a cell's difference from the rest of the folder is marked significant.
    static constexpr int kSignificantRole = kHeatSignificantRole;

    BreakdownModel(std::shared_ptr<const BreakdownTable> table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Sorts the subgroups by a column; the whole folder's row stays on top.
    void sort(int column, Qt::SortOrder order) override;

    // The 24 scales as columns after the summary values, or not.
    void setShowScales(bool show);
    // The rows of the table; below them one more, the share of the differences that lies
    // between the subgroups (ICC(1)) per column, which stays last however the rows are sorted.
    int subgroupRows() const { return int(order_.size()); }
    // The row of the table (0 the whole folder) shown in a view row; -1 for the share row.
    int tableRow(int viewRow) const
    {
        return viewRow < subgroupRows() ? order_[std::size_t(viewRow)] : -1;
    }
    // The table with its rows in the view's order.
    BreakdownTable shownTable() const;

private:
    const BreakdownRow &rowAt(int viewRow) const;
    QVariant shareData(int column, int role) const;

    std::shared_ptr<const BreakdownTable> table_;
    std::vector<int> order_;
    bool showScales_ = false;
};

// The breakdown of a folder in a window of its own: the heat map table, what the minimum size
// left out, and the saves of the table (CSV) and the heat map (PDF). A double click on a row
// hands that subgroup to the main window.
class BreakdownWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(BreakdownWindow)

public:
    // Receives the subgroup of a double-clicked row, raw as a group load gives it (the whole
    // folder's own row hands the whole folder).
    using OpenSubgroup = std::function<void(LoadedProfile subgroup)>;

    struct Content
    {
        std::shared_ptr<const LoadedProfile> whole;
        std::shared_ptr<const Breakdown> breakdown;
        std::shared_ptr<const BreakdownTable> table;
        QString programFolder; // whose Results folder the saves propose
    };
    BreakdownWindow(Content content, Dialogs &dialogs, OpenSubgroup open,
                    QWidget *parent = nullptr);
    ~BreakdownWindow() override;

    // commands
    void openRow(int viewRow);
    void btSaveCsvClick();
    void btSavePdfClick();

    QLabel *laNotes = nullptr;
    QCheckBox *cbScales = nullptr;
    QTableView *tvSubgroups = nullptr;
    QPushButton *btSaveCsv = nullptr;
    QPushButton *btSavePdf = nullptr;
    BreakdownModel *model = nullptr;

private:
    // The save dialog in the results folder, proposing the breakdown's name with extension.
    QString askSaveName(const QString &title, const QString &filter, const QString &extension,
                        const QString &suffix);
    void sectionClicked(int section);

    Content content_;
    Dialogs &dialogs_;
    OpenSubgroup open_;
    QFileDialog *saveDialog_ = nullptr;
    int sortedColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};
