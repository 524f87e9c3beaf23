#pragma once

#include "XlsxTable.h"

#include <QString>
#include <QStringList>
#include <cstdio>

// What the command line asks for.
struct CommandLine
{
    enum class Mode { Window, Json, Csv, Xlsx, Batch, Help, Version, Error };
    Mode mode = Mode::Window;
    QString path;      // the file or folder to load (window or export)
    QString error;     // what was wrong with the arguments
    QString outDir;    // batch: the folder the reports go to
    QString outFile;   // --xlsx: the workbook written
    QStringList paths; // batch: the inputs, in order
};

CommandLine parseCommandLine(const QStringList &arguments);

QString usageText();
QString versionText();

// A message for the terminal in UTF-8, with control characters shown as "\\xNN".
QByteArray terminalText(const QString &message);
// Writes the message and a line end, whole, NUL characters included.
void printMessage(std::FILE *stream, const QString &message);

// The headless export: loads path (a file as one respondent, a folder as a group), prints the
// profile as JSON to out and returns 0; on failure prints the error box text to err and
// returns 1, with nothing on out.
int runJsonExport(const QString &path, std::FILE *out, std::FILE *err);
// The same for the table of individual results as plain CSV (RFC 4180, ",", ".", UTF-8).
int runCsvExport(const QString &path, std::FILE *out, std::FILE *err);
// The same table as an Excel workbook, written to outFile by a safe replacing write (a failed
// export leaves an older file whole); nothing on out.
int runXlsxExport(const QString &outFile, const QString &path, std::FILE *err);

// The workbook's properties: a title naming the code, and the program with its version.
WorkbookProperties tableWorkbookProperties(const QString &code);
