#include "document/native_path.h"
#include "settings/file_association.h"
#include "ui/main/dialog_prompts.h"
#include "ui/main/editor_style.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QStringList>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Railwright"_s);
    QApplication::setApplicationVersion(QString::fromUtf8(RAILWRIGHT_VERSION));
    QGuiApplication::setDesktopFileName(u"io.github.railwright.Railwright"_s);
    // The installed icon theme holds the program's icon in every size; looking it up by
    // name costs nothing until the window system asks for a picture.
    QApplication::setWindowIcon(QIcon::fromTheme(u"io.github.railwright.Railwright"_s));
    QApplication::setStyle(new railwright::EditorStyle);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Editor for RollerCoaster Tycoon track designs (.TD4)."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(u"file"_s, u"A track design to open, as \"Open...\" would."_s,
                                 u"[file]"_s);
    // Lets the start-up benchmark time a whole run up to the first shown window.
    QCommandLineOption quitAfterShow(u"quit-after-show"_s);
    quitAfterShow.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(quitAfterShow);
#ifdef Q_OS_WIN
    parser.process(app);
#else
    // The arguments' own bytes: QApplication turns a file name that is not UTF-8 into one
    // with U+FFFD, which names no file.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(railwright::PathFromNative(argv[i]));
    }
    parser.process(arguments);
#endif

    railwright::DialogPrompts prompts;
#ifdef Q_OS_WIN
    // The zip is installed by unpacking it; this is how its editor opens .TD4 files.
    railwright::FileAssociation association(
        u"HKEY_CURRENT_USER\\Software\\Classes"_s, QSettings::NativeFormat,
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
#endif
    railwright::MainWindow window(prompts);
    prompts.setParentWidget(&window);
#ifdef Q_OS_WIN
    window.offerFileAssociation(association);
#endif
    window.show();

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        window.openPath(files.constFirst());
    }
    if (parser.isSet(quitAfterShow)) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return QApplication::exec();
}
