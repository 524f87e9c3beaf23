// The JPEG writer of the picture saves against libjpeg's own cjpeg on the same pixels: a
// 602 x 564 diagram panel painted by the window, encoded at quality 100 with baseline tables.
// cjpeg runs as a program, so its start-up and file handling are measured on a 1 x 1 picture
// and taken off; what remains is its encoding of the panel.
//
// Usage: bench_jpeg WORK_DIR [REPS]
#include "AnswerGenerator.h"
#include "DesktopLayer.h"
#include "DiagramPanel.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "TJPEGImage.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void writePpm(const QImage &image, const QString &path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "bench_jpeg: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    file.write(QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1());
    for (int y = 0; y < rgb.height(); ++y)
        file.write(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3);
}

// Wall time of one cjpeg run in milliseconds.
double cjpegOnce(const QString &ppm, const QString &jpg)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(QStringLiteral("cjpeg"),
                  {QStringLiteral("-quality"), QStringLiteral("100"), QStringLiteral("-baseline"),
                   QStringLiteral("-outfile"), jpg, ppm});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_jpeg: cjpeg failed (is libjpeg-turbo-progs installed?)\n");
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_jpeg WORK_DIR [REPS]\n");
        return 2;
    }
    const QString work = QString::fromLocal8Bit(argv[1]);
    const int reps = argc > 2 ? std::max(5, std::atoi(argv[2])) : 60;
    QDir().mkpath(work);

    // The picture: the diagram panel of one generated respondent, all views drawn.
    writeAnswerFiles(std::filesystem::path(work.toStdString()) / "one", 1, 7);
    TForm1 form(dialogsThatStopTool("bench_jpeg"), makeInertDesktopLayer());
    form.show();
    form.openPath(work + QStringLiteral("/one/") + QString::fromStdString(generatedFileName(0, 1)));
    form.drawDiagramPanelAlone(DiagramKind::All);
    const QImage panel = diagramPanelPicture(form.profileView());
    const QString ppm = work + QStringLiteral("/panel.ppm");
    const QString tinyPpm = work + QStringLiteral("/tiny.ppm");
    writePpm(panel, ppm);
    writePpm(QImage(1, 1, QImage::Format_RGB888), tinyPpm);

    std::vector<double> ours, theirs, startup;
    qsizetype ourBytes = 0;
    for (int i = 0; i < 3; ++i) { // warm caches and the loader
        cjpegOnce(ppm, work + QStringLiteral("/c.jpg"));
        cjpegOnce(tinyPpm, work + QStringLiteral("/t.jpg"));
    }
    // The three take turns, so a slow moment of the machine does not fall on one of them.
    for (int i = 0; i < reps; ++i) {
        QElapsedTimer timer;
        timer.start();
        TJPEGImage jpeg;
        jpeg.assign(panel);
        jpeg.settings.quality = 100;
        jpeg.compress();
        ours.push_back(double(timer.nsecsElapsed()) / 1e6);
        ourBytes = jpeg.data().size();
        theirs.push_back(cjpegOnce(ppm, work + QStringLiteral("/c.jpg")));
        startup.push_back(cjpegOnce(tinyPpm, work + QStringLiteral("/t.jpg")));
    }
    const double our = median(ours);
    const double encode = std::max(1e-3, median(theirs) - median(startup));
    std::printf("  %-40s median %7.2f ms   (%lld bytes)\n", "SaveAsJpeg encoding, 602 x 564", our,
                static_cast<long long>(ourBytes));
    std::printf("  %-40s median %7.2f ms   (%lld bytes)\n", "cjpeg -quality 100 -baseline, run",
                median(theirs), static_cast<long long>(QFileInfo(work + "/c.jpg").size()));
    std::printf("  %-40s median %7.2f ms\n", "cjpeg on a 1 x 1 picture (start-up)",
                median(startup));
    std::printf("  %-40s median %7.2f ms\n", "cjpeg encoding (run - start-up)", encode);
    std::printf("  %-40s %7.2f          (target: at most 1.2)\n", "ratio ours / cjpeg",
                our / encode);
    return 0;
}
