// The factor analysis text of a respondent, of a group and of a respondent who happens to be
// named like a group.

#include "Analysis.h"
#include "AnswerFiles.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "Scoring.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using testfiles::Questionnaire;

namespace {

const QString kToday = QStringLiteral("01.01.2030");

// Totals giving 56.25, 50, 100, 0, -8.33, 108.33, 12.5, 37.5, then 56.25, 0, 100, 50 percent.
Questionnaire analysed()
{
    Questionnaire q;
    q.totals = {35, 32, 56, 8, 4, 60, 14, 26, 70, 16, 112, 64};
    q.answers[8] = 5;  // answer 9
    q.answers[12] = 4; // answer 13
    q.answers[10] = 1; // answer 11
    q.answers[14] = 7; // answer 15
    return q;
}

} // namespace

class AnalysisTest : public testing::Test
{
protected:
    QStringList analysisOf(const Questionnaire &q, const QLocale &locale = QLocale::c())
    {
        q.write(dir.filePath("r.txt"));
        return analysisOfLoaded(loadRespondent(dir.filePath("r.txt")), locale);
    }

    static QStringList analysisOfLoaded(LoadedProfile loaded, const QLocale &locale)
    {
        convertToPercent(loaded.store);
        return analysisLines(loaded.store, loaded.header, kToday, locale);
    }

    QTemporaryDir dir;
};

TEST_F(AnalysisTest, RespondentLines)
{
    const QStringList expected{
        "Анализ данных опросника.",
        "01.01.2030",
        "",
        "R-17. Петров Пётр Ильич 12.03.2004",
        "Отдел продаж",
        "Менеджер №2",
        "Стаж «5 лет»",
        "Высшее",
        "",
        "Инновационная составляющая развития (Проактивность) = 56.3%",
        "",
        "Адаптационная составляющая развития (Реактивность) = 50.0%",
        "",
        "Процессы конкуренции при взаимодействии (Центростремительные силы) = 100.0%",
        "",
        "Интеграционные процессы при взаимодействии (Центробежные силы) = 0.0%",
        "",
        "Система поощрений в мотивации персонала = -8.3%",
        "",
        "Механизмы вовлечения в мотивации персонала = 108.3%",
        "",
        "Общий уровень согласия персонала = 12.5%",
        "",
        "Общий уровень делового общения = 37.5%",
        "",
        "Общий уровень механизмов мотивации персонала = 56.3%",
        "",
        "Общий уровень психологического климата = 0.0%",
        "",
        "Ориентация на развитие организации = 100.0%",
        "",
        "Ориентация на взаимодействие в организации = 50.0%",
        "",
        "Преобладание \"Адаптационной\" составляющей над \"Инновационной\" = -6.3%",
        "",
        "Преобладание \"Конкуренции\" над \"Интеграционными процессами\" = 100.0%",
        "",
        "Преобладание \"Взаимодействия\" над \"Развитием\" организации = -50.0%",
        "",
        "Преобладание поощрения качества услуг над поощрением полученной прибыли = 16.7%",
        "",
        "Преобладание согласия по поводу качества услуг над согласием по поводу достижения "
        "прибыли = -100.0%",
    };
    const QStringList lines = analysisOf(analysed());
    EXPECT_EQ(lines.size(), expected.size());
    for (qsizetype i = 0; i < std::min(lines.size(), expected.size()); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i;
}

TEST_F(AnalysisTest, LocaleSeparator)
{
    const QStringList lines = analysisOf(analysed(), QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(lines[9], "Инновационная составляющая развития (Проактивность) = 56,3%");
    EXPECT_EQ(lines[17], "Система поощрений в мотивации персонала = -8,3%");
    EXPECT_EQ(lines[1], kToday) << "the date is written by the caller, in its locale";
}

TEST_F(AnalysisTest, GroupHasNoRespondentLine)
{
    Questionnaire first = analysed();
    first.name = QStringLiteral("Анна");
    first.code = "A1";
    Questionnaire last = analysed();
    last.name = QStringLiteral("Борис");
    last.code = "B2";
    last.answers[8] = 7;  // answer 9
    last.answers[12] = 1; // answer 13
    first.write(dir.filePath("1.txt"));
    last.write(dir.filePath("2.txt"));

    const QStringList lines = analysisOfLoaded(loadGroup(dir.path(), kToday), QLocale::c());
    ASSERT_EQ(lines.size(), 3 + 3 + 1 + 33);
    EXPECT_EQ(lines.mid(0, 7),
              (QStringList{"Анализ данных опросника.", kToday, "",
                           "Состав группы:", "Анна A1 12.03.2004", "Борис B2 12.03.2004", ""}));
    EXPECT_EQ(lines[7], "Инновационная составляющая развития (Проактивность) = 56.3%");
    // The answer comparisons come from the last member read, not from a mean.
    EXPECT_EQ(lines[37],
              "Преобладание поощрения качества услуг над поощрением полученной прибыли = 100.0%");
}

// Only a name of exactly "Группа" drops the respondent line.
class NamedLikeGroup : public AnalysisTest, public testing::WithParamInterface<const char *>
{
};

TEST_P(NamedLikeGroup, RespondentLine)
{
    Questionnaire q = analysed();
    q.name = QString::fromUtf8(GetParam());
    const QStringList lines = analysisOf(q);
    const bool dropped = q.name == QStringLiteral("Группа");
    ASSERT_EQ(lines.size(), dropped ? 41 : 42);
    EXPECT_EQ(lines[3], dropped ? q.details[0] : "R-17. " + q.name + " 12.03.2004");
    EXPECT_EQ(lines.mid(dropped ? 3 : 4, 4), q.details) << "a respondent keeps its details";
}

INSTANTIATE_TEST_SUITE_P(Names, NamedLikeGroup,
                         testing::Values("Группа", "группа", "Группа ", " Группа", "Группа 2",
                                         "ГРУППА"));

// Sentences 16 and 17 compare two answers of the Адаптация block as an integer difference.
struct AnswerComparison
{
    int first;
    int second;
    const char *text;
};

void PrintTo(const AnswerComparison &c, std::ostream *os)
{
    *os << c.first << " vs " << c.second;
}

class AnswerComparisons : public AnalysisTest, public testing::WithParamInterface<AnswerComparison>
{
};

TEST_P(AnswerComparisons, Sentences16And17)
{
    const AnswerComparison &c = GetParam();
    Questionnaire q;
    q.answers[8] = c.first;   // answer 9
    q.answers[12] = c.second; // answer 13
    q.answers[10] = c.first;  // answer 11
    q.answers[14] = c.second; // answer 15
    const QStringList lines = analysisOf(q);
    const QString value = QLatin1String(c.text) + QLatin1Char('%');
    EXPECT_EQ(lines[39],
              "Преобладание поощрения качества услуг над поощрением полученной прибыли = " + value);
    EXPECT_EQ(lines[41], "Преобладание согласия по поводу качества услуг над согласием по поводу "
                         "достижения прибыли = " +
                             value);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerComparisons,
    testing::Values(AnswerComparison{3, 3, "0.0"}, AnswerComparison{7, 1, "100.0"},
                    AnswerComparison{1, 7, "-100.0"}, AnswerComparison{5, 4, "16.7"},
                    AnswerComparison{4, 5, "-16.7"}, AnswerComparison{300, 1, "716.7"},
                    AnswerComparison{1, -1, "-4233.3"}));
