#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>

// Starts the window and runs it until it closes; a non-empty path is loaded at once.
int runWindow(int argc, char **argv, const QString &path);

// Installs Qt's own translations (file dialogs, standard buttons) for the locale, from where Qt
// keeps them; they stay installed while the translator lives. Null when Qt has none for it.
std::unique_ptr<QTranslator> installQtTranslations(const QLocale &locale);
