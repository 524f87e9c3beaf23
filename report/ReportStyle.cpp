#include "ReportStyle.h"

#include "Fonts.h"
#include "PdfDocument.h"
#include "Report.h"
#include "Version.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

QFont reportFont(const QString &family, int units, bool bold)
{
    QFont font = pixelFont(family, units, bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont sansFont(int units, bool bold)
{
    return reportFont(kSansSerif, units, bold);
}

double ascentOf(const QFont &font)
{
    return QFontMetricsF(font).ascent();
}

QString fitted(const QString &text, const QFont &font, double width)
{
    const QFontMetricsF metrics(font);
    // No glyph is narrower than half a full stop: a longer text is cut before it is measured,
    // so a name of a million characters costs no more than one that fits.
    const double narrowest = std::max(0.5, metrics.horizontalAdvance(QLatin1Char('.')) / 2);
    const qsizetype most = qsizetype(width / narrowest) + 2;
    if (text.size() > most)
        return metrics.elidedText(text.left(most) + QChar(0x2026), Qt::ElideRight, width);
    return metrics.elidedText(text, Qt::ElideRight, width);
}

void paintPageFooter(QPainter &painter, const QString &left, int page, int pages)
{
    constexpr int kFooterPx = 26;
    const QFont font = sansFont(kFooterPx);
    painter.fillRect(QRectF(0, kFooterTop, kReportWidth, 2), kRule);
    painter.setFont(font);
    painter.setPen(kMuted);
    const double baseline = kFooterTop + 12 + ascentOf(font);
    const QString pageText = QStringLiteral("Страница %1 из %2").arg(page + 1).arg(pages);
    const double pageWidth = QFontMetricsF(font).horizontalAdvance(pageText);
    painter.drawText(QPointF(0, baseline), fitted(left, font, kReportWidth - pageWidth - 60));
    painter.drawText(QPointF(kReportWidth - pageWidth, baseline), pageText);
}

void setUpReportWriter(PdfDocument &document)
{
    document.setPageLayout(reportPageLayout());
    document.setCreator(kApplicationTitle);
}

void startReportPainting(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
}

bool startReportPage(QPagedPaintDevice &device, QPainter &painter, int page)
{
    if (page > 0 && !device.newPage())
        return false;
    const double scale = std::min(device.width() / kReportWidth, device.height() / kReportHeight);
    painter.resetTransform();
    painter.scale(scale, scale);
    startReportPainting(painter);
    return true;
}
