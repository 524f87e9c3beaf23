// The breakdown command of the main window: a folder split by a details line into subgroups,
// shown as a heat map in a window of its own, whose rows open in the main window.
#include "UnitPlot.h"

#include "Breakdown.h"
#include "BreakdownWindow.h"
#include "BusyCursor.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"

#include <QApplication>
#include <QFileInfo>

void TForm1::mmBreakdownClick()
{
    const QString folder = runGroupDialog(QStringLiteral("Подгруппы: файл анкеты из папки"));
    if (folder.isEmpty())
        return;
    runCommand([&] {
        // The group is chosen as for the Group command. Every member is read once, here; the
        // split works on what was read.
        const NativePath path = toNativePath(folder);
        TableOptions options;
        if (!isFolder(path)) {
            const std::optional<TableOptions> confirmed = confirmTable(path);
            if (!confirmed)
                return;
            options = *confirmed;
        }
        std::shared_ptr<const LoadedProfile> whole;
        QStringList notes;
        {
            BusyCursor busy;
            whole = std::make_shared<const LoadedProfile>(
                loadGroup(path, todayText(), Members::Keep, {}, options, &notes));
        }
        if (!notes.isEmpty())
            dialogs_->showNotes(this, notes);

        const std::array<QString, kSplitLineCount> common = commonDetailTexts(*whole);
        const std::optional<BreakdownChoice> choice =
            dialogs_->askBreakdown(this, QStringList(common.begin(), common.end()));
        if (!choice)
            return;
        auto breakdown = std::make_shared<const Breakdown>(
            splitGroup(*whole, choice->line, choice->disclosure));
        auto table = std::make_shared<const BreakdownTable>(
            breakdownTable(*whole, *breakdown,
                           isFolder(path) ? shownFolderName(folder) : groupSourceName(path)));
        auto *window = new BreakdownWindow(
            {whole, breakdown, table, programFolder_}, *dialogs_,
            [this, table, whole](LoadedProfile subgroup) {
                runCommand([&] { showSubgroup(std::move(subgroup), *whole, table); });
            },
            this);
        window->show();
    });
}

void TForm1::showSubgroup(LoadedProfile subgroup, const LoadedProfile &whole,
                          std::shared_ptr<const BreakdownTable> breakdown)
{
    // The whole folder becomes the reference: every view shows the subgroup over it at once,
    // drawn once by the load.
    OpenedSubgroup opened = openSubgroup(std::move(subgroup), whole, *breakdown);
    holdReference(std::move(opened.reference));
    disclosure_ = breakdown->disclosure;
    const QString title = opened.profile.header.name;
    showLoaded(std::move(opened.profile), groupName(), title);
    session_.setBreakdown(std::move(breakdown));
}
