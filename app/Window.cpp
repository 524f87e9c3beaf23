#include <QApplication>
#include <QMainWindow>

int runWindow(int argc, char **argv, const QString &)
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.showMaximized();
    return app.exec();
}
