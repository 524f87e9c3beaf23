#include "About.h"

#include "Fonts.h"
#include "Pictures.h"
#include "ProgramFolders.h"
#include "TPanel.h"
#include "Version.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr QSize kClientSize(298, 225);
constexpr int kFontPx = 11;
// The folder lines below the version, inside the panel's bevels.
constexpr QRect kDataFolderRect(13, 100, 255, 28);
constexpr QRect kResultsFolderRect(13, 134, 255, 28);

// A caption drawn twice: a one-pixel shadow in the highlight colour to the lower right, then
// the text itself, which gives it its engraved look.
class ShadowLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(rect().translated(1, 1), int(alignment()), text());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), int(alignment()), text());
    }
};

} // namespace

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(programIcon());
    setFont(pixelFont(kSansSerif, kFontPx));
    setModal(false);
    setFixedSize(kClientSize);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Panel1 = new TPanel(this, TPanel::Bevel::Lowered, TPanel::Bevel::Raised);
    Panel1->setGeometry(8, 8, 281, 185);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setPixmap(programPicture());
    ProgramIcon->setGeometry(12, 8, 32, 32);

    ProductName = new ShadowLabel(QStringLiteral("VORL.ZUL Analysis"), Panel1);
    ProductName->setFont(pixelFont(kSansSerif, kFontPx, true));
    ProductName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ProductName->setGeometry(48, 10, 185, 15);

    // Centred across the panel: as far from its right edge as from its left.
    Comments = new QLabel(
        QStringLiteral("Построение профиля\nорганизационной культуры\nпо анкете ЗУТ"), Panel1);
    Comments->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Comments->setGeometry(69, 26, 281 - 2 * 69, 3 * QFontMetrics(font()).height());

    Version = new QLabel(QStringLiteral(" Version ") + kProgramVersion, Panel1);
    Version->move(13, 76);
    Version->adjustSize();

    DataFolder = new QLabel(Panel1);
    DataFolder->setGeometry(kDataFolderRect);
    ResultsFolder = new QLabel(Panel1);
    ResultsFolder->setGeometry(kResultsFolderRect);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(111, 196, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
}

void TAboutBox::OKButtonClick()
{
    hide();
}

void TAboutBox::showFolders(const ProgramFolders &folders)
{
    const auto show = [](QLabel *label, const QString &caption, const QString &folder) {
        const QString path = QDir::toNativeSeparators(folder);
        label->setText(caption + QLatin1Char('\n') +
                       label->fontMetrics().elidedText(path, Qt::ElideMiddle, label->width()));
        label->setToolTip(path);
    };
    show(DataFolder, QStringLiteral("Answer files:"), folders.data);
    show(ResultsFolder, QStringLiteral("Saved results:"), folders.results);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
