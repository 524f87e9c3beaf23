#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class PdfDocument;

// The look every page of the report shares: its colours, its fonts and its footer.

// Logical units, tenths of a millimetre: a page's body ends above its footer.
inline constexpr double kBodyBottom = 2600;
inline constexpr double kFooterTop = 2625;

inline const QColor kInk(33, 37, 41);
inline const QColor kMuted(108, 117, 125);
inline const QColor kAccent(31, 58, 95);
inline const QColor kPanelFill(241, 244, 248);
inline const QColor kHeaderFill(222, 229, 238);
inline const QColor kRule(190, 198, 208);
inline const QColor kStripe(248, 249, 251);

// A font of the given family and pixel size in the page's units, unhinted: the layout is
// measured once and must hold at any scale.
QFont reportFont(const QString &family, int units, bool bold = false);
QFont sansFont(int units, bool bold = false);
double ascentOf(const QFont &font);

// Text that must fit a width loses its end to an ellipsis.
QString fitted(const QString &text, const QFont &font, double width);

// A page's footer: a rule, then left cut to fit before "Страница N из M" at the right end.
void paintPageFooter(QPainter &painter, const QString &left, int page, int pages);

// A PDF of the report's kind: A4 with the report's margins, the program as its creator.
void setUpReportWriter(PdfDocument &document);
// The painter as every page and every recorded part of the report starts it.
void startReportPainting(QPainter &painter);
// Starts page (from 0) on device: a new sheet after the first, the report's logical page
// (kReportWidth x kReportHeight) scaled to the sheet. False when the device fails.
bool startReportPage(QPagedPaintDevice &device, QPainter &painter, int page);
