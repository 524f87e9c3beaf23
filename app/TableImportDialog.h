#pragma once

#include "GroupSource.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The import of a table as a group, shown before it loads: how the file was read, the mapping
// of its columns beside its first rows, and every bad row; the user confirms, changes the
// mapping (re-read at once) or goes on without the bad rows.
class TableImportDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(TableImportDialog)

public:
    TableImportDialog(const NativePath &table, const TableScan &scan, const TableOptions &options,
                      QWidget *parent = nullptr);

    // The options the reading shown was made with, and whether bad rows are left out.
    TableOptions options() const;
    const TableScan &scan() const { return scan_; }

    // Reads the table again with the columns text as it stands in its field. A reading that
    // fails keeps the last good one and shows why in the error line; false then.
    bool apply();
    // Loads only what the user has seen: a columns text typed but not applied is applied first,
    // and the dialog stays open on the new reading.
    void accept() override;

    // widgets
    QLabel *laFile = nullptr;
    QLabel *laMapping = nullptr;
    QTableWidget *tbRecords = nullptr;
    QLineEdit *edColumns = nullptr;
    QPushButton *btApply = nullptr;
    QLabel *laError = nullptr;
    QGroupBox *gbProblems = nullptr;
    QPlainTextEdit *meProblems = nullptr;
    QLabel *laBadRows = nullptr;
    QCheckBox *cbSkipBad = nullptr;
    QLabel *laMembers = nullptr;
    QPushButton *btLoad = nullptr;

private:
    void showScan();
    void fillRecords();
    void updateButtons();
    void showError(const QString &message);
    bool columnsEdited() const;

    NativePath table_;
    TableScan scan_;
    TableOptions options_;
};

// Runs the dialog: the options to load with, or nullopt when the user cancels.
std::optional<TableOptions> runTableImportDialog(QWidget *parent, const NativePath &table,
                                                 const TableScan &scan,
                                                 const TableOptions &options);
