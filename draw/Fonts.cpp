#include "Fonts.h"

void installFontSubstitutions()
{
    QFont::insertSubstitution(kSansSerif, QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(kTimes, QStringLiteral("Liberation Serif"));
}

QFont pixelFont(const QString &family, int pixelHeight, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
