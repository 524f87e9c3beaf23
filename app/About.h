#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TPanel;
struct ProgramFolders;

// The About box: product, description, version and the two folders in use. Shown modeless, so the
// main window stays usable; OK or the close box only hide it.
class TAboutBox : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(TAboutBox)

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    void OKButtonClick();
    // Names the folder of answer files and the folder of saved results, each shortened in
    // the middle to the panel's width, in full in its tool tip.
    void showFolders(const ProgramFolders &folders);

    TPanel *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Comments = nullptr;
    QLabel *Version = nullptr;
    QLabel *DataFolder = nullptr;
    QLabel *ResultsFolder = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};
