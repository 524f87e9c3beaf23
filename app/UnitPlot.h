#pragma once

#include "ChartViews.h"
#include "Comparison.h"
#include "DesktopLayer.h"
#include "DiagramViews.h"
#include "Dialogs.h"
#include "GroupSource.h"
#include "MemoText.h"
#include "NativePath.h"
#include "ProfileSession.h"
#include "ProfileView.h"

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class TAboutBox;
class TChart;
class TImage;
class TLabel;
class TPanel;
class TStringGrid;
struct BreakdownTable;
struct Trend;
struct LoadedProfile;

// The main window: header fields, analysis memo, chart, diagram panel and results table, and the
// menu that drives the whole workflow. Each handler carries out one command from start to end;
// the work itself lives in the scoring, results and charts libraries.
class TForm1 : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(TForm1)

public:
    explicit TForm1(std::unique_ptr<Dialogs> dialogs = std::make_unique<WindowDialogs>(),
                    std::unique_ptr<DesktopLayer> desktop = makeDesktopLayer(),
                    QWidget *parent = nullptr);
    ~TForm1() override;

    // commands of the menu
    void mmOpenClick();
    void mmGroupClick();
    void mmBreakdownClick();
    void mmTrendClick();
    void mmCheckClick();
    void mmSplitTableClick();
    void mmPlotAllScalesClick();
    void mmPlotFactorsIIIClick();
    void mmPlotFactorsIIClick();
    void mmPlotFactorsIClick();
    void mmPlot4lScalesClick();
    void mmPlot2FactorsIIIClick();
    void mmImageAllScalesClick();
    void mmImageFactorsIIIClick();
    void mmImageFactorsIIClick();
    void mmImageAllClick();
    // What an item of the Plots menu does: the chart filled as view kind and named after it.
    void showChartView(ChartViewKind kind);
    // What an item of the Images menu does: fillTableAndDiagram, then the panel's title and
    // letter and the Image save named after the kind.
    void showImage(DiagramKind kind);
    // The diagram panel alone drawn as view kind, with its title and letter: what a picture of
    // it needs, without the results table filled again.
    void drawDiagramPanelAlone(DiagramKind kind);
    void mmAnalysisSaveClick();
    void mmImageSaveClick();
    void mmPlotSaveClick();
    void mmTableSaveClick();
    void mmWorkbookSaveClick();
    void mmReportSaveClick();
    void mmPrintClick();
    void mmCompareFileClick();
    void mmCompareGroupClick();
    void mmCompareNoneClick();
    void SystemMenuCommand(int command);

    // Loads from outside the menu (command line, drop): an answer file as the Data command
    // does, a folder as the Group command does for that folder, without the dialog.
    void openPath(const QString &path);
    // A subgroup of a breakdown (read with its members) opened as a group, anonymous
    // (LoadedProfile::anonymous), over the whole folder as the comparison's reference; the
    // report adds the breakdown's heat map.
    void showSubgroup(LoadedProfile subgroup, const LoadedProfile &whole,
                      std::shared_ptr<const BreakdownTable> breakdown);

    // steps of every load
    void ComputeProfile();
    void WriteAnalysis();
    // The results table filled and the diagram's polygons painted as kind, the diagram labels
    // refreshed once after a load; the Plots and Save menus opened.
    void fillTableAndDiagram(DiagramKind kind);
    void ShowWorkspace();
    void ceCodeKeyUp();

    // The profile on show: the load as read, its percentages, what names it and the breakdown
    // or trend it was opened from.
    const ProfileSession &session() const { return session_; }
    // Puts a session on show in place of the one there, without a load's steps: the views show
    // it from the next command that draws them.
    void setSession(ProfileSession session) { session_ = std::move(session); }
    // What the last load read: header texts, count and every member's own scores (raw), for
    // the report and the table of individual results; null before the first load.
    const LoadedProfile *lastLoad() const { return session_.loaded() ? &session_.read() : nullptr; }
    // The breakdown the profile on display was opened from (a row of its window), whose heat
    // map the report adds; null for any other load.
    const BreakdownTable *breakdownOrigin() const { return session_.breakdown(); }
    // The trend the profile on display was opened from (a wave of its window); null otherwise.
    const Trend *trendOrigin() const { return session_.trend(); }
    // The folder the program runs from, with a slash at its end: its Data and Results folders
    // are beside it.
    const QString &programFolder() const { return programFolder_; }
    void setProgramFolder(const QString &folder) { programFolder_ = folder; }
    // What comparisons show of a group's spread and tests: the last breakdown's minimums, or
    // the defaults.
    const Disclosure &disclosure() const { return disclosure_; }
    // What names the group on show, since every group's fields say "0000" and "Группа": its
    // folder or table, the subgroup or the wave; empty for a respondent.
    const QString &profileTitle() const { return session_.title(); }
    // The name as the captions, the report and the window's title give it: the name field, or
    // for a group whose field still says "Группа" the group's own title.
    QString shownName() const;
    // What the proposed file names are made of: the code, and for a group its title after it,
    // as the batch names its files ("Report 0000 Склад.pdf").
    QString fileStem() const;

    // The profile laid over every view, or none. It stays while other files and groups load,
    // until it is cleared or replaced; the views on show are redrawn with it.
    void setReference(std::optional<ReferenceProfile> reference);
    const ReferenceProfile *reference() const { return reference_ ? &*reference_ : nullptr; }

    // The analysis as the Analysis save and the batch write it: the memo's text, with the
    // user's edits, and every line the memo shows cut (MemoText.h) whole again.
    QString analysisText() const;

    // What the views show, from what is on screen: the header fields, the profile, the
    // reference and the views on show.
    ProfileView profileView() const;

    // The labels flag: 0 once a load has started, 1 when the diagram labels are current.
    int labelsFlag() const;
    void setLabelsFlag(int flag);
    // The respondent details, the hint of ImageInfo.
    QString detailsText() const;
    // The same, one line to an item.
    QStringList detailsLines() const;
    // The header fields as they stand, with the details.
    HeaderTexts headerTexts() const;
    // The caption of the name field: "Ф.И.О" for a respondent, "Группа" for a group.
    QString nameCaption() const;
    // The memo's text as it shows, with the user's edits.
    QString memoText() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate();
    void FormClose();
    void createMenu();
    void createHeaderPanel(QWidget *client);
    void createViews(QWidget *client);
    void createDiagramPanel(QWidget *client);
    void nameChildren();
    // diagram panel (DiagramPanel.cpp)
    void createDiagramImages();
    // The profile's polygons (and the reference's) painted on the overlay as kind, which is
    // kept as the diagram on show.
    void paintDiagramPolygons(DiagramKind kind);
    void refreshDiagramLabels();
    // The diagram panel's second line, naming the reference or hidden without one.
    void refreshReferenceLabel();
    // comparison (CompareCommands.cpp)
    // Takes the reference and names it on the diagram panel; the views are drawn later.
    void holdReference(std::optional<ReferenceProfile> reference);
    // The views on show drawn again after the reference changed.
    void redrawComparison();
    const ProfileStore *referenceStore() const { return reference_ ? &reference_->store : nullptr; }
    QString referenceCaptionText() const;

    // Runs one command; its error ends it and is shown in the error box.
    void runCommand(const std::function<void()> &command);
    // The open dialog, showing the answer files, or the files of one of filters.
    QString runOpenDialog(const QString &title);
    QString runOpenDialog(const QString &title, const QStringList &filters);
    // The open dialog of the commands that read a group: answer files and tables. The group the
    // chosen file stands for: a table itself, an answer file its whole folder; empty on cancel.
    QString runGroupDialog(const QString &title);
    // A dialog that picks a folder, opened in folder; the folder chosen, or empty on cancel.
    QString runFolderDialog(const QString &objectName, const QString &title, const QString &folder);
    // openPath's load from the path's own bytes, its error thrown to the caller.
    void loadPath(const NativePath &path);
    // Wave wave of a trend opened as a group, over the wave before it as the comparison's
    // reference (the first wave over none); the report adds the trend's pages.
    void showWave(std::shared_ptr<const Trend> trend, std::size_t wave);
    void loadDataFile(const QString &path);
    // A folder or a table read as a group; a table's mapping and problems are confirmed
    // first through the dialogs, and what its load left out is said after it.
    void loadGroupFolder(const NativePath &folder);
    // How a table is read, as the user confirmed it; nullopt when the user cancelled.
    std::optional<TableOptions> confirmTable(const NativePath &table);
    // Puts a profile that has been read completely on screen: header, store, views.
    // title names a group on show (its folder or table, a subgroup, a wave); empty for a
    // respondent.
    void showLoaded(LoadedProfile &&read, const QString &nameCaption, const QString &title = {});
    // The results table filled from the store, with the reference and the statistics its
    // hints give.
    void fillTable();
    // The panel's title and letter and the Image save's caption for a kind.
    void nameDiagramView(DiagramKind kind);
    // The save dialog of the Picture, Table and Report saves in the results folder; the name
    // the user confirmed, or empty.
    QString askSaveName(const SaveRequest &request);
    bool mayWriteExtended(const QString &chosen, const QString &extended)
    {
        return ::mayWriteExtended(*dialogs_, this, chosen, extended);
    }
    // The Image and Plot saves: dialog, then a screen capture of the control as a JPEG file.
    void savePicture(const QString &title, const QString &prefix, const TLabel *letter,
                     const QWidget *control);
    // The table saves: dialog, then the file of the chosen name made from the load of that
    // moment.
    void saveTable(const QString &title, const QString &filter, const QString &suffix,
                   const QString &proposed,
                   const std::function<QByteArray(const LoadedProfile &, const QString &)> &bytes);

    // The file dialogs, made on first use.
    QFileDialog &openDialog();
    QFileDialog &saveDialog();

    // The widgets and menu items, each named as its member (nameChildren): tests and tools find
    // them by that name, as Qt finds any child.
    // header panel
    TPanel *paInfo = nullptr;
    QLabel *laA = nullptr;
    QLineEdit *ceCode = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *ceDate = nullptr;
    QLabel *laName = nullptr;
    QLineEdit *ceName = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *ceNanket = nullptr;
    TLabel *laImage = nullptr;
    // views
    QPlainTextEdit *meInfo = nullptr;
    TChart *ChartAll = nullptr;
    TLabel *laPlotN = nullptr;
    TPanel *paPlot = nullptr;
    TImage *imJPEG = nullptr;
    TImage *imPlot = nullptr;
    TLabel *laInfoImage = nullptr;
    TLabel *laDateImage = nullptr;
    TLabel *laImageN = nullptr;
    QLabel *ImageInfo = nullptr;
    std::array<TLabel *, 15> DiagramLabels{}; // 1..14
    // Below laInfoImage while there is a reference: a dashed sample and the reference's name.
    TLabel *laCompareImage = nullptr;
    TStringGrid *sgResF = nullptr;
    // menu
    QAction *mmOpen = nullptr;
    QAction *mmGroup = nullptr;
    QAction *mmBreakdown = nullptr;
    QAction *mmTrend = nullptr;
    QAction *mmCheck = nullptr;
    QAction *mmSplitTable = nullptr;
    QMenu *mmPlotAll = nullptr;
    QAction *mmPlotAllScales = nullptr;
    QAction *mmPlotFactorsIII = nullptr;
    QAction *mmPlotFactorsII = nullptr;
    QAction *mmPlotFactorsI = nullptr;
    QAction *mmPlot4lScales = nullptr;
    QAction *mmPlot2FactorsIII = nullptr;
    QMenu *mmImages = nullptr;
    QAction *mmImageAllScales = nullptr;
    QAction *mmImageFactorsIII = nullptr;
    QAction *mmImageFactorsII = nullptr;
    QAction *mmImageAll = nullptr;
    QMenu *mmSave = nullptr;
    QAction *mmAnalysisSave = nullptr;
    QAction *mmImageSave = nullptr;
    QAction *mmPlotSave = nullptr;
    QAction *mmTableSave = nullptr;
    QAction *mmWorkbookSave = nullptr;
    QAction *mmReportSave = nullptr;
    QAction *mmPrint = nullptr;
    QMenu *mmCompare = nullptr;
    QAction *mmCompareFile = nullptr;
    QAction *mmCompareGroup = nullptr;
    QAction *mmCompareNone = nullptr;
    // the About box
    TAboutBox *AboutBox = nullptr;
    // The chart's seven series, owned by the chart.
    ChartAllSeries chartSeries_;
    QFileDialog *OpenDialog1 = nullptr; // made when first needed
    QFileDialog *SaveDialog = nullptr;
    ProfileSession session_;
    QString programFolder_;
    std::optional<ReferenceProfile> reference_;
    // The views on show, to draw again with a new reference.
    DiagramKind diagramShown_ = DiagramKind::FactorsIII;
    ChartViewKind chartShown_ = ChartViewKind::ScalesByFactorsII;
    Disclosure disclosure_;
    // The details of the last load, as lines and as the hint holds them.
    QStringList detailsLines_;
    QString detailsHint_;
    // The analysis text as WriteAnalysis made it, and the memo's text right after, to tell an
    // edited memo from one as it was written.
    MemoText analysis_;
    QString memoAsWritten_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<DesktopLayer> desktop_;
    std::unique_ptr<SystemMenuLayer> systemMenu_;
};
