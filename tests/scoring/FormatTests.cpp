// "%3.1f" and "%3.0f": rounding on the decimal expansion with halves away from zero, the minus
// sign of a negative value that rounds to zero, padding to three characters and the locale's
// decimal separator.

#include "AnswerFiles.h"
#include "CommandError.h"
#include "GroupLoader.h"
#include "JsonWriter.h"
#include "NumberFormat.h"
#include "ProfileJson.h"
#include "Scoring.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <clocale>
#include <iomanip>
#include <string>

namespace {

struct Formatted
{
    double value;
    const char *text;
};

void PrintTo(const Formatted &f, std::ostream *os)
{
    *os << std::setprecision(17) << f.value << " -> \"" << f.text << '"';
}

} // namespace

class OneDecimal : public testing::TestWithParam<Formatted>
{
};

TEST_P(OneDecimal, Text)
{
    EXPECT_EQ(formatFixed(GetParam().value, 1, 3, "."), QLatin1String(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Ties, OneDecimal,
                         testing::Values(Formatted{6.25, "6.3"}, Formatted{-6.25, "-6.3"},
                                         Formatted{56.25, "56.3"}, Formatted{-56.25, "-56.3"},
                                         Formatted{0.25, "0.3"}, Formatted{-0.25, "-0.3"},
                                         Formatted{1234567.25, "1234567.3"}, Formatted{0.05, "0.1"},
                                         Formatted{-0.05, "-0.1"}, Formatted{0.45, "0.5"}));

// Binary values just under a written half stay under it.
INSTANTIATE_TEST_SUITE_P(BelowHalf, OneDecimal,
                         testing::Values(Formatted{0.15, "0.1"}, Formatted{0.35, "0.3"},
                                         Formatted{9.95, "9.9"}, Formatted{2.675, "2.7"},
                                         Formatted{0.49999999999999994, "0.5"}));

INSTANTIATE_TEST_SUITE_P(
    Plain, OneDecimal,
    testing::Values(Formatted{0, "0.0"}, Formatted{100, "100.0"}, Formatted{50, "50.0"},
                    Formatted{700.0 / 12, "58.3"}, Formatted{-100.0 / 12, "-8.3"},
                    Formatted{100.0 / 6, "16.7"}, Formatted{1300.0 / 12, "108.3"},
                    Formatted{-100, "-100.0"}, Formatted{99.95, "100.0"}, Formatted{9.96, "10.0"},
                    Formatted{-9.96, "-10.0"}, Formatted{4473924070.833333, "4473924070.8"}));

// A negative value that rounds to zero keeps its minus sign; zero itself, even the negative
// zero of floating point, has none.
INSTANTIATE_TEST_SUITE_P(Zero, OneDecimal,
                         testing::Values(Formatted{-0.0, "0.0"}, Formatted{-0.04, "-0.0"},
                                         Formatted{0.04, "0.0"}, Formatted{1e-300, "0.0"},
                                         Formatted{-1e-300, "-0.0"},
                                         Formatted{-0.049999999999999996, "-0.0"}));

// Only 18 significant digits are taken; the digits after them are written as zeros.
INSTANTIATE_TEST_SUITE_P(Large, OneDecimal,
                         testing::Values(Formatted{1e20, "100000000000000000000.0"},
                                         Formatted{123456789012345678901.0,
                                                   "123456789012345684000.0"},
                                         Formatted{1e23, "99999999999999991600000.0"}));

class Whole : public testing::TestWithParam<Formatted>
{
};

TEST_P(Whole, Text)
{
    EXPECT_EQ(formatFixed(GetParam().value, 0, 3, "."), QLatin1String(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Values, Whole,
                         testing::Values(Formatted{12.5, " 13"}, Formatted{2.5, "  3"},
                                         Formatted{0.5, "  1"}, Formatted{1.5, "  2"},
                                         Formatted{-0.5, " -1"}, Formatted{-2.5, " -3"},
                                         Formatted{-0.4, " -0"}, Formatted{-0.0, "  0"},
                                         Formatted{0.49999999999999994, "  0"}, Formatted{0, "  0"},
                                         Formatted{700.0 / 12, " 58"}, Formatted{99.5, "100"},
                                         Formatted{-100.0 / 12, " -8"}, Formatted{-99.5, "-100"},
                                         Formatted{1000, "1000"}, Formatted{59.5, " 60"},
                                         Formatted{39.5, " 40"}));

TEST(FormatFixed, WidthPadsButNeverCuts)
{
    EXPECT_EQ(formatFixed(5, 1, 6, "."), "   5.0");
    EXPECT_EQ(formatFixed(-5, 1, 6, "."), "  -5.0");
    EXPECT_EQ(formatFixed(12345.5, 1, 3, "."), "12345.5");
    EXPECT_EQ(formatFixed(7, 2, 0, "."), "7.00");
}

TEST(FormatFixed, LocaleSeparatorWithoutGrouping)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatOneDecimal(56.25, russian), "56,3");
    EXPECT_EQ(formatOneDecimal(-6.25, german), "-6,3");
    EXPECT_EQ(formatOneDecimal(1234567.25, russian), "1234567,3");
    EXPECT_EQ(formatOneDecimal(56.25, QLocale::c()), "56.3");
    EXPECT_EQ(formatWhole(12.5, russian), " 13");
    EXPECT_EQ(formatWhole(-1234.5, german), "-1235");
}

// The digits do not follow the C library's numeric locale, which a Qt program takes from the
// environment at start: under ru_RU and de_DE printf writes "," and would mangle them.
TEST(FormatFixed, SameDigitsUnderEveryCLibraryLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (const char *name : {"ru_RU.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(std::setlocale(LC_NUMERIC, name), nullptr)
            << name << " is not generated here; make test generates it";
        EXPECT_EQ(formatFixed(25, 1, 3, "."), "25.0");
        EXPECT_EQ(formatFixed(56.25, 1, 3, ","), "56,3");
        EXPECT_EQ(formatFixed(-100.0 / 12, 1, 3, ","), "-8,3");
        EXPECT_EQ(formatFixed(9.96, 1, 3, "."), "10.0");
        EXPECT_EQ(formatFixed(1e-7, 1, 3, "."), "0.0");
        EXPECT_EQ(formatFixed(4473924070.833333, 0, 3, "."), "4473924071");
    }
    std::setlocale(LC_NUMERIC, before.c_str());
}

// The error box adds a full stop only after a character that sorts after "."; a message that
// already ends in a stop, "!" or ")" keeps its end.
TEST(ErrorBoxText, FullStopOnlyWhenNeeded)
{
    const std::vector<std::pair<QString, QString>> cases{
        {"Cannot open file a.txt", "Cannot open file a.txt."},
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"(x)", "(x)"},
        {"'' is not a valid integer value", "'' is not a valid integer value."},
        {QString(), QString()},
    };
    for (const auto &[message, shown] : cases)
        EXPECT_EQ(errorBoxText(message), shown) << message.toStdString();
}

// The streamed JSON is byte for byte what Qt writes of the same values: strings, numbers, and a
// whole profile read back and written by Qt again.
TEST(JsonWriter, WritesWhatQtWritesOfTheSameValues)
{
    const auto qt = [](const QJsonValue &value) {
        const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    const QString texts[] = {"", "кириллица «ёлка» №5", "quote\" back\\ slash /",
                             QString::fromUtf8("\x01\x1f\t\n\r\b\f\x7f"), "😀 вне BMP",
                             QString(QChar(0xD800)) + "одна половина" + QChar(0xDC00)};
    for (const QString &text : texts) {
        JsonWriter json;
        json.value(text);
        EXPECT_EQ(json.finish(), qt(text)) << text.toStdString();
    }
    for (const double number : {0.1, 1e-7, 123456789.125, 1e21, 50.0, -3.25, 3.4e-300, 1.0 / 3}) {
        JsonWriter json;
        json.value(number);
        EXPECT_EQ(json.finish(), qt(number)) << number;
    }

    LoadedProfile group = startGroup(QStringLiteral("01.06.2031"));
    for (int m = 0; m < 3; ++m) {
        ProfileStore member;
        std::array<int, kAnswerCount> answers{};
        answers.fill(2 + m);
        addAnswers(answers, member);
        addMemberScores(group, member);
        group.header.details << QStringLiteral("Член \"%1\"\t\\ 😀").arg(m);
    }
    finishGroupMeans(group);
    convertToPercent(group.store);
    const QByteArray ours = profileJson(group, {"Анализ", "", "строка\r"});
    EXPECT_EQ(ours, QJsonDocument::fromJson(ours).toJson(QJsonDocument::Compact) + '\n');
}
