#include "Window.h"

#include "Dialogs.h"
#include "Fonts.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>

std::unique_ptr<QTranslator> installQtTranslations(const QLocale &locale)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

int runWindow(int argc, char **argv, const QString &path)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    // The file dialogs and standard buttons are Qt's own; without its translations they would
    // speak English on a Russian desktop.
    const std::unique_ptr<QTranslator> qtTexts = installQtTranslations(QLocale());
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
