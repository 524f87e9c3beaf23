#include "ColumnMap.h"

#include "CommandError.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Records = std::vector<std::vector<QString>>;

// A record: the cells before the answers, 32 answers (all of them `answer`), the cells after.
std::vector<QString> record(std::vector<QString> before, const QString &answer,
                            const std::vector<QString> &after = {})
{
    for (int i = 0; i < kTableAnswers; ++i)
        before.push_back(answer.isNull() ? QStringLiteral("Вопрос %1").arg(i + 1) : answer);
    before.insert(before.end(), after.begin(), after.end());
    return before;
}
const QString kQuestions; // a header row's question texts

std::array<int, kTableAnswers> answersFrom(int first)
{
    std::array<int, kTableAnswers> answers{};
    for (int i = 0; i < kTableAnswers; ++i)
        answers[i] = first + i;
    return answers;
}

TEST(ColumnMapAnswerValue, ReadsAFormsCellsAndNothingElse)
{
    // An answer's value is the first digit of its cell.
    const char *const answers[] = {
        "5",    " 7 ",  "1",         "5 - скорее согласен", "7 (полностью согласен)",
        "5.",   "5)",   "3\xC2\xA0", "\xC2\xA0 4",          "2 – скорее нет",
        "6—да", "4\r\n"};
    for (const char *cell : answers)
        EXPECT_EQ(answerValue(QByteArrayView(cell)), *std::strpbrk(cell, "1234567") - '0') << cell;
    const char *const others[] = {"55", "5,5", "5.5",  "5-7", "0",       "8",  "-1",
                                  "",   "  ",  "пять", "5a",  "5скорее", "+5", "«5»"};
    for (const char *cell : others)
        EXPECT_EQ(answerValue(QByteArrayView(cell)), std::nullopt) << cell;
}

TEST(ColumnMapTimeStamp, ReadsTheServicesStampsAndValidatesTheDate)
{
    const std::pair<const char *, const char *> cases[] = {
        {"15.03.2024 10:20:30", "2024-03-15 10:20:30"},
        {"5.3.2024 9:05", "2024-03-05 09:05:00"},
        {" 15.03.2024 ", "2024-03-15 00:00:00"},
        {"2024-03-15 10:20:30", "2024-03-15 10:20:30"},
        {"2024-03-15T10:20:30.123Z", "2024-03-15 10:20:30"},
        {"2024-03-15T10:20:30+03:00", "2024-03-15 10:20:30"},
        {"2024-03-15 10:20:30 -0500", "2024-03-15 10:20:30"},
        {"2024/03/15 10:20:30 AM GMT+3", "2024-03-15 10:20:30"},
        {"2024/03/15 10:20:30 PM", "2024-03-15 22:20:30"},
        {"2024/03/15 12:05:00 PM GMT+3", "2024-03-15 12:05:00"},
        {"2024/03/15 12:05:00 am", "2024-03-15 00:05:00"},
        {"3/15/2024 10:20:30", "2024-03-15 10:20:30"},
        {"3/4/2024, 1:02:03 PM", "2024-03-04 13:02:03"},
        {"15/3/2024 10:20", "2024-03-15 10:20:00"},
        {"29.02.2024", "2024-02-29 00:00:00"},
        {"29.02.2000", "2000-02-29 00:00:00"}};
    for (const auto &[text, sortable] : cases) {
        const std::optional<TimeStamp> stamp = parseTimeStamp(QString::fromUtf8(text));
        ASSERT_TRUE(stamp) << text;
        EXPECT_EQ(stamp->sortable, QLatin1String(sortable)) << text;
        EXPECT_EQ(stamp->date, stamp->sortable.mid(8, 2) + u'.' + stamp->sortable.mid(5, 2) + u'.' +
                                   stamp->sortable.left(4))
            << text;
    }
    const char *const others[] = {"29.02.2023",
                                  "29.02.1900",
                                  "31.04.2024",
                                  "15.13.2024",
                                  "00.03.2024",
                                  "15.03.24",
                                  "15-03-2024",
                                  "15.03.2024 г.",
                                  "15.03.2024 24:00",
                                  "15.03.2024 10:60",
                                  "15.03.2024 10:20:61",
                                  "15.03.2024T10:20",
                                  "2024-03-15T",
                                  "2024/03/15 13:00 PM",
                                  "2024/03/15 0:10 AM",
                                  "15.03.2024 10:2",
                                  "",
                                  "вчера",
                                  "15.03.2024 10:20 мск",
                                  "12345.03.2024"};
    for (const char *text : others)
        EXPECT_FALSE(parseTimeStamp(QString::fromUtf8(text))) << text;
}

struct Layout
{
    const char *name;
    Records records;
    std::array<int, 6> fields; // header rows, the first answer, date, code, name, email
    std::vector<int> details;
    std::vector<std::pair<int, const char *>> headers;
};

TEST(ColumnMapDetect, FindsTheFieldsOfEachServicesLayout)
{
    const QString q;
    const std::vector<Layout> layouts = {
        {"Google Forms, one header row",
         {record({"Отметка времени", "Адрес электронной почты", "ФИО", "Подразделение"}, q),
          record({"15.03.2024 10:20:30", "a@b.ru", "Иванов", "Продажи"}, "5 - скорее согласен"),
          record({"15.03.2024 11:00:00", "c@d.ru", "Петров", "Склад"}, "3")},
         {1, 4, 0, -1, 2, 1},
         {3},
         {{4, "Вопрос 1"}, {3, "Подразделение"}}},
        {"Yandex Forms, two header rows, a group title above the questions",
         {{"ID", "Время создания", "Ваш отдел:", "Комментарий", "Оцените утверждения"},
          record({"", "", "", ""}, q),
          record({"17", "2024-03-15 10:20:30", "Продажи", ""}, "4"),
          record({"18", "2024-03-15 10:25:00", "Склад", ""}, "7")},
         {2, 4, 1, 0, -1, -1},
         {2},
         {{2, "Ваш отдел:"}, {4, "Оцените утверждения"}, {5, "Вопрос 2"}}},
        {"a section above the questions, a blank row and the headers",
         {{"", "", "", "", "Часть 1"},
          {},
          record({"Дата заполнения", "Код", "Ф.И.О.*", "Стаж"}, q),
          record({"15.03.2024", "A-1", "Иванов", "3 года"}, "1"),
          record({"", "", "", ""}, "2")},
         {3, 4, 0, 1, 2, -1},
         {3},
         {{0, "Дата заполнения"}, {4, "Часть 1"}, {5, "Вопрос 2"}}},
        {"Microsoft Forms: times other than completion are no details",
         {record({"ID", "Start time", "Completion time", "Email", "Name", "Last modified time",
                  "Отдел", "Город", "Роль", "Стаж", "Офис"},
                 q),
          record({"1", "3/15/2024 10:00:00", "3/15/2024 10:20:30", "anonymous", "", "", "Продажи",
                  "Москва", "Менеджер", "2", "Центр"},
                 "6")},
         {1, 11, 2, 0, 4, 3},
         {6, 7, 8, 9},
         {{1, "Start time"}}},
        {"addresses under a header no rule knows are the e-mail, never a details line",
         {record({"Контакт", "Отдел"}, q), record({"a@b.ru", "Продажи"}, "4"),
          record({"C.D@mail.example.com ", "Склад"}, "5")},
         {1, 2, -1, -1, -1, 0},
         {1},
         {{0, "Контакт"}}},
        {"no header rows: the cells before the answers are details without headers",
         {record({"Иванов", "17"}, "4"), record({"Петров", "18"}, "5")},
         {0, 2, -1, -1, -1, -1},
         {0, 1},
         {{0, ""}, {5, ""}}},
        {"the window most records answer in wins over the leftmost one",
         {record({"Стаж"}, q), record({"3"}, "4"), record({"10"}, "4"), record({"12"}, "5")},
         {1, 1, -1, -1, -1, -1},
         {0},
         {{0, "Стаж"}}},
        {"of equal windows the leftmost wins; a multi-line header becomes one line",
         {record({"Вопрос\r\n0"}, q), record({"3"}, "4")},
         {1, 0, -1, -1, -1, -1},
         {32},
         {{0, "Вопрос 0"}}},
    };
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.name);
        const ColumnMap map = detectColumns(layout.records, QStringLiteral("t.csv"));
        EXPECT_EQ(
            (std::array{map.headerRows, map.answers[0], map.date, map.code, map.name, map.email}),
            layout.fields);
        EXPECT_EQ(map.answers, answersFrom(map.answers[0]));
        EXPECT_EQ(map.details, layout.details);
        for (const auto &[column, header] : layout.headers)
            EXPECT_EQ(map.headers.value(column), QString::fromUtf8(header)) << column;
    }
}

TEST(ColumnMapDetect, RefusesTablesWithoutAnswersOrWithTooManyHeaderRows)
{
    const std::pair<Records, const char *> cases[] = {
        {{}, "В таблице ответы.csv нет 32 столбцов подряд с ответами от 1 до 7"},
        {{record({"ФИО"}, {}), record({"Иванов"}, "8"), {"1", "2", "3"}},
         "В таблице ответы.csv нет 32 столбцов подряд с ответами от 1 до 7"},
        {{{"Опрос"}, {"Отдел продаж"}, {}, record({"ФИО"}, {}), record({"Иванов"}, "5")},
         "В таблице ответы.csv над первыми ответами больше трёх строк заголовка"}};
    for (const auto &[records, message] : cases) {
        try {
            detectColumns(records, QStringLiteral("ответы.csv"));
            ADD_FAILURE() << message;
        } catch (const CommandError &error) {
            EXPECT_EQ(error.message(), QString::fromUtf8(message));
        }
    }
}

// A Google table of 40 columns: A-D before the answers E-AJ, four more after them.
ColumnMap googleMap()
{
    return detectColumns({record({"Отметка времени", "Почта", "ФИО", "Отдел"}, kQuestions,
                                 {"Стаж", "Город", "Фамилия, имя", "A+B"}),
                          record({"15.03.2024", "a@b.ru", "Иванов", "Склад"}, "5",
                                 {"10", "Москва", "Иванов Иван", "x"})},
                         QStringLiteral("t.csv"));
}

TEST(ColumnMapApply, ChangesOnlyTheFieldsNamed)
{
    const ColumnMap detected = googleMap();
    ASSERT_EQ(detected.details, (std::vector<int>{3, 36, 37, 38}));
    const auto apply = [&](const char *text) {
        return applyColumns(detected, QString::fromUtf8(text), detected.headers);
    };
    EXPECT_EQ(apply("answers=E-AJ"), detected);
    EXPECT_EQ(apply(" answers = e:aj , date = A"), detected);
    EXPECT_EQ(apply("answers=5-36,name=ФИО,email=почта"), detected);
    EXPECT_EQ(apply("date=none").date, -1);
    EXPECT_EQ(apply("дата=нет,код=AK").code, 36);
    EXPECT_EQ(apply("details=AL+D").details, (std::vector<int>{37, 3}));
    EXPECT_EQ(apply("details=none").details, std::vector<int>{});
    EXPECT_EQ(apply("name=Фамилия, имя").name, 38);
    EXPECT_EQ(apply("details=a+b").details, std::vector<int>{39}); // a header before two columns
    EXPECT_EQ(apply("details=A+B, date=none").details, std::vector<int>{39});
    // A column given to a field here is taken from the field the headers gave it to.
    const ColumnMap named = apply("name=D,date=C");
    EXPECT_EQ(named.name, 3);
    EXPECT_EQ(named.date, 2);
    EXPECT_EQ(named.details, (std::vector<int>{36, 37, 38}));
    std::array<int, kTableAnswers> moved = answersFrom(5);
    moved[31] = 3;
    const ColumnMap shifted = apply("answers=F-AJ+D,details=AK");
    EXPECT_EQ(shifted.answers, moved);
    EXPECT_EQ(describeColumns(shifted)[0], QStringLiteral("Ответы 1–32: столбцы F–AJ, D"));
}

TEST(ColumnMapApply, RefusesWithTheReason)
{
    const ColumnMap map = googleMap();
    const std::pair<const char *, const char *> cases[] = {
        {"answers=E-AI", "для answers нужно 32 столбца, а указано 31"},
        {"answers=none", "для answers нужно 32 столбца, а указано 0"},
        {"details=AK+AL+AM+AN+D", "для details можно указать не больше 4 столбцов, а указано 5"},
        {"colour=A", "неизвестное поле «colour»; поля: answers, date, code, name, email, details"},
        {"date", "«date» — нужно ПОЛЕ=СТОЛБЦЫ, например answers=E-AJ"},
        {"date=", "для date не указаны столбцы (none — без них)"},
        {"date=A,date=B", "поле date указано дважды"},
        {"date=AO", "столбца AO нет: в таблице 40 столбцов"},
        {"date=41", "столбца 41 нет: в таблице 40 столбцов"},
        {"date=0", "столбцы нумеруются с 1, столбца «0» нет"},
        {"date=Дата", "в таблице нет столбца «Дата»"},
        {"date=A+C", "для date нужен один столбец, а указано 2"},
        {"details=AN-AK", "диапазон «AN-AK» идёт справа налево"},
        {"date=E", "столбец E указан для date, а в нём ответы; укажите и answers"},
        {"name=A,date=A", "столбец A указан и для date, и для name"},
        {"details=AK+AK", "столбец AK указан для details дважды"}};
    for (const auto &[text, message] : cases) {
        try {
            applyColumns(map, QString::fromUtf8(text), map.headers);
            ADD_FAILURE() << text;
        } catch (const CommandError &error) {
            EXPECT_EQ(error.message(), QStringLiteral("--columns: ") + QString::fromUtf8(message));
        }
    }
}

TEST(ColumnMapDescribe, OneLineAField)
{
    EXPECT_EQ(columnLetters(0), QLatin1String("A"));
    EXPECT_EQ(columnLetters(25), QLatin1String("Z"));
    EXPECT_EQ(columnLetters(26), QLatin1String("AA"));
    EXPECT_EQ(columnLetters(35), QLatin1String("AJ"));
    EXPECT_EQ(columnLetters(701), QLatin1String("ZZ"));
    EXPECT_EQ(columnLetters(702), QLatin1String("AAA"));
    const QStringList expected = {"Ответы 1–32: столбцы E–AJ",
                                  "Дата: A «Отметка времени»",
                                  "Код: номер строки",
                                  "Ф.И.О.: нет",
                                  "Почта: B «Почта» (только для поиска повторов)",
                                  "Строка 4: D «Отдел»",
                                  "Строка 5: AK «Стаж»",
                                  "Строка 6: AL «Город»",
                                  "Строка 7: нет"};
    EXPECT_EQ(describeColumns(
                  applyColumns(googleMap(), "name=none,details=D+AK+AL", googleMap().headers)),
              expected);
}

// A record of byte cells as a reader hands it over; the bytes live in the storage.
TableRecord tableRecord(int row, const std::vector<QByteArray> &storage)
{
    TableRecord record{row, {}};
    for (const QByteArray &cell : storage)
        record.cells.emplace_back(cell);
    return record;
}

std::vector<QByteArray> cells(std::vector<QByteArray> before, const QByteArray &answer)
{
    before.insert(before.end(), kTableAnswers, answer);
    return before;
}

TEST(ColumnMapRespondent, ReadsTheFieldsOfARecord)
{
    ColumnMap map = googleMap();
    map.details = {3, 36, 38};
    map.headers[3] = QStringLiteral("Отдел: *");
    map.headers[38] = QString();
    const auto storage = cells(
        {"2024/03/15 1:20:30 PM GMT+3", " Ivanov@Mail.RU ", "Иванов\r\nИван", "  Отдел\nпродаж "},
        "5 - скорее согласен");
    std::vector<CellProblem> problems;
    const std::optional<RespondentRow> row = respondentRow(tableRecord(7, storage), map, problems);
    ASSERT_TRUE(row);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(row->row, 7);
    EXPECT_EQ(row->date, QLatin1String("15.03.2024"));
    EXPECT_EQ(row->stamp, QLatin1String("2024-03-15 13:20:30"));
    EXPECT_EQ(row->code, QLatin1String("0007"));
    EXPECT_EQ(row->name, QStringLiteral("Иванов Иван"));
    EXPECT_EQ(row->email, QLatin1String("ivanov@mail.ru"));
    // The record ends before AK and AM: their details are empty.
    EXPECT_EQ(row->details, (QStringList{"Отдел: Отдел продаж", "", "", ""}));
    std::array<int, kTableAnswers> fives{};
    fives.fill(5);
    EXPECT_EQ(row->answers, fives);

    auto longer = storage;
    longer.insert(longer.end(), {"12 лет", "", "без заголовка"});
    longer[0] = "вчера";
    const std::optional<RespondentRow> other =
        respondentRow(tableRecord(12345, longer), map, problems);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->date, QStringLiteral("вчера"));
    EXPECT_EQ(other->stamp, QString());
    EXPECT_EQ(other->code, QLatin1String("12345"));
    EXPECT_EQ(other->details,
              (QStringList{"Отдел: Отдел продаж", "Стаж: 12 лет", "без заголовка", ""}));
}

TEST(ColumnMapRespondent, ListsEveryProblemOfARecord)
{
    const ColumnMap map = googleMap();
    std::vector<CellProblem> problems;
    EXPECT_FALSE(respondentRow(tableRecord(3, {"", " ", "\xC2\xA0", "\r\n"}), map, problems));
    EXPECT_FALSE(respondentRow(tableRecord(4, {}), map, problems));
    EXPECT_TRUE(problems.empty());

    auto storage = cells({"15.03.2024", "", "", ""}, "4");
    storage[5] = "8";
    storage[6] = " ";
    storage[7] = QByteArray(60, 'x');
    storage.resize(34); // answers 31 and 32 are missing
    EXPECT_FALSE(respondentRow(tableRecord(9, storage), map, problems));
    const QStringList expected = {"строка 9, столбец F «Вопрос 2»: «8» — не ответ от 1 до 7",
                                  "строка 9, столбец G «Вопрос 3»: пустой ответ",
                                  "строка 9, столбец H «Вопрос 4»: «" + QString(40, u'x') +
                                      "…» — не ответ от 1 до 7",
                                  "строка 9, столбец AI «Вопрос 31»: пустой ответ",
                                  "строка 9, столбец AJ «Вопрос 32»: пустой ответ"};
    QStringList messages;
    for (const CellProblem &problem : problems)
        messages.append(problem.message());
    EXPECT_EQ(messages, expected);
    EXPECT_EQ((CellProblem{5, -1, {}, {}, "нет ответов"}.message()),
              QStringLiteral("строка 5: нет ответов"));
    EXPECT_EQ((CellProblem{5, 2, {}, "0", "не ответ от 1 до 7"}.message()),
              QStringLiteral("строка 5, столбец C: «0» — не ответ от 1 до 7"));
}

} // namespace
