#include "Window.h"

#include "Dialogs.h"
#include "Fonts.h"
#include "TJPEGImage.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

std::unique_ptr<QTranslator> installQtTranslations(const QLocale &locale)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

double workspaceScale(int availableWidth, int availableHeight, double devicePixelRatio)
{
    constexpr double kStep = 0.25;
    constexpr double kLargest = 4;
    if (devicePixelRatio > 1 || availableWidth <= 0 || availableHeight <= 0)
        return 1;
    const double fits = std::min(double(availableWidth) / kWorkspaceWidth,
                                 double(availableHeight) / kWorkspaceHeight);
    return std::clamp(std::floor(fits / kStep) * kStep, 1.0, kLargest);
}

namespace {

// Set in the program started again scaled, so that it does not start itself once more.
constexpr char kScaledMarker[] = "VORL_WORKSPACE_SCALED";

// Whether the workspace may be scaled: not when the desktop chose a scale itself (QT_SCALE_FACTOR
// or QT_SCREEN_SCALE_FACTORS set, QT_SCALE_FACTOR=1 turning it off), nor when the user asked
// VORL_FIT_SCREEN=0, nor twice.
bool mayScaleWorkspace()
{
    return qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") &&
           qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS") &&
           qEnvironmentVariableIsEmpty(kScaledMarker) &&
           qgetenv("VORL_FIT_SCREEN") != QByteArrayLiteral("0");
}

// Starts the program again with Qt's own scale factor when the screen asks for one; returns
// only when it does not (or the start fails, and the window opens unscaled).
void startScaledIfLarge(const std::vector<std::string> &arguments)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !mayScaleWorkspace())
        return;
    const QSize available = screen->availableGeometry().size();
    const double scale =
        workspaceScale(available.width(), available.height(), screen->devicePixelRatio());
    if (scale <= 1)
        return;
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    qputenv(kScaledMarker, "1");
    std::fflush(nullptr);
    ::execv(program.constData(), argv.data());
    qunsetenv("QT_SCALE_FACTOR");
}

} // namespace

int runWindow(int argc, char **argv, const QString &path)
{
    // Qt takes its own options out of argv: the program started again gets them all.
    const std::vector<std::string> arguments(argv, argv + argc);
    QApplication app(argc, argv);
    startScaledIfLarge(arguments);
    QApplication::setApplicationName(kApplicationTitle);
    // The file dialogs and standard buttons are Qt's own; without its translations they would
    // speak English on a Russian desktop.
    const std::unique_ptr<QTranslator> qtTexts = installQtTranslations(QLocale());
    installFontSubstitutions();
    decideJpegDefaults();
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
