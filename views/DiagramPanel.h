#pragma once

#include "ProfileView.h"

#include <QImage>
#include <QSize>

class QPainter;

// The diagram panel paPlot as the window shows it: the button face with its two bevels, the
// wheel, the view's polygons over it, the fourteen value labels, the code and name, the date,
// the view's letter and, with a reference, the reference's line in the bottom-left corner.
inline constexpr QSize kDiagramPanelSize(602, 564);

// Where the wheel and the overlay of polygons lie in the panel.
inline constexpr QRect kDiagramImageRect(2, 2, kOverlayWidth, kOverlayHeight);

// The reference's line, its sample and its name, in the panel's bottom-left corner: the one
// stretch of the panel's edge that no word of the wheel crosses and that is wide enough for a
// name. It ends before "Взаимодействие"; a longer name loses its middle.
inline constexpr QPoint kReferenceLabelAt(10, 547);
inline constexpr int kReferenceLabelEnd = 210;

// The panel's captions: their fonts' pixel sizes and colours.
inline constexpr int kPanelLabelFontPx = 13;
inline constexpr int kReferenceLabelFontPx = 11;
inline const QColor kPanelCaptionColor(128, 0, 0);
inline const QColor kPanelLetterColor(255, 0, 0);

// The stored wheel, decoded once and stretched once to the overlay's size; the same picture
// for every thread.
const QImage &diagramBackground();

// The overlay: the view's polygons on a transparent picture of the overlay's size; painted
// again into the same picture, as the window does at every view.
QImage diagramOverlay(const ProfileView &view);
void paintDiagramOverlay(QImage &overlay, const ProfileView &view);

// The reference's name as its line shows it, within the room before the wheel's words.
QString diagramReferenceText(const ProfileView &view);

// Paints the panel of the view's diagram kind with its top-left corner at the painter's origin.
void paintDiagramPanel(QPainter &painter, const ProfileView &view);
// The panel as a picture, at a device pixel ratio of 1.
QImage diagramPanelPicture(const ProfileView &view);
