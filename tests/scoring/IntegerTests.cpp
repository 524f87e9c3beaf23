// The integer conversion and the two kinds of numeric lines of an answer file.

#include "AnswerFile.h"
#include "AnswerFiles.h"
#include "CommandError.h"

#include <gtest/gtest.h>

#include <optional>

using testfiles::Questionnaire;

namespace {

struct Accepted
{
    const char *text;
    int value;
};

struct Rejected
{
    const char *text;
};

void PrintTo(const Accepted &a, std::ostream *os)
{
    *os << '"' << a.text << "\" -> " << a.value;
}

void PrintTo(const Rejected &r, std::ostream *os)
{
    *os << '"' << r.text << '"';
}

QString messageFor(QByteArrayView text)
{
    try {
        StrToInt(text);
    } catch (const CommandError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class StrToIntAccepts : public testing::TestWithParam<Accepted>
{
};

TEST_P(StrToIntAccepts, Value)
{
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, StrToIntAccepts,
    testing::Values(Accepted{"5", 5}, Accepted{" 5", 5}, Accepted{"    17", 17}, Accepted{"+5", 5},
                    Accepted{"-5", -5}, Accepted{"007", 7}, Accepted{"0", 0}, Accepted{"-0", 0},
                    Accepted{"2147483647", 2147483647}, Accepted{"-2147483648", -2147483647 - 1},
                    Accepted{"$1F", 31}, Accepted{"$1f", 31}, Accepted{"0x1F", 31},
                    Accepted{"-$10", -16}, Accepted{"  0x10", 16}, Accepted{"$FFFFFFFF", -1},
                    Accepted{"$80000000", -2147483647 - 1}, Accepted{"$000000001", 1}));

class StrToIntRejects : public testing::TestWithParam<Rejected>
{
};

// The message quotes the text exactly as given, blanks included.
TEST_P(StrToIntRejects, MessageQuotesText)
{
    const QString text = QString::fromLatin1(GetParam().text);
    EXPECT_EQ(messageFor(GetParam().text),
              QStringLiteral("'%1' is not a valid integer value").arg(text));
}

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, StrToIntRejects,
    testing::Values(Rejected{""}, Rejected{" "}, Rejected{"5 "}, Rejected{"\t5"}, Rejected{"+"},
                    Rejected{"-"}, Rejected{"$"}, Rejected{"0x"}, Rejected{"- 5"}, Rejected{"5a"},
                    Rejected{"1 000"}, Rejected{"5.0"}, Rejected{"5,0"}, Rejected{"++5"},
                    Rejected{"$G"}, Rejected{"2147483648"}, Rejected{"-2147483649"},
                    Rejected{"99999999999999999999"}, Rejected{"$100000000"}, Rejected{"5\r"}));

TEST(StrToIntMessage, DecodesCodePage1251)
{
    // "пять" in code page 1251
    EXPECT_EQ(messageFor("\xEF\xFF\xF2\xFC"),
              QStringLiteral("'пять' is not a valid integer value"));
}

// Answer lines: the whole line is the number, and only its low 8 bits are kept.
struct AnswerLine
{
    const char *line;
    int stored;
};

void PrintTo(const AnswerLine &a, std::ostream *os)
{
    *os << '"' << a.line << "\" -> " << a.stored;
}

class AnswerLineRule : public testing::TestWithParam<AnswerLine>
{
};

TEST_P(AnswerLineRule, StoresLowByte)
{
    Questionnaire q;
    const int answer = 7; // on line 15
    ProfileStore store;
    ReadAnswers(
        AnswerFileText::fromBytes(testfiles::joinLines(q.withLine(8 + answer, GetParam().line))),
        store);
    EXPECT_EQ(store.Answers[answer], GetParam().stored);
    EXPECT_EQ(store.Answers[answer - 1], 4) << "neighbours untouched";
}

INSTANTIATE_TEST_SUITE_P(Answers, AnswerLineRule,
                         testing::Values(AnswerLine{"5", 5}, AnswerLine{" 5", 5},
                                         AnswerLine{"+5", 5}, AnswerLine{"300", 44},
                                         AnswerLine{"-1", 255}, AnswerLine{"256", 0},
                                         AnswerLine{"$107", 7}, AnswerLine{"0", 0}));

// Total lines: only the first three characters count, with leading control characters and
// blanks removed. error is the text the message quotes, or null when the total reads.
struct TotalLine
{
    const char *line;
    int value;
    const char *error;
};

void PrintTo(const TotalLine &t, std::ostream *os)
{
    *os << '"' << t.line << '"';
}

class TotalLineRule : public testing::TestWithParam<TotalLine>
{
};

TEST_P(TotalLineRule, ReadsFirstThreeCharacters)
{
    const TotalLine &row = GetParam();
    Questionnaire q;
    const int total = 10; // on line 51
    const QStringList lines = q.withLine(41 + total, QString::fromLatin1(row.line));
    ProfileStore store;
    std::optional<QString> message;
    try {
        ReadAnswers(AnswerFileText::fromBytes(testfiles::joinLines(lines)), store);
    } catch (const CommandError &e) {
        message = e.message();
    }
    if (row.error == nullptr) {
        ASSERT_FALSE(message.has_value()) << message->toStdString();
        EXPECT_EQ(store.SummaryScores[total], row.value);
    } else {
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(*message, QStringLiteral("'%1' is not a valid integer value")
                                .arg(QString::fromLatin1(row.error)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Totals, TotalLineRule,
    testing::Values(TotalLine{"105 words follow", 105, nullptr}, TotalLine{" 32", 32, nullptr},
                    TotalLine{"8", 8, nullptr}, TotalLine{"  8", 8, nullptr},
                    TotalLine{"  8 text", 8, nullptr}, TotalLine{"  45", 4, nullptr},
                    TotalLine{"\t 7 x", 7, nullptr},
                    TotalLine{"\x01\x1F"
                              "9",
                              9, nullptr},
                    TotalLine{"-5", -5, nullptr}, TotalLine{"$1F", 31, nullptr},
                    TotalLine{"1234", 123, nullptr}, TotalLine{"8 ", 0, "8 "},
                    TotalLine{"8 text", 0, "8 t"}, TotalLine{"   45", 0, ""}, TotalLine{"", 0, ""},
                    TotalLine{"\t\t\t7", 0, ""}, TotalLine{"x12", 0, "x12"},
                    TotalLine{"+ 8", 0, "+ 8"}, TotalLine{"1.5", 0, "1.5"}));
