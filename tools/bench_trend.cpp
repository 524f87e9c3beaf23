// The trend of ten survey waves against the ten group loads of the same folders: reading every
// file once, the trend should cost the loads and little more (target: at most 1.1 times).
//
// Usage: bench_trend [FILES_PER_WAVE [RUNS]]   (default 10000 and 5)

#include "AnswerGenerator.h"
#include "Breakdown.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "Trend.h"
#include "Waves.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWaves = 10;
constexpr std::uint64_t kSeed = 11;

double millisecondsOf(const std::function<void()> &run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    if (files < 1 || runs < 1 || !dir.isValid()) {
        std::fprintf(stderr, "usage: bench_trend [FILES_PER_WAVE [RUNS]]\n");
        return 1;
    }
    const std::string parent = QDir(dir.path()).absolutePath().toStdString();
    std::vector<QString> waves;
    for (int w = 1; w <= kWaves; ++w) {
        const std::string wave = parent + "/Волна " + std::to_string(w);
        writeAnswerFiles(wave, files, kSeed + std::uint64_t(w));
        waves.push_back(QString::fromStdString(wave));
    }
    const QString today = QStringLiteral("01.01.2025");
    const NativePath native = toNativePath(QString::fromStdString(parent));
    const auto groupLoads = [&] {
        for (const QString &wave : waves)
            loadGroup(wave, today, Members::Drop);
    };
    const auto trend = [&] {
        if (loadTrend(native, Disclosure{}, today).waves.size() != std::size_t(kWaves))
            std::abort();
    };
    // Warm the page cache; then the two take turns, so that a slower spell of the machine
    // weighs on both.
    groupLoads();
    trend();
    std::vector<double> loads, trends;
    for (int r = 0; r < runs; ++r) {
        loads.push_back(millisecondsOf(groupLoads));
        trends.push_back(millisecondsOf(trend));
    }
    const double l = median(loads), t = median(trends);
    std::printf("  %-34s median %8.1f ms   best %8.1f ms\n", "ten group loads (Members::Drop)", l,
                *std::min_element(loads.begin(), loads.end()));
    std::printf("  %-34s median %8.1f ms   best %8.1f ms\n", "loadTrend of the ten waves", t,
                *std::min_element(trends.begin(), trends.end()));
    std::printf("  %-34s median %8.2f      (target: at most 1.1; %d waves of %d files)\n",
                "ratio trend / group loads", t / l, kWaves, files);
    return 0;
}
