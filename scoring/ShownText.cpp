#include "ShownText.h"

QString shownBeginning(const QString &text, qsizetype most)
{
    if (text.size() <= most)
        return text;
    qsizetype kept = most;
    if (kept > 0 && text[kept - 1].isHighSurrogate())
        --kept;
    return text.left(kept) + kEllipsis;
}

QString shownEnd(const QString &text, qsizetype most)
{
    if (text.size() <= most)
        return text;
    qsizetype kept = most;
    if (kept > 0 && text[text.size() - kept].isLowSurrogate())
        --kept;
    return kEllipsis + text.right(kept);
}
