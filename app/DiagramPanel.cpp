// The diagram panel of the main window: the background picture, the overlay the views are
// drawn on and the value labels around the wheel.
#include "UnitPlot.h"

#include "ChartViews.h"
#include "CultureWheel.h"
#include "DiagramViews.h"
#include "ProfileStore.h"
#include "TImage.h"
#include "TJPEGImage.h"
#include "TLabel.h"
#include "TPanel.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>

namespace {

// The background and the overlay fill the panel inside its bevels.
constexpr QRect kDiagramImageRect(2, 2, kOverlayWidth, kOverlayHeight);

// The reference's line, its sample and its name, in the panel's bottom-left corner: the one
// stretch of the panel's edge that no word of the wheel crosses and that is wide enough for a
// name. It ends before "Взаимодействие"; a longer name loses its middle.
constexpr QPoint kReferenceLabelAt(10, 547);
constexpr int kReferenceLabelEnd = 210;

// The stored wheel, decoded once and stretched once to the overlay's size.
QImage backgroundPicture()
{
    TJPEGImage jpeg;
    jpeg.loadFromBytes(wheelPictureBytes());
    QImage picture(kDiagramImageRect.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    jpeg.draw(painter, picture.rect());
    return picture;
}

} // namespace

void TForm1::createDiagramImages()
{
    imJPEG = new TImage(paPlot);
    imJPEG->setObjectName(QStringLiteral("imJPEG"));
    imJPEG->setGeometry(kDiagramImageRect);
    imJPEG->setPicture(backgroundPicture());

    // The overlay is transparent wherever nothing is drawn, so the picture shows through.
    imPlot = new TImage(paPlot);
    imPlot->setObjectName(QStringLiteral("imPlot"));
    imPlot->setGeometry(kDiagramImageRect);
    QImage overlay(kDiagramImageRect.size(), QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    imPlot->setPicture(overlay);
}

void TForm1::refreshReferenceLabel()
{
    const bool shown = reference_.has_value();
    if (shown) {
        const int room = kReferenceLabelEnd - kReferenceLabelAt.x() - kReferenceLeadingWidth;
        laCompareImage->setCaption(fittedReferenceCaption(
            {}, referenceCaptionText(), QFontMetricsF(laCompareImage->font()), room));
        laCompareImage->place(kReferenceLabelAt.x(), kReferenceLabelAt.y());
    }
    laCompareImage->setVisible(shown);
}

void TForm1::drawDiagram(DiagramKind kind)
{
    diagramShown_ = kind;
    QImage &overlay = imPlot->canvas();
    // Clearing lets the picture show through again; only the views of this call remain.
    overlay.fill(Qt::transparent);
    QPainter painter(&overlay);
    paintDiagramViews(painter, overlay.size(), Profile(), kind, referenceStore());
    painter.end();
    imPlot->update();
}

void TForm1::refreshDiagramLabels()
{
    laInfoImage->setCaption(ceCode->text() + QStringLiteral(". ") + ceName->text());
    laDateImage->setCaption(ceDate->text());
    const auto looks =
        diagramLabelLooks(Profile(), imPlot->size(), palette().color(QPalette::WindowText));
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
