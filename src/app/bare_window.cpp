// The smallest Qt Widgets program with a main window: the yardstick the editor's
// start-up time is measured against.
#include <QApplication>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(630, 460);
    window.show();
    if (QApplication::arguments().contains(u"--quit-after-show"_s)) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return QApplication::exec();
}
