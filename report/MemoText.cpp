#include "MemoText.h"

#include "ShownText.h"

#include <QHash>
#include <QStringList>

namespace {

// A memo gives non-breaking spaces back as blanks: a cut line is looked for as it reads there.
QString asMemoReadsIt(QString line)
{
    return line.replace(QChar::Nbsp, QLatin1Char(' '));
}

} // namespace

MemoText memoTextOf(const QString &whole)
{
    MemoText memo;
    memo.whole = whole;
    QStringList shown;
    for (qsizetype from = 0; from <= whole.size();) {
        qsizetype end = whole.indexOf(QLatin1Char('\n'), from);
        if (end < 0)
            end = whole.size();
        const QString line = whole.mid(from, end - from);
        shown << shownBeginning(line);
        if (line.size() > kShownTextLength)
            memo.cutLines.push_back({shown.back(), from, line.size()});
        from = end + 1;
    }
    memo.shown = memo.cutLines.isEmpty() ? whole : shown.join(QLatin1Char('\n'));
    return memo;
}

QString wholeTextOf(const QString &memoText, const MemoText &memo)
{
    if (memo.cutLines.isEmpty())
        return memoText;
    // Each shown form with the cut lines it stands for, in order, and how many are used.
    QHash<QString, QList<qsizetype>> byShown;
    for (qsizetype i = 0; i < memo.cutLines.size(); ++i)
        byShown[asMemoReadsIt(memo.cutLines[i].shown)].push_back(i);
    QHash<QString, qsizetype> used;

    QStringList lines = memoText.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (!line.endsWith(kEllipsis))
            continue;
        const auto found = byShown.constFind(line);
        if (found == byShown.cend())
            continue;
        qsizetype &next = used[line];
        if (next < found->size()) {
            const MemoText::CutLine &cut = memo.cutLines[(*found)[next++]];
            line = memo.whole.mid(cut.from, cut.size);
        }
    }
    return lines.join(QLatin1Char('\n'));
}
