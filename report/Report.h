#pragma once

#include "Breakdown.h"
#include "ChartViews.h"
#include "Comparison.h"
#include "Profile.h"
#include "ProfileTable.h"
#include "Trend.h"

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;

// The report a consultant hands a client: page 1 the header, the results table and diagram
// view D with its labels; page 2 the six chart views; page 3, when the profile is compared with
// a reference, the comparison of their values (two groups with the differences that hold marked,
// a respondent against a group with the respondent's percentile in it); then, for a group, the
// spread of the summary values and the analysis text as the memo holds it, over as many pages
// as it needs.
// Every picture is painted by the views' own paint code, so the PDF stays vector.

// What a report shows. The window fills it from what is on screen.
struct ReportContent
{
    HeaderTexts header;  // code, name and date as the fields show them; details
    QString nameCaption; // "Ф.И.О" or "Группа", as the window labels the name
    // What names a group (its folder or table, the subgroup, the wave), for the page's title and
    // the document's; empty for a respondent.
    QString title;
    bool group = false;
    // A subgroup opened from a breakdown: no member is named, and the spread has no minimum or
    // maximum (LoadedProfile::anonymous); below the spread minimum there is no spread page.
    bool anonymous = false;
    int count = 0;      // questionnaires read
    QString today;      // the day of the report
    ProfileStore store; // percent state
    QString analysis;   // the memo's text, with the user's edits
    // A group's spread (summarySpread): the table of its twelve summary values with the 95 %
    // confidence interval of each mean and its members' agreement, the warning when that is low,
    // and the moments for the tests of a comparison with a group.
    std::optional<GroupSpread> spread;
    // The profile laid over this one, when the user compares: diagram D and the charts show it
    // and a page "Сравнение" follows the charts.
    std::optional<ReferenceProfile> reference;
    // What the comparison's tests and percentiles may show (the spread minimum, the smallest
    // difference marked).
    Disclosure disclosure;
    // The heat map of the breakdown the profile was opened from, as pages after the text.
    std::optional<BreakdownTable> breakdown;
    // The trend of the parent folder of a wave opened from the trend window, as pages last.
    std::optional<Trend> trend;
};

// A4 portrait with 15 mm margins.
QPageLayout reportPageLayout();

// The report is laid out on a logical page of the area inside the margins, in tenths of a
// millimetre; a device with another paper size gets it scaled to fit.
inline constexpr double kReportWidth = 1800;
inline constexpr double kReportHeight = 2670;

// One piece of the text that flows after the charts: its height, and whether it must stand on
// the same page as the next piece (a heading before its first line).
struct FlowItem
{
    double height = 0;
    bool keepWithNext = false;
};
struct FlowPlace
{
    int page = 0; // 0 is the first page the flow uses
    double top = 0;
    bool operator==(const FlowPlace &) const = default;
};
// Places the pieces one below the other: the first page has firstRoom left below its fixed
// part (which starts at firstTop), every later page pageRoom from its top. A piece that does
// not fit (with the piece it keeps with) starts a new page; a piece taller than a page stands
// alone at the top of one.
std::vector<FlowPlace> flowPieces(const std::vector<FlowItem> &items, double firstTop,
                                  double firstRoom, double pageRoom);

// The analysis text as the report prints it, a paragraph a line: a group's list of members
// ("Состав группы:" and a line a member) cut after kReportMembersListed members with a line
// "… и ещё N" for the rest, since a report of thousands would otherwise be hundreds of pages of names; the
// memo and the CSV keep them all.
inline constexpr int kReportMembersListed = 50;
QStringList reportAnalysisParagraphs(const QString &analysis);

// The report's chart views, A to F.
inline constexpr int kReportChartViews = int(kChartViewKinds.size());

// Paints the report onto the device, starting on its current page, and returns the number of
// pages; 0 when painting cannot start on the device. On any thread: every part is painted by
// the views' own code, no widget.
int paintReport(QPagedPaintDevice &device, const ReportContent &content);

// The report as a PDF file's bytes: fonts embedded, every page A4. Empty when the PDF could
// not be painted. On any thread.
QByteArray reportPdf(const ReportContent &content);
