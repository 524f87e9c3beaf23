#include "HeatTable.h"

#include "Breakdown.h"
#include "CommandError.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "ProgramFolders.h"
#include "SafeFile.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableView>

#include <algorithm>

namespace {

constexpr int kSignificantFrame = 2;

} // namespace

void SignificanceDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.data(kHeatSignificantRole).toBool())
        return;
    painter->save();
    painter->setPen(QPen(Qt::black, kSignificantFrame));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1.5, 1.5, -2.5, -2.5));
    painter->restore();
}

QLabel *addHeatTitle(QBoxLayout &layout, const QString &text, QWidget *parent)
{
    auto *title = new QLabel(text, parent);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setTextFormat(Qt::PlainText);
    layout.addWidget(title);
    return title;
}

QLabel *addHeatNotes(QBoxLayout &layout, const QString &text, QWidget *parent)
{
    auto *notes = new QLabel(text, parent);
    notes->setObjectName(QStringLiteral("laNotes"));
    notes->setTextFormat(Qt::PlainText);
    notes->setWordWrap(true);
    layout.addWidget(notes);
    return notes;
}

void setUpHeatTable(QTableView &view, QHeaderView *header, QAbstractItemModel *model, int rowHeight)
{
    view.setHorizontalHeader(header);
    view.setModel(model);
    view.setItemDelegate(new SignificanceDelegate(&view));
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(rowHeight);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void sizeHeatColumns(QTableView &view, int nameWidth, int countWidth, int valueWidth)
{
    view.setColumnWidth(kHeatNameColumn, nameWidth);
    // A count of five digits (a folder of 20 000 files) stands whole, bold as the whole folder's.
    QFont bold = view.font();
    bold.setBold(true);
    constexpr int kCellPadding = 14;
    view.setColumnWidth(kHeatCountColumn,
                        std::max(countWidth, QFontMetrics(bold).horizontalAdvance(
                                                 QStringLiteral("00000")) +
                                                 kCellPadding));
    for (int c = kHeatFirstValueColumn; c < view.model()->columnCount(); ++c)
        view.setColumnWidth(c, valueWidth);
}

QString askResultsSaveName(Dialogs &dialogs, QWidget *parent, QFileDialog *&dialog,
                           const QString &programFolder,
                           const QString &title, const QString &filter,
                           const std::function<QString(const QString &results)> &proposed,
                           const QString &suffix)
{
    // The results folder is made and looked up once for the name and the dialog.
    const QString results = makeResultsFolder(programFolder).results;
    if (!dialog)
        dialog = newSaveDialog(parent);
    return askSaveName(dialogs, *dialog, results, {title, filter, proposed(results), suffix});
}

void saveExtended(Dialogs &dialogs, QWidget *parent, const QString &chosen, const QString &name,
                  const std::function<QByteArray()> &bytes)
{
    try {
        if (!mayWriteExtended(dialogs, parent, chosen, name))
            return;
        const QByteArray made = bytes();
        if (made.isEmpty())
            throw cannotCreateFile(name);
        writeFileReplacing(name, made);
    } catch (const std::exception &e) {
        dialogs.showError(parent, errorMessageOf(e));
    }
}

QVariant heatHeaderData(int section, int role, const QString &rowsTitle, const QString &countHint)
{
    if (section == kHeatNameColumn)
        return rowsTitle;
    if (section == kHeatCountColumn)
        return role == Qt::ToolTipRole ? countHint : QStringLiteral("N");
    return breakdownColumnTitle(section - kHeatFirstValueColumn);
}
