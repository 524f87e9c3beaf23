#include "AppTestSupport.h"

#include "ProfileStore.h"
#include "SaveNames.h"
#include "TLabel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStringDecoder>

#include <cstdio>
#include <jpeglib.h>

namespace {

// ---- names

struct NameCase
{
    const char *name;
    QString in;
    QString out;
};

void PrintTo(const NameCase &c, std::ostream *os)
{
    *os << c.name;
}

class JpegFileNameRule : public testing::TestWithParam<NameCase>
{
};

TEST_P(JpegFileNameRule, AppendsUnlessEndingInLowerCaseJpg)
{
    EXPECT_EQ(JpegFileName(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, JpegFileNameRule,
                         testing::Values(NameCase{"lower_jpg", "/r/x.jpg", "/r/x.jpg"},
                                         NameCase{"upper_jpg", "/r/x.JPG", "/r/x.JPG.jpg"},
                                         NameCase{"jpeg", "/r/x.jpeg", "/r/x.jpeg.jpg"},
                                         NameCase{"no_extension", "/r/report", "/r/report.jpg"},
                                         NameCase{"shorter_than_four", "jpg", "jpg.jpg"},
                                         NameCase{"only_extension", ".jpg", ".jpg"}),
                         [](const auto &row) { return std::string(row.param.name); });

class CodeInFileNames : public testing::TestWithParam<NameCase>
{
};

TEST_P(CodeInFileNames, NeverLeavesTheResultsFolder)
{
    // A program folder that can be written into keeps the results beside the program.
    QTemporaryDir dir;
    const QString program = dir.path() + "/", results = program + "Results";
    QDir().mkpath(results);
    const QString proposed = pictureFileName(program, "Image", "B", GetParam().in);
    EXPECT_EQ(proposed, results + "/Image B " + GetParam().out + ".jpg");
    EXPECT_EQ(QFileInfo(proposed).absolutePath(), results);
    EXPECT_EQ(QFileInfo(analysisFileName(program, GetParam().in)).absolutePath(), results);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodeInFileNames,
    testing::Values(NameCase{"plain", "0123", "0123"}, NameCase{"empty", "", ""},
                    NameCase{"cyrillic", "Отдел 5", "Отдел 5"},
                    NameCase{"climbs_out", "../../etc/x", ".._.._etc_x"},
                    NameCase{"backslash_and_drive", "C:\\x", "C__x"},
                    NameCase{"wildcards_quotes", "a*b?\"<c>|", "a_b___c__"},
                    NameCase{"control_character", QString("a\tb\nc"), "a_b_c"},
                    NameCase{"c1_control", QStringLiteral("a\u0085b\u009Bc"), "a_b_c"},
                    NameCase{"line_separators", QStringLiteral("a\u2028b\u2029"), "a_b_"},
                    // Invisible, they would make one name look like another: left out.
                    NameCase{"bidi_controls", QStringLiteral("a\u202Eb\u2066c\u2069\u200F"), "abc"},
                    NameCase{"zero_width", QStringLiteral("\u200Bx\uFEFFy\u200Dz\u2060"), "xyz"},
                    NameCase{"lone_surrogate", QString(QChar(0xD800)) + "x", "_x"},
                    NameCase{"emoji_kept", QStringLiteral("a\U0001F600"),
                             QStringLiteral("a\U0001F600")}),
    [](const auto &row) { return std::string(row.param.name); });

// Every proposal of a long code fits a file name of 255 bytes, all cut alike and at whole
// characters.
TEST(CodeInFileNames, LongCodeIsCutSoEveryNameFits)
{
    for (const QString &code : {QString(300, QChar(0x416)), QString(236, 'a'),
                                QString(242, 'b') + QStringLiteral("\U0001F600")}) {
        const QStringList names = {
            analysisFileName("/p/", code), tableFileName("/p/", code), reportFileName("/p/", code),
            pictureFileName("/p/", "Image", "A", code), pictureFileName("/p/", "Plot", "F", code)};
        const QString stem = fileNameStem(code);
        EXPECT_LE(stem.toUtf8().size(), 243);
        EXPECT_TRUE(code.startsWith(stem));
        EXPECT_FALSE(stem.back().isHighSurrogate());
        for (const QString &name : names) {
            EXPECT_LE(QFileInfo(name).fileName().toUtf8().size(), 255) << name.toStdString();
            EXPECT_TRUE(name.contains(stem));
        }
    }
    EXPECT_EQ(fileNameStem(QString(300, QChar(0x416))), QString(121, QChar(0x416)));
    EXPECT_EQ(fileNameStem(QString(236, 'a')), QString(236, 'a'));
    EXPECT_EQ(fileNameStem(QString(242, 'b') + QStringLiteral("\U0001F600")), QString(242, 'b'));
}

TEST(AnalysisFileBytes, Cp1251WithCrLfAndNoByteOrderMark)
{
    const AnalysisFileBytes file = analysisFileBytes("Код 12,5%\nЁё №€\n");
    EXPECT_EQ(file.bytes, QByteArray("\xCA\xEE\xE4 12,5%\r\n\xA8\xB8 \xB9\x88\r\n"));
    EXPECT_TRUE(file.unmappable.isEmpty());
}

TEST(AnalysisFileBytes, CharactersWithoutAByteAreListedOnce)
{
    const AnalysisFileBytes file = analysisFileBytes("a☺b😀c☺");
    EXPECT_EQ(file.bytes, QByteArray("a?b?c?"));
    EXPECT_EQ(file.unmappable, "☺😀");
}

// ---- the commands

// A window over a temporary program folder with a Results folder, after a load.
class SaveTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        program = useProgramFolder();
        openData(writeSheet("one.txt", AnswerSheet{}));
        ASSERT_TRUE(dialogs->errors.isEmpty());
    }

    QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    void writeOld(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString program;
};

TEST_F(SaveTest, ProposalsFollowTheCodeAndViewLettersAndTheDialogKeepsItsState)
{
    form->mmAnalysisSaveClick();
    form->mmPlotFactorsIClick();
    form->mmPlotSaveClick();
    form->mmAnalysisSaveClick(); // right after a picture save
    child<QLineEdit>(*form, "ceCode")->setText("7/../x");
    form->mmImageFactorsIIClick();
    form->mmImageSaveClick();

    const auto &s = dialogs->saves;
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].title, "Запись анализа факторов в rtf.файл");
    EXPECT_EQ(s[0].proposed, program + "Results/0451.rtf");
    EXPECT_EQ(s[1].title, "Запись текущей гистограммы в jpg-файл");
    EXPECT_EQ(s[1].proposed, program + "Results/Plot D 0451.jpg");
    EXPECT_EQ(s[1].filter, "JPG Files (*.jpg)");
    EXPECT_EQ(QDir::cleanPath(s[1].folder), QDir::cleanPath(program + "Results"));
    EXPECT_EQ(s[2].proposed, program + "Results/0451.rtf");
    // Its own file type, whatever the picture save before it left.
    EXPECT_EQ(s[2].filter, "RTF Files (*.rtf)");
    EXPECT_EQ(s[3].title, "Запись текущего профиля факторов в jpg-файл");
    EXPECT_EQ(s[3].proposed, program + "Results/Image C 7_.._x.jpg");
    // Every dialog was cancelled: nothing written.
    EXPECT_TRUE(QDir(program + "Results").isEmpty());
}

TEST_F(SaveTest, GroupLoadProposesCode0000AndTheLettersShown)
{
    writeSheet("a.txt", AnswerSheet{}, "group");
    openGroup(writeSheet("b.txt", AnswerSheet{}, "group"));
    form->mmAnalysisSaveClick();
    form->mmImageSaveClick();
    form->mmPlotSaveClick();
    ASSERT_EQ(dialogs->saves.size(), 3u);
    EXPECT_EQ(dialogs->saves[0].proposed, program + "Results/0000 group.rtf");
    EXPECT_EQ(dialogs->saves[1].proposed, program + "Results/Image B 0000 group.jpg");
    EXPECT_EQ(dialogs->saves[2].proposed, program + "Results/Plot A 0000 group.jpg");
}

TEST_F(SaveTest, AnalysisFileHoldsTheMemoTextInCp1251)
{
    child<QPlainTextEdit>(*form, "meInfo")->setPlainText("Первая строка\nВторая: 55,0%");
    const QString target = program + "Results/0451.rtf";
    writeOld(target, QByteArray(10000, 'x'));
    dialogs->saveAnswers << target;
    form->mmAnalysisSaveClick();
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    EXPECT_EQ(contents(target), QByteArray("\xCF\xE5\xF0\xE2\xE0\xFF \xF1\xF2\xF0\xEE\xEA\xE0\r\n"
                                           "\xC2\xF2\xEE\xF0\xE0\xFF: 55,0%"));
    EXPECT_TRUE(dialogs->questions.isEmpty());
}

TEST_F(SaveTest, TypedCharactersOutsideCp1251AreAskedAbout)
{
    child<QPlainTextEdit>(*form, "meInfo")->setPlainText("Итог ☺");
    const QString target = program + "Results/smile.rtf";
    dialogs->answerYes = false;
    dialogs->saveAnswers << target;
    form->mmAnalysisSaveClick();
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_TRUE(dialogs->questions[0].contains("☺"));
    EXPECT_FALSE(QFileInfo::exists(target));

    dialogs->answerYes = true;
    dialogs->saveAnswers << target;
    form->mmAnalysisSaveClick();
    EXPECT_EQ(contents(target), QByteArray("\xC8\xF2\xEE\xE3 ?"));
}

TEST_F(SaveTest, ExistingFileOfTheExtendedNameIsAskedAboutFirst)
{
    const QString extended = program + "Results/report.jpg";
    writeOld(extended, "old picture");
    dialogs->answerYes = false;
    dialogs->saveAnswers << program + "Results/report";
    form->mmImageSaveClick();
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_TRUE(dialogs->questions[0].contains(QDir::toNativeSeparators(extended)));
    EXPECT_EQ(contents(extended), "old picture");
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

TEST_F(SaveTest, UnwritableResultsFolderFailsAndKeepsTheOldFile)
{
    const QString folder = program + "Results";
    const QString target = folder + "/0451.rtf";
    writeOld(target, "old analysis");
    if (!makeUnwritable(folder)) {
        makeWritable(folder);
        GTEST_SKIP() << "no way to make a folder unwritable here";
    }
    dialogs->saveAnswers << target;
    form->mmAnalysisSaveClick();
    dialogs->saveAnswers << target; // as a picture name
    form->mmImageSaveClick();
    makeWritable(folder);

    EXPECT_EQ(dialogs->errors,
              QStringList({"Cannot create file " + QDir::toNativeSeparators(target),
                           "Cannot create file " + QDir::toNativeSeparators(target + ".jpg")}));
    EXPECT_EQ(contents(target), "old analysis");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"0451.rtf"});
}

// A link planted in the results folder is replaced by the saved file; what it points to keeps
// its contents, whichever command saves.
TEST_F(SaveTest, SaveReplacesALinkInsteadOfWritingThroughIt)
{
    const QString elsewhere = dir.filePath("elsewhere.txt");
    writeOld(elsewhere, "not ours");
    const QString analysis = program + "Results/0451.rtf";
    const QString picture = program + "Results/Image A 0451.jpg";
    const QString report = program + "Results/Report 0451.pdf";
    for (const QString &link : {analysis, picture, report})
        ASSERT_TRUE(QFile::link(elsewhere, link));
    dialogs->saveAnswers << analysis << picture << report;
    form->mmAnalysisSaveClick();
    form->mmImageSaveClick();
    form->mmReportSaveClick();
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    EXPECT_EQ(contents(elsewhere), "not ours");
    for (const QString &saved : {analysis, picture, report}) {
        EXPECT_FALSE(QFileInfo(saved).isSymLink()) << saved.toStdString();
        EXPECT_GT(QFileInfo(saved).size(), 0) << saved.toStdString();
    }
}

// The pictures as the Save commands write them, read back by libjpeg: quality 100 scales every
// quantisation table down to 1s.
TEST_F(SaveTest, SavedPicturesAreWrittenAtQuality100)
{
    const QString image = program + "Results/Image A 0451.jpg";
    const QString plot = program + "Results/Plot A 0451.jpg";
    dialogs->saveAnswers << image << plot;
    form->mmImageSaveClick();
    form->mmPlotSaveClick();
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    for (const QString &file : {image, plot}) {
        const QByteArray bytes = contents(file);
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()));
        ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK) << file.toStdString();
        int tables = 0;
        for (const JQUANT_TBL *table : info.quant_tbl_ptrs) {
            if (!table)
                continue;
            ++tables;
            for (const UINT16 value : table->quantval)
                EXPECT_EQ(value, 1) << file.toStdString();
        }
        EXPECT_EQ(tables, 2) << file.toStdString();
        jpeg_destroy_decompress(&info);
    }
}

TEST_F(SaveTest, MissingResultsFolderGivesCannotCreateFile)
{
    QDir(program + "Results").removeRecursively();
    const QString target = program + "Results/Plot A 0451.jpg";
    dialogs->saveAnswers << target;
    form->mmPlotSaveClick();
    EXPECT_EQ(dialogs->errors,
              QStringList{"Cannot create file " + QDir::toNativeSeparators(target)});
}

} // namespace

TEST_F(SaveTest, TableOfAGroupForSpreadsheets)
{
    writeSheet("a.txt", AnswerSheet{}, "group");
    openGroup(writeSheet("b.txt", AnswerSheet{}, "group"));
    EXPECT_EQ(child<QAction>(*form, "mmTableSave")->text(), "Table (CSV)");
    const QString target = program + "Results/Table 0000 group.csv";
    dialogs->saveAnswers << target;
    QLocale::setDefault(QLocale(QLocale::Russian));
    form->mmTableSaveClick();
    QLocale::setDefault(QLocale::c());
    ASSERT_EQ(dialogs->saves.size(), 1u);
    EXPECT_EQ(dialogs->saves[0].proposed, target);
    EXPECT_EQ(dialogs->saves[0].filter, "CSV Files (*.csv)");
    const QByteArray bytes = contents(target);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"
                                 "file;code;"))
        << bytes.left(40).toStdString();
    EXPECT_EQ(bytes.count("\r\n"), 1 + 2 + 4);
}

TEST_F(SaveTest, WorkbookBesideTheCsvTableProposesTableCodeXlsx)
{
    writeSheet("a.txt", AnswerSheet{}, "group");
    openGroup(writeSheet("b.txt", AnswerSheet{}, "group"));
    EXPECT_EQ(child<QAction>(*form, "mmWorkbookSave")->text(), "Таблица (Excel)");
    const QList<QAction *> items = child<QMenu>(*form, "mmSave")->actions();
    EXPECT_EQ(items.indexOf(child<QAction>(*form, "mmWorkbookSave")),
              items.indexOf(child<QAction>(*form, "mmTableSave")) + 1);

    const QString target = program + "Results/Table 0000 group.xlsx";
    writeOld(target, "old workbook");
    dialogs->saveAnswers << target;
    form->mmWorkbookSaveClick();
    child<QLineEdit>(*form, "ceCode")->setText("12/x");
    form->mmWorkbookSaveClick(); // cancelled

    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    const auto &s = dialogs->saves;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].title, "Запись таблицы результатов в xlsx-файл");
    EXPECT_EQ(s[0].proposed, target);
    EXPECT_EQ(s[0].filter, "Excel Files (*.xlsx)");
    EXPECT_EQ(QDir::cleanPath(s[0].folder), QDir::cleanPath(program + "Results"));
    EXPECT_EQ(s[1].proposed, program + "Results/Table 12_x group.xlsx");
    const QByteArray bytes = contents(target);
    EXPECT_TRUE(bytes.startsWith("PK\x03\x04"));
    EXPECT_TRUE(bytes.contains("xl/worksheets/sheet2.xml")) << "the group's spread";
    EXPECT_EQ(QDir(program + "Results").entryList(QDir::Files | QDir::Hidden),
              QStringList{"Table 0000 group.xlsx"});
}

TEST_F(SaveTest, WorkbookThatCannotBeMadeKeepsTheOldFile)
{
    AnswerSheet longName;
    longName.name = QString(40000, QLatin1Char('x'));
    openData(writeSheet("long.txt", longName));
    const QString target = program + "Results/Table 0451.xlsx";
    writeOld(target, "old workbook");
    dialogs->saveAnswers << target;
    form->mmWorkbookSaveClick();
    EXPECT_EQ(dialogs->errors,
              QStringList{"Cannot write the workbook: the name of answer file long.txt has 40000 "
                          "characters; a cell holds at most 32767"});
    EXPECT_EQ(contents(target), "old workbook");
    EXPECT_EQ(QDir(program + "Results").entryList(QDir::Files | QDir::Hidden),
              QStringList{"Table 0451.xlsx"});
}
