#include "GroupLoader.h"

#include "AnswerFile.h"
#include "CommandError.h"
#include "Scoring.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace {

constexpr int kDateLine = 1;
constexpr int kCodeLine = 2;
constexpr int kNameLine = 3;
constexpr int kFirstDetailLine = 4;
constexpr int kLastDetailLine = 7;

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Upper case letter by letter, as the original listing compares names: "ß" stays one letter
// rather than becoming "SS".
QString upperByLetter(const QString &name)
{
    QString upper = name;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}

} // namespace

QString groupCode()
{
    return QStringLiteral("0000");
}

QString groupName()
{
    return QStringLiteral("Группа");
}

QString groupDetailsHead()
{
    return QStringLiteral("Состав группы:");
}

QString emptyGroupMessage(const QString &folder)
{
    return QStringLiteral("В папке %1 нет файлов анкет (*.txt)")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

LoadedProfile loadRespondent(const QString &path)
{
    const AnswerFileText text = AnswerFileText::load(path);
    LoadedProfile loaded;
    loaded.header.date = text.line(kDateLine);
    loaded.header.code = text.line(kCodeLine);
    loaded.header.name = text.line(kNameLine);
    for (int n = kFirstDetailLine; n <= kLastDetailLine; ++n)
        loaded.header.details << text.line(n);
    ReadAnswers(text, loaded.store);
    loaded.count = 1;
    return loaded;
}

QStringList groupMembers(const QString &folder)
{
    struct Entry
    {
        QString key;
        QString name;
    };
    std::vector<Entry> entries;
    // Files (hidden and special ones too) but no folders: a sub-folder named *.txt is not an
    // answer file.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            entries.push_back({upperByLetter(name), name});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int byKey = QString::compare(a.key, b.key, Qt::CaseSensitive);
        return byKey != 0 ? byKey < 0 : a.name < b.name;
    });
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (const Entry &e : entries)
        names << e.name;
    return names;
}

LoadedProfile loadGroup(const QString &folder, const QString &today)
{
    const QString base = withSeparator(folder);
    // A folder that cannot be listed is not an empty one.
    if (!QFileInfo(folder).isReadable())
        throw cannotOpenFile(folder);
    const QStringList members = groupMembers(base);
    if (members.isEmpty())
        throw CommandError(emptyGroupMessage(folder));

    LoadedProfile loaded;
    loaded.group = true;
    loaded.header.code = groupCode();
    loaded.header.name = groupName();
    loaded.header.date = today;
    loaded.header.details.reserve(members.size() + 1);
    loaded.header.details << groupDetailsHead();
    for (const QString &member : members) {
        const AnswerFileText text = AnswerFileText::load(base + member);
        ++loaded.count;
        ReadAnswers(text, loaded.store);
        loaded.header.details << text.line(kNameLine) + QLatin1Char(' ') + text.line(kCodeLine) +
                                     QLatin1Char(' ') + text.line(kDateLine);
    }
    divideScores(loaded.store, loaded.count);
    return loaded;
}
