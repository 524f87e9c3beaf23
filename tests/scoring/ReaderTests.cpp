// Reading answer files from disk: line breaks, short and long files, huge lines, the header
// texts in code page 1251 and the messages of a file that does not read.

#include "AnswerFile.h"
#include "AnswerFiles.h"
#include "CommandError.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NativePath.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>
#include <random>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testfiles::Questionnaire;

namespace {

QString loadError(const QString &path)
{
    try {
        loadRespondent(path);
    } catch (const CommandError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

QString readError(const QStringList &lines)
{
    ProfileStore store;
    try {
        ReadAnswers(AnswerFileText::fromBytes(testfiles::joinLines(lines)), store);
    } catch (const CommandError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

QStringList allLines(const AnswerFileText &text)
{
    QStringList lines;
    for (int n = 1; n <= text.lineCount(); ++n)
        lines << text.line(n);
    return lines;
}

} // namespace

class ReaderTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        testfiles::writeBytes(path(name), bytes);
        return path(name);
    }

    QTemporaryDir dir;
};

// Every kind of line break gives the same respondent.
class LineBreaks : public ReaderTest, public testing::WithParamInterface<const char *>
{
};

TEST_P(LineBreaks, GiveTheSameProfile)
{
    Questionnaire q;
    q.answers[0] = 7;
    q.totals[11] = 100;
    const LoadedProfile crlf = loadRespondent(write("crlf.txt", q.bytes("\r\n")));
    const LoadedProfile other = loadRespondent(write("other.txt", q.bytes(GetParam())));
    EXPECT_EQ(other.header, crlf.header);
    EXPECT_EQ(other.store, crlf.store);
    EXPECT_EQ(other.header.name, q.name);
    EXPECT_EQ(other.store.Answers[1], 7);
    EXPECT_EQ(other.store.SummaryScores[12], 100);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LineBreaks, testing::Values("\n", "\r"));

struct Splitting
{
    const char *bytes;
    std::vector<const char *> lines;
};

void PrintTo(const Splitting &s, std::ostream *os)
{
    *os << testing::PrintToString(std::string(s.bytes));
}

class LineSplitting : public testing::TestWithParam<Splitting>
{
};

TEST_P(LineSplitting, Lines)
{
    const AnswerFileText text = AnswerFileText::fromBytes(GetParam().bytes);
    QStringList expected;
    for (const char *line : GetParam().lines)
        expected << QString::fromLatin1(line);
    EXPECT_EQ(allLines(text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, LineSplitting,
    testing::Values(Splitting{"", {}}, Splitting{"a", {"a"}}, Splitting{"a\r\n", {"a"}},
                    Splitting{"a\r\nb", {"a", "b"}}, Splitting{"a\r\n\r\nb", {"a", "", "b"}},
                    Splitting{"a\n\rb", {"a", "", "b"}}, Splitting{"a\r\rb", {"a", "", "b"}},
                    Splitting{"a\r\r\nb\n", {"a", "", "b"}}, Splitting{"\n\n", {"", ""}},
                    Splitting{"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
                    Splitting{" a \t\r\n", {" a \t"}}));

TEST_F(ReaderTest, LineBreakAcrossReadBoundaries)
{
    // A CR LF pair split between two reads is still one break, wherever the split falls.
    Questionnaire q;
    for (const int width : {4095, 8191, 16383, 32767, 65535}) {
        q.date = QString(width, QLatin1Char('d'));
        const LoadedProfile loaded = loadRespondent(write("wide.txt", q.bytes()));
        EXPECT_EQ(loaded.header.date.size(), width);
        EXPECT_EQ(loaded.header.code, q.code) << "date line " << width;
    }
}

TEST_F(ReaderTest, HeaderAndDetailsDecodedFromCodePage1251)
{
    // Bytes on disk are code page 1251, not UTF-8: "Иванов" and "№5 «А»".
    QByteArray bytes = "01.02.03\r\nK1\r\n\xC8\xE2\xE0\xED\xEE\xE2\r\n\xB9"
                       "5 \xAB\xC0\xBB\r\n";
    const QStringList rest = Questionnaire().lines().mid(4);
    bytes += testfiles::joinLines(rest);
    const LoadedProfile loaded = loadRespondent(write("a.txt", bytes));
    EXPECT_EQ(loaded.header.date, "01.02.03");
    EXPECT_EQ(loaded.header.code, "K1");
    EXPECT_EQ(loaded.header.name, QStringLiteral("Иванов"));
    EXPECT_EQ(loaded.header.details,
              (QStringList{QStringLiteral("№5 «А»"), rest[0], rest[1], rest[2]}));
    EXPECT_EQ(loaded.count, 1);
    EXPECT_FALSE(loaded.group);
}

// Every byte decodes as the system's converter decodes it, alone and among others, including
// the letters outside the А-я run and the bytes with the high bit set that a signed char
// would turn into negative indexes.
TEST(Decode1251, EveryByteAsTheSystemConverterReadsIt)
{
    QStringDecoder system("windows-1251", QStringConverter::Flag::Stateless);
    ASSERT_TRUE(system.isValid());
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        all += byte;
        EXPECT_EQ(decode1251(QByteArrayView(&byte, 1)), system.decode(QByteArrayView(&byte, 1)))
            << "byte " << b;
    }
    EXPECT_EQ(decode1251(all), system.decode(all));
    const struct
    {
        char byte;
        char16_t expected;
    } known[] = {{'\x00', u'\0'},    {'A', u'A'},          {'\xC0', u'\u0410'}, {'\xFF', u'\u044F'},
                 {'\xA8', u'\u0401'}, {'\xB8', u'\u0451'}, {'\x88', u'\u20AC'}, {'\xB9', u'\u2116'}};
    for (const auto &k : known)
        EXPECT_EQ(decode1251(QByteArrayView(&k.byte, 1)), QString(QChar(k.expected)))
            << int(static_cast<unsigned char>(k.byte));
}

TEST_F(ReaderTest, HeaderTextsKeptAsWritten)
{
    // The date is not checked or reformatted, and blanks around texts stay.
    Questionnaire q;
    q.date = QStringLiteral("  весна 2004 ");
    q.code = QString();
    q.name = QStringLiteral(" Ли ");
    const LoadedProfile loaded = loadRespondent(write("a.txt", q.bytes()));
    EXPECT_EQ(loaded.header.date, q.date);
    EXPECT_EQ(loaded.header.code, QString());
    EXPECT_EQ(loaded.header.name, q.name);
    EXPECT_EQ(loaded.header.details, q.details);
}

TEST_F(ReaderTest, FreeLinesMayHoldAnything)
{
    Questionnaire q;
    QStringList lines = q.withLine(8, QString());
    lines[40] = QString();
    for (int n = 54; n <= 200; ++n)
        lines << QStringLiteral("мусор %1 не число").arg(n);
    const LoadedProfile loaded = loadRespondent(write("a.txt", testfiles::joinLines(lines)));
    EXPECT_EQ(loaded.store.SummaryScores[12], 64);
    EXPECT_EQ(AnswerFileText::load(path("a.txt")).lineCount(), AnswerFileText::kLinesRead);
}

TEST_F(ReaderTest, LastLineNeedsNoBreak)
{
    QByteArray bytes = Questionnaire().bytes();
    bytes.chop(2);
    const LoadedProfile loaded = loadRespondent(write("a.txt", bytes));
    EXPECT_EQ(loaded.store.SummaryScores[12], 64);
}

TEST_F(ReaderTest, ShortFileFailsAtFirstMissingNumber)
{
    const QStringList lines = Questionnaire().lines();
    // Header only, header cut short, and the last total missing.
    EXPECT_EQ(loadError(write("a.txt", testfiles::joinLines(lines.mid(0, 5)))),
              "'' is not a valid integer value");
    EXPECT_EQ(loadError(write("b.txt", testfiles::joinLines(lines.mid(0, 20)))),
              "'' is not a valid integer value");
    EXPECT_EQ(loadError(write("c.txt", testfiles::joinLines(lines.mid(0, 52)))),
              "'' is not a valid integer value");
    EXPECT_EQ(loadError(write("d.txt", QByteArray())), "'' is not a valid integer value");

    const AnswerFileText text = AnswerFileText::fromBytes(testfiles::joinLines(lines.mid(0, 5)));
    EXPECT_EQ(text.line(5), lines[4]);
    EXPECT_EQ(text.line(6), QString());
    EXPECT_EQ(text.line(7), QString());
}

// A line is a line however wide: the result never depends on where a reader would cut it.
struct WideLine
{
    const char *what;
    QByteArray answerLine; // line 9
    QString result;        // the answer, or the error message
};

void PrintTo(const WideLine &w, std::ostream *os)
{
    *os << w.what;
}

class WideAnswerLines : public ReaderTest, public testing::WithParamInterface<WideLine>
{
};

TEST_P(WideAnswerLines, ReadWhole)
{
    QStringList lines = Questionnaire().lines();
    QByteArray bytes = testfiles::joinLines(lines.mid(0, 8)) + GetParam().answerLine + "\r\n" +
                       testfiles::joinLines(lines.mid(9));
    QString result;
    try {
        result = QString::number(loadRespondent(write("w.txt", bytes)).store.Answers[1]);
    } catch (const CommandError &e) {
        result = e.message();
    }
    EXPECT_EQ(result, GetParam().result);
}

const QString kLongQuote = QStringLiteral("'") +
                           QString(AnswerFileText::kQuotedBytes, QLatin1Char('0')) + QChar(0x2026) +
                           QStringLiteral("' is not a valid integer value");

INSTANTIATE_TEST_SUITE_P(
    Lines, WideAnswerLines,
    testing::Values(WideLine{"zeros then 7xyz", QByteArray(65535, '0') + "7xyz", kLongQuote},
                    WideLine{"100000 zeros then 5", QByteArray(100000, '0') + "5", "5"},
                    WideLine{"70000 blanks then 5", QByteArray(70000, ' ') + "5", "5"},
                    WideLine{"zeros past the int range", QByteArray(70000, '0') + "2147483648",
                             kLongQuote},
                    WideLine{"hex after many zeros", "0x" + QByteArray(70000, '0') + "ff", "255"}));

TEST_F(ReaderTest, LongHeaderTextsKeptWhole)
{
    Questionnaire q;
    q.name = QString(70000, QLatin1Char('n'));
    q.details[3] = QString(AnswerFileText::kMaxHeaderLineBytes, QLatin1Char('d'));
    const LoadedProfile loaded = loadRespondent(write("a.txt", q.bytes()));
    EXPECT_EQ(loaded.header.name, q.name);
    EXPECT_EQ(loaded.header.details, q.details);
    EXPECT_EQ(loaded.store.SummaryScores[1], 32);
}

// Sparse files: a line of many MiB of NUL bytes that costs no disk.
QString writeWithHole(const QString &path, const QStringList &before, qint64 holeBytes,
                      const QStringList &after)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(testfiles::joinLines(before));
    file.resize(file.size() + holeBytes);
    file.seek(file.size());
    file.write("\r\n" + testfiles::joinLines(after));
    return path;
}

TEST_F(ReaderTest, HugeFreeLineIsPassedOver)
{
    const QStringList lines = Questionnaire().lines();
    const QString big =
        writeWithHole(path("big.txt"), lines.mid(0, 7), 65LL * 1024 * 1024, lines.mid(8));
    const LoadedProfile loaded = loadRespondent(big);
    EXPECT_EQ(loaded.store.SummaryScores[12], 64);
    EXPECT_EQ(loaded.header.details, Questionnaire().details);
}

TEST_F(ReaderTest, HeaderTextOverTheLimitIsRefusedByName)
{
    const QStringList lines = Questionnaire().lines();
    const QString big = writeWithHole(path("big.txt"), lines.mid(0, 2),
                                      AnswerFileText::kMaxHeaderLineBytes + 1, lines.mid(3));
    EXPECT_EQ(loadError(big), QStringLiteral("Cannot read file %1: line 3 is longer than 256 KiB, "
                                             "the limit for a header text")
                                  .arg(big));
}

// Names copied from Windows carry code page 1251 bytes; they are listed, opened and shown.
TEST_F(ReaderTest, FileNamesThatAreNotUtf8)
{
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray name = "\xcf\xe5\xf2\xf0\xee\xe2\xe0.txt"; // "Петрова.txt"
    testfiles::writeBytes(QFile::decodeName(folder + "/ok.txt"), Questionnaire().bytes());
    {
        const int fd = ::open((folder + '/' + name).constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray bytes = Questionnaire().bytes();
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    EXPECT_EQ(groupMemberNames(dir.path()), (QStringList{"ok.txt", QStringLiteral("Петрова.txt")}));
    EXPECT_EQ(loadGroup(dir.path(), "d").count, 2);
    EXPECT_EQ(loadRespondent(folder + '/' + name).count, 1);
    // A path that went through a QString holds U+FFFD for the bytes; it still finds the file.
    EXPECT_EQ(loadRespondent(QFile::decodeName(folder + '/' + name)).count, 1);

    // A member that cannot be read fails the group, named as the user knows it.
    ASSERT_EQ(::mkfifo((folder + "/\xc1.txt").constData(), 0600), 0); // "Б.txt"
    try {
        loadGroup(dir.path(), "d");
        ADD_FAILURE() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file %1/Б.txt").arg(dir.path()));
    }
}

// A code page 1251 folder right under the root: its name is looked up in "/", not in the
// working folder.
TEST(NativePathLookup, FirstComponentOfAnAbsolutePathIsFoundInTheRoot)
{
    QByteArray folder = "/\xce\xf2\xe4\xe5\xeb-XXXXXX"; // "/Отдел-..."
    if (::mkdtemp(folder.data()) == nullptr)
        GTEST_SKIP() << "the root folder is not writable here";
    const std::unique_ptr<const char, void (*)(const char *)> removed(
        folder.constData(), [](const char *p) { std::filesystem::remove_all(p); });
    const QByteArray file = folder + "/\xc0.txt"; // "А.txt"
    for (const QByteArray &name : {file, folder + "/plain.txt"}) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0600);
        const QByteArray bytes = Questionnaire().bytes();
        EXPECT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    const QString shownFolder = QFile::decodeName(folder);
    ASSERT_TRUE(shownFolder.contains(QChar(0xFFFD)));
    EXPECT_EQ(toNativePath(shownFolder), folder);
    EXPECT_EQ(toNativePath(QFile::decodeName(file)), file);
    EXPECT_EQ(loadRespondent(QFile::decodeName(file)).count, 1);
    EXPECT_EQ(loadGroup(shownFolder, "d").count, 2);
}

TEST_F(ReaderTest, CannotOpen)
{
    const QString missing = path("missing.txt");
    EXPECT_EQ(loadError(missing), QStringLiteral("Cannot open file ") + missing);

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    EXPECT_EQ(loadError(path("folder.txt")),
              QStringLiteral("Cannot open file ") + path("folder.txt"));

    // A pipe would block the reader forever; it is refused without being opened.
    const QString fifo = path("pipe.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(loadError(fifo), QStringLiteral("Cannot open file ") + fifo);
}

// The first bad line in file order is reported, whichever kind it is.
struct BadLines
{
    std::vector<std::pair<int, const char *>> lines;
    const char *quoted;
};

void PrintTo(const BadLines &b, std::ostream *os)
{
    *os << "first bad text \"" << b.quoted << '"';
}

class FirstBadLine : public testing::TestWithParam<BadLines>
{
};

TEST_P(FirstBadLine, IsReported)
{
    QStringList lines = Questionnaire().lines();
    for (const auto &[n, text] : GetParam().lines)
        lines[n - 1] = QString::fromLatin1(text);
    EXPECT_EQ(readError(lines), QStringLiteral("'%1' is not a valid integer value")
                                    .arg(QString::fromLatin1(GetParam().quoted)));
}

INSTANTIATE_TEST_SUITE_P(Files, FirstBadLine,
                         testing::Values(BadLines{{{9, "x"}}, "x"}, BadLines{{{40, "4 "}}, "4 "},
                                         BadLines{{{45, "q"}, {12, "x"}}, "x"},
                                         BadLines{{{40, "7.0"}, {42, "zz"}}, "7.0"},
                                         BadLines{{{53, "last"}, {50, "  "}}, ""},
                                         BadLines{{{53, "9 x"}}, "9 x"},
                                         BadLines{{{30, ""}, {20, " 5 "}}, " 5 "}));

TEST(ReadAnswers, ErrorQuotesCodePage1251Text)
{
    QByteArray bytes = testfiles::joinLines(Questionnaire().lines().mid(0, 10));
    bytes += "\xEF\xFF\xF2\xFC\r\n"; // line 11: "пять"
    ProfileStore store;
    try {
        ReadAnswers(AnswerFileText::fromBytes(bytes), store);
        FAIL() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'пять' is not a valid integer value"));
    }
}

// Damaged files of every shape: a valid file with bytes flipped, cut short or spliced, and
// plain noise. Each either reads or fails with one of the two messages; nothing else happens
// (the sanitizers of the test build catch any stray read or write).
TEST(DamagedFiles, EitherReadOrFailWithAMessage)
{
    const QByteArray valid = testfiles::joinLines(Questionnaire{}.lines());
    std::mt19937 random(20261207);
    auto byte = [&] { return char(std::uniform_int_distribution<int>(0, 255)(random)); };
    auto below = [&](qsizetype n) {
        return qsizetype(std::uniform_int_distribution<long long>(0, n - 1)(random));
    };
    int read = 0;
    int failed = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = valid;
        switch (round % 4) {
        case 0:
            for (int i = 0; i < 1 + round % 7; ++i)
                bytes[below(bytes.size())] = byte();
            break;
        case 1:
            bytes.truncate(below(bytes.size()));
            break;
        case 2:
            bytes.insert(below(bytes.size()), QByteArray(1 + below(40), byte()));
            break;
        default:
            bytes = QByteArray(below(2000), '\0');
            for (char &c : bytes)
                c = byte();
        }
        ProfileStore store;
        try {
            ReadAnswers(AnswerFileText::fromBytes(bytes), store);
            ++read;
        } catch (const CommandError &e) {
            EXPECT_TRUE(e.message().endsWith(QStringLiteral("is not a valid integer value")))
                << e.message().toStdString();
            ++failed;
        }
    }
    // Both outcomes must occur, or the damage was not varied enough to mean anything.
    EXPECT_GT(read, 0);
    EXPECT_GT(failed, 0);
}

// Answer files saved by newer editors come as UTF-8; the same respondent reads the same.
class Encodings : public ReaderTest
{
protected:
    QByteArray utf8Bytes(const QStringList &lines) const
    {
        return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    }
};

TEST_F(Encodings, Utf8AndCodePage1251GiveTheSameProfile)
{
    Questionnaire q;
    q.answers[3] = 6;
    const LoadedProfile cp1251 = loadRespondent(write("a.txt", q.bytes()));
    const LoadedProfile utf8 = loadRespondent(write("b.txt", utf8Bytes(q.lines())));
    const LoadedProfile bom = loadRespondent(write("c.txt", "\xEF\xBB\xBF" + utf8Bytes(q.lines())));
    EXPECT_EQ(utf8.header, cp1251.header);
    EXPECT_EQ(utf8.store, cp1251.store);
    EXPECT_EQ(bom.header, cp1251.header);
    EXPECT_EQ(bom.store, cp1251.store);
}

TEST_F(Encodings, WhichDecodingEachFileGets)
{
    const struct
    {
        const char *what;
        QByteArray name; // line 3
        bool utf8;
        QString shown;
    } cases[] = {
        {"UTF-8 Cyrillic", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", true, QStringLiteral("Иван")},
        {"code page 1251", "\xC8\xE2\xE0\xED", false, QStringLiteral("Иван")},
        {"plain ASCII", "Ivan", false, QStringLiteral("Ivan")},
        {"invalid UTF-8 reads as 1251", "\xD0\xC8", false, QStringLiteral("РИ")},
        {"overlong form is not UTF-8", "\xC0\xAF", false, QStringLiteral("АЇ")},
        {"sequence cut by the line end", "\xD0", false, QStringLiteral("Р")},
    };
    for (const auto &c : cases) {
        const QByteArray bytes = "01.02.03\r\nK1\r\n" + c.name + "\r\n";
        const AnswerFileText text = AnswerFileText::fromBytes(bytes);
        EXPECT_EQ(text.isUtf8(), c.utf8) << c.what;
        EXPECT_EQ(text.line(3), c.shown) << c.what;
    }
}

TEST_F(Encodings, TotalFieldIsThreeCharactersInUtf8Too)
{
    QStringList lines = Questionnaire().withLine(42, QStringLiteral("8 слов"));
    EXPECT_EQ(readError(lines), QStringLiteral("'8 с' is not a valid integer value"));
    ProfileStore store;
    try {
        ReadAnswers(AnswerFileText::fromBytes(utf8Bytes(lines)), store);
        ADD_FAILURE() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'8 с' is not a valid integer value"));
    }
}

// A file with a byte order mark is UTF-8 whatever its bytes (a code page 1251 byte does not make
// it code page 1251): bytes that are no UTF-8 become one U+FFFD per maximal subpart, a U+FEFF
// inside the file is text, and a total's three characters are characters, not bytes.
TEST(Utf8Decoding, LinesShownAndTotalsRead)
{
    const struct
    {
        const char *what;
        int line;
        QByteArray bytes;
        QString shown;
    } cases[] = {
        {"three-byte sequence cut short", 3, "x\xE0\xA1", u"x\uFFFD"_qs},
        {"four-byte sequence cut short", 3, "x\xF0\x90\x80", u"x\uFFFD"_qs},
        {"overlong form", 3, "\xC0\xAF", u"\uFFFD\uFFFD"_qs},
        {"surrogate", 3, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"_qs},
        {"character beyond 16 bits", 3, "\xF0\x9F\x98\x80", u"\U0001F600"_qs},
        {"code page 1251 name", 3, "\xC8\xE2\xE0\xED", u"\uFFFD\uFFFD\uFFFD\uFFFD"_qs},
        {"U+FEFF starting a line", 4, "\xEF\xBB\xBF\xD0\x9E", u"\uFEFF\u041E"_qs},
        {"total followed by a stray byte", 42, " 32\x96", u" 32\uFFFD"_qs},
    };
    const QStringList lines = Questionnaire().lines();
    for (const auto &c : cases) {
        QByteArray bytes = "\xEF\xBB\xBF";
        for (int n = 1; n <= lines.size(); ++n)
            bytes += (n == c.line ? c.bytes : lines[n - 1].toUtf8()) + "\r\n";
        const AnswerFileText text = AnswerFileText::fromBytes(bytes);
        EXPECT_EQ(text.line(c.line), c.shown) << c.what;
        EXPECT_EQ(text.line(1), lines[0]) << c.what << ": the file's own mark is dropped";
        ProfileStore store;
        ReadAnswers(text, store);
        EXPECT_EQ(store.SummaryScores[1], 32) << c.what;
    }
}

// A large folder is read ahead, batch by batch, on a second thread: the members still add up in
// folder order, and of several bad files the first is named, with its line, whichever thread
// read it first. Members linked to or of an unknown type are checked as when read one by one.
TEST(GroupReadAhead, MembersInFolderOrderAndTheFirstBadFileNamed)
{
    QTemporaryDir dir;
    constexpr int kFiles = 150;
    QStringList expected{groupDetailsHead()};
    for (int i = 0; i < kFiles; ++i) {
        Questionnaire q;
        q.name = QStringLiteral("Член%1").arg(i);
        q.answers[0] = 1 + i % 7;
        q.write(dir.filePath(QStringLiteral("m%1.txt").arg(i, 3, 10, QLatin1Char('0'))));
        expected << QStringLiteral("%1 %2 %3").arg(q.name, q.code, q.date);
    }
    ASSERT_EQ(::symlink("m000.txt", QFile::encodeName(dir.filePath("m150.txt")).constData()), 0);
    expected << expected[1];
    std::vector<double> firstAnswers;
    const LoadedProfile group =
        loadGroup(dir.path(), "d", Members::Keep,
                  [&](const MemberProfile &m) { firstAnswers.push_back(m.store.Answers[1]); });
    EXPECT_EQ(group.header.details, expected);
    ASSERT_EQ(group.members.size(), std::size_t(kFiles + 1));
    EXPECT_EQ(group.members[77].file, "m077.txt");
    EXPECT_EQ(group.members[77].header.name, QStringLiteral("Член77"));
    EXPECT_EQ(firstAnswers[100], 1 + 100 % 7);
    EXPECT_EQ(group.meanAnswers[1],
              std::accumulate(firstAnswers.begin(), firstAnswers.end(), 0.0) / (kFiles + 1));

    testfiles::writeBytes(dir.filePath("m140.txt"), "x");
    ASSERT_TRUE(QFile::remove(dir.filePath("m120.txt")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("m120.txt")).constData(), 0600), 0);
    testfiles::writeBytes(dir.filePath("m100.txt"),
                          testfiles::joinLines(Questionnaire().withLine(30, "3 3")));
    const auto firstError = [&] {
        try {
            loadGroup(dir.path(), "d", Members::Drop);
        } catch (const CommandError &e) {
            return std::make_tuple(e.message(), e.file(), e.line());
        }
        return std::make_tuple(QString(), QString(), 0);
    };
    EXPECT_EQ(firstError(), std::make_tuple(QStringLiteral("'3 3' is not a valid integer value"),
                                            dir.filePath("m100.txt"), 30));
    ASSERT_TRUE(QFile::remove(dir.filePath("m100.txt")));
    EXPECT_EQ(std::get<0>(firstError()),
              QStringLiteral("Cannot open file %1").arg(dir.filePath("m120.txt")));
}
