#include "GroupTexts.h"

#include "NumberFormat.h"
#include "ShownText.h"

QStringList breakdownNotes(const BreakdownTable &table)
{
    // A name may be a whole header line; a note quotes its beginning.
    constexpr qsizetype kQuoted = 200;
    const QString joined = shownBeginning(table.joinedToOthers, kQuoted);
    QStringList notes;
    notes << QStringLiteral("Минимальный размер подгруппы: %1. В «%2» объединено файлов: %3, "
                            "не показано файлов: %4.")
                 .arg(table.disclosure.minSize)
                 .arg(othersName())
                 .arg(table.pooledFiles)
                 .arg(table.withheldFiles);
    if (!table.joinedToOthers.isEmpty())
        notes << QStringLiteral("Чтобы малые подгруппы нельзя было вычислить по строке всей "
                                "папки, в «%1» включена также подгруппа «%2».")
                     .arg(othersName(), joined);
    // Files are withheld only when no subgroup is shown: the whole folder's row is theirs.
    if (table.withheldFiles > 0)
        notes << QStringLiteral("Не показанные файлы учтены только в строке «%1»: в папке меньше "
                                "файлов, чем минимальный размер, и эта строка — их общий профиль.")
                     .arg(wholeFolderName());
    QStringList small, joinedHidden;
    for (const BreakdownRow &row : table.rows) {
        if (row.spreadShown)
            continue;
        const QString name = QStringLiteral("«%1»").arg(shownBeginning(row.name, kQuoted));
        (row.count < table.disclosure.minSpread ? small : joinedHidden) << name;
    }
    if (!small.isEmpty())
        notes << QStringLiteral("Разброс и проверка различий показываются для подгрупп не меньше "
                                "%1 файлов: у %2 %3 они не показаны.")
                     .arg(table.disclosure.minSpread)
                     .arg(small.size() == 1 ? QStringLiteral("подгруппы")
                                            : QStringLiteral("подгрупп"))
                     .arg(small.join(QStringLiteral(", ")));
    if (!joinedHidden.isEmpty())
        notes << QStringLiteral("Чтобы разброс малых подгрупп нельзя было вычислить по всей папке, "
                                "он не показан и у %1 %2.")
                     .arg(joinedHidden.size() == 1 ? QStringLiteral("подгруппы")
                                                   : QStringLiteral("подгрупп"))
                     .arg(joinedHidden.join(QStringLiteral(", ")));
    return notes;
}

QString breakdownRiskNote()
{
    return QStringLiteral("Осторожно: строки двух разбивок одной папки по разным строкам анкеты "
                          "можно вычесть одну из другой и так узнать профиль малой подгруппы, "
                          "которую не показывает ни одна из них. Так же вычитаются два отчёта, "
                          "которые отличаются несколькими файлами (опоздавший участник, волны "
                          "с общими файлами): разница — профиль этих людей. Не передавайте одному "
                          "получателю разбивки одной папки по разным строкам или отчёты по "
                          "почти одинаковым папкам; дополнения собирайте в новую волну.");
}

QString breakdownShareRowName()
{
    return QStringLiteral("доля различий между подгруппами");
}

QString breakdownShareText(const std::optional<double> &icc1)
{
    // As published: two decimals, so a percentage without decimals.
    return icc1 ? formatWhole(100 * publishedShare(*icc1)).trimmed() : QStringLiteral("—");
}

QString breakdownMarksNote(const Disclosure &disclosure)
{
    return QStringLiteral("Цифры в рамке: отличие подгруппы от остальной папки больше, чем даёт "
                          "случай (критерий Уэлча, поправка Бенджамини — Хохберга на все "
                          "проверенные ячейки таблицы, 0,05), и не меньше %1 пунктов. Строка «%2» "
                          "— ICC(1) в процентах: какая часть различий между людьми приходится на "
                          "различия между всеми подгруппами, малые тоже; «—», где она не "
                          "определена.")
        .arg(pointsText(disclosure.minDiff), breakdownShareRowName());
}

QString trendWithheldNote(const Trend &trend)
{
    QStringList notes;
    if (!trend.withheld.empty()) {
        QStringList names;
        for (const TrendWithheld &w : trend.withheld)
            names << QStringLiteral("«%1» (%2)").arg(w.name).arg(w.count);
        notes << QStringLiteral("Минимальный размер волны: %1. Не показаны волны с меньшим числом "
                                "файлов: %2.")
                     .arg(trend.disclosure.minSize)
                     .arg(names.join(QStringLiteral(", ")));
    }
    QStringList untested;
    for (const TrendWave &wave : trend.waves)
        if (!spreadMayShow(wave.count, trend.disclosure))
            untested << QStringLiteral("«%1» (%2)").arg(wave.name).arg(wave.count);
    if (!untested.isEmpty())
        notes << QStringLiteral("Изменения проверяются для волн не меньше %1 файлов; не проверены "
                                "изменения волн %2.")
                     .arg(trend.disclosure.minSpread)
                     .arg(untested.join(QStringLiteral(", ")));
    return notes.join(QLatin1Char(' '));
}
