// The diagram panel of the main window: the background picture, the overlay the views are
// drawn on and the value labels around the wheel.
#include "UnitPlot.h"

#include "ChartViews.h"
#include "DiagramPanel.h"
#include "DiagramViews.h"
#include "ProfileStore.h"
#include "TImage.h"
#include "TLabel.h"
#include "TPanel.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>

void TForm1::createDiagramImages()
{
    imJPEG = new TImage(paPlot);
    imJPEG->setGeometry(kDiagramImageRect);
    imJPEG->setPicture(diagramBackground());

    // The overlay is transparent wherever nothing is drawn, so the picture shows through.
    imPlot = new TImage(paPlot);
    imPlot->setGeometry(kDiagramImageRect);
    QImage overlay(kDiagramImageRect.size(), QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    imPlot->setPicture(overlay);
}

void TForm1::refreshReferenceLabel()
{
    const bool shown = reference_.has_value();
    if (shown) {
        laCompareImage->setCaption(diagramReferenceText(profileView()));
        laCompareImage->place(kReferenceLabelAt.x(), kReferenceLabelAt.y());
    }
    laCompareImage->setVisible(shown);
}

void TForm1::paintDiagramPolygons(DiagramKind kind)
{
    diagramShown_ = kind;
    paintDiagramOverlay(imPlot->canvas(), profileView());
    imPlot->update();
}

void TForm1::refreshDiagramLabels()
{
    laInfoImage->setCaption(ceCode->text() + QStringLiteral(". ") + shownName());
    laDateImage->setCaption(ceDate->text());
    const auto looks =
        diagramLabelLooks(session_.scores(), imPlot->size(), palette().color(QPalette::WindowText));
    for (int i = 1; i <= kDiagramLabelCount; ++i) {
        const DiagramLabelLook &look = looks[std::size_t(i)];
        TLabel *label = DiagramLabels[std::size_t(i)];
        label->setCaption(look.caption);
        QFont font = label->font();
        font.setBold(look.bold);
        label->setFont(font);
        label->setTextColor(look.color);
        label->place(look.topLeft.X, look.topLeft.Y);
    }
}
