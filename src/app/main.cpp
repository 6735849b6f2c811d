#include "ui/main/dialog_prompts.h"
#include "ui/main/editor_style.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Railwright"));
    QApplication::setApplicationVersion(QStringLiteral(RAILWRIGHT_VERSION));
    QApplication::setStyle(new railwright::EditorStyle);

    railwright::DialogPrompts prompts;
    railwright::MainWindow window(prompts);
    prompts.setParentWidget(&window);
    window.show();

    // Lets the start-up benchmark time a whole run up to the first shown window.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-show"))) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return QApplication::exec();
}
