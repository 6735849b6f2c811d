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
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

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

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

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
};

QTEST_MAIN(TestTrackPanel)
#include "tst_track_panel.moc"
