#include "ChartPicture.h"
#include "DiagramPanel.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "ProfileSession.h"
#include "Report.h"
#include "Scoring.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

ProfileView viewOf(const LoadedProfile &loaded, std::optional<ReferenceProfile> reference = {})
{
    ProfileView view;
    view.header = loaded.header;
    view.store = loaded.store;
    convertToPercent(view.store);
    view.reference = std::move(reference);
    view.colors = QGuiApplication::palette();
    return view;
}

// Every picture of a batch input: the four diagram kinds, then the six chart views.
std::vector<QImage> pictures(ProfileView view, ChartPicture &chart)
{
    std::vector<QImage> all;
    for (const DiagramKindEntry &entry : kDiagramKinds) {
        view.diagram = entry.kind;
        all.push_back(diagramPanelPicture(view));
    }
    for (const ChartViewEntry &entry : kChartViewKinds) {
        view.chart = entry.kind;
        all.push_back(chart.picture(view));
    }
    return all;
}

// A session keeps the load as read and makes its percentages once; a group is named by its
// title wherever its name field still says "Группа", a respondent never.
TEST(ProfileSession, ConvertsOnceAndNamesTheGroupAsTheWindowAndTheBatch)
{
    const LoadedProfile group =
        loadGroup(QStringLiteral(VORL_SAMPLES_DIR "/Компания"), todayText());
    ProfileStore percent = group.store;
    convertToPercent(percent);
    const ProfileSession folder(group, QStringLiteral("Компания"));
    EXPECT_EQ(folder.read().store, group.store);
    EXPECT_EQ(folder.scores(), percent);
    EXPECT_EQ(folder.shownName(groupName()), "Компания");
    EXPECT_EQ(folder.shownName("Склад"), "Склад");
    EXPECT_EQ(folder.fileStem("0000"), "0000 Компания");
    const ReportContent content =
        folder.reportContent(group.header, groupName(), "8 Dec 2026", {}, std::nullopt, {});
    EXPECT_EQ(content.header.name, "Компания");
    EXPECT_EQ(content.store, percent);
    EXPECT_TRUE(content.group && content.spread.has_value());
    EXPECT_EQ(content.count, group.count);

    const LoadedProfile one = loadRespondent(QStringLiteral(VORL_SAMPLES_DIR "/petrova.txt"));
    const ProfileSession respondent(one, QStringLiteral("petrova"));
    EXPECT_TRUE(respondent.title().isEmpty());
    EXPECT_EQ(respondent.shownName(groupName()), groupName());
    EXPECT_EQ(respondent.fileStem(one.header.code), one.header.code);
    EXPECT_FALSE(respondent.reportContent(one.header, {}, {}, {}, std::nullopt, {}).spread);
}

// A picture depends on its view alone: a fresh chart paints an input as the chart that drew
// other inputs before it, so the batch may paint in any order.
TEST(ChartPicture, PaintsTheSameWhateverItDrewBefore)
{
    const ProfileView first =
        viewOf(loadRespondent(QStringLiteral(VORL_SAMPLES_DIR "/petrova.txt")));
    const ProfileView second =
        viewOf(loadRespondent(QStringLiteral(VORL_SAMPLES_DIR "/sidorov.txt")));
    ChartPicture serial(true);
    pictures(first, serial);
    const std::vector<QImage> expected = pictures(second, serial);
    ChartPicture fresh(true);
    EXPECT_EQ(pictures(second, fresh), expected);
}

// The batch paints on every core: the views and the report on worker threads give the pictures
// the one thread gives, however many paint at once (font and glyph caches included).
TEST(Views, PaintOnWorkerThreadsAsOnOne)
{
    const LoadedProfile group =
        loadGroup(QStringLiteral(VORL_SAMPLES_DIR "/Компания"), todayText());
    const std::vector<ProfileView> views{
        viewOf(loadRespondent(QStringLiteral(VORL_SAMPLES_DIR "/petrova.txt"))), viewOf(group),
        viewOf(loadRespondent(QStringLiteral(VORL_SAMPLES_DIR "/ivanov.txt")), referenceOf(group))};
    const auto reportOf = [](const ProfileView &view) {
        ReportContent content;
        content.header = view.header;
        content.store = view.store;
        content.reference = view.reference;
        // The creation time is the one byte run that may differ.
        static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9]+Z\\)"));
        return QString::fromLatin1(reportPdf(content)).remove(date);
    };
    std::vector<std::vector<QImage>> expected;
    std::vector<QString> expectedReports;
    {
        ChartPicture chart(true);
        for (const ProfileView &view : views) {
            expected.push_back(pictures(view, chart));
            expectedReports.push_back(reportOf(view));
        }
    }
    constexpr int kThreads = 4;
    constexpr int kRounds = 3;
    std::vector<int> mismatches(kThreads), reports(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ChartPicture chart(true);
            for (int round = 0; round < kRounds; ++round)
                for (std::size_t v = 0; v < views.size(); ++v) {
                    const std::size_t at = (v + std::size_t(t)) % views.size();
                    mismatches[std::size_t(t)] += pictures(views[at], chart) != expected[at];
                    reports[std::size_t(t)] += reportOf(views[at]) == expectedReports[at];
                }
        });
    for (std::thread &thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(mismatches[std::size_t(t)], 0) << t;
        EXPECT_EQ(reports[std::size_t(t)], kRounds * int(views.size())) << t;
    }
}

} // namespace
