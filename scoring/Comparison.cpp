#include "Comparison.h"

#include "GroupLoader.h"
#include "Scoring.h"

#include <cstdlib>

ReferenceProfile referenceOf(LoadedProfile loaded, const QString &folderName)
{
    ReferenceProfile reference;
    reference.store = std::move(loaded.store);
    convertToPercent(reference.store);
    reference.header = std::move(loaded.header);
    reference.count = loaded.count;
    reference.group = loaded.group;
    reference.folderName = folderName;
    return reference;
}

ReferenceProfile loadReference(const NativePath &path, const QString &today)
{
    if (!isFolder(path))
        return referenceOf(loadRespondent(path));
    // The folder's own name even when it was given as "." or "dir/..".
    NativePath folder = path;
    if (char *real = ::realpath(path.constData(), nullptr)) {
        folder = real;
        std::free(real);
    }
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    const QString shown = displayPath(folder.mid(folder.lastIndexOf('/') + 1));
    // Only the mean is laid over the views: the members' own scores are not kept.
    return referenceOf(loadGroup(path, today, Members::Drop), shown);
}

QString referenceCaption(const ReferenceProfile &reference)
{
    if (reference.group)
        return QStringLiteral("%1, файлов: %2").arg(reference.folderName).arg(reference.count);
    return reference.header.code + QLatin1Char(' ') + reference.header.name;
}

ProfileDifference profileDifference(const ProfileStore &profile, const ProfileStore &reference)
{
    ProfileDifference difference;
    for (int i = 1; i <= kSummaryCount; ++i)
        difference.summary[i] = profile.SummaryScores[i] - reference.SummaryScores[i];
    for (int i = 1; i <= kScaleScoreCount; ++i)
        difference.scales[i] = profile.ScaleScores[i] - reference.ScaleScores[i];
    return difference;
}
