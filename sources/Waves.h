#pragma once

#include "GroupSource.h"
#include "Trend.h"

// The survey waves of a parent folder, each read as a group.

// One wave: where it lies (a folder or a table) and its name as shown.
struct TrendFolder
{
    NativePath native;
    QString name;
};

// The waves of a parent folder: its immediate subfolders that hold at least one answer file
// (*.txt, as Group finds them) and the tables beside them (.csv, .tsv, .xlsx), a table named
// after its file without the extension ("2024.csv" is the wave "2024"), in natural order of
// their names ("Волна 2" before "Волна 10"). Answer files in the parent itself are no wave. A
// wave is counted once: a symbolic link to another wave, to the parent itself or to a folder
// above it is no second wave. Throws when parent names no folder or cannot be listed, and
// "Cannot open file %s" for a subfolder that cannot be listed.
std::vector<TrendFolder> trendFolders(const NativePath &parent);

// Reads every wave of parent once, as Group reads a folder or a table, and forms the trend:
// waves of fewer than disclosure.minSize members withheld, the changes between the shown ones
// tested (waves of the spread minimum) and marked (the minimum difference).
// A wave that fails stops the load with Group's message, the wave named before it; fewer than
// two shown waves get a message of their own. today is the group loads' header date.
Trend loadTrend(const NativePath &parent, const Disclosure &disclosure, const QString &today,
                const TableOptions &options = {});
