#pragma once

#include <QString>
#include <QStyledItemDelegate>
#include <QVariant>
#include <functional>

class Dialogs;
class QAbstractItemModel;
class QBoxLayout;
class QFileDialog;
class QHeaderView;
class QLabel;
class QTableView;

// What the windows of heat map tables (the breakdown's subgroups, the trend's waves) share: the
// columns' order, the framing of significant cells, the table's settings and the saves.

constexpr int kHeatNameColumn = 0;
constexpr int kHeatCountColumn = 1;
constexpr int kHeatFirstValueColumn = 2;
// Whether a cell is marked significant.
constexpr int kHeatSignificantRole = Qt::UserRole + 1;

inline const QString kPictureFilter = QStringLiteral("JPG Files (*.jpg)");
inline const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)");
inline const QString kCsvFilter = QStringLiteral("CSV Files (*.csv)");

// Frames the cells marked significant, so that they stand out whatever their colour.
class SignificanceDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

// The heading of column section of a heat map table, for the display and tool tip roles: the
// rows' title, the files ("N", hint countHint) and the values' titles.
QVariant heatHeaderData(int section, int role, const QString &rowsTitle, const QString &countHint);

// The bold title over the table, then the notes under it (named laNotes).
QLabel *addHeatTitle(QBoxLayout &layout, const QString &text, QWidget *parent);
QLabel *addHeatNotes(QBoxLayout &layout, const QString &text, QWidget *parent);

// Gives view its header, model and the settings of a heat map table: whole rows selected one at a
// time, rows of rowHeight, nothing edited, the significant cells framed.
void setUpHeatTable(QTableView &view, QHeaderView *header, QAbstractItemModel *model,
                    int rowHeight);
// The name and count columns at their widths, every value column at valueWidth.
void sizeHeatColumns(QTableView &view, int nameWidth, int countWidth, int valueWidth);

// The save dialog in the results folder, proposing the name that proposed makes in it.
QString askResultsSaveName(Dialogs &dialogs, QWidget *parent, QFileDialog *&dialog,
                           const QString &programFolder,
                           const QString &title, const QString &filter,
                           const std::function<QString(const QString &results)> &proposed,
                           const QString &suffix);
// Writes what bytes makes under name, the chosen name extended; asks before replacing a file the
// extension names, and shows errors in the error box.
void saveExtended(Dialogs &dialogs, QWidget *parent, const QString &chosen, const QString &name,
                  const std::function<QByteArray()> &bytes);
