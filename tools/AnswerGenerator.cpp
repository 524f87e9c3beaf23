#include "AnswerGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

// splitmix64: tiny and the same on every standard library, unlike <random>'s distributions.
class Rng
{
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    // Uniform in [-1, 1).
    double unit() { return double(next() >> 11) * 0x1.0p-53 * 2.0 - 1.0; }
    template <typename T, std::size_t N> const T &pick(const std::array<T, N> &items)
    {
        return items[std::size_t(below(int(N)))];
    }

private:
    std::uint64_t state_;
};

// A culture profile: the leaning of each block of eight answers and of each base scale.
struct Leaning
{
    std::array<double, 4> blocks;
    std::array<double, 4> scales;
};

constexpr std::array<Leaning, 6> kLeanings{{
    {{6.0, 4.8, 4.0, 2.5}, {0.3, 0.6, -0.4, 0.0}},  // innovative
    {{2.1, 3.2, 3.4, 6.0}, {-0.6, -0.3, 0.5, 0.2}}, // bureaucratic
    {{4.0, 4.0, 4.0, 4.0}, {0.0, 0.0, 0.0, 0.0}},   // balanced
    {{4.5, 4.2, 6.2, 3.0}, {1.0, -0.2, -0.6, 0.1}}, // market
    {{3.8, 5.9, 4.3, 3.7}, {0.0, 0.4, 0.0, 0.5}},   // adaptive
    {{3.9, 4.4, 3.1, 5.3}, {-1.1, 1.0, 0.8, 1.2}},  // team
}};

const std::array<const char *, 4> kTotalNames1to4{"Инновация", "Адаптация", "Конкуренция",
                                                  "Интеграция"};
const std::array<const char *, 4> kTotalNames5to8{"Поощрение", "Вовлечение", "Согласие",
                                                  "Коммуникация"};
const std::array<const char *, 4> kTotalNames9to12{"Мотивация", "Климат", "Развитие",
                                                   "Взаимодействие"};

// Surnames in the masculine form; the feminine adds "а" (all of them end in -ов, -ев or -ин).
const std::array<const char *, 16> kSurnames{
    "Иванов",  "Петров",  "Смирнов", "Кузнецов", "Попов",    "Васильев", "Соколов", "Михайлов",
    "Новиков", "Фёдоров", "Морозов", "Волков",   "Алексеев", "Лебедев",  "Семёнов", "Егоров"};
const std::array<const char *, 10> kMaleNames{"Александр", "Сергей", "Дмитрий", "Андрей",
                                              "Алексей",   "Максим", "Игорь",   "Николай",
                                              "Владимир",  "Евгений"};
const std::array<const char *, 10> kFemaleNames{"Елена", "Ольга",  "Наталья",  "Татьяна",   "Ирина",
                                                "Анна",  "Марина", "Светлана", "Екатерина", "Юлия"};
// Patronymics in pairs: masculine, feminine.
const std::array<std::array<const char *, 2>, 8> kPatronymics{{
    {"Александрович", "Александровна"},
    {"Сергеевич", "Сергеевна"},
    {"Петрович", "Петровна"},
    {"Иванович", "Ивановна"},
    {"Николаевич", "Николаевна"},
    {"Викторович", "Викторовна"},
    {"Владимирович", "Владимировна"},
    {"Михайлович", "Михайловна"},
}};
const std::array<const char *, 8> kDepartments{
    "Отдел продаж",      "Бухгалтерия",
    "Отдел кадров",      "Служба логистики",
    "Отдел маркетинга",  "Производственный цех",
    "Юридический отдел", "Отдел информационных технологий"};
const std::array<const char *, 8> kPositions{"специалист",
                                             "ведущий специалист",
                                             "менеджер",
                                             "старший менеджер",
                                             "инженер",
                                             "начальник отдела",
                                             "заместитель начальника отдела",
                                             "экономист"};
const std::array<const char *, 8> kCities{"Москва", "Екатеринбург", "Новосибирск", "Казань",
                                          "Пермь",  "Челябинск",    "Самара",      "Тюмень"};

std::string yearsText(int n)
{
    const char *word = "лет";
    if (n % 10 == 1 && n % 100 != 11)
        word = "год";
    else if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14))
        word = "года";
    return std::to_string(n) + " " + word;
}

std::string twoDigits(int n)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

} // namespace

std::string toCp1251(const std::string &utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(char(c));
            ++i;
            continue;
        }
        if ((c & 0xE0) != 0xC0 || i + 1 >= utf8.size())
            throw std::runtime_error("toCp1251: only ASCII and Russian letters");
        const unsigned code =
            ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        i += 2;
        if (code >= 0x410 && code <= 0x44F)
            out.push_back(char(0xC0 + (code - 0x410)));
        else if (code == 0x401) // Ё
            out.push_back(char(0xA8));
        else if (code == 0x451) // ё
            out.push_back(char(0xB8));
        else
            throw std::runtime_error("toCp1251: only ASCII and Russian letters");
    }
    return out;
}

namespace {

// The answer file's text in UTF-8 with CR LF line ends.
std::string generatedAnswerText(int index, std::uint64_t seed)
{
    Rng rng(seed * 0x100000001B3ULL + std::uint64_t(index));

    const bool female = rng.below(2) == 1;
    const int patronymic = rng.below(int(kPatronymics.size()));
    std::string name = rng.pick(kSurnames);
    if (female)
        name += "а";
    name += " ";
    name += female ? rng.pick(kFemaleNames) : rng.pick(kMaleNames);
    name += " ";
    name += kPatronymics[std::size_t(patronymic)][female ? 1 : 0];

    const Leaning &leaning = rng.pick(kLeanings);
    // Each person shifts the whole profile a little and answers with their own spread.
    const double personal = rng.unit() * 0.5;
    const double spread = 0.6 + (rng.unit() + 1.0) * 0.5;
    std::array<int, 32> answers{};
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 8; ++i) {
            const double value = leaning.blocks[std::size_t(b)] +
                                 leaning.scales[std::size_t(i % 4)] + personal +
                                 rng.unit() * spread;
            answers[std::size_t(8 * b + i)] = std::clamp(int(std::lround(value)), 1, 7);
        }

    // Totals: blocks, base scales (answers k and k + 4 of every block), then the four pairs.
    std::array<int, 12> totals{};
    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 8; ++i) {
            const int a = answers[std::size_t(8 * b + i)];
            totals[std::size_t(b)] += a;
            totals[std::size_t(4 + i % 4)] += a;
        }
    totals[8] = totals[4] + totals[5];
    totals[9] = totals[6] + totals[7];
    totals[10] = totals[0] + totals[1];
    totals[11] = totals[2] + totals[3];

    std::string text;
    text.reserve(640);
    auto line = [&text](const std::string &s) {
        text += s;
        text += "\r\n";
    };
    line(twoDigits(1 + rng.below(28)) + "." + twoDigits(1 + rng.below(12)) + "." +
         std::to_string(2020 + rng.below(5)));
    char code[16];
    std::snprintf(code, sizeof code, "%05d", 1 + index % 99999);
    line(code);
    line(name);
    line(std::string("Подразделение: ") + rng.pick(kDepartments));
    line(std::string("Должность: ") + rng.pick(kPositions));
    line("Стаж работы в организации: " + yearsText(1 + rng.below(30)));
    line(std::string("Город: ") + rng.pick(kCities));
    line("Ответы на вопросы анкеты:");
    for (int a : answers)
        line(std::to_string(a));
    line("Итоговые показатели:");
    for (int k = 0; k < 12; ++k) {
        const char *totalName = k < 4   ? kTotalNames1to4[std::size_t(k)]
                                : k < 8 ? kTotalNames5to8[std::size_t(k - 4)]
                                        : kTotalNames9to12[std::size_t(k - 8)];
        char field[8];
        std::snprintf(field, sizeof field, "%3d", totals[std::size_t(k)]);
        line(std::string(field) + " " + totalName);
    }
    return text;
}

} // namespace

std::string generatedAnswerFile(int index, std::uint64_t seed)
{
    return toCp1251(generatedAnswerText(index, seed));
}

std::string generatedFormTable(int count, std::uint64_t seed)
{
    std::string table = "Отметка времени,ФИО,Подразделение,Должность";
    for (int j = 1; j <= 32; ++j)
        table += ",\"" + std::to_string(j) + ". Вопрос анкеты номер " + std::to_string(j) + "\"";
    table += "\r\n";
    table.reserve(std::size_t(count) * 180);
    for (int i = 0; i < count; ++i) {
        const std::string text = generatedAnswerText(i, seed);
        std::vector<std::string> lines;
        for (std::size_t at = 0; lines.size() < 40;) {
            const std::size_t end = text.find("\r\n", at);
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        const auto value = [](const std::string &line) { return line.substr(line.find(": ") + 2); };
        table += lines[0] + " 10:15:00," + lines[2] + "," + value(lines[3]) + "," + value(lines[4]);
        for (int j = 9; j <= 40; ++j)
            table += "," + lines[std::size_t(j - 1)];
        table += "\r\n";
    }
    return table;
}

std::string hugeHeaderAnswerFile(int index, std::uint64_t seed, const std::vector<int> &hugeLines)
{
    const std::string normal = generatedAnswerFile(index, seed);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < normal.size();) {
        const std::size_t end = normal.find("\r\n", at);
        lines.push_back(normal.substr(at, end - at));
        at = end + 2;
    }
    Rng rng(seed ^ 0x5DEECE66DULL);
    for (const int n : hugeLines) {
        if (n < 1 || n > 7)
            throw std::runtime_error("hugeHeaderAnswerFile: header lines are 1 to 7");
        // Russian letters of both cases and Latin capitals, as code page 1251 bytes.
        std::string &line = lines[std::size_t(n - 1)];
        line.resize(kHugeHeaderLineBytes);
        for (char &c : line) {
            const int k = rng.below(64 + 26);
            c = char(k < 64 ? 0xC0 + k : 'A' + (k - 64));
        }
    }
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

void writeHugeHeaderAnswerFile(const std::filesystem::path &path, std::uint64_t seed,
                               const std::vector<int> &hugeLines)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = hugeHeaderAnswerFile(0, seed, hugeLines);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string generatedFileName(int index, int count)
{
    const int width = std::max(5, int(std::to_string(count).size()));
    std::string digits = std::to_string(index + 1);
    return "r" + std::string(std::size_t(std::max(0, width - int(digits.size()))), '0') + digits +
           ".txt";
}

void writeAnswerFiles(const std::filesystem::path &folder, int count, std::uint64_t seed)
{
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const std::filesystem::path path = folder / generatedFileName(i, count);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = generatedAnswerFile(i, seed);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path.string());
    }
}
