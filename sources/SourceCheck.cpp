#include "SourceCheck.h"

#include "AnswerFile.h"
#include "CommandError.h"
#include "Scoring.h"
#include "TableRecords.h"

#include <QDir>
#include <QHash>
#include <array>

namespace {

struct FileCheck
{
    QStringList problems;
    QStringList warnings;
    bool readable = false;
    QString respondent; // code and name, to find the same respondent twice
};

QString errorText(const std::exception &e)
{
    if (const auto *command = dynamic_cast<const CommandError *>(&e))
        return command->reason().isEmpty()
                   ? command->message()
                   : QStringLiteral("%1: %2").arg(command->message(), command->reason());
    return QString::fromUtf8(e.what());
}

// One answer file, every line of it.
FileCheck checkAnswerFile(const NativePath &path, const QString &shown)
{
    FileCheck check;
    AnswerFileText text;
    try {
        text = AnswerFileText::load(path);
    } catch (const std::exception &e) {
        check.problems << QStringLiteral("%1: %2").arg(shown, errorText(e));
        return check;
    }
    const auto at = [&shown](int line) { return QStringLiteral("%1, строка %2").arg(shown).arg(line); };
    // A file cut short is one problem, not one for each missing line.
    if (text.lineCount() < AnswerFileText::kLastTotalLine) {
        check.problems << QStringLiteral("%1: в файле строк: %2, а в файле анкеты их 53 (ответы "
                                         "на строках 9–40, итоги на 42–53)")
                              .arg(shown)
                              .arg(text.lineCount());
        return check;
    }
    std::array<int, kAnswerCount> answers{};
    bool answersRead = true;
    for (int j = 1; j <= kAnswerCount; ++j) {
        const int line = AnswerFileText::kFirstAnswerLine - 1 + j;
        try {
            const int value = text.answer(line);
            answers[std::size_t(j - 1)] = value;
            if (value < 1 || value > 7)
                check.warnings << QStringLiteral("%1: ответ %2 равен %3, а ответы бывают от 1 до 7 "
                                                 "(читается как %4)")
                                      .arg(at(line))
                                      .arg(j)
                                      .arg(value)
                                      .arg(unsigned(value) & 0xFFu);
        } catch (const std::exception &e) {
            check.problems << QStringLiteral("%1: %2").arg(at(line), errorText(e));
            answersRead = false;
        }
    }
    std::array<int, kSummaryCount> totals{};
    bool totalsRead = true;
    for (int k = 1; k <= kSummaryCount; ++k) {
        const int line = AnswerFileText::kFirstTotalLine - 1 + k;
        try {
            totals[std::size_t(k - 1)] = text.total(line);
        } catch (const std::exception &e) {
            check.problems << QStringLiteral("%1: %2").arg(at(line), errorText(e));
            totalsRead = false;
        }
    }
    if (answersRead && totalsRead) {
        const std::array<int, kSummaryCount> expected = answerTotals(answers);
        for (int k = 1; k <= kSummaryCount; ++k)
            if (totals[std::size_t(k - 1)] != expected[std::size_t(k - 1)])
                check.warnings << QStringLiteral("%1: итог %2 («%3») равен %4, а по ответам — %5")
                                      .arg(at(AnswerFileText::kFirstTotalLine - 1 + k))
                                      .arg(k)
                                      .arg(ProfileStore::SummaryNames(k))
                                      .arg(totals[std::size_t(k - 1)])
                                      .arg(expected[std::size_t(k - 1)]);
    }
    check.readable = check.problems.isEmpty();
    const HeaderTexts header = answerFileHeader(text);
    if (!header.code.trimmed().isEmpty() || !header.name.trimmed().isEmpty())
        check.respondent = header.code.trimmed() + QLatin1Char('\n') +
                           header.name.simplified().toCaseFolded();
    return check;
}

void checkFolder(const NativePath &folder, SourceCheck &result)
{
    const std::vector<GroupMember> members = groupMembers(folder);
    if (members.empty()) {
        result.problems << emptyGroupMessage(displayPath(folder));
        return;
    }
    QHash<QString, QString> firstFile; // respondent -> the file first met
    for (const GroupMember &member : members) {
        const FileCheck check = checkAnswerFile(joinPath(folder, member.native), member.shown);
        result.problems << check.problems;
        result.warnings << check.warnings;
        if (check.readable)
            ++result.members;
        if (check.respondent.isEmpty())
            continue;
        const auto seen = firstFile.constFind(check.respondent);
        if (seen == firstFile.cend())
            firstFile.insert(check.respondent, member.shown);
        else
            result.warnings << QStringLiteral("%1 и %2: один и тот же респондент (код «%3»)")
                                   .arg(seen.value(), member.shown,
                                        check.respondent.section(QLatin1Char('\n'), 0, 0));
    }
}

void checkTable(const NativePath &path, const TableOptions &options, SourceCheck &result)
{
    const TableScan scan = scanTable(path, options);
    result.reading << scan.preview.description;
    result.reading << describeColumns(scan.preview.map);
    for (const CellProblem &problem : scan.problems)
        result.problems << problem.message();
    result.warnings << scan.duplicateNotes;
    result.members = scan.members;
    result.badRows = scan.badRows;
    if (scan.members == 0 && scan.problems.empty())
        result.problems << QStringLiteral("в таблице нет ни одной строки с ответами");
}

} // namespace

SourceCheck checkSource(const NativePath &path, const TableOptions &options)
{
    SourceCheck result;
    if (isFolder(path)) {
        checkFolder(path, result);
    } else if (isTablePath(path)) {
        checkTable(path, options, result);
    } else {
        const FileCheck check = checkAnswerFile(path, QDir::toNativeSeparators(displayPath(path)));
        result.problems = check.problems;
        result.warnings = check.warnings;
        result.members = check.readable ? 1 : 0;
    }
    return result;
}

QStringList checkReport(const QString &shownPath, const SourceCheck &check)
{
    QStringList lines;
    if (!check.reading.isEmpty()) {
        lines << QStringLiteral("%1: %2").arg(shownPath, check.reading.first());
        for (qsizetype i = 1; i < check.reading.size(); ++i)
            lines << QStringLiteral("  ") + check.reading[i];
    }
    for (const QString &problem : check.problems)
        lines << QStringLiteral("ошибка: ") + problem;
    for (const QString &warning : check.warnings)
        lines << QStringLiteral("предупреждение: ") + warning;
    lines << QStringLiteral("%1: читается анкет: %2, ошибок: %3, предупреждений: %4")
                 .arg(shownPath)
                 .arg(check.members)
                 .arg(check.problems.size())
                 .arg(check.warnings.size());
    return lines;
}
