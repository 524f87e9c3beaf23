#include "SplitTable.h"

#include "CommandError.h"
#include "FolderListing.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "Scoring.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

QString answerFileText(const RespondentRow &row)
{
    QStringList lines;
    lines << row.date << row.code << row.name;
    for (int i = 0; i < kTableDetails; ++i)
        lines << (i < row.details.size() ? row.details[i] : QString());
    lines << QStringLiteral("Ответы на вопросы анкеты:");
    for (const int answer : row.answers)
        lines << QString::number(answer);
    lines << QStringLiteral("Итоговые показатели:");
    const std::array<int, kSummaryCount> totals = answerTotals(row.answers);
    for (int k = 1; k <= kSummaryCount; ++k)
        lines << QStringLiteral("%1 %2")
                     .arg(totals[std::size_t(k - 1)], 3)
                     .arg(ProfileStore::SummaryNames(k));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QByteArray answerFileBytes(const RespondentRow &row)
{
    const QString text = answerFileText(row);
    const AnalysisFileBytes cp1251 = analysisFileBytes(text);
    if (cp1251.unmappable.isEmpty())
        return cp1251.bytes;
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QByteArray("\xEF\xBB\xBF") + crlf.toUtf8();
}

QString answerFileName(const RespondentRow &row, int rowDigits)
{
    const QString number = QStringLiteral("%1").arg(row.row, rowDigits, 10, QLatin1Char('0'));
    QStringList parts{number};
    if (row.code.trimmed() != number)
        parts << row.code;
    parts << row.name;
    return fileNameStem(parts.join(QLatin1Char(' ')).simplified()) + QStringLiteral(".txt");
}

int splitTable(const NativePath &table, const NativePath &outDir, const TableOptions &options,
               QStringList *notes)
{
    if (outDir.isEmpty())
        throw CommandError(QStringLiteral("Cannot create file: the folder name is empty"));
    // Every row is read and named before anything is written.
    std::vector<RespondentRow> rows;
    forEachRespondent(
        table, options, [&](const RespondentRow &row) { rows.push_back(row); }, notes);
    const int rowDigits =
        std::max(4, int(QString::number(rows.empty() ? 0 : rows.back().row).size()));
    // Every name begins with its own row's number: no two are alike.
    std::vector<std::pair<NativePath, QByteArray>> files;
    files.reserve(rows.size());
    for (const RespondentRow &row : rows)
        files.emplace_back(joinPath(outDir, QFile::encodeName(answerFileName(row, rowDigits))),
                           answerFileBytes(row));
    if (files.empty())
        throw CommandError(QStringLiteral("В таблице %1 нет ни одной строки с ответами")
                               .arg(QDir::toNativeSeparators(displayPath(table))));
    makeFolders(outDir);
    QStringList existing;
    for (const auto &file : files) {
        struct stat st;
        if (::lstat(file.first.constData(), &st) == 0)
            existing << displayPath(file.first.mid(file.first.lastIndexOf('/') + 1));
    }
    if (!existing.isEmpty())
        throw CommandError(QStringLiteral("В папке %1 уже есть файлы с этими именами (%2%3); "
                                          "ничего не записано, выберите пустую папку")
                               .arg(QDir::toNativeSeparators(displayPath(outDir)))
                               .arg(existing.mid(0, 3).join(QStringLiteral(", ")))
                               .arg(existing.size() > 3
                                        ? QStringLiteral(" и ещё %1").arg(existing.size() - 3)
                                        : QString()));
    ReplacingFiles writer(Durability::Unsynced, ReplacingFiles::Existing::Refuse);
    for (const auto &file : files)
        writer.add(file.first, file.second);
    writer.commit();
    return int(files.size());
}
