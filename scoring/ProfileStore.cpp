#include "ProfileStore.h"

QString ProfileStore::SummaryNames(int i)
{
    static const char *const names[kSummaryCount + 1] = {
        "",          "Инновация",  "Адаптация",     "Конкуренция",  "Интеграция",
        "Поощрение", "Вовлечение", "Согласие",      "Коммуникация", "Мотивация",
        "Климат",    "Развитие",   "Взаимодействие"};
    if (i < 1 || i > kSummaryCount)
        return {};
    return QString::fromUtf8(names[i]);
}

void ProfileStore::clearScores()
{
    SummaryScores.fill(0.0);
    ScaleScores.fill(0.0);
}
