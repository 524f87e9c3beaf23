#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>

// Starts the window and runs it until it closes; a non-empty path is loaded at once. On a
// screen larger than the workspace's design the program first starts itself again scaled
// (workspaceScale), as the desktop's own scaling would.
int runWindow(int argc, char **argv, const QString &path);

// The factor the whole window is scaled by so that the 1024 x 768 workspace fills a screen of
// this usable size (in the desktop's pixels): the largest quarter step (1.25, 1.5, …) at which
// it still fits, 1 on a screen it does not outgrow or that the desktop scales already
// (devicePixelRatio above 1).
inline constexpr int kWorkspaceWidth = 1024;
inline constexpr int kWorkspaceHeight = 768;
double workspaceScale(int availableWidth, int availableHeight, double devicePixelRatio);

// Installs Qt's own translations (file dialogs, standard buttons) for the locale, from where Qt
// keeps them; they stay installed while the translator lives. Null when Qt has none for it.
std::unique_ptr<QTranslator> installQtTranslations(const QLocale &locale);
