// Pictures of the six chart views of one answer file, as the main window shows them: loads the
// file, runs each Plots command and saves the chart (with its letter) as chart-A.png ...
// chart-F.png, plus the whole window after view A as window.png.
//
// Usage: chart_shots ANSWER_FILE OUT_DIR   (run it on a display, e.g. under xvfb-run)
#include "Fonts.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: chart_shots ANSWER_FILE OUT_DIR\n", stderr);
        return 2;
    }
    installFontSubstitutions();
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    TForm1 form;
    form.setGeometry(0, 0, 1032, 776);
    form.show();
    form.openPath(file);
    QApplication::processEvents();
    // The window's widgets are found as Qt finds a child: by the name they carry.
    QWidget *chart = form.findChild<QWidget *>(QStringLiteral("ChartAll"));
    if (!chart || !chart->isVisible()) {
        std::fprintf(stderr, "chart_shots: %s did not load\n", argv[1]);
        return 1;
    }
    form.grab().save(out.filePath(QStringLiteral("window.png")));
    const std::pair<char, void (TForm1::*)()> views[] = {
        {'A', &TForm1::mmPlotAllScalesClick}, {'B', &TForm1::mmPlotFactorsIIIClick},
        {'C', &TForm1::mmPlotFactorsIIClick}, {'D', &TForm1::mmPlotFactorsIClick},
        {'E', &TForm1::mmPlot4lScalesClick},  {'F', &TForm1::mmPlot2FactorsIIIClick}};
    for (const auto &[letter, command] : views) {
        (form.*command)();
        QApplication::processEvents();
        chart->grab().save(out.filePath(QStringLiteral("chart-%1.png").arg(letter)));
    }
    return 0;
}
