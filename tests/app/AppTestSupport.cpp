#include "AppTestSupport.h"

#include "ProfileStore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStringEncoder>

QString ScriptedDialogs::runOpenDialog(QFileDialog &dialog)
{
    shared_->titles << dialog.windowTitle();
    shared_->folders << dialog.directory().absolutePath();
    const auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    shared_->nameFields << (name ? name->text() : QStringLiteral("<no name field>"));
    return shared_->answers.isEmpty() ? QString() : shared_->answers.takeFirst();
}

QString ScriptedDialogs::runSaveDialog(QFileDialog &dialog)
{
    shared_->saves.push_back({dialog.windowTitle(), dialog.nameFilters().join(QLatin1Char(';')),
                              dialog.directory().absolutePath(), dialog.selectedFiles().value(0)});
    return shared_->saveAnswers.isEmpty() ? QString() : shared_->saveAnswers.takeFirst();
}

bool ScriptedDialogs::askYesNo(QWidget *, const QString &question)
{
    shared_->questions << question;
    return shared_->answerYes;
}

void ScriptedDialogs::showError(QWidget *, const QString &message)
{
    shared_->errors << message;
}

bool ScriptedDialogs::runPrintDialog(QPrinter &printer, QWidget *)
{
    ++shared_->printDialogs;
    if (shared_->printTo.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(shared_->printTo);
    return true;
}

std::optional<BreakdownChoice> ScriptedDialogs::askBreakdown(QWidget *,
                                                             const QStringList &lineTexts)
{
    shared_->breakdownTexts.push_back(lineTexts);
    return shared_->breakdownChoice;
}

bool makeUnwritable(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (!QFile(folder + "/probe").open(QIODevice::WriteOnly))
        return true;
    QFile::remove(folder + "/probe");
    return QProcess::execute("chattr", {"+i", folder}) == 0 &&
           !QFile(folder + "/probe").open(QIODevice::WriteOnly);
}

void makeWritable(const QString &folder)
{
    QProcess::execute("chattr", {"-i", folder});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray AnswerSheet::bytes() const
{
    QStringList lines;
    lines << date << code << name << details << QStringLiteral("Ответы:");
    for (int a : answers)
        lines << QString::number(a);
    lines << QStringLiteral("Итоги:");
    for (int i = 0; i < int(totals.size()); ++i)
        lines << QStringLiteral("%1 %2").arg(totals[i], 3).arg(ProfileStore::SummaryNames(i + 1));
    QStringEncoder encoder("windows-1251");
    QList<QByteArray> encoded;
    for (const QString &line : lines)
        encoded << QByteArray(encoder.encode(line));
    if (badLine > 0)
        encoded[badLine - 1] = badText;
    return encoded.join("\r\n") + "\r\n";
}

void WindowTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    form = std::make_unique<TForm1>(std::make_unique<ScriptedDialogs>(dialogs),
                                    std::make_unique<RecordingDesktop>(desktop));
}

void WindowTest::TearDown()
{
    form.reset();
}

QString WindowTest::writeSheet(const QString &name, const AnswerSheet &sheet,
                               const QString &subFolder)
{
    const QString folder = subFolder.isEmpty() ? dir.path() : dir.filePath(subFolder);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sheet.bytes());
    return path;
}

void WindowTest::openData(const QString &path)
{
    dialogs->answers << path;
    form->mmOpenClick();
}

QString WindowTest::useProgramFolder()
{
    const QString program = dir.filePath("program") + "/";
    QDir().mkpath(program + "Results");
    form->setProgramFolder(program);
    return program;
}

void WindowTest::openGroup(const QString &anyFile)
{
    dialogs->answers << anyFile;
    form->mmGroupClick();
}

int reportPageCount(const ReportContent &content)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(reportPageLayout());
    return paintReport(writer, content);
}
