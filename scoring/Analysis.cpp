#include "Analysis.h"

#include "NumberFormat.h"

namespace {

constexpr double kAnswerSpan = 6.0; // answers run from 1 to 7

// Sentences 1 to 12 give SummaryScores[i] in order.
const char *const kSummarySentences[kSummaryCount] = {
    "Инновационная составляющая развития (Проактивность) = ",
    "Адаптационная составляющая развития (Реактивность) = ",
    "Процессы конкуренции при взаимодействии (Центростремительные силы) = ",
    "Интеграционные процессы при взаимодействии (Центробежные силы) = ",
    "Система поощрений в мотивации персонала = ",
    "Механизмы вовлечения в мотивации персонала = ",
    "Общий уровень согласия персонала = ",
    "Общий уровень делового общения = ",
    "Общий уровень механизмов мотивации персонала = ",
    "Общий уровень психологического климата = ",
    "Ориентация на развитие организации = ",
    "Ориентация на взаимодействие в организации = ",
};

// The difference of two answers is taken as an integer; only the division is in floating point.
double answerPreference(const ProfileStore &store, int first, int second)
{
    const int difference = int(store.Answers[first]) - int(store.Answers[second]);
    return (difference * 100) / kAnswerSpan;
}

} // namespace

QStringList analysisLines(const ProfileStore &store, const HeaderTexts &header,
                          const QString &today, const QLocale &locale)
{
    const auto &s = store.SummaryScores;
    struct Sentence
    {
        const char *text;
        double value;
    };
    const Sentence comparisons[] = {
        {"Преобладание \"Адаптационной\" составляющей над \"Инновационной\" = ", s[2] - s[1]},
        {"Преобладание \"Конкуренции\" над \"Интеграционными процессами\" = ", s[3] - s[4]},
        {"Преобладание \"Взаимодействия\" над \"Развитием\" организации = ", s[12] - s[11]},
        {"Преобладание поощрения качества услуг над поощрением полученной прибыли = ",
         answerPreference(store, 9, 13)},
        {"Преобладание согласия по поводу качества услуг над согласием по поводу достижения "
         "прибыли = ",
         answerPreference(store, 11, 15)},
    };

    QStringList lines;
    lines << QStringLiteral("Анализ данных опросника.") << today << QString();
    if (header.name != groupName())
        lines << header.code + QStringLiteral(". ") + header.name + QLatin1Char(' ') + header.date;
    lines << header.details << QString();

    auto sentence = [&](const char *text, double value) {
        lines << QString::fromUtf8(text) + formatOneDecimal(value, locale) + QLatin1Char('%');
        lines << QString();
    };
    for (int i = 1; i <= kSummaryCount; ++i)
        sentence(kSummarySentences[i - 1], s[i]);
    for (const Sentence &c : comparisons)
        sentence(c.text, c.value);
    lines.removeLast(); // no empty line after the last sentence
    return lines;
}
