// The smallest Qt Widgets program with a main window: the yardstick the editor's
// start-up time is measured against.
#include <QApplication>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(630, 460);
    window.show();
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-show"))) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return QApplication::exec();
}
