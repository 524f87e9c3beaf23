#include "Waves.h"

#include "CommandError.h"
#include "FolderListing.h"
#include "NumberFormat.h"
#include "Scoring.h"
#include "TableRecords.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

// "В папке …" names the parent as the user gave it.
QString shownParent(const NativePath &parent)
{
    return QDir::toNativeSeparators(QDir::cleanPath(displayPath(parent)));
}

// The parent and every folder above it: a link to one of them is no wave of the parent.
std::vector<FileIdentity> parentAndAbove(const NativePath &parent)
{
    std::vector<FileIdentity> identities;
    NativePath path = parent;
    for (int depth = 0; depth < 256; ++depth) {
        const FileIdentity identity = fileIdentity(path);
        if (!identity.valid ||
            std::find(identities.begin(), identities.end(), identity) != identities.end())
            break;
        identities.push_back(identity);
        path = joinPath(path, "..");
    }
    return identities;
}

struct Candidate
{
    TrendFolder wave;
    FileIdentity identity;
    bool link = false;
};

} // namespace

std::vector<TrendFolder> trendFolders(const NativePath &parent)
{
    checkPathIs(parent, isFolder, QStringLiteral("Cannot show the trend of %1"),
                QStringLiteral("it is not a folder"));
    std::vector<Candidate> candidates;
    for (NativePath &name : listFolders(parent)) {
        const NativePath path = joinPath(parent, name);
        if (holdsNonFolder(path, isAnswerFileName))
            candidates.push_back(
                {{path, displayPath(name)}, fileIdentity(path), isSymbolicLink(path)});
    }
    for (NativePath &name : listNonFolders(parent)) {
        if (!isTablePath(name))
            continue;
        const NativePath path = joinPath(parent, name);
        candidates.push_back(
            {{path, groupSourceName(path)}, fileIdentity(path), isSymbolicLink(path)});
    }
    // Of the names one wave is reached by, the wave itself before any link to it.
    const auto byName = [](const Candidate &a, const Candidate &b) {
        const int order = naturalCompare(a.wave.name, b.wave.name);
        return order != 0 ? order < 0 : a.wave.native < b.wave.native;
    };
    std::sort(candidates.begin(), candidates.end(), [&](const Candidate &a, const Candidate &b) {
        return a.link != b.link ? !a.link : byName(a, b);
    });
    std::vector<FileIdentity> seen = parentAndAbove(parent);
    std::vector<Candidate> kept;
    for (Candidate &c : candidates) {
        if (c.identity.valid) {
            if (std::find(seen.begin(), seen.end(), c.identity) != seen.end())
                continue;
            seen.push_back(c.identity);
        }
        kept.push_back(std::move(c));
    }
    std::sort(kept.begin(), kept.end(), byName);
    std::vector<TrendFolder> folders;
    folders.reserve(kept.size());
    for (Candidate &c : kept)
        folders.push_back(std::move(c.wave));
    return folders;
}

Trend loadTrend(const NativePath &parent, const Disclosure &disclosure, const QString &today,
                const TableOptions &options)
{
    const int minimumSize = disclosure.minSize;
    const std::vector<TrendFolder> folders = trendFolders(parent);
    Trend trend;
    trend.folder = shownFolderName(displayPath(parent));
    trend.disclosure = disclosure;
    if (folders.empty())
        throw CommandError(
            QStringLiteral("В папке %1 нет волн: ни в одной из её подпапок нет файлов анкет "
                           "(*.txt), и рядом с ними нет таблиц (.csv, .tsv, .xlsx)")
                .arg(shownParent(parent)));
    for (const TrendFolder &folder : folders) {
        LoadedProfile loaded;
        try {
            loaded = loadGroup(folder.native, today, Members::Sums, {}, options);
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
    trend.changes = trendChanges(trend.waves, disclosure);
    return trend;
}
