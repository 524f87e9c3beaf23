#pragma once

#include "GroupSource.h"

#include <optional>

class QWidget;

// The import of a table as a group, shown before it loads: how the file was read, the mapping
// of its columns beside its first rows, and every bad row; the user confirms, changes the
// mapping (re-read at once) or goes on without the bad rows. The options to load with, or
// nullopt when the user cancels.
std::optional<TableOptions> runTableImportDialog(QWidget *parent, const NativePath &table,
                                                 const TableScan &scan,
                                                 const TableOptions &options);
