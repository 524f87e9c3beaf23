#pragma once

#include "MessageError.h"

#include <QString>

// The one kind of error a command raises: it carries the exact text the user is shown.
class CommandError : public MessageError
{
public:
    explicit CommandError(const QString &message) : MessageError(message) {}

    // What a terminal shows besides the message, where no window tells which file a message
    // belongs to and the fixed texts give no cause: the file at fault when the message does not
    // name it (a group member), put before the message, and the system's reason, put after it.
    // The error box shows the message alone.
    const QString &file() const { return file_; }
    const QString &reason() const { return reason_; }
    // The line of the file the message is about (1..), 0 when none is.
    int line() const { return line_; }
    CommandError &inFile(const QString &file);
    CommandError &because(const QString &reason);
    CommandError &atLine(int line);

private:
    QString file_;
    QString reason_;
    int line_ = 0;
};

// The system's text for an errno value, in English whatever the user's language, as the
// program's own messages are.
QString systemReason(int error);

// "Cannot create file %s" with the file name as the user would write it, a name too long to
// read cut in the middle; error, when given, is the system's reason (an errno value).
CommandError cannotCreateFile(const QString &fileName, int error = 0);

// A text quoted in a message, cut in the middle when it is too long to read (a path of many
// kilobytes, a code of a whole line), so that its start and its end both show.
QString quotedForMessage(const QString &text);

// "Cannot open file %s" for an answer file that cannot be read.
CommandError cannotOpenFile(const QString &path);

// "'%s' is not a valid integer value" for a line that does not hold a number.
CommandError notAnInteger(const QString &text);

// The text of the error box: the message, with a full stop added when its last character
// sorts after "." (so a message already ending in "." or "!" is left alone).
QString errorBoxText(const QString &message);
