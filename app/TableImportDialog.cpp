#include "TableImportDialog.h"

std::optional<TableOptions> runTableImportDialog(QWidget *, const NativePath &, const TableScan &,
                                                 const TableOptions &options)
{
    return options;
}
