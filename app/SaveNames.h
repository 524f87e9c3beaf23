#pragma once

#include <QByteArray>
#include <QString>

// The names and bytes of the files the Save commands write.

// The results folder of the program in programFolder (with its trailing separator): its
// Results sub-folder, or for an installed program the one in the user's documents.
QString resultsFolder(const QString &programFolder);

// The code as it may stand in a file name: path separators and characters no file name may
// hold become "_", so a code read from an answer file never leads out of the results folder.
QString fileNameSafeCode(const QString &code);

// "Results/<code>.rtf" under the program folder.
QString analysisFileName(const QString &programFolder, const QString &code);
// "Results/Table <code>.csv" under the program folder.
QString tableFileName(const QString &programFolder, const QString &code);
// "Results/Table <code>.xlsx" under the program folder.
QString workbookFileName(const QString &programFolder, const QString &code);
// "Results/<prefix> <letter> <code>.jpg" under the program folder; prefix "Image" or "Plot".
QString pictureFileName(const QString &programFolder, const QString &prefix, const QString &letter,
                        const QString &code);
// "Results/Report <code>.pdf" under the program folder.
QString reportFileName(const QString &programFolder, const QString &code);

// The same names in any folder (no trailing separator), as the batch reports use them; the
// code is made safe here too.
QString analysisFileNameIn(const QString &folder, const QString &code);
QString pictureFileNameIn(const QString &folder, const QString &prefix, const QString &letter,
                          const QString &code);
QString reportFileNameIn(const QString &folder, const QString &code);

// The name the picture is written under: unchanged when its last four characters are exactly
// ".jpg", otherwise with ".jpg" appended (x.JPG becomes x.JPG.jpg).
QString JpegFileName(const QString &name);
// The same rule for the report: ".pdf" appended unless the name ends in exactly ".pdf".
QString PdfFileName(const QString &name);

// The memo's text as the analysis file holds it: code page 1251, lines separated by CR LF, no
// byte order mark. Characters code page 1251 has no byte for are written as "?" and listed,
// each once, in unmappable.
struct AnalysisFileBytes
{
    QByteArray bytes;
    QString unmappable;
};
AnalysisFileBytes analysisFileBytes(const QString &text);
