#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// An error that carries the exact text the user is shown: a command's and the chart's alike,
// so the one place that shows errors reads them all the same way.
class MessageError : public std::exception
{
public:
    explicit MessageError(const QString &message) : message_(message), utf8_(message.toUtf8()) {}

    const QString &message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
