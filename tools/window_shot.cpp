// The pictures of the README, rendered by the program's own window and report code: the main
// window after loading an answer file, and the PDF report of the same load; with a reference
// (an answer file or a folder), the same compared with it.
//
// Usage: window_shot ANSWER_FILE WINDOW_PNG REPORT_PDF [REFERENCE]
// (run under a display, e.g. xvfb-run)
#include "Dialogs.h"
#include "GroupSource.h"
#include "Fonts.h"
#include "MessageError.h"
#include "NumberFormat.h"
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
    if (argc != 4 && argc != 5) {
        std::fputs("usage: window_shot ANSWER_FILE WINDOW_PNG REPORT_PDF [REFERENCE]\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    installFontSubstitutions();
    TForm1 form(dialogsThatStopTool("window_shot"), makeInertDesktopLayer());
    // The window at its designed size, as a screen of 1032 x 776 would show it maximized.
    form.show();
    form.openPath(QString::fromLocal8Bit(argv[1]));
    if (argc == 5) {
        try {
            form.setReference(loadReference(argv[4], todayText()));
        } catch (const MessageError &e) {
            std::fprintf(stderr, "window_shot: %s\n", e.message().toLocal8Bit().constData());
            return 1;
        }
    }
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
