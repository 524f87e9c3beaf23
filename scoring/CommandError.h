#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one kind of error a command raises: it carries the exact text the user is shown.
class CommandError : public std::exception
{
public:
    explicit CommandError(const QString &message);

    const QString &message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// "Cannot open file %s" for an answer file that cannot be read.
CommandError cannotOpenFile(const QString &path);

// "'%s' is not a valid integer value" for a line that does not hold a number.
CommandError notAnInteger(const QString &text);

// The text of the error box: the message, with a full stop added when its last character
// sorts after "." (so a message already ending in "." or "!" is left alone).
QString errorBoxText(const QString &message);
