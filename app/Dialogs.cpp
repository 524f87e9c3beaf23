#include "Dialogs.h"

#include "CommandError.h"

#include <QFileDialog>
#include <QMessageBox>

QString WindowDialogs::runOpenDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void WindowDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, errorBoxText(message),
                    QMessageBox::Ok, parent);
    // The message quotes file contents and paths: show them as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
