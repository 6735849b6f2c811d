#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/track_records.h"
#include "support/window_steps.h"
#include "ui/grid/grid_editor.h"
#include "ui/main/main_window.h"
#include "ui/track/track_panel.h"
#include "ui/track/track_picture_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <QWheelEvent>

using namespace railwright;
using namespace railwright::test;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

class TestTrackPanel : public QObject
{
    Q_OBJECT

private:
    void trigger(MainWindow& window, const char* name)
    {
        QAction* item = window.action(name);
        QVERIFY2(item != nullptr && item->isEnabled(), name);
        item->trigger();
    }

    // Opens `record` as a file and decodes it, as a user does; the Track panel shows.
    TrackPanel* openRecord(MainWindow& window, ScriptedPrompts& prompts, const ByteBuffer& record)
    {
        window.resize(1200, 900);
        window.show();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window)) {
            return nullptr;
        }
        prompts.openPaths.enqueue(
            writeFile(m_dir.path(), u"track.TD4"_s, asBytes(encodedFile(record))));
        window.action("SM_Open")->trigger();
        window.action("Toolbar_Decode")->trigger();
        return window.trackPanel();
    }

    // Clicks row `row` of the piece list, Ctrl held to add it to the rows selected.
    static void clickRow(TrackPanel& panel, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTableView* list = panel.pieceList();
        const QModelIndex cell = list->model()->index(row, 1);
        list->scrollTo(cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualRect(cell).center());
    }

    // The bytes the grid tints or marks as selected, "first-last" runs among `from`..`to`.
    static QString markedBytes(GridEditor& editor, qsizetype from, qsizetype to)
    {
        QStringList runs;
        const int perRow = editor.bytesPerRow();
        qsizetype start = -1;
        for (qsizetype i = from; i <= to + 1; ++i) {
            const QModelIndex cell =
                editor.grid()->model()->index(int(i / perRow), int(i % perRow) + 1);
            const bool marked = i <= to && cell.data(Qt::BackgroundRole).isValid();
            if (marked && start < 0) {
                start = i;
            } else if (!marked && start >= 0) {
                runs.append(u"%1-%2"_s.arg(start).arg(i - 1));
                start = -1;
            }
        }
        return runs.join(u' ');
    }

    // Answers the next piece chooser from the keyboard alone: types `typed` into its filter
    // (Alt+S first, for "Show all pieces", when `all`), then Enter.
    static void answerChooser(QWidget* dialog, const QString& typed, bool all)
    {
        QCOMPARE(dialog->objectName(), u"PieceChooser"_s);
        QTRY_VERIFY(QApplication::focusWidget() != nullptr &&
                    QApplication::focusWidget()->objectName() == u"PieceFilter"_s);
        QWidget* filter = QApplication::focusWidget();
        if (all) {
            QTest::keyClick(filter, Qt::Key_S, Qt::AltModifier);
            QTRY_VERIFY(dialog->findChild<QCheckBox*>(u"PieceShowAll"_s)->isChecked());
        }
        QTest::keyClicks(filter, typed);
        QTest::keyClick(filter, Qt::Key_Return);
    }
    static void pickPiece(const QString& typed, bool all = false)
    {
        whenModal([typed, all](QWidget* dialog) {
            answerChooser(dialog, typed, all);
            if (dialog->isVisible()) { // a failed check: the test goes on to report it
                static_cast<QDialog*>(dialog)->reject();
            }
        });
    }

    // Presses `keys` in the piece list. A desktop gives the window its activation back when
    // a dialog closes, and its shortcuts work again; the offscreen platform does not.
    // With `typed`, answers the chooser the keys open (pickPiece).
    static void press(MainWindow& window, const QKeySequence& keys, const QString& typed = {},
                      bool all = false)
    {
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (!typed.isEmpty()) {
            pickPiece(typed, all);
        }
        QTest::keySequence(window.trackPanel()->pieceList(), keys);
    }

    // The decoded record's list, "code flags ..." up to its end marker.
    static QString listBytes(const MainWindow& window)
    {
        const ByteBuffer record = window.document().contents();
        const std::size_t start = record[7] & 4 ? 0xC4 : 0x38;
        ByteBuffer list;
        for (std::size_t i = start; i + 1 < record.size() && record[i] != 0xFF; ++i) {
            list.push_back(record[i]);
        }
        return toHex(list);
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // The window starts from no remembered layout, whatever the user's settings hold.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_dir.filePath(u"settings"_s));
    }

    // The test circuit on a Steel Corkscrew coaster: its list starts at byte 196, each
    // piece two bytes. Pieces are selected from the list, the grid and the picture, and a
    // chain lift is set and undone, all through the real window.
    void selectsAndEditsPieces()
    {
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        window.resize(1200, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.trackPanel() == nullptr); // built when first shown

        ByteBuffer record = trackRecord(8198, 0x13, 0x04, TestCircuit);
        record[6] = 0x01; // continuous circuit
        prompts.openPaths.enqueue(
            writeFile(dir.path(), u"circuit.TD4"_s, asBytes(encodedFile(record))));
        trigger(window, "SM_Open");
        trigger(window, "Toolbar_Decode");
        QVERIFY(window.trackDock()->isVisible());
        TrackPanel* panel = window.trackPanel();
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->summary(), u"Complete circuit: 22 pieces, needs 12 x 8 tiles, 10 land "
                                   u"steps from lowest to highest point"_s);
        QVERIFY(panel->warning().isEmpty());

        // From the list: piece 4 (up 25) selects its code byte 204 in the grid.
        QTableView* list = panel->pieceList();
        const QModelIndex row = list->model()->index(4, 1);
        list->scrollTo(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{4});
        QCOMPARE(window.gridEditor()->selectedIndex(), 204);

        // Tab and Shift+Tab go on to the other controls, not round the list's cells.
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            list->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(list, key);
            QVERIFY(QApplication::focusWidget() != list);
        }

        // From the grid: the flags byte of piece 6 (the loop).
        clickByte(*window.gridEditor(), 209);
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{6});

        // From the picture, in plan: between tile centres (0, 7) and (1, 7) runs piece 15.
        auto* plan = panel->findChild<QToolButton*>(u"TrackPlan"_s);
        QVERIFY(plan != nullptr);
        plan->click();
        TrackPictureView* picture = panel->picture();
        const QPointF at = picture->sceneToWidget().map(QPointF(32, 240));
        QTest::mouseClick(picture, Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{15});
        QCOMPARE(window.gridEditor()->selectedIndex(), 226);

        // Chain lift on the flat, then undone.
        auto* chain = panel->findChild<QPushButton*>(u"TrackChainLift"_s);
        QVERIFY(chain != nullptr && chain->isEnabled());
        chain->click();
        QCOMPARE(window.document().valueAt(227), std::uint8_t(0x80));
        QCOMPARE(list->model()->index(15, 2).data().toString(), u"Chain"_s);
        QCOMPARE(window.action("SM_Undo")->text(), u"&Undo Chain Lift On"_s);
        trigger(window, "SM_Undo");
        QCOMPARE(window.document().valueAt(227), std::uint8_t(0x00));
        QCOMPARE(list->model()->index(15, 2).data().toString(), QString());
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{15});

        // A piece the ride cannot lift on: the loop leaves the button disabled.
        clickByte(*window.gridEditor(), 208);
        QVERIFY(!chain->isEnabled());

        // An end marker typed before the selected piece ends the list there: the piece is
        // selected no more, and nothing reads past the shorter list.
        QVERIFY(window.document().setByte(200, 0xFF));
        QVERIFY(panel->selectedRows().empty());
        QVERIFY(!chain->isEnabled());
        trigger(window, "SM_Undo");

        // A changed code that breaks the circuit shows the warning mark with the reason.
        QVERIFY(window.document().setByte(208, 0x00));
        QCOMPARE(panel->warning(), u"The track does not return to its start, but the ride "
                                   u"runs as a continuous circuit"_s);

        // Piece 6 turned into a half corkscrew, which this ride builds only by cheating: its
        // row carries the warning; the flat before it does not.
        QVERIFY(window.document().setByte(208, 0x34));
        QCOMPARE(list->model()->index(6, 1).data(Qt::ToolTipRole).toString(),
                 u"This ride builds this piece only with a construction cheat"_s);
        QVERIFY(!list->model()->index(5, 1).data(Qt::DecorationRole).isValid());
        QVERIFY(list->model()->index(6, 1).data(Qt::DecorationRole).isValid());
        QCOMPARE(panel->warning(), u"The track does not return to its start, but the ride "
                                   u"runs as a continuous circuit\nPiece 6, left twist down to up "
                                   u"(code 0x34, byte 0xD0): this ride builds this piece only with "
                                   u"a construction cheat"_s);
        window.document().markSaved();
    }

    // The Track menu's shortcuts on pieces chosen in the list (Ctrl+click): station, up 25
    // with a chain and scheme 1, up 60, brakes at speed 3, a flat, on a Steel Corkscrew
    // coaster (list at byte 196). The grid marks every chosen piece's two bytes; each
    // edit is one step, and the status bar names the pieces it skipped and why.
    void trackMenuEditsSelectedPieces_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("report");
        QTest::newRow("chain on") << QList<int>{1, 2, 4} << QKeySequence(u"Ctrl+L"_s)
                                  << u"198-201 204-205"_s << u"205=80"_s
                                  << u"Chain Lift On: pieces 1 and 4; skipped piece 2 (up 60): "
                                     u"this ride cannot carry a chain lift there"_s;
        QTest::newRow("chain off")
            << QList<int>{1, 4} << QKeySequence(u"Ctrl+Shift+L"_s) << u"198-199 204-205"_s
            << u"199=10"_s << u"Chain Lift Off: pieces 1 and 4"_s;
        QTest::newRow("scheme 2") << QList<int>{0, 1, 2} << QKeySequence(u"Ctrl+2"_s)
                                  << u"196-201"_s << u"197=20 199=a0 201=20"_s
                                  << u"Track Scheme 2: pieces 0-2"_s;
        QTest::newRow("speed up") << QList<int>{3, 4} << QKeySequence(u"Ctrl+Shift+Up"_s)
                                  << u"202-205"_s << u"203=04"_s
                                  << u"Brake Speed 4: piece 3; skipped piece 4 (flat): only "
                                     u"brakes and boosters have a speed"_s;
        QTest::newRow("speed down") << QList<int>{3} << QKeySequence(u"Ctrl+Shift+Down"_s)
                                    << u"202-203"_s << u"203=02"_s << u"Brake Speed 2: piece 3"_s;
        QTest::newRow("departure") << QList<int>{0, 3, 4} << QKeySequence(u"Ctrl+Shift+D"_s)
                                   << u"196-197 202-205"_s << u"197=08"_s
                                   << u"Departure Station On: piece 0; skipped pieces 3-4 "
                                      u"(brakes, flat): only station pieces mark the departure "
                                      u"station"_s;
    }
    void trackMenuEditsSelectedPieces()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, marked);
        QFETCH(QString, changed);
        QFETCH(QString, report);
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        const ByteBuffer record = trackRecord(8198, 0x13, 0x04, "02 00 04 90 05 00 63 03 00 00");
        TrackPanel* panel = openRecord(window, prompts, record);
        QVERIFY(panel != nullptr);
        for (const int row : rows) {
            clickRow(*panel, row, row == rows.first() ? Qt::NoModifier : Qt::ControlModifier);
        }
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>(rows.begin(), rows.end()));
        QCOMPARE(markedBytes(*window.gridEditor(), 196, 206), marked);
        QTest::keySequence(QApplication::focusWidget(), keys);
        QStringList bytes;
        const ByteBuffer now = window.document().contents();
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] != record[i]) {
                bytes.append(u"%1=%2"_s.arg(i).arg(now[i], 2, 16, QLatin1Char('0')));
            }
        }
        QCOMPARE(bytes.join(u' '), changed);
        QCOMPARE(window.findChild<QLabel*>(u"StatusPanel5"_s)->text(), report);
        trigger(window, "SM_Undo");
        QCOMPARE(window.document().contents(), record);
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>(rows.begin(), rows.end()));
    }

    // A hedge maze (ride 14) has tiles, not pieces: tiles (1, 0) and (2, 0), the entrance
    // at (1, 1) and the exit at (2, 1), four bytes each from byte 196. A tile chosen in the
    // list, the grid or the picture selects its four bytes; the piece editors and the
    // Track menu stay disabled.
    void mazeTilesSelect()
    {
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        const ByteBuffer record =
            trackRecord(8198, 0x14, 0x04, "01 00 00 0F 02 00 F0 00 01 01 00 08 02 01 02 80", false);
        TrackPanel* panel = openRecord(window, prompts, record);
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->pieceList()->model()->rowCount(), 4);
        GridEditor& grid = *window.gridEditor();
        const auto editorsEnabled = [panel, &window] {
            QStringList enabled;
            for (QWidget* editor : std::initializer_list<QWidget*>{
                     panel->findChild<QPushButton*>(u"TrackChainLift"_s),
                     panel->findChild<QComboBox*>(u"TrackScheme"_s),
                     panel->findChild<QSpinBox*>(u"TrackSpeed"_s),
                     panel->findChild<QCheckBox*>(u"TrackStationBit"_s)}) {
                if (editor->isEnabled()) {
                    enabled.append(editor->objectName());
                }
            }
            for (QAction* item : window.menu("TrackMenu")->actions()) {
                if (item->isEnabled() && !item->isSeparator()) {
                    enabled.append(item->objectName());
                }
            }
            return enabled.join(u' ');
        };

        clickRow(*panel, 1);
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{1});
        QCOMPARE(grid.selectedIndex(), 200);
        QCOMPARE(markedBytes(grid, 196, 212), u"200-203"_s);
        QCOMPARE(editorsEnabled(), QString());

        clickRow(*panel, 3, Qt::ControlModifier);
        QCOMPARE(markedBytes(grid, 196, 212), u"200-203 208-211"_s);

        clickByte(grid, 206);
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{2});
        QCOMPARE(markedBytes(grid, 196, 212), u"204-207"_s);
        QCOMPARE(editorsEnabled(), QString());

        // In plan, the centre of tile (2, 1): the exit.
        panel->findChild<QToolButton*>(u"TrackPlan"_s)->click();
        TrackPictureView* picture = panel->picture();
        QTest::mouseClick(picture, Qt::LeftButton, {},
                          picture->sceneToWidget().map(QPointF(80, 48)).toPoint());
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{3});
        QCOMPARE(grid.selectedIndex(), 208);
        QCOMPARE(editorsEnabled(), QString());
        window.action("TrackChainLiftOn")->trigger();
        QCOMPARE(window.document().contents(), record);
    }
    // Colour, scheme and train edits (each one step on the document's undo stack, as the
    // menus and the Design panel make them) redraw the picture, and so do their undo and
    // redo: the picture's pixels change and come back. The circuit with two trains of
    // three cars, rated 6.5, 7.2 and 4.1, 40 speed units (90 mph), 300 length units.
    void editsRedrawThePicture_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::newRow("spine colour") << 56 << 24;
        QTest::newRow("rail colour") << 60 << 2;
        QTest::newRow("support colour") << 64 << 30;
        QTest::newRow("body colour") << 8 << 18;
        QTest::newRow("trim colour") << 9 << 6;
        QTest::newRow("trains") << 36 << 4;
        QTest::newRow("cars per train") << 37 << 5;
    }
    void editsRedrawThePicture()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        ByteBuffer record = trackRecord(8198, 0x13, 0x04, TestCircuit);
        record[36] = 2;    // trains
        record[37] = 3;    // cars per train
        record[41] = 40;   // top speed
        record[43] = 0x2C; // length 300
        record[44] = 0x01;
        record[51] = 65;
        record[52] = 72;
        record[53] = 41;
        TrackPanel* panel = openRecord(window, prompts, record);
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->statistics(), u"Excitement: 6.5   Intensity: 7.2   Nausea: 4.1\nMaximum "
                                      u"speed: 90.00 mph (144.8 km/h)   Ride length: 984.00 ft "
                                      u"(299.9 m)"_s);
        TrackPictureView* picture = panel->picture();
        const QImage before = picture->grab().toImage();
        QVERIFY(window.document().setByte(offset, std::uint8_t(value)));
        QVERIFY(picture->grab().toImage() != before);
        trigger(window, "SM_Undo");
        QCOMPARE(picture->grab().toImage(), before);
        trigger(window, "SM_Redo");
        QVERIFY(picture->grab().toImage() != before);
        window.document().markSaved();
    }

    // The picture takes the keyboard focus from a click; the arrow keys move it a tenth of
    // its size, + and - zoom by 1.25 about its centre, a drag moves it by the drag and Fit
    // brings it back.
    void picturePansAndZooms_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QPointF>("panPerSize"); // the move in tenths of the size
        QTest::addColumn<double>("zoom");
        QTest::newRow("right") << QList<int>{Qt::Key_Right} << QPoint() << QPointF(-1, 0) << 1.0;
        QTest::newRow("left twice")
            << QList<int>{Qt::Key_Left, Qt::Key_Left} << QPoint() << QPointF(2, 0) << 1.0;
        QTest::newRow("up") << QList<int>{Qt::Key_Up} << QPoint() << QPointF(0, 1) << 1.0;
        QTest::newRow("down") << QList<int>{Qt::Key_Down} << QPoint() << QPointF(0, -1) << 1.0;
        QTest::newRow("plus") << QList<int>{Qt::Key_Plus} << QPoint() << QPointF() << 1.25;
        QTest::newRow("plus, minus")
            << QList<int>{Qt::Key_Plus, Qt::Key_Minus} << QPoint() << QPointF() << 1.0;
        QTest::newRow("minus twice")
            << QList<int>{Qt::Key_Minus, Qt::Key_Minus} << QPoint() << QPointF() << 0.64;
        QTest::newRow("drag") << QList<int>{} << QPoint(40, -30) << QPointF() << 1.0;
    }
    void picturePansAndZooms()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QPoint, drag);
        QFETCH(QPointF, panPerSize);
        QFETCH(double, zoom);
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel = openRecord(window, prompts, trackRecord(8198, 0x13, 0x04, TestCircuit));
        QVERIFY(panel != nullptr);
        panel->findChild<QToolButton*>(u"TrackPlan"_s)->click();
        TrackPictureView* picture = panel->picture();
        // In plan, between tile centres (0, 7) and (1, 7) runs piece 15: a drag from there
        // moves the picture and selects nothing.
        const QPoint onPiece = picture->sceneToWidget().map(QPointF(32, 240)).toPoint();
        // A click where no piece lies gives the focus and selects nothing.
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(QApplication::focusWidget(), picture);
        const QImage fitted = picture->grab().toImage();
        for (const int key : keys) {
            QTest::keyClick(picture, Qt::Key(key));
        }
        if (!drag.isNull()) {
            const QPoint from = onPiece;
            QTest::mousePress(picture, Qt::LeftButton, {}, from);
            QTest::mouseMove(picture, from + drag / 2);
            QTest::mouseMove(picture, from + drag);
            QTest::mouseRelease(picture, Qt::LeftButton, {}, from + drag);
            QVERIFY(panel->selectedRows().empty());
        }
        QCOMPARE(picture->zoom(), zoom);
        const QPointF moved(drag.x() + panPerSize.x() * picture->width() / 10,
                            drag.y() + panPerSize.y() * picture->height() / 10);
        QCOMPARE(picture->pan(), moved);
        QCOMPARE(picture->grab().toImage() != fitted, zoom != 1 || !moved.isNull());
        panel->findChild<QToolButton*>(u"TrackFit"_s)->click();
        QCOMPARE(picture->grab().toImage(), fitted);
    }

    // "Export Picture..." draws the view shown at the size asked for, on the longer side:
    // the side view 2:1, the circuit's 12 x 8 tiles 3:2 in plan. A size out of range is
    // refused with a message and writes nothing.
    void exportsPictureAtAskedSize_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QSize>("written");
        QTest::newRow("side 256") << u"TrackSide"_s << u"256"_s << QSize(256, 128);
        QTest::newRow("side 1000") << u"TrackSide"_s << u"1000"_s << QSize(1000, 500);
        QTest::newRow("plan 300") << u"TrackPlan"_s << u"300"_s << QSize(300, 200);
        QTest::newRow("plan 4096") << u"TrackPlan"_s << u"4096"_s << QSize(4096, 2731);
        QTest::newRow("too small") << u"TrackPlan"_s << u"100"_s << QSize(0, 0);
        QTest::newRow("not a number") << u"TrackSide"_s << u"big"_s << QSize(0, 0);
    }
    void exportsPictureAtAskedSize()
    {
        QFETCH(QString, view);
        QFETCH(QString, size);
        QFETCH(QSize, written);
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel = openRecord(window, prompts, trackRecord(8198, 0x13, 0x04, TestCircuit));
        QVERIFY(panel != nullptr);
        panel->findChild<QToolButton*>(view)->click();
        // The side view's height scale runs up the left edge in its grey; never in plan.
        const QImage shown = panel->picture()->grab().toImage();
        QCOMPARE(shown.pixelColor(2, shown.height() / 2) == QColor(70, 70, 70),
                 view == u"TrackSide"_s);
        const QString path = m_dir.filePath(u"picture"_s);
        QFile::remove(path + u".png"_s);
        prompts.texts.enqueue(size);
        prompts.savePaths.enqueue(path);
        trigger(window, "SM_ExportPicture");
        QCOMPARE(QImage(path + u".png"_s).size(), written);
        QCOMPARE(prompts.messages.size(), written.isEmpty() ? 1 : 0);
        // "Copy Picture" copies the picture as the panel shows it.
        QGuiApplication::clipboard()->clear();
        trigger(window, "SM_CopyPicture");
        QCOMPARE(QGuiApplication::clipboard()->image().size(), shown.size());
    }

    // The window's size, the docks' places and the split between the picture and the list
    // come back in the next run (a settings folder of its own); Reset Layout gives back
    // the first window's.
    void layoutComesBackAfterRestart()
    {
        QTemporaryDir settingsDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        const ByteBuffer record = trackRecord(8198, 0x13, 0x04, TestCircuit);
        QList<int> split;
        QSize firstSize;
        {
            ScriptedPrompts prompts;
            MainWindow window(prompts);
            firstSize = window.size();
            TrackPanel* panel = openRecord(window, prompts, record);
            QVERIFY(panel != nullptr);
            window.resize(1100, 1000);
            window.addDockWidget(Qt::RightDockWidgetArea, window.trackDock());
            QApplication::processEvents();
            auto* splitter = panel->findChild<QSplitter*>(u"TrackSplit"_s);
            const int height = splitter->sizes().at(0) + splitter->sizes().at(1);
            splitter->setSizes({height / 2, height - height / 2});
            split = splitter->sizes();
            window.document().markSaved();
            QVERIFY(window.close());
        }
        {
            // A run that never shows the Track panel keeps its split.
            ScriptedPrompts prompts;
            MainWindow window(prompts);
            QVERIFY(window.close());
        }
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        QCOMPARE(window.size(), QSize(1100, 1000));
        TrackPanel* panel = openRecord(window, prompts, record);
        QVERIFY(panel != nullptr);
        window.resize(1100, 1000); // openRecord's own size, undone
        QApplication::processEvents();
        QCOMPARE(window.dockWidgetArea(window.trackDock()), Qt::RightDockWidgetArea);
        // The picture's share of the split, as the dock's height allows.
        const QList<int> restored = panel->findChild<QSplitter*>(u"TrackSplit"_s)->sizes();
        QVERIFY2(std::abs(double(restored[0]) / (restored[0] + restored[1]) -
                          double(split[0]) / (split[0] + split[1])) < 0.02,
                 qPrintable(u"%1:%2 after %3:%4"_s.arg(restored[0])
                                .arg(restored[1])
                                .arg(split[0])
                                .arg(split[1])));

        trigger(window, "SM_ResetLayout");
        QApplication::processEvents();
        // The first size, or as much more as the docks need on a small screen.
        QCOMPARE(window.size(), firstSize.expandedTo(window.minimumSizeHint()));
        QCOMPARE(window.dockWidgetArea(window.trackDock()), Qt::LeftDockWidgetArea);
        QVERIFY(window.trackDock()->isVisible());
        // The picture has at least half the dock's height.
        QVERIFY2(
            panel->picture()->height() * 2 >= window.trackDock()->height(),
            qPrintable(
                u"%1 of %2"_s.arg(panel->picture()->height()).arg(window.trackDock()->height())));
        window.document().markSaved();
    }

    // From three station pieces, the last one selected, Insert After (the Insert key)
    // builds after it; each new piece is selected, so the next one follows it. The pieces
    // are picked by typing a code or a name and Enter; the last turn is named by the Close
    // Circuit hint before it is built, and the circuit closes.
    void buildsCircuitFromKeyboard()
    {
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel =
            openRecord(window, prompts, trackRecord(8058, 0x13, 0, "02 00 03 00 01 00"));
        QVERIFY(panel != nullptr);
        panel->pieceList()->setFocus();
        for (int row = 0; row < 3; ++row) {
            QTest::keyClick(panel->pieceList(), Qt::Key_Down);
        }
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{2});
        const int opened = window.document().undoStack()->count();
        const QStringList typed = {
            u"2B"_s, u"right quarter turn 3 tiles"_s, u"flat"_s, u"00"_s, u"flat"_s, u"2b"_s,
            u"2B"_s};
        for (const QString& piece : typed) {
            if (&piece == &typed.last()) {
                QCOMPARE(panel->closeHint(), u"Close Circuit: right quarter turn 3 tiles"_s);
            }
            press(window, QKeySequence(Qt::Key_Insert), piece);
        }
        QCOMPARE(listBytes(window),
                 u"02 00 03 00 01 00 2B 00 2B 00 00 00 00 00 00 00 2B 00 2B 00"_s);
        QVERIFY(panel->summary().startsWith(u"Complete circuit: 10 pieces"_s));
        QCOMPARE(panel->closeHint(), QString());
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{9});
        QCOMPARE(window.document().undoStack()->count(), opened + 7);
        QCOMPARE(window.document().undoStack()->undoText(), u"Insert Piece"_s);
    }

    // Each edit of the command line's cases made in the window: rows chosen in the list,
    // the menu's shortcut, the piece picked in the chooser; the record comes out as the
    // command line writes it, every byte outside the list as it was.
    void editsMatchCommandLine_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < TrackEditCases().size(); ++i) {
            QTest::newRow(TrackEditCases()[i].name) << int(i);
        }
    }
    void editsMatchCommandLine()
    {
        QFETCH(int, index);
        const TrackEditCase& edit = TrackEditCases()[std::size_t(index)];
        const std::size_t length = edit.byte7 & 4 ? 8198 : 8058;
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel =
            openRecord(window, prompts, trackRecord(length, 0x13, edit.byte7, edit.before));
        QVERIFY(panel != nullptr);
        for (std::size_t a = 0; a + 1 < edit.arguments.size(); a += 2) {
            const QString option = QString::fromLatin1(edit.arguments[a]);
            const QString value = QString::fromLatin1(edit.arguments[a + 1]);
            const int at = value.section(u':', 0, 0).section(u'-', 0, 0).toInt();
            if (option == u"--delete"_s) {
                const int last = value.contains(u'-') ? value.section(u'-', 1).toInt() : at;
                for (int row = at; row <= last; ++row) {
                    clickRow(*panel, row, row == at ? Qt::NoModifier : Qt::ControlModifier);
                }
                press(window, QKeySequence(u"Ctrl+Del"_s));
                continue;
            }
            const QStringList codes = value.section(u':', 1).split(u',');
            for (int c = 0; c < codes.size(); ++c) {
                const bool insert = option == u"--insert"_s;
                const int row = insert ? at + c - 1 : at + c;
                clickRow(*panel, std::max(row, 0));
                press(window,
                      QKeySequence(!insert   ? u"Ctrl+R"_s
                                   : row < 0 ? u"Shift+Ins"_s
                                             : u"Ins"_s),
                      codes[c], true);
            }
        }
        QCOMPARE(window.document().contents(), trackRecord(length, 0x13, edit.byte7, edit.after));
    }

    // Deleting a piece of a complete circuit leaves the track open by that piece: the
    // summary says where its end is, the hint names the piece that closes it, and Undo
    // closes it again; the Close Circuit button builds it at the open end. A flat taken
    // from the middle leaves an end that has run past the start: nothing closes that.
    void deleteOpensCircuitAndUndoCloses()
    {
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel = openRecord(window, prompts, trackRecord(8058, 0x13, 0, BuiltCircuit));
        QVERIFY(panel != nullptr);
        const QString complete = panel->summary();
        QVERIFY(complete.startsWith(u"Complete circuit: 10 pieces"_s));
        clickRow(*panel, 6);
        trigger(window, "TrackDelete");
        QCOMPARE(panel->closeHint(),
                 u"No one or two pieces close this track: its end is 1 tile west"_s);
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{5});
        QCOMPARE(window.findChild<QLabel*>(u"StatusPanel5"_s)->text(), u"Delete Piece: piece 6"_s);
        trigger(window, "SM_Undo");
        QCOMPARE(panel->summary(), complete);
        QCOMPARE(panel->closeHint(), QString());

        clickRow(*panel, 9);
        trigger(window, "TrackDelete");
        QCOMPARE(listBytes(window), u"02 00 03 00 01 00 2B 00 2B 00 00 00 00 00 00 00 2B 00"_s);
        QCOMPARE(
            panel->summary(),
            u"Open track: from its start, the end is 2 tiles east, 1 tile north, heading differs by a quarter turn"_s);
        QCOMPARE(panel->closeHint(), u"Close Circuit: right quarter turn 3 tiles"_s);
        panel->findChild<QPushButton*>(u"TrackCloseCircuit"_s)->click();
        QCOMPARE(listBytes(window),
                 u"02 00 03 00 01 00 2B 00 2B 00 00 00 00 00 00 00 2B 00 2B 00"_s);
        QCOMPARE(window.document().undoStack()->undoText(), u"Close Circuit"_s);
        QCOMPARE(panel->selectedRows(), std::vector<std::size_t>{9});
        QCOMPARE(panel->summary(), complete);
    }

    // Pieces apart from each other cut in one window (Ctrl+X in its piece list) and pasted in
    // another (Paste Pieces) arrive with their own flags, a chain lift and a scheme, and come out
    // selected.
    void cutAndPasteBetweenWindows()
    {
        QGuiApplication::clipboard()->clear();
        ScriptedPrompts prompts;
        MainWindow from(prompts);
        TrackPanel* source = openRecord(
            from, prompts, trackRecord(8198, 0x13, 0x04, "02 00 03 00 01 10 2B 90 2B 20"));
        QVERIFY(source != nullptr);
        clickRow(*source, 1);
        clickRow(*source, 3, Qt::ControlModifier);
        QTest::keySequence(source->pieceList(), QKeySequence(u"Ctrl+X"_s));
        QCOMPARE(listBytes(from), u"02 00 01 10 2B 20"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"03,2B"_s);

        MainWindow to(prompts);
        TrackPanel* target =
            openRecord(to, prompts, trackRecord(8198, 0x13, 0x04, "02 00 03 30 01 00"));
        QVERIFY(target != nullptr);
        clickRow(*target, 1);
        trigger(to, "TrackPaste");
        QCOMPARE(listBytes(to), u"02 00 03 30 03 00 2B 90 01 00"_s);
        QCOMPARE(target->selectedRows(), (std::vector<std::size_t>{2, 3}));
        QCOMPARE(to.document().undoStack()->undoText(), u"Paste 2 Pieces"_s);
        // The window they were cut from, its Paste off before the cut, pastes them too.
        clickRow(*source, 0);
        trigger(from, "TrackPaste");
        QCOMPARE(listBytes(from), u"02 00 03 00 2B 90 01 10 2B 20"_s);
        from.document().markSaved();
        to.document().markSaved();
    }

    // Four right turns come round over the stations to the tile after them: the last turn
    // crosses two stations, the flat built on crosses the first turn; each pair is named.
    void crossingIsNamed()
    {
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel = openRecord(
            window, prompts,
            trackRecord(8058, 0x13, 0, "02 00 03 00 01 00 2B 00 2B 00 2B 00 2B 00 00 00"));
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->collisions(), u"Collision: Pieces 1 and 6 collide on tile (-1, 0)\n"
                                      u"Collision: Pieces 2 and 6 collide on tile (-2, 0)\n"
                                      u"Collision: Pieces 3 and 7 collide on tile (-3, 0)"_s);
        clickRow(*panel, 7);
        trigger(window, "TrackDelete");
        QCOMPARE(panel->collisions(), u"Collision: Pieces 1 and 6 collide on tile (-1, 0)\n"
                                      u"Collision: Pieces 2 and 6 collide on tile (-2, 0)"_s);
    }

    // The lines under the picture and the rings on it name what pieces names, by the
    // ride's own clearance.
    void collisionsMatchCommandLine_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < CollisionCases().size(); ++i) {
            QTest::newRow(CollisionCases()[i].name) << int(i);
        }
    }
    void collisionsMatchCommandLine()
    {
        QFETCH(int, index);
        const CollisionCase& design = CollisionCases()[std::size_t(index)];
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        TrackPanel* panel =
            openRecord(window, prompts, trackRecord(8058, design.ride, 0, design.pieces));
        QVERIFY(panel != nullptr);
        QStringList expected;
        for (const char* line : design.lines) {
            expected.append(u"Collision: "_s + QString::fromLatin1(line));
        }
        QCOMPARE(panel->collisions(), expected.join(u'\n'));
    }

    // A list filled to the record's 4,000 pieces refuses one more before a piece is picked:
    // nothing changes, no step is made, and the status bar says why.
    void fullListRefusesInsert()
    {
        QByteArray pieces;
        for (int i = 0; i < 4000; ++i) {
            pieces.append("00 00 ");
        }
        ScriptedPrompts prompts;
        MainWindow window(prompts);
        const ByteBuffer record = trackRecord(8198, 0x13, 0x04, pieces.constData());
        TrackPanel* panel = openRecord(window, prompts, record);
        QVERIFY(panel != nullptr);
        const int opened = window.document().undoStack()->count();
        // Refused before the chooser opens: a modal dialog here would stop the test.
        trigger(window, "TrackInsertAfter");
        QCOMPARE(window.document().contents(), record);
        QCOMPARE(window.document().undoStack()->count(), opened);
        QCOMPARE(
            window.findChild<QLabel*>(u"StatusPanel5"_s)->text(),
            u"The track would have 4001 pieces; the record has room for 4000 pieces and the end marker."_s);
    }
};

QTEST_MAIN(TestTrackPanel)
#include "tst_track_panel.moc"
