#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// The modal windows a command opens: the file dialogs and the error box. Tests put their own
// in place to drive the commands with a path and to read the messages.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Runs the prepared open dialog; the chosen file, or empty when the user cancels.
    virtual QString runOpenDialog(QFileDialog &dialog) = 0;
    // The error box: captioned with the application title, the message with its full stop.
    virtual void showError(QWidget *parent, const QString &message) = 0;
};

// The real dialogs and message box.
class WindowDialogs : public Dialogs
{
public:
    QString runOpenDialog(QFileDialog &dialog) override;
    void showError(QWidget *parent, const QString &message) override;
};

// The application title, also the caption of every error box.
inline const QString kApplicationTitle = QStringLiteral("VORL.ZUTan");
