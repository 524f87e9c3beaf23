// The README picture of the breakdown: the heat map window of a folder split by a details line,
// rendered by the program's own window code, and its PDF page.
//
// Usage: breakdown_shot FOLDER LINE WINDOW_PNG PAGE_PDF   (run under a display, e.g. xvfb-run)
#include "Breakdown.h"
#include "BreakdownPage.h"
#include "BreakdownWindow.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "SafeFile.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fputs("usage: breakdown_shot FOLDER LINE WINDOW_PNG PAGE_PDF\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    installFontSubstitutions();
    const std::unique_ptr<Dialogs> dialogs = dialogsThatStopTool("breakdown_shot");
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::unique_ptr<BreakdownWindow> window;
    BreakdownTable table;
    try {
        auto whole = std::make_shared<const LoadedProfile>(loadGroup(folder, todayText()));
        auto breakdown =
            std::make_shared<const Breakdown>(splitGroup(*whole, std::atoi(argv[2]), Disclosure{}));
        auto shown = std::make_shared<const BreakdownTable>(
            breakdownTable(*whole, *breakdown, shownFolderName(folder)));
        table = *shown;
        window = std::make_unique<BreakdownWindow>(
            BreakdownWindow::Content{whole, breakdown, shown, {}}, *dialogs, nullptr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "breakdown_shot: %s\n", errorMessageOf(e).toLocal8Bit().constData());
        return 1;
    }
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    int status = 0;
    QTimer::singleShot(200, window.get(), [&] {
        if (!window->grab().save(QString::fromLocal8Bit(argv[3]), "PNG")) {
            std::fprintf(stderr, "breakdown_shot: cannot write %s\n", argv[3]);
            status = 1;
        }
        writeFileReplacing(QString::fromLocal8Bit(argv[4]), breakdownPdf(table, todayText()));
        app.quit();
    });
    app.exec();
    return status;
}
