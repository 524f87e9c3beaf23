#include "PdfDocument.h"

#include "PdfPaintEngine.h"

#include <climits>

PdfDocument::PdfDocument(QIODevice *out)
    // No private page state of Qt's: this device keeps its own (see the header).
    : QPagedPaintDevice(nullptr),
      out_(out),
      layout_(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10)),
      engine_(std::make_unique<PdfPaintEngine>(this))
{
}

PdfDocument::~PdfDocument() = default;

bool PdfDocument::setPageLayout(const QPageLayout &layout)
{
    layout_ = layout;
    return true;
}

bool PdfDocument::setPageSize(const QPageSize &size)
{
    layout_.setPageSize(size);
    return layout_.pageSize().isEquivalentTo(size);
}

bool PdfDocument::setPageOrientation(QPageLayout::Orientation orientation)
{
    layout_.setOrientation(orientation);
    return layout_.orientation() == orientation;
}

bool PdfDocument::setPageMargins(const QMarginsF &margins, QPageLayout::Unit units)
{
    layout_.setUnits(units);
    return layout_.setMargins(margins);
}

bool PdfDocument::newPage()
{
    return engine_->isActive() && engine_->newPage();
}

QPaintEngine *PdfDocument::paintEngine() const
{
    return engine_.get();
}

int PdfDocument::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return layout_.paintRectPixels(kResolution).width();
    case PdmHeight:
        return layout_.paintRectPixels(kResolution).height();
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kResolution;
    case PdmWidthMM:
        return qRound(layout_.paintRect(QPageLayout::Millimeter).width());
    case PdmHeightMM:
        return qRound(layout_.paintRect(QPageLayout::Millimeter).height());
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}
