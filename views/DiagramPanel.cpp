#include "DiagramPanel.h"

#include "Bevel.h"
#include "Caption.h"
#include "CultureWheel.h"
#include "Fonts.h"
#include "ShownText.h"
#include "TJPEGImage.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// One caption of the panel, placed and painted as the window's label of it: by its top-left
// corner at, or by its right end when anchored at the right.
void paintPanelCaption(QPainter &painter, const QString &caption, const QFont &font,
                       const QColor &color, QPoint at, bool rightAnchor, Qt::Alignment alignment,
                       int leadingWidth = 0, const CaptionLeading &leading = {})
{
    // A caption shows no more than a panel's width of its text, from the anchored edge.
    const QString text = rightAnchor ? shownEnd(caption) : shownBeginning(caption);
    const QRect box =
        captionBox(font, painter.device(), text, at.x(), at.y(), rightAnchor, leadingWidth);
    painter.save();
    painter.translate(box.topLeft());
    // A label paints inside its own box only.
    painter.setClipRect(QRect(QPoint(0, 0), box.size()));
    painter.setFont(font);
    painter.setPen(color);
    paintCaption(painter, box.size(), text, alignment, leadingWidth, leading);
    painter.restore();
}

QImage decodedBackground()
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

const QImage &diagramBackground()
{
    static const QImage picture = decodedBackground();
    return picture;
}

QImage diagramOverlay(const ProfileView &view)
{
    QImage overlay(kDiagramImageRect.size(), QImage::Format_ARGB32_Premultiplied);
    paintDiagramOverlay(overlay, view);
    return overlay;
}

void paintDiagramOverlay(QImage &overlay, const ProfileView &view)
{
    // Transparent wherever nothing is drawn, so the wheel shows through; only the views of
    // this painting remain.
    overlay.fill(Qt::transparent);
    QPainter painter(&overlay);
    paintDiagramViews(painter, overlay.size(), view.store, view.diagram, view.referenceStore());
}

QString diagramReferenceText(const ProfileView &view)
{
    const int room = kReferenceLabelEnd - kReferenceLabelAt.x() - kReferenceLeadingWidth;
    return fittedReferenceCaption({}, view.referenceCaptionText(),
                                  QFontMetricsF(pixelFont(kSansSerif, kReferenceLabelFontPx)),
                                  room);
}

void paintDiagramPanel(QPainter &painter, const ProfileView &view)
{
    const QRect panel(QPoint(0, 0), kDiagramPanelSize);
    // The button face shows only around the wheel, whose opaque picture covers the rest.
    const QRect wheel = kDiagramImageRect;
    const QColor face = view.colors.color(QPalette::Button);
    painter.fillRect(QRect(0, 0, panel.width(), wheel.top()), face);
    painter.fillRect(QRect(0, wheel.bottom() + 1, panel.width(), panel.bottom() - wheel.bottom()),
                     face);
    painter.fillRect(QRect(0, wheel.top(), wheel.left(), wheel.height()), face);
    painter.fillRect(
        QRect(wheel.right() + 1, wheel.top(), panel.right() - wheel.right(), wheel.height()), face);
    paintBevel(painter, panel, view.colors, false);
    paintBevel(painter, panel.adjusted(1, 1, -1, -1), view.colors, true);
    painter.drawImage(kDiagramImageRect.topLeft(), diagramBackground());
    painter.drawImage(kDiagramImageRect.topLeft(), diagramOverlay(view));

    // The captions in the order the window stacks its labels.
    const QFont font = pixelFont(kSansSerif, kPanelLabelFontPx);
    const QFont bold = pixelFont(kSansSerif, kPanelLabelFontPx, true);
    constexpr Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    constexpr Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    paintPanelCaption(painter, view.header.code + QStringLiteral(". ") + view.header.name, font,
                      kPanelCaptionColor, {10, 4}, false, left);
    paintPanelCaption(painter, view.header.date, font, kPanelCaptionColor, {589, 4}, true, right);
    if (view.reference)
        paintPanelCaption(
            painter, diagramReferenceText(view), pixelFont(kSansSerif, kReferenceLabelFontPx),
            kPanelCaptionColor, kReferenceLabelAt, false, left, kReferenceLeadingWidth,
            [](QPainter &p, const QRect &r) {
                paintReferenceSample(
                    p, QRect(r.topLeft(), QSize(kReferenceSampleWidth, r.height())), Qt::black);
            });
    paintPanelCaption(painter, QString(QChar(diagramKindEntry(view.diagram).letter)), bold,
                      kPanelLetterColor, {589, 540}, true, right);
    const auto looks = diagramLabelLooks(view.store, kDiagramImageRect.size(),
                                         view.colors.color(QPalette::WindowText));
    for (int i = 1; i <= kDiagramLabelCount; ++i) {
        const DiagramLabelLook &look = looks[std::size_t(i)];
        paintPanelCaption(painter, look.caption, look.bold ? bold : font, look.color,
                          {look.topLeft.X, look.topLeft.Y}, false, Qt::AlignCenter);
    }
}

QImage diagramPanelPicture(const ProfileView &view)
{
    QImage picture(kDiagramPanelSize, QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    QPainter painter(&picture);
    paintDiagramPanel(painter, view);
    return picture;
}
