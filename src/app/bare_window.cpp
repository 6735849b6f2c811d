// The smallest Qt Widgets program with a main window that shows one text label: the
// yardstick the editor's start-up time is measured against. The label matters: the first
// text laid out sets up the font database, which any program that shows text pays.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(u"Railwright"_s, &window));
    window.resize(630, 460);
    window.show();
    if (QApplication::arguments().contains(u"--quit-after-show"_s)) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return QApplication::exec();
}
