#pragma once

#include <QList>
#include <QString>

// The analysis text and what the memo shows of it. A header line of an answer file may hold
// 256 KiB, and the memo wraps a line without blanks in time that grows with the square of its
// length (seconds for a name, minutes for a whole header); so the memo shows every line cut as
// a view shows long texts (ShownText.h), and the whole text is kept here for the saves.
struct MemoText
{
    // A line the memo shows cut: as shown, and where it stands whole in the whole text.
    struct CutLine
    {
        QString shown;
        qsizetype from = 0;
        qsizetype size = 0;
    };
    QString whole;
    QString shown;
    QList<CutLine> cutLines; // in the order of the text
};

// The memo's view of a whole text whose lines are separated by '\n'. A text without long lines
// is shown exactly as it stands.
MemoText memoTextOf(const QString &whole);

// What the memo gives back of a text it was given: the text itself, unless it holds a carriage
// return, a line or paragraph separator or a no-break space, which a memo's document changes.
QString memoPlainText(const QString &text);

// The whole text back from the memo's text, edited by the user or not: every line that still
// reads as a cut line shows it gets its whole line back (lines shown alike in their order);
// every other line stays as the memo holds it.
QString wholeTextOf(const QString &memoText, const MemoText &memo);
