#pragma once

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QString>
#include <memory>

class PdfPaintEngine;
class QIODevice;

// A PDF file painted with a QPainter, page after page, written by our own engine: vector
// paths, images, and text in fonts prepared once per process (PdfFontProgram), so that a
// document costs only what it paints. Pages are laid out as QPdfWriter lays them out: 1200
// device pixels an inch, the painter's origin at the top left of the page layout's paint
// rectangle. The file is written to the device when the painter ends.
//
// QPagedPaintDevice keeps its page layout in a class of Qt's own that no public API can fill;
// this device keeps its own instead, so pageLayout() and pageRanges() must be called on a
// PdfDocument, not through a QPagedPaintDevice.
class PdfDocument : public QPagedPaintDevice
{
public:
    explicit PdfDocument(QIODevice *out);
    ~PdfDocument() override;
    Q_DISABLE_COPY(PdfDocument)

    static constexpr int kResolution = 1200;

    void setTitle(const QString &title) { title_ = title; }
    QString title() const { return title_; }
    void setCreator(const QString &creator) { creator_ = creator; }
    QString creator() const { return creator_; }

    bool setPageLayout(const QPageLayout &layout) override;
    bool setPageSize(const QPageSize &size) override;
    bool setPageOrientation(QPageLayout::Orientation orientation) override;
    bool setPageMargins(const QMarginsF &margins, QPageLayout::Unit units) override;
    QPageLayout pageLayout() const { return layout_; }
    void setPageRanges(const QPageRanges &ranges) override { ranges_ = ranges; }
    QPageRanges pageRanges() const { return ranges_; }

    bool newPage() override;
    QPaintEngine *paintEngine() const override;
    QIODevice *outputDevice() const { return out_; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QIODevice *out_;
    QString title_, creator_;
    QPageLayout layout_;
    QPageRanges ranges_;
    std::unique_ptr<PdfPaintEngine> engine_;
};
