// The README picture of the trend: the trend window of a parent folder of survey waves, rendered
// by the program's own window code, and its PDF page.
//
// Usage: trend_shot PARENT WINDOW_PNG PAGE_PDF   (run under a display, e.g. xvfb-run)
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "Fonts.h"
#include "NumberFormat.h"
#include "SafeFile.h"
#include "TrendPage.h"
#include "Waves.h"
#include "TrendWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: trend_shot PARENT WINDOW_PNG PAGE_PDF\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    installFontSubstitutions();
    const std::unique_ptr<Dialogs> dialogs = dialogsThatStopTool("trend_shot");
    std::shared_ptr<const Trend> trend;
    try {
        trend = std::make_shared<const Trend>(loadTrend(
            toNativePath(QString::fromLocal8Bit(argv[1])), Disclosure{}, todayText()));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "trend_shot: %s\n", errorMessageOf(e).toLocal8Bit().constData());
        return 1;
    }
    TrendWindow window(trend, *dialogs, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    int status = 0;
    QTimer::singleShot(200, &window, [&] {
        if (!window.grab().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "trend_shot: cannot write %s\n", argv[2]);
            status = 1;
        }
        writeFileReplacing(QString::fromLocal8Bit(argv[3]),
                           trendPdf(*trend, window.values(), todayText()));
        app.quit();
    });
    app.exec();
    return status;
}
