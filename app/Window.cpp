#include "Dialogs.h"
#include "Fonts.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QTimer>

int runWindow(int argc, char **argv, const QString &path)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    installFontSubstitutions();
    TForm1 form;
    form.showMaximized();
    if (!path.isEmpty())
        QTimer::singleShot(0, &form, [&form, path] { form.openPath(path); });
    return app.exec();
}
