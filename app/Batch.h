#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdio>

class TForm1;

// The batch reports: for every input (an answer file: one respondent; a folder: a group) the
// analysis file, the PDF report and the pictures of the four diagram views and the six chart views,
// written into one folder under the names the Save commands propose. One progress line per input on
// out; a failing input's message on err, and the run goes on. Returns 1 when any input failed
// (or the folder cannot be made), else 0. Needs a QApplication; it paints off screen.
int runBatch(const QString &outDir, const QStringList &paths, std::FILE *out, std::FILE *err);

// The pictures, painted by the window's own views exactly as they show them: the diagram panel
// of view kind 1 to 4 (A to D), 602 x 564, and the chart of view 0 to 5 (A to F), 416 x 294.
QImage renderDiagramPicture(TForm1 &form, int kind);
QImage renderChartPicture(TForm1 &form, int view);

// Codes already written in one run. A code met again is written as "<code> (2)", "(3)" and so
// on, so two inputs with one code never overwrite each other's files.
class CodeRegistry
{
public:
    // The code to write under: the code itself the first time.
    QString claim(const QString &code);

private:
    QHash<QString, int> used_;
};
