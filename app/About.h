#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TPanel;

// The About box: product, description and version. Shown modeless, so the main window stays
// usable; OK or the close box only hide it.
class TAboutBox : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(TAboutBox)

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    void OKButtonClick();

    TPanel *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Comments = nullptr;
    QLabel *Version = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};
