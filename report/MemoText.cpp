#include "MemoText.h"

#include "ShownText.h"

#include <QTextDocument>

#include <QHash>
#include <QStringList>

namespace {

// A memo gives non-breaking spaces back as blanks: a cut line is looked for as it reads there.
QString asMemoReadsIt(QString line)
{
    return line.replace(QChar::Nbsp, QLatin1Char(' '));
}

// Whether any line of text is longer than a memo shows.
bool hasLongLine(const QString &text)
{
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        if (end < 0)
            end = text.size();
        if (end - from > kShownTextLength)
            return true;
        from = end + 1;
    }
    return false;
}

} // namespace

MemoText memoTextOf(const QString &whole)
{
    MemoText memo;
    memo.whole = whole;
    // Most texts have no long line: they are shown as they stand, without a copy.
    if (!hasLongLine(whole)) {
        memo.shown = whole;
        return memo;
    }
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
    memo.shown = shown.join(QLatin1Char('\n'));
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

QString memoPlainText(const QString &text)
{
    for (char16_t c : {u'\r', u'\x2028', u'\x2029', u'\xA0', u'\xFDD0', u'\xFDD1'})
        if (text.contains(QChar(c))) {
            // The memo's own document, which gives back what a memo gives back.
            QTextDocument document;
            document.setPlainText(text);
            return document.toPlainText();
        }
    return text;
}
