// The trend command of the main window: the waves of a parent folder side by side in a window of
// their own, whose waves open in the main window over the wave before them.
#include "UnitPlot.h"

#include "BusyCursor.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "ProgramFolders.h"
#include "Trend.h"
#include "TrendWindow.h"
#include "Waves.h"

#include <QFileDialog>

void TForm1::mmTrendClick()
{
    // The parent holds the waves' folders, not answer files: the dialog picks a folder.
    const QString parent = runFolderDialog(QStringLiteral("TrendDialog"),
                                           QStringLiteral("Динамика: папка с папками волн"),
                                           programFolders(programFolder_).data);
    if (parent.isEmpty())
        return;
    runCommand([&] {
        std::shared_ptr<const Trend> trend;
        {
            BusyCursor busy;
            trend = std::make_shared<const Trend>(
                loadTrend(toNativePath(parent), disclosure_, todayText()));
        }
        auto *window = new TrendWindow(
            trend, *dialogs_,
            [this, trend](std::size_t wave) { runCommand([&] { showWave(trend, wave); }); },
            programFolder_, this);
        window->show();
    });
}

void TForm1::showWave(std::shared_ptr<const Trend> trend, std::size_t wave)
{
    // Both read before anything changes: a wave that no longer loads leaves the window as it was.
    BusyCursor busy;
    LoadedProfile loaded = loadGroup(trend->waves[wave].folder, todayText());
    std::optional<ReferenceProfile> before;
    if (wave > 0)
        before = loadReference(trend->waves[wave - 1].folder, todayText());
    holdReference(std::move(before));
    showLoaded(std::move(loaded), groupName(), trend->waves[wave].name);
    session_.setTrend(std::move(trend));
}
