// Shows the real main window with a generated, decoded track design and saves
// pictures of it, of the About box and of an open menu, for looking at the layout.
// Run it under a real display (e.g. xvfb-run); the output folder is the argument.
#include "codec/checksum.h"
#include "codec/rle.h"
#include "support/scripted_prompts.h"
#include "ui/main/about_text.h"
#include "ui/main/dialog_prompts.h"
#include "ui/main/editor_style.h"
#include "ui/main/main_window.h"
#include "ui/settings/palette_dialog.h"
#include "ui/track/track_commands.h"
#include "ui/track/track_panel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <cstdio>

using namespace Qt::StringLiterals;

using namespace railwright;

namespace {

ByteBuffer sampleRecord()
{
    ByteBuffer record(600);
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = std::uint8_t((i * 37 + 11) % 251);
    }
    for (std::size_t i = 200; i < 600; ++i) {
        record[i] = i % 40 < 25 ? 0 : std::uint8_t(i % 7 + 1);
    }
    record[0] = 0x33; // a ride type
    record[7] = 0x06; // an expansion design, cars of different colours
    record.resize(8198, 0);
    record[600] = 0xFF; // the track's end marker
    return record;
}

bool save(const QPixmap& picture, const QString& path)
{
    const bool ok = picture.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

void settle()
{
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(new EditorStyle);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Wild Mouse.TD4"_s);
    {
        const ByteBuffer file = AppendChecksum(RLEEncode(sampleRecord()), GameVersion::Original);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            return 1;
        }
        f.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
    }

    test::ScriptedPrompts prompts;
    MainWindow window(prompts);
    window.show();
    settle();
    save(window.grab(), out + u"/main-startup.png"_s);

    prompts.openPaths.enqueue(path);
    window.action("SM_Open")->trigger();
    window.action("Toolbar_Decode")->trigger();
    settle();
    bool ok = save(window.grab(), out + u"/main-decoded.png"_s);

    const auto about =
        DialogPrompts::makeMessageBox(AboutText(), u"Help"_s, UserPrompts::Icon::None, &window);
    about->show();
    settle();
    ok = save(about->grab(), out + u"/about.png"_s) && ok;
    about->hide();

    QMenu* rideSet = window.menu("M_RideSet");
    QMenu* color = window.menu("SM_Color");
    const QRect titleRect = window.menuBar()->actionGeometry(window.action("M_RideSet"));
    rideSet->popup(window.menuBar()->mapToGlobal(titleRect.bottomLeft()));
    settle();
    rideSet->setActiveAction(window.action("SM_Color"));
    color->popup(
        rideSet->mapToGlobal(rideSet->actionGeometry(window.action("SM_Color")).topRight()));
    settle();
    ok = save(rideSet->grab(), out + u"/menu-ride-settings.png"_s) && ok;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        save(screen->grabWindow(0), out + u"/screen-menu.png"_s);
    }
    color->hide();
    rideSet->hide();

    // A step to undo, then the Edit menu naming it, over the window and its status bar.
    window.document().setByte(0x20, 0x05);
    QMenu* edit = window.menu("M_Edit");
    const QRect editRect = window.menuBar()->actionGeometry(window.action("M_Edit"));
    edit->popup(window.menuBar()->mapToGlobal(editRect.bottomLeft()));
    settle();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect frame = window.frameGeometry();
        ok = save(screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()),
                  out + u"/edit-menu.png"_s) &&
             ok;
    }
    edit->hide();

    QMenu* options = window.menu("M_Options");
    const QRect optionsRect = window.menuBar()->actionGeometry(window.action("M_Options"));
    options->popup(window.menuBar()->mapToGlobal(optionsRect.bottomLeft()));
    settle();
    ok = save(options->grab(), out + u"/menu-options.png"_s) && ok;
    options->hide();

    // Choices the game does not offer for the ride: a boat hire with log flume boats in
    // continuous circuit mode, the design panel's warning marks giving the reasons.
    window.document().setByte(0, 0x08);
    window.document().setByte(1, 0x25);
    window.document().setByte(6, 0x01);
    window.designDock()->show();
    settle();
    // The reason of the vehicle's mark, as its tooltip shows it, drawn into the picture.
    QPixmap warnings = window.grab();
    if (auto* mark = window.findChild<QWidget*>(u"Warning_vehicle_type"_s)) {
        const QPoint at = mark->mapTo(&window, QPoint(0, mark->height()));
        QToolTip::showText(mark->mapToGlobal(QPoint(0, mark->height())), mark->toolTip(), mark);
        settle();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->inherits("QTipLabel") && top->isVisible()) {
                QPainter painter(&warnings);
                const QPixmap tip = top->grab();
                painter.drawPixmap(
                    std::max(0, std::min(at.x() - tip.width() / 2, warnings.width() - tip.width())),
                    at.y(), tip);
            }
        }
        QToolTip::hideText();
    }
    ok = save(warnings, out + u"/design-warnings.png"_s) && ok;

    // The palette as the keys leave it: the focus ring on the colour chosen.
    PaletteDialog palette(&window);
    palette.show();
    if (auto* swatch = palette.findChild<QWidget*>(u"Colors_25"_s)) {
        swatch->setFocus();
        QTest::keyClick(swatch, Qt::Key_Left); // to Bright Red, which the preview shows
    }
    settle();
    ok = save(palette.grab(), out + u"/palette-dialog.png"_s) && ok;
    // The Track panel in the first window's layout on a circuit with a banked turn, a loop
    // and two trains, its banked turn selected.
    window.document().markSaved();
    prompts.openPaths.enqueue(QString::fromUtf8(RAILWRIGHT_SOURCE_DIR "/docs/banked-circuit.TD4"));
    window.action("SM_Open")->trigger();
    window.action("Toolbar_Decode")->trigger();
    window.resetLayout();
    settle();
    if (window.trackPanel() != nullptr) {
        window.trackCommands()->selectRows({22});
        settle();
        ok = save(window.trackDock()->grab(), out + u"/track-panel.png"_s) && ok;
        ok = save(window.grab(), out + u"/main-track.png"_s) && ok;
    }

    window.document().markSaved();
    return ok ? 0 : 1;
}
