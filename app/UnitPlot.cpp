#include "UnitPlot.h"

#include "About.h"
#include "Analysis.h"
#include "BusyCursor.h"
#include "ChartViews.h"
#include "CommandError.h"
#include "DiagramPanel.h"
#include "ErrorMessage.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "MenuBarStyle.h"
#include "NativePath.h"
#include "NumberFormat.h"
#include "Pictures.h"
#include "ProfileStore.h"
#include "ProgramFolders.h"
#include "ResultsGrid.h"
#include "ShownText.h"
#include "Scoring.h"
#include "TChart.h"
#include "TImage.h"
#include "TLabel.h"
#include "TPanel.h"
#include "TStringGrid.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <limits>

namespace {

// Client positions of the top-level controls (pixels).
constexpr QRect kInfoRect(5, 0, 415, 130);
constexpr QRect kMemoRect(5, 129, 415, 306);
constexpr QRect kChartRect(5, 435, 416, 294);
constexpr QRect kPlotRect(420, 0, 602, 564);
constexpr QRect kGridRect(420, 563, 602, 167);
// A group's warning, under the chart and the table whose means it is about.
constexpr QRect kWarningRect(5, 732, 1017, 44);
// The window as designed, before it is maximized.
constexpr QRect kDesignedRect(298, 205, 1032, 776);

// The diagram every load draws.
constexpr DiagramKind kLoadDiagramKind = DiagramKind::FactorsIII;
// The most of a group's title the window's title bar takes.
constexpr qsizetype kShownTitle = 80;
const QString kWindowTitle = QStringLiteral("VORL - ZUL Plot");

constexpr int kDefaultFontPx = 11;
constexpr int kCaptionFontPx = 16;
constexpr int kFieldFontPx = 17;
constexpr int kMemoFontPx = 16;
constexpr int kWarningFontPx = 14;
constexpr int kImageTitleFontPx = 17;
constexpr int kHintHidePauseMs = 50000;

const QColor kMaroon(128, 0, 0);
const QColor kRed(255, 0, 0);

const QString kOpenDialogFilter = QStringLiteral("TXT Files (*.txt)");
// A group is a folder of answer files or a table exported from a form.
const QStringList kGroupDialogFilters = {
    QStringLiteral("Анкеты и таблицы ответов (*.txt *.csv *.tsv *.xlsx)"), kOpenDialogFilter,
    QStringLiteral("Таблицы ответов (*.csv *.tsv *.xlsx)")};

// The labels flag is the Plots menu's tag, a property of its own: a change of the menu action's
// data would have the menu bar lay out and repaint its items twice a load.
constexpr char kLabelsFlagProperty[] = "Tag";

// Keeps every hint up for the application's hint hide pause instead of the toolkit's few
// seconds, unless a widget sets its own.
class HintHidePause : public QObject
{
public:
    HintHidePause(int milliseconds, QObject *parent) : QObject(parent), ms_(milliseconds) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->toolTip().isEmpty() || widget->toolTipDuration() >= 0)
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, ms_);
        return true;
    }

private:
    int ms_;
};

// The respondent details stand in the hint one to a line.
const QString kDetailsSeparator = QStringLiteral("\r\n");

// Whether a memo gives a text back as it was set: it reads line and paragraph separators and
// frame marks as "\n", a "\r" as a line end and a non-breaking space as a blank.
bool memoGivesBack(const QString &text)
{
    for (char16_t c : {u'\r', u'\x2028', u'\x2029', u'\xA0', u'\xFDD0', u'\xFDD1'})
        if (text.contains(QChar(c)))
            return false;
    return true;
}

QLabel *fieldCaption(QWidget *parent, const QString &text, QPoint at)
{
    auto *label = new QLabel(text, parent);
    label->setFont(pixelFont(kSansSerif, kCaptionFontPx));
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setGeometry(at.x(), at.y(), 61, 20);
    return label;
}

// The open dialog starts with an empty file name, so Enter cannot re-open the last file:
// selectFile() ignores an empty name, so the name field and the selection are cleared here.
void clearFileName(QFileDialog &dialog)
{
    if (auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->clear();
    for (auto *view : dialog.findChildren<QAbstractItemView *>())
        if (view->selectionModel())
            view->selectionModel()->clear();
}

// A text too long for its field shows its beginning, not its end. A field that shows the text
// so already, untouched since, is left as it is and not repainted: a group's code, name and
// date are the same from one group to the next.
void setFieldText(QLineEdit *field, const QString &text)
{
    if (field->text() == text && field->cursorPosition() == 0 && !field->hasSelectedText() &&
        !field->isModified() && !field->isUndoAvailable() && !field->isRedoAvailable())
        return;
    field->setText(text);
    field->setCursorPosition(0);
}

QLineEdit *headerField(QWidget *parent, const QString &text, const QRect &rect)
{
    auto *field = new QLineEdit(text, parent);
    field->setFont(pixelFont(kSansSerif, kFieldFontPx));
    field->setAlignment(Qt::AlignCenter);
    field->setGeometry(rect);
    // Header texts go in whole: the memo and the export show them whole too.
    field->setMaxLength(std::numeric_limits<int>::max());
    // A file dropped on a field loads it, as anywhere else on the window.
    field->setAcceptDrops(false);
    QPalette p = field->palette();
    p.setColor(QPalette::Base, Qt::white);
    field->setPalette(p);
    return field;
}

// The statistics the results table's hints give: a group's intervals and agreement, and a
// comparison's tests or percentiles.
ResultsStatistics resultsStatistics(const ProfileStore &scores, const LoadedProfile *loaded,
                                    const ReferenceProfile *reference, const Disclosure &disclosure)
{
    ResultsStatistics statistics;
    statistics.minSpread = disclosure.minSpread;
    const bool group = loaded && loaded->group;
    if (group) {
        statistics.group = loaded->moments;
        statistics.agreement = agreementOf(loaded->moments);
    }
    if (reference)
        statistics.comparison = comparisonStatistics(scores, group ? &loaded->moments : nullptr,
                                                     *reference, disclosure);
    return statistics;
}

// The warning of a group whose members agree too little for its mean, or nothing: under the
// results table, in the memo's size, where it is read with the means it is about. The label is
// made with the first warning.
void showStatus(QMainWindow &window, const QString &text)
{
    auto *label = window.findChild<QLabel *>(QStringLiteral("laStatus"));
    if (!label) {
        if (text.isEmpty())
            return;
        label = new QLabel(window.centralWidget());
        label->setObjectName(QStringLiteral("laStatus"));
        label->setGeometry(kWarningRect);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFont(pixelFont(kSansSerif, kWarningFontPx));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, kMaroon);
        label->setPalette(palette);
    }
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

} // namespace

TForm1::TForm1(std::unique_ptr<Dialogs> dialogs, std::unique_ptr<DesktopLayer> desktop,
               QWidget *parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)), desktop_(std::move(desktop))
{
    setWindowTitle(kWindowTitle);
    setWindowIcon(programIcon());
    setFont(pixelFont(kSansSerif, kDefaultFontPx));
    setAcceptDrops(true);
    setGeometry(kDesignedRect);

    auto *client = new QWidget(this);
    client->setAutoFillBackground(true);
    client->setBackgroundRole(QPalette::Button);
    setCentralWidget(client);

    createMenu();
    createHeaderPanel(client);
    createViews(client);
    createDiagramPanel(client);

    AboutBox = new TAboutBox(this);
    nameChildren();
    FormCreate();
}

void TForm1::nameChildren()
{
    // Every widget and menu item is named as its member is: tests and tools find them so, as
    // Qt finds any child.
#define NAMED(member) std::pair<QObject *, const char *>(member, #member)
    // clang-format off
    const std::pair<QObject *, const char *> children[] = {
        NAMED(paInfo), NAMED(laA), NAMED(ceCode), NAMED(Label2), NAMED(ceDate),
        NAMED(laName), NAMED(ceName), NAMED(Label3), NAMED(ceNanket), NAMED(laImage),
        NAMED(meInfo), NAMED(ChartAll), NAMED(laPlotN), NAMED(paPlot), NAMED(imJPEG),
        NAMED(imPlot), NAMED(laInfoImage), NAMED(laDateImage), NAMED(laImageN),
        NAMED(ImageInfo), NAMED(laCompareImage), NAMED(sgResF), NAMED(mmOpen),
        NAMED(mmGroup), NAMED(mmBreakdown), NAMED(mmTrend), NAMED(mmCheck),
        NAMED(mmSplitTable), NAMED(mmPlotAll),
        NAMED(mmPlotAllScales), NAMED(mmPlotFactorsIII), NAMED(mmPlotFactorsII),
        NAMED(mmPlotFactorsI), NAMED(mmPlot4lScales), NAMED(mmPlot2FactorsIII),
        NAMED(mmImages), NAMED(mmImageAllScales), NAMED(mmImageFactorsIII),
        NAMED(mmImageFactorsII), NAMED(mmImageAll), NAMED(mmSave), NAMED(mmAnalysisSave),
        NAMED(mmImageSave), NAMED(mmPlotSave), NAMED(mmTableSave), NAMED(mmWorkbookSave),
        NAMED(mmReportSave), NAMED(mmPrint), NAMED(mmCompare), NAMED(mmCompareFile),
        NAMED(mmCompareGroup), NAMED(mmCompareNone), NAMED(AboutBox),
    };
    // clang-format on
#undef NAMED
    for (const auto &[object, name] : children)
        object->setObjectName(QLatin1String(name));
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    programFolder_ = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    const QFont labelFont = pixelFont(kSansSerif, kPanelLabelFontPx);
    for (int i = 1; i <= kDiagramLabelCount; ++i) {
        DiagramLabels[i] = new TLabel(paPlot, labelFont, palette().color(QPalette::WindowText));
        DiagramLabels[i]->setObjectName(QStringLiteral("DiagramLabel%1").arg(i));
        DiagramLabels[i]->setAlignment(Qt::AlignCenter);
    }

    systemMenu_ =
        installSystemMenu(*this, *menuBar(), [this](int command) { SystemMenuCommand(command); });
    if (desktop_->hideTaskBar())
        desktop_->SetWorkAreaToScreen();
    qApp->installEventFilter(new HintHidePause(kHintHidePauseMs, this));
}

void TForm1::createMenu()
{
    QMenuBar *bar = menuBar();
    bar->setStyle(new MenuBarStyle(bar));
    mmOpen = bar->addAction(menuGlyph(MenuGlyph::Open), QStringLiteral("Data"), this,
                            [this] { mmOpenClick(); });
    mmGroup = bar->addAction(menuGlyph(MenuGlyph::Group), QStringLiteral("Group"), this,
                             [this] { mmGroupClick(); });

    mmPlotAll = bar->addMenu(menuGlyph(MenuGlyph::Plots), QStringLiteral("Plots"));
    mmPlotAll->setProperty(kLabelsFlagProperty, 0);
    // Each item as its view's table names it.
    auto plotItem = [this](ChartViewKind kind, void (TForm1::*handler)()) {
        return mmPlotAll->addAction(QString::fromUtf16(chartViewEntry(kind).menuCaption), this,
                                    [this, handler] { (this->*handler)(); });
    };
    mmPlotAllScales = plotItem(ChartViewKind::ScalesByFactorsII, &TForm1::mmPlotAllScalesClick);
    mmPlotFactorsIII = plotItem(ChartViewKind::FactorsIII, &TForm1::mmPlotFactorsIIIClick);
    mmPlotFactorsII = plotItem(ChartViewKind::FactorsII, &TForm1::mmPlotFactorsIIClick);
    mmPlotFactorsI = plotItem(ChartViewKind::FactorsI, &TForm1::mmPlotFactorsIClick);
    mmPlot4lScales = plotItem(ChartViewKind::BaseScales, &TForm1::mmPlot4lScalesClick);
    mmPlot2FactorsIII = plotItem(ChartViewKind::BaseFactorsIII, &TForm1::mmPlot2FactorsIIIClick);

    mmImages = bar->addMenu(menuGlyph(MenuGlyph::Images), QStringLiteral("Images"));
    auto imageItem = [this](DiagramKind kind, void (TForm1::*handler)()) {
        const DiagramKindEntry &entry = diagramKindEntry(kind);
        return mmImages->addAction(menuGlyph(entry.icon), QString::fromUtf16(entry.menuCaption),
                                   this, [this, handler] { (this->*handler)(); });
    };
    mmImageAllScales = imageItem(DiagramKind::Scales, &TForm1::mmImageAllScalesClick);
    mmImageFactorsIII = imageItem(DiagramKind::FactorsIII, &TForm1::mmImageFactorsIIIClick);
    mmImageFactorsII = imageItem(DiagramKind::FactorsII, &TForm1::mmImageFactorsIIClick);
    mmImageAll = imageItem(DiagramKind::All, &TForm1::mmImageAllClick);

    mmSave = bar->addMenu(menuGlyph(MenuGlyph::Save), QStringLiteral("Save"));
    mmAnalysisSave = mmSave->addAction(menuGlyph(MenuGlyph::SaveText), QStringLiteral("Analysis"),
                                       this, [this] { mmAnalysisSaveClick(); });
    mmImageSave = mmSave->addAction(menuGlyph(MenuGlyph::SavePicture), QStringLiteral("Image"),
                                    this, [this] { mmImageSaveClick(); });
    mmPlotSave = mmSave->addAction(menuGlyph(MenuGlyph::SavePicture), QStringLiteral("Plot"), this,
                                   [this] { mmPlotSaveClick(); });
    mmTableSave = mmSave->addAction(menuGlyph(MenuGlyph::SaveText), QStringLiteral("Table (CSV)"),
                                    this, [this] { mmTableSaveClick(); });
    // In English like its neighbours: the Save items are the menu's English part.
    mmWorkbookSave =
        mmSave->addAction(menuGlyph(MenuGlyph::SaveText), QStringLiteral("Таблица (Excel)"), this,
                          [this] { mmWorkbookSaveClick(); });
    mmReportSave = mmSave->addAction(menuGlyph(MenuGlyph::SaveText), QStringLiteral("Report (PDF)"),
                                     this, [this] { mmReportSaveClick(); });
    mmPrint = mmSave->addAction(QStringLiteral("Print…"), this, [this] { mmPrintClick(); });
    mmPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    mmCompare = bar->addMenu(menuGlyph(MenuGlyph::Compare), QStringLiteral("Сравнение"));
    mmCompareFile = mmCompare->addAction(menuGlyph(MenuGlyph::Open), QStringLiteral("С файлом…"),
                                         this, [this] { mmCompareFileClick(); });
    mmCompareGroup = mmCompare->addAction(menuGlyph(MenuGlyph::Group), QStringLiteral("С группой…"),
                                          this, [this] { mmCompareGroupClick(); });
    mmCompareNone = mmCompare->addAction(QStringLiteral("Без сравнения"), this,
                                         [this] { mmCompareNoneClick(); });
    mmCompareNone->setEnabled(false);
    mmCompare->addSeparator();
    // Like Group, the breakdown needs nothing loaded: the menu stands open from the start, and
    // the comparisons wait for a profile to compare.
    mmBreakdown = mmCompare->addAction(menuGlyph(MenuGlyph::Group), QStringLiteral("Подгруппы…"),
                                       this, [this] { mmBreakdownClick(); });
    mmTrend = mmCompare->addAction(QStringLiteral("Динамика…"), this, [this] { mmTrendClick(); });
    // What a survey's answers are before anything is loaded from them.
    mmCompare->addSeparator();
    mmCheck = mmCompare->addAction(QStringLiteral("Проверить папку или таблицу…"), this,
                                   [this] { mmCheckClick(); });
    mmSplitTable = mmCompare->addAction(QStringLiteral("Таблицу — в файлы анкет…"), this,
                                        [this] { mmSplitTableClick(); });
    for (QAction *compare : {mmCompareFile, mmCompareGroup})
        compare->setEnabled(false);

    for (QMenu *menu : {mmPlotAll, mmImages, mmSave})
        menu->menuAction()->setEnabled(false);
}

void TForm1::createHeaderPanel(QWidget *client)
{
    paInfo = new TPanel(client);
    paInfo->setGeometry(kInfoRect);
    laA = fieldCaption(paInfo, QStringLiteral("Код"), {18, 17});
    ceCode = headerField(paInfo, QStringLiteral("0000"), {92, 15, 81, 26});
    Label2 = fieldCaption(paInfo, QStringLiteral("Дата"), {184, 17});
    ceDate = headerField(paInfo, QStringLiteral("00.00.0000"), {268, 15, 133, 26});
    laName = fieldCaption(paInfo, QStringLiteral("Группа"), {18, 55});
    ceName = headerField(paInfo, QString(), {92, 53, 309, 26});
    Label3 = fieldCaption(paInfo, QStringLiteral("N анкет"), {18, 93});
    ceNanket = headerField(paInfo, QStringLiteral("12"), {92, 91, 81, 26});
    ceNanket->setReadOnly(true);
    laImage = new TLabel(paInfo, pixelFont(kSansSerif, kImageTitleFontPx), kMaroon,
                         TLabel::Anchor::Right);
    laImage->setCaption(QStringLiteral("График факторов (III)"));
    laImage->place(400, 94);

    for (QLineEdit *field : {ceCode, ceName, ceDate})
        field->installEventFilter(this);
}

void TForm1::createViews(QWidget *client)
{
    meInfo = new QPlainTextEdit(client);
    meInfo->setGeometry(kMemoRect);
    meInfo->setFont(pixelFont(kTimes, kMemoFontPx));
    meInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meInfo->setAcceptDrops(false);
    meInfo->viewport()->setAcceptDrops(false);
    QPalette memoPalette = meInfo->palette();
    memoPalette.setColor(QPalette::Base, Qt::white);
    meInfo->setPalette(memoPalette);

    ChartAll = new TChart(client);
    chartSeries_ = configureChartAll(*ChartAll);
    ChartAll->setGeometry(kChartRect);
    laPlotN = new TLabel(ChartAll, pixelFont(kSansSerif, kPanelLabelFontPx, true), Qt::black,
                         TLabel::Anchor::Right);
    laPlotN->setCaption(QStringLiteral("A"));
    laPlotN->place(408, 6);

    sgResF = new TStringGrid(client);
    sgResF->setGeometry(kGridRect);
    setupResultsGrid(*sgResF);

    for (QWidget *view : std::initializer_list<QWidget *>{paInfo, meInfo, ChartAll, sgResF})
        view->hide();
}

void TForm1::createDiagramPanel(QWidget *client)
{
    paPlot = new TPanel(client);
    paPlot->setGeometry(kPlotRect);
    createDiagramImages();
    const QFont font = pixelFont(kSansSerif, kPanelLabelFontPx);
    laInfoImage = new TLabel(paPlot, font, kMaroon);
    laInfoImage->setCaption(QStringLiteral("Code. Name"));
    laInfoImage->place(10, 4);
    laDateImage = new TLabel(paPlot, font, kMaroon, TLabel::Anchor::Right);
    laDateImage->setCaption(QStringLiteral("Date"));
    laDateImage->place(589, 4);
    // A dashed sample, as the reference's polygons are drawn, then the reference's name; placed
    // when a reference is taken (DiagramPanel.cpp).
    laCompareImage = new TLabel(paPlot, pixelFont(kSansSerif, kReferenceLabelFontPx), kMaroon);
    laCompareImage->setLeading(kReferenceLeadingWidth, [](QPainter &p, const QRect &r) {
        paintReferenceSample(p, QRect(r.topLeft(), QSize(kReferenceSampleWidth, r.height())),
                             Qt::black);
    });
    laCompareImage->hide();
    laImageN = new TLabel(paPlot, pixelFont(kSansSerif, kPanelLabelFontPx, true), kRed,
                          TLabel::Anchor::Right);
    laImageN->setCaption(QStringLiteral("A"));
    laImageN->place(589, 540);
    // Never shown: its hint is where the respondent details are kept.
    ImageInfo = new QLabel(QStringLiteral("43"), paPlot);
    ImageInfo->hide();
    paPlot->hide();
}

// ---- commands

void TForm1::runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &e) {
        dialogs_->showError(this, windowErrorText(e));
    }
}

// The file dialogs are made on first use: building one costs more than the rest of the window.
QFileDialog &TForm1::openDialog()
{
    if (!OpenDialog1) {
        OpenDialog1 = new QFileDialog(this);
        OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
        OpenDialog1->setNameFilter(kOpenDialogFilter);
        OpenDialog1->setFileMode(QFileDialog::ExistingFile);
        OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
        OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
        fitFileDialog(*OpenDialog1);
    }
    return *OpenDialog1;
}

QFileDialog &TForm1::saveDialog()
{
    // Every Save command starts here, so an installed program's results folder in the user's
    // documents is made before the first name is proposed in it.
    makeResultsFolder(programFolder_);
    if (!SaveDialog) {
        SaveDialog = newSaveDialog(this);
        SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
    }
    return *SaveDialog;
}

QString TForm1::runOpenDialog(const QString &title)
{
    return runOpenDialog(title, {kOpenDialogFilter});
}

QString TForm1::runOpenDialog(const QString &title, const QStringList &filters)
{
    QFileDialog &dialog = openDialog();
    dialog.setNameFilters(filters);
    dialog.setWindowTitle(title);
    dialog.setDirectory(programFolders(programFolder_).data);
    clearFileName(dialog);
    return dialogs_->runOpenDialog(dialog);
}

QString TForm1::runGroupDialog(const QString &title)
{
    const QString path = runOpenDialog(title, kGroupDialogFilters);
    if (path.isEmpty())
        return {};
    // Any answer file of a folder stands for the whole folder.
    return isTablePath(QFile::encodeName(path)) ? path : QFileInfo(path).absolutePath();
}

QString TForm1::runFolderDialog(const QString &objectName, const QString &title,
                                const QString &folder)
{
    QFileDialog dialog(this);
    dialog.setObjectName(objectName);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    fitFileDialog(dialog);
    dialog.setWindowTitle(title);
    dialog.setDirectory(folder);
    return dialogs_->runOpenDialog(dialog);
}

void TForm1::mmOpenClick()
{
    const QString path = runOpenDialog(QStringLiteral("Индивидуальные данные для оценки ТР"));
    if (path.isEmpty())
        return;
    runCommand([&] { loadDataFile(path); });
}

void TForm1::mmGroupClick()
{
    const QString group = runGroupDialog(QStringLiteral("Ввод групповых данных для оценки ТР"));
    if (group.isEmpty())
        return;
    runCommand([&] { loadGroupFolder(toNativePath(group)); });
}

void TForm1::openPath(const QString &path)
{
    runCommand([&] { loadPath(toNativePath(path)); });
}

void TForm1::loadPath(const NativePath &path)
{
    if (isGroupPath(path)) {
        loadGroupFolder(path);
    } else {
        showLoaded(loadRespondent(path), respondentNameCaption());
    }
}

void TForm1::loadDataFile(const QString &path)
{
    // Read completely first: a bad file leaves the window and the store as they were.
    showLoaded(loadRespondent(path), respondentNameCaption());
}

void TForm1::loadGroupFolder(const NativePath &path)
{
    TableOptions options;
    if (!isFolder(path) && isTablePath(path)) {
        const std::optional<TableOptions> confirmed = confirmTable(path);
        if (!confirmed)
            return;
        options = *confirmed;
    }
    QStringList notes;
    {
        BusyCursor busy;
        showLoaded(loadGroup(path, todayText(), Members::Keep, {}, options, &notes), groupName(),
                   groupSourceName(path));
    }
    if (!notes.isEmpty())
        dialogs_->showNotes(this, notes);
}

std::optional<TableOptions> TForm1::confirmTable(const NativePath &table)
{
    TableOptions options;
    TableScan scan;
    {
        BusyCursor busy;
        try {
            scan = scanTable(table, options);
        } catch (const ColumnsNotFound &e) {
            // A table whose answers are not found is shown all the same, for the user to name
            // its columns; one that cannot be read at all is an error.
            scan.preview = unmappedPreview(table, options);
            scan.error = e.message();
        }
    }
    return dialogs_->confirmTable(this, table, scan, options);
}

QString TForm1::shownName() const
{
    const QString name = ceName->text();
    return session_.shownName(name);
}

QString TForm1::fileStem() const
{
    const QString code = ceCode->text();
    return session_.fileStem(code);
}

void TForm1::showLoaded(LoadedProfile &&read, const QString &nameCaption, const QString &title)
{
    // The percentages are made here, once, with the session.
    session_ = ProfileSession(std::move(read), title);
    const QString &shownTitle = session_.title();
    // The group on show before the window's own title, as desktop programs name their document.
    setWindowTitle(shownTitle.isEmpty() ? kWindowTitle
                                        : shownBeginning(shownTitle, kShownTitle) +
                                              QStringLiteral(" — ") + kWindowTitle);
    const LoadedProfile &loaded = session_.read();
    setLabelsFlag(0);
    setFieldText(ceDate, loaded.header.date);
    setFieldText(ceCode, loaded.header.code);
    setFieldText(ceName, loaded.header.name);
    laName->setText(nameCaption);
    detailsLines_ = loaded.header.details;
    detailsHint_ = detailsLines_.join(kDetailsSeparator);
    ImageInfo->setToolTip(detailsHint_);

    ComputeProfile();
    ShowWorkspace();
    sgResF->setFocus();
    sgResF->selectCell(1, 1);
    setFieldText(ceNanket, QString::number(loaded.count));
    showStatus(*this, loaded.group ? lowAgreementWarning(agreementOf(loaded.moments)) : QString());
    writeChartFoot(*ChartAll, ceCode->text(), shownName(), ceDate->text(),
                   referenceCaptionText());
    // Every load draws view B, so the title, the letter and the proposed picture name say B:
    // a letter "A" over view B would name the saved picture after a view it does not show.
    nameDiagramView(kLoadDiagramKind);
}

void TForm1::ComputeProfile()
{
    WriteAnalysis();
    mmPlotAllScalesClick();
    fillTableAndDiagram(kLoadDiagramKind);
}

void TForm1::WriteAnalysis()
{
    analysis_ =
        memoTextOf(analysisLines(session_.scores(), headerTexts(), todayText()).join(QLatin1Char('\n')));
    // One redraw for the whole text.
    meInfo->setUpdatesEnabled(false);
    meInfo->setPlainText(analysis_.shown);
    meInfo->setUpdatesEnabled(true);
    memoAsWritten_ = memoGivesBack(analysis_.shown) ? analysis_.shown : meInfo->toPlainText();
}

QStringList TForm1::detailsLines() const
{
    // While the hint holds the lines of the last load, a group's thousand member lines need no
    // splitting again.
    const QString details = detailsText();
    if (!detailsLines_.isEmpty() && details == detailsHint_)
        return detailsLines_;
    return details.split(kDetailsSeparator);
}

HeaderTexts TForm1::headerTexts() const
{
    return {ceCode->text(), ceName->text(), ceDate->text(), detailsLines()};
}

QString TForm1::nameCaption() const
{
    return laName->text();
}

QString TForm1::memoText() const
{
    return meInfo->toPlainText();
}

QString TForm1::analysisText() const
{
    const QString memo = meInfo->toPlainText();
    if (memo == memoAsWritten_)
        return analysis_.whole;
    return wholeTextOf(memo, analysis_);
}

void TForm1::fillTable()
{
    fillResultsTable(*sgResF, session_.scores(), QLocale::system(), referenceStore(),
                     referenceCaptionText(),
                     resultsStatistics(session_.scores(), lastLoad(), reference(), disclosure_));
}

void TForm1::fillTableAndDiagram(DiagramKind kind)
{
    mmSave->menuAction()->setEnabled(true);
    mmPlotAll->menuAction()->setEnabled(true);
    fillTable();
    paintDiagramPolygons(kind);
    if (labelsFlag() == 0) {
        refreshDiagramLabels();
        setLabelsFlag(1);
    }
}

void TForm1::ShowWorkspace()
{
    for (QWidget *view : std::initializer_list<QWidget *>{paInfo, sgResF, paPlot, meInfo, ChartAll})
        view->setVisible(true);
    for (QMenu *menu : {mmPlotAll, mmImages, mmSave})
        menu->menuAction()->setEnabled(true);
    for (QAction *compare : {mmCompareFile, mmCompareGroup})
        compare->setEnabled(true);
}

void TForm1::ceCodeKeyUp()
{
    const QString code = ceCode->text();
    const QString name = shownName();
    const QString date = ceDate->text();
    laInfoImage->setCaption(code + QStringLiteral(". ") + name);
    laDateImage->setCaption(date);
    writeChartFoot(*ChartAll, code, name, date, referenceCaptionText());
}

int TForm1::labelsFlag() const
{
    return mmPlotAll->property(kLabelsFlagProperty).toInt();
}

void TForm1::setLabelsFlag(int flag)
{
    mmPlotAll->setProperty(kLabelsFlagProperty, flag);
}

QString TForm1::detailsText() const
{
    return ImageInfo->toolTip();
}

// ---- chart and diagram views

void TForm1::showChartView(ChartViewKind kind)
{
    const ChartViewEntry &entry = chartViewEntry(kind);
    chartShown_ = kind;
    fillChart(*ChartAll, chartSeries_, chartView(kind, session_.scores(), referenceStore()));
    laPlotN->setCaption(QChar(entry.letter));
    mmPlotSave->setText(QStringLiteral("Plot ") + laPlotN->text());
}

void TForm1::mmPlotAllScalesClick()
{
    showChartView(ChartViewKind::ScalesByFactorsII);
}
void TForm1::mmPlotFactorsIIIClick()
{
    showChartView(ChartViewKind::FactorsIII);
}
void TForm1::mmPlotFactorsIIClick()
{
    showChartView(ChartViewKind::FactorsII);
}
void TForm1::mmPlotFactorsIClick()
{
    showChartView(ChartViewKind::FactorsI);
}
void TForm1::mmPlot4lScalesClick()
{
    showChartView(ChartViewKind::BaseScales);
}
void TForm1::mmPlot2FactorsIIIClick()
{
    showChartView(ChartViewKind::BaseFactorsIII);
}

void TForm1::nameDiagramView(DiagramKind kind)
{
    const DiagramKindEntry &entry = diagramKindEntry(kind);
    laImage->setCaption(QString::fromUtf16(entry.title));
    laImageN->setCaption(QChar(entry.letter));
    mmImageSave->setText(QStringLiteral("Image ") + laImageN->text());
}

void TForm1::showImage(DiagramKind kind)
{
    fillTableAndDiagram(kind);
    nameDiagramView(kind);
}

void TForm1::drawDiagramPanelAlone(DiagramKind kind)
{
    paintDiagramPolygons(kind);
    nameDiagramView(kind);
}

void TForm1::mmImageAllScalesClick()
{
    showImage(DiagramKind::Scales);
}

void TForm1::mmImageFactorsIIIClick()
{
    showImage(DiagramKind::FactorsIII);
}

void TForm1::mmImageFactorsIIClick()
{
    showImage(DiagramKind::FactorsII);
}

void TForm1::mmImageAllClick()
{
    showImage(DiagramKind::All);
}

// ---- window events

void TForm1::SystemMenuCommand(int command)
{
    if (command == kAboutCommandId) {
        // The folders as they stand now: a first save may have made the results folder.
        AboutBox->showFolders(programFolders(programFolder_));
        AboutBox->show();
        AboutBox->raise();
        AboutBox->activateWindow();
    }
}

void TForm1::FormClose()
{
    desktop_->showTaskBar();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormClose();
    AboutBox->hide();
    QMainWindow::closeEvent(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // Every key release in the three editable fields, also of keys that change nothing.
    if (event->type() == QEvent::KeyRelease &&
        (watched == ceCode || watched == ceName || watched == ceDate))
        ceCodeKeyUp();
    return QMainWindow::eventFilter(watched, event);
}

namespace {

// The one local file or folder a drop carries, or empty.
QString droppedPath(const QMimeData *mime)
{
    if (!mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().front().isLocalFile())
        return {};
    return mime->urls().front().toLocalFile();
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QString path = droppedPath(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Load once the drop has finished, so an error box does not hold up the drag source.
    QTimer::singleShot(0, this, [this, path] { openPath(path); });
}

ProfileView TForm1::profileView() const
{
    ProfileView view = session_.view(headerTexts(), reference_, palette());
    view.diagram = diagramShown_;
    view.chart = chartShown_;
    return view;
}
