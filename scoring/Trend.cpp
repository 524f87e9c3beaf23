#include "Trend.h"

#include "CommandError.h"
#include "GroupLoader.h"
#include "NumberFormat.h"
#include "Scoring.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Opens folder for listing, or throws "Cannot open file %s" with the system's reason.
DIR *openFolder(const NativePath &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        throw cannotOpenFile(displayPath(folder)).because(systemReason(errno));
    return dir;
}

bool isFolderEntry(int folderFd, const dirent *entry)
{
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return entry->d_type == DT_DIR;
    // A link to a folder is a folder, as Group takes it.
    struct stat st;
    return ::fstatat(folderFd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// Whether folder holds an answer file as groupMembers finds them; stops at the first, so that
// a wave's files are listed in full only by its load.
bool holdsAnswerFiles(const NativePath &folder)
{
    DIR *dir = openFolder(folder);
    bool found = false;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() >= 4 && name.right(4).toLower() == ".txt" &&
            !isFolderEntry(::dirfd(dir), entry)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

void checkParentFolder(const NativePath &parent)
{
    if (parent.isEmpty())
        throw CommandError(QStringLiteral("Cannot open file: the path is empty"));
    if (isFolder(parent))
        return;
    struct stat info;
    const bool exists = ::stat(parent.constData(), &info) == 0;
    const int reason = errno;
    throw CommandError(
        QStringLiteral("Cannot show the trend of %1: %2")
            .arg(QDir::toNativeSeparators(displayPath(parent)),
                 exists ? QStringLiteral("it is not a folder") : systemReason(reason)));
}

// "В папке …" names the parent as the user gave it.
QString shownParent(const NativePath &parent)
{
    return QDir::toNativeSeparators(QDir::cleanPath(displayPath(parent)));
}

template <std::size_t N> QJsonArray jsonNumbers(const std::array<double, N> &values)
{
    QJsonArray out;
    for (std::size_t i = 1; i < N; ++i)
        out.append(values[i]);
    return out;
}

// A column array of a change split into the summary and the scales objects.
template <typename T, typename ToJson>
QJsonObject summaryAndScales(const std::array<T, kTrendColumns> &columns, const ToJson &toJson)
{
    QJsonArray summary, scales;
    for (int c = 0; c < kTrendColumns; ++c)
        (c < kSummaryCount ? summary : scales).append(toJson(columns[std::size_t(c)]));
    return {{QStringLiteral("summary"), summary}, {QStringLiteral("scales"), scales}};
}

} // namespace

std::vector<TrendFolder> trendFolders(const NativePath &parent)
{
    checkParentFolder(parent);
    std::vector<TrendFolder> folders;
    DIR *dir = openFolder(parent);
    std::vector<NativePath> subfolders;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != ".." && isFolderEntry(::dirfd(dir), entry))
            subfolders.push_back(name);
    }
    ::closedir(dir);
    for (NativePath &name : subfolders) {
        const NativePath path = joinPath(parent, name);
        if (holdsAnswerFiles(path))
            folders.push_back({path, displayPath(name)});
    }
    std::sort(folders.begin(), folders.end(), [](const TrendFolder &a, const TrendFolder &b) {
        const int order = naturalCompare(a.name, b.name);
        return order != 0 ? order < 0 : a.native < b.native;
    });
    return folders;
}

double TrendWave::value(int column) const
{
    return column < kSummaryCount ? summary[std::size_t(column + 1)]
                                  : scales[std::size_t(column - kSummaryCount + 1)];
}

std::vector<TrendChange> trendChanges(const std::vector<TrendWave> &waves)
{
    std::vector<TrendChange> changes;
    std::vector<std::optional<double>> all;
    for (std::size_t w = 1; w < waves.size(); ++w) {
        const TrendWave &before = waves[w - 1], &after = waves[w];
        TrendChange change;
        change.from = int(w - 1);
        change.to = int(w);
        for (int c = 0; c < kTrendColumns; ++c) {
            change.difference[std::size_t(c)] = after.value(c) - before.value(c);
            change.p[std::size_t(c)] = welchP(after.moments.value(c), before.moments.value(c));
            all.push_back(change.p[std::size_t(c)]);
        }
        changes.push_back(change);
    }
    // One family: every change the trend shows is a test among all of them.
    const std::vector<std::optional<double>> adjusted = adjustBH(all);
    for (std::size_t k = 0; k < adjusted.size(); ++k)
        changes[k / kTrendColumns].significant[k % kTrendColumns] =
            adjusted[k] && *adjusted[k] < kSignificanceLevel;
    return changes;
}

Trend loadTrend(const NativePath &parent, int minimumSize, const QString &today)
{
    const std::vector<TrendFolder> folders = trendFolders(parent);
    Trend trend;
    trend.folder = shownFolderName(displayPath(parent));
    trend.minimumSize = minimumSize;
    if (folders.empty())
        throw CommandError(
            QStringLiteral(
                "В папке %1 нет волн: ни в одной из её подпапок нет файлов анкет (*.txt)")
                .arg(shownParent(parent)));
    for (const TrendFolder &folder : folders) {
        LoadedProfile loaded;
        try {
            loaded = loadGroup(folder.native, today, Members::Drop);
        } catch (const CommandError &e) {
            CommandError named(QStringLiteral("Волна «%1»: %2").arg(folder.name, e.message()));
            named.inFile(e.file()).because(e.reason());
            throw named;
        }
        if (loaded.count < minimumSize) {
            trend.withheld.push_back({folder.name, loaded.count});
            continue;
        }
        convertToPercent(loaded.store);
        TrendWave wave;
        wave.name = folder.name;
        wave.folder = folder.native;
        wave.count = loaded.count;
        wave.summary = loaded.store.SummaryScores;
        wave.scales = loaded.store.ScaleScores;
        wave.moments = loaded.moments;
        trend.waves.push_back(std::move(wave));
    }
    if (trend.waves.size() < 2)
        throw CommandError(QStringLiteral("Для динамики нужны хотя бы две волны, а в папке %1 "
                                          "показать можно %2 (минимальный размер волны: %3, "
                                          "не показано волн: %4)")
                               .arg(shownParent(parent))
                               .arg(trend.waves.size())
                               .arg(minimumSize)
                               .arg(trend.withheld.size()));
    trend.changes = trendChanges(trend.waves);
    return trend;
}

QString trendWithheldNote(const Trend &trend)
{
    if (trend.withheld.empty())
        return {};
    QStringList names;
    for (const TrendWithheld &w : trend.withheld)
        names << QStringLiteral("«%1» (%2)").arg(w.name).arg(w.count);
    return QStringLiteral("Минимальный размер волны: %1. Не показаны волны с меньшим числом "
                          "файлов: %2.")
        .arg(trend.minimumSize)
        .arg(names.join(QStringLiteral(", ")));
}

QByteArray trendJson(const Trend &trend)
{
    QJsonArray withheld, waves, changes;
    for (const TrendWithheld &w : trend.withheld)
        withheld.append(
            QJsonObject{{QStringLiteral("name"), w.name}, {QStringLiteral("count"), w.count}});
    for (const TrendWave &wave : trend.waves)
        waves.append(QJsonObject{{QStringLiteral("name"), wave.name},
                                 {QStringLiteral("count"), wave.count},
                                 {QStringLiteral("summary"), jsonNumbers(wave.summary)},
                                 {QStringLiteral("scales"), jsonNumbers(wave.scales)}});
    for (const TrendChange &change : trend.changes)
        changes.append(QJsonObject{
            {QStringLiteral("from"), trend.waves[std::size_t(change.from)].name},
            {QStringLiteral("to"), trend.waves[std::size_t(change.to)].name},
            {QStringLiteral("difference"),
             summaryAndScales(change.difference, [](double d) { return QJsonValue(d); })},
            {QStringLiteral("p"), summaryAndScales(change.p,
                                                   [](const std::optional<double> &p) {
                                                       return p ? QJsonValue(*p) : QJsonValue();
                                                   })},
            {QStringLiteral("significant"),
             summaryAndScales(change.significant, [](bool s) { return QJsonValue(s); })},
        });
    const QJsonObject object{
        {QStringLiteral("folder"), trend.folder}, {QStringLiteral("minSize"), trend.minimumSize},
        {QStringLiteral("withheld"), withheld},   {QStringLiteral("waves"), waves},
        {QStringLiteral("changes"), changes},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray trendCsv(const Trend &trend, const CsvStyle &style)
{
    const char sep = style.separator;
    QByteArray out;
    if (style.byteOrderMark)
        out += "\xEF\xBB\xBF";
    out += QByteArray("name") + sep + "count";
    for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
        out += sep + tableNumberHeading(c);
    out += "\r\n";
    for (const TrendWave &wave : trend.waves) {
        out += csvField(wave.name, style);
        out += sep + QByteArray::number(wave.count);
        for (int c = 0; c < kTrendColumns; ++c)
            out += sep + shortestNumberText(wave.value(c), style.decimalPoint);
        out += "\r\n";
    }
    return out;
}
