// Writes the desktop icons of the program, drawn by the program's own picture code:
// vorl.svg and vorl-SIZE.png for the sizes menus, panels and launchers ask for (16 to 256)
// into the folder given.
#include "Pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("Usage: gen_icon FOLDER\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 24, 32, 48, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paintProgramPicture(p, size);
        p.end();
        const QString name = QStringLiteral("%1/vorl-%2.png").arg(folder).arg(size);
        if (!image.save(name)) {
            std::fprintf(stderr, "gen_icon: cannot write %s\n", name.toLocal8Bit().constData());
            return 1;
        }
    }
    QSvgGenerator svg;
    svg.setFileName(folder + QStringLiteral("/vorl.svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("VORL"));
    QPainter p;
    if (!p.begin(&svg)) {
        std::fputs("gen_icon: cannot write vorl.svg\n", stderr);
        return 1;
    }
    paintProgramPicture(p, 256);
    p.end();
    return 0;
}
