// The pictures of the README, rendered by the program's own window and report code: the main
// window after loading an answer file, and the PDF report of the same load.
//
// Usage: window_shot ANSWER_FILE WINDOW_PNG REPORT_PDF   (run under a display, e.g. xvfb-run)
#include "Dialogs.h"
#include "Fonts.h"
#include "ReportCommands.h"
#include "SafeFile.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: window_shot ANSWER_FILE WINDOW_PNG REPORT_PDF\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    installFontSubstitutions();
    TForm1 form(dialogsThatStopTool("window_shot"), makeInertDesktopLayer());
    // The window at its designed size, as a screen of 1032 x 776 would show it maximized.
    form.show();
    form.openPath(QString::fromLocal8Bit(argv[1]));
    int status = 0;
    QTimer::singleShot(200, &form, [&] {
        if (!form.grab().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "window_shot: cannot write %s\n", argv[2]);
            status = 1;
        }
        writeFileReplacing(QString::fromLocal8Bit(argv[3]), reportPdf(reportContentOf(form)));
        app.quit();
    });
    app.exec();
    return status;
}
