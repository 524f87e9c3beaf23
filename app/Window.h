#pragma once

#include <QString>

// Starts the window and runs it until it closes; a non-empty path is loaded at once.
int runWindow(int argc, char **argv, const QString &path);
