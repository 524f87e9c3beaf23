// The comparison commands of the main window: a file or a group laid over every view as the
// reference, or none.
#include "UnitPlot.h"

#include "BusyCursor.h"
#include "Comparison.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "TChart.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

void TForm1::setReference(std::optional<ReferenceProfile> reference)
{
    holdReference(std::move(reference));
    redrawComparison();
}

void TForm1::holdReference(std::optional<ReferenceProfile> reference)
{
    reference_ = std::move(reference);
    mmCompareNone->setEnabled(reference_.has_value());
    refreshReferenceLabel();
}

QString TForm1::referenceCaptionText() const
{
    return reference_ ? referenceCaption(*reference_) : QString();
}

void TForm1::redrawComparison()
{
    if (!session_.loaded())
        return;
    fillTable();
    paintDiagramPolygons(diagramShown_);
    showChartView(chartShown_);
    writeChartFoot(*ChartAll, ceCode->text(), shownName(), ceDate->text(),
                   referenceCaptionText());
}

void TForm1::mmCompareFileClick()
{
    const QString path = runOpenDialog(QStringLiteral("Файл для сравнения"));
    if (path.isEmpty())
        return;
    // Read completely first: a file that fails leaves the earlier reference as it was.
    runCommand([&] { setReference(loadReference(toNativePath(path), todayText())); });
}

void TForm1::mmCompareGroupClick()
{
    const QString group = runGroupDialog(QStringLiteral("Группа для сравнения"));
    if (group.isEmpty())
        return;
    runCommand([&] {
        BusyCursor busy;
        setReference(loadReference(toNativePath(group), todayText()));
    });
}

void TForm1::mmCompareNoneClick()
{
    setReference(std::nullopt);
}
