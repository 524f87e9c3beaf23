// bench_tables TABLE [RUNS]: reads TABLE (a CSV, TSV or XLSX export of an online form) as a group,
// as every command that takes a group reads it, RUNS times (default 5), and prints the members
// read, the median and best time and the peak memory of the process.

#include "GroupSource.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The process's peak resident memory in KB, as the kernel counts it.
long peakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: bench_tables TABLE [RUNS]\n");
        return 2;
    }
    const NativePath table = argv[1];
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<double> ms;
    int count = 0;
    try {
        for (int r = 0; r < runs; ++r) {
            const auto start = std::chrono::steady_clock::now();
            const LoadedProfile group =
                loadGroup(table, QStringLiteral("01.01.2026"), Members::Drop);
            ms.push_back(std::chrono::duration<double, std::milli>(
                             std::chrono::steady_clock::now() - start)
                             .count());
            count = group.count;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_tables: %s\n", e.what());
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%d %.1f %.1f %.1f\n", count, ms[ms.size() / 2], ms.front(), double(peakKb()) / 1024);
    return 0;
}
