#include "Window.h"

#include "Dialogs.h"
#include "Fonts.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int runWindow(int argc, char **argv, const QString &path)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    installFontSubstitutions();
    TForm1 form;
    // Without a window manager nothing acts on the maximize request, so the window is also
    // given the usable screen itself.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    if (!path.isEmpty())
        QTimer::singleShot(0, &form, [&form, path] { form.openPath(path); });
    return app.exec();
}
