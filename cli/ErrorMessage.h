#pragma once

#include <QString>
#include <exception>

// The text the user is shown for an error that ended a command: the exact message of the
// program's own errors and of the chart's settings, and a plain sentence for running out of
// memory or anything else, so no error ends the program.
QString errorMessageOf(const std::exception &error);

// The same error as a terminal shows it, where no window tells which file it concerns: the file
// at fault before the message, the system's reason after it, and the error box's full stop.
QString commandLineErrorText(const std::exception &error);

// The same error as the window's error box shows it: the message as it stands, and for a file
// of a group the file's name and the line at fault on a second line, so that one bad file of
// hundreds can be found.
QString windowErrorText(const std::exception &error);
