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
#include <QDockWidget>
#include <QPushButton>
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
        QCOMPARE(panel->selectedPieces(), std::vector<std::size_t>{4});
        QCOMPARE(window.gridEditor()->selectedIndex(), 204);

        // From the grid: the flags byte of piece 6 (the loop).
        clickByte(*window.gridEditor(), 209);
        QCOMPARE(panel->selectedPieces(), std::vector<std::size_t>{6});

        // From the picture, in plan: between tile centres (0, 7) and (1, 7) runs piece 15.
        auto* plan = panel->findChild<QToolButton*>(u"TrackPlan"_s);
        QVERIFY(plan != nullptr);
        plan->click();
        TrackPictureView* picture = panel->picture();
        const QPointF at = picture->sceneToWidget().map(QPointF(32, 240));
        QTest::mouseClick(picture, Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(panel->selectedPieces(), std::vector<std::size_t>{15});
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
        QCOMPARE(panel->selectedPieces(), std::vector<std::size_t>{15});

        // A piece the ride cannot lift on: the loop leaves the button disabled.
        clickByte(*window.gridEditor(), 208);
        QVERIFY(!chain->isEnabled());

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
};

QTEST_MAIN(TestTrackPanel)
#include "tst_track_panel.moc"
