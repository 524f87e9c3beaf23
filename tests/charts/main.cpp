#include "Fonts.h"

#include <QApplication>
#include <QLocale>
#include <QStyleFactory>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Pixels and texts are compared, so the platform, scaling, style, fonts and number
    // separators are pinned.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_SCALE_FACTOR", "1");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
