#pragma once

// Answer files as the tests write them: a respondent's texts and numbers laid out in the 53 lines
// of the questionnaire format, then encoded to code page 1251 bytes.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <array>
#include <ostream>
#include <stdexcept>

// Failures print texts as text rather than as arrays of code units.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace testfiles {

inline QByteArray cp1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        throw std::runtime_error("text has no code page 1251 form");
    return bytes;
}

// The lines joined with eol, each line ended by it.
inline QByteArray joinLines(const QStringList &lines, const QByteArray &eol = "\r\n")
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp1251(line) + eol;
    return bytes;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

struct Questionnaire
{
    QString date = QStringLiteral("12.03.2004");
    QString code = QStringLiteral("R-17");
    QString name = QStringLiteral("Петров Пётр Ильич");
    QStringList details{QStringLiteral("Отдел продаж"), QStringLiteral("Менеджер №2"),
                        QStringLiteral("Стаж «5 лет»"), QStringLiteral("Высшее")};
    // answers[j - 1] is answer j; totals[k - 1] is total k. The defaults sit mid-range.
    std::array<int, 32> answers = filled<32>(4);
    std::array<int, 12> totals = {32, 32, 32, 32, 32, 32, 32, 32, 64, 64, 64, 64};

    template <std::size_t N> static std::array<int, N> filled(int value)
    {
        std::array<int, N> a{};
        a.fill(value);
        return a;
    }

    // All answers one value, totals at the matching point of their ranges (1 gives the lows,
    // 7 the highs).
    static Questionnaire uniform(int answer)
    {
        Questionnaire q;
        q.answers.fill(answer);
        for (int k = 0; k < 12; ++k)
            q.totals[k] = (k < 8 ? 8 : 16) * answer;
        return q;
    }

    // The 53 lines: a total stands right-aligned in its three-character field, followed by a
    // word, as the questionnaire program writes it.
    QStringList lines() const
    {
        QStringList l{date, code, name};
        l << details << QStringLiteral("Ответы:");
        for (int a : answers)
            l << QString::number(a);
        l << QStringLiteral("Итоги:");
        for (int t : totals)
            l << QStringLiteral("%1 итог").arg(t, 3);
        return l;
    }

    QStringList withLine(int n, const QString &text) const
    {
        QStringList l = lines();
        l[n - 1] = text;
        return l;
    }

    QByteArray bytes(const QByteArray &eol = "\r\n") const { return joinLines(lines(), eol); }

    void write(const QString &path) const { writeBytes(path, bytes()); }
};

} // namespace testfiles
