#include "GroupLoader.h"

#include "AnswerFile.h"
#include "CommandError.h"
#include "ProfileTable.h"
#include "Scoring.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kDateLine = 1;
constexpr int kCodeLine = 2;
constexpr int kNameLine = 3;
constexpr int kFirstDetailLine = 4;
constexpr int kLastDetailLine = 7;

} // namespace

QString emptyGroupMessage(const QString &folder)
{
    return QStringLiteral("В папке %1 нет файлов анкет (*.txt)")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

LoadedProfile loadRespondent(const QString &path)
{
    return loadRespondent(toNativePath(path));
}

HeaderTexts answerFileHeader(const AnswerFileText &text)
{
    HeaderTexts header;
    header.date = text.line(kDateLine);
    header.code = text.line(kCodeLine);
    header.name = text.line(kNameLine);
    for (int n = kFirstDetailLine; n <= kLastDetailLine; ++n)
        header.details << text.line(n);
    return header;
}

LoadedProfile loadRespondent(const NativePath &path)
{
    const AnswerFileText text = AnswerFileText::load(path);
    LoadedProfile loaded;
    loaded.header = answerFileHeader(text);
    ReadAnswers(text, loaded.store);
    loaded.count = 1;
    loaded.moments.add(loaded.store);
    for (std::size_t i = 1; i < loaded.meanAnswers.size(); ++i)
        loaded.meanAnswers[i] = loaded.store.Answers[i];
    const qsizetype slash = path.lastIndexOf('/');
    loaded.members.push_back({displayPath(path.mid(slash + 1)), loaded.header, loaded.store});
    return loaded;
}

LoadedProfile startGroup(const QString &today)
{
    LoadedProfile group;
    group.group = true;
    group.header.code = groupCode();
    group.header.name = groupName();
    group.header.date = today;
    group.header.details << groupDetailsHead();
    return group;
}

void addMemberScores(LoadedProfile &group, const ProfileStore &member)
{
    ++group.count;
    group.moments.add(member);
    for (std::size_t i = 1; i < member.Answers.size(); ++i)
        group.meanAnswers[i] += member.Answers[i];
    for (std::size_t i = 1; i < member.SummaryScores.size(); ++i)
        group.store.SummaryScores[i] += member.SummaryScores[i];
    for (std::size_t i = 1; i < member.ScaleScores.size(); ++i)
        group.store.ScaleScores[i] += member.ScaleScores[i];
    group.store.Answers = member.Answers;
}

QString memberDetailsLine(const HeaderTexts &header)
{
    return header.name + QLatin1Char(' ') + header.code + QLatin1Char(' ') + header.date;
}

QString memberDetailsLine(const AnswerFileText &text)
{
    const QByteArrayView name = text.lineBytes(kNameLine);
    const QByteArrayView code = text.lineBytes(kCodeLine);
    const QByteArrayView date = text.lineBytes(kDateLine);
    QString line;
    line.reserve(name.size() + code.size() + date.size() + 2);
    appendDecoded(line, name, text.isUtf8());
    line += QLatin1Char(' ');
    appendDecoded(line, code, text.isUtf8());
    line += QLatin1Char(' ');
    appendDecoded(line, date, text.isUtf8());
    return line;
}

void finishGroupMeans(LoadedProfile &group)
{
    divideScores(group.store, group.count);
    for (std::size_t i = 1; i < group.meanAnswers.size(); ++i)
        group.meanAnswers[i] /= group.count;
}

QString questionnaires(int count)
{
    const int tens = count % 100, ones = count % 10;
    if (ones == 1 && tens != 11)
        return QStringLiteral("анкета");
    if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        return QStringLiteral("анкеты");
    return QStringLiteral("анкет");
}

QStringList anonymousDetails(const QString &name, int count)
{
    return {QStringLiteral("Подгруппа «%1»: %2 %3").arg(name).arg(count).arg(questionnaires(count)),
            QStringLiteral("Состав подгруппы не раскрывается.")};
}

void makeAnonymous(LoadedProfile &subgroup, bool showSpread)
{
    TableRows rows;
    for (const MemberProfile &member : subgroup.members)
        rows.add(member.store);
    subgroup.spread.clear();
    for (int c = 0; c < kTableNumberColumns; ++c) {
        Spread s = rows.spread(c);
        s.min = s.max = 0;
        if (!showSpread)
            s.sd = 0;
        subgroup.spread.push_back(s);
    }
    subgroup.members = {};
    forgetExtremes(subgroup.moments, !showSpread);
    // The analysis takes two of its sentences from the store's answers, which a group load
    // leaves as its last member's own.
    for (std::size_t i = 1; i < subgroup.meanAnswers.size(); ++i)
        subgroup.store.Answers[i] = std::uint8_t(std::lround(subgroup.meanAnswers[i]));
    subgroup.header.details = anonymousDetails(subgroup.header.name, subgroup.count);
    subgroup.anonymous = true;
}
