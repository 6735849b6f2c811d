#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/window_steps.h"
#include "ui/design/design_panel.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_model.h"
#include "ui/main/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

// A Corkscrew Follies record: a wild mouse with mouse cars, two trains of four cars,
// waits 10 and 60 s, colours, statistics and 150 track pieces before the end marker.
ByteBuffer wildMouse(std::size_t length = 8198)
{
    ByteBuffer record(length, 0);
    const std::pair<std::size_t, int> bytes[] = {
        {0, 0x36},  {1, 0x0E}, {6, 0x01},  {7, 0x05},  {8, 24},    {9, 2},     {56, 6},
        {35, 0x8B}, {36, 2},   {37, 4},    {38, 10},   {39, 60},   {40, 1},    {41, 20},
        {43, 0x30}, {44, 1},   {46, 0xFC}, {51, 0x44}, {54, 0x90}, {55, 0x01}, {496, 0xFF}};
    for (const auto& [offset, value] : bytes) {
        record[offset] = std::uint8_t(value);
    }
    for (std::size_t piece = 0; piece < 150; ++piece) {
        record[196 + 2 * piece] = 0x01;
    }
    return record;
}

} // namespace

// The design panel, the grid's keys and Go to, through the real window.
class TestDesignPanel : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;

    void openDecoded(const ByteBuffer& record)
    {
        QVERIFY(!m_window->designDock()->isVisible());
        m_prompts->openPaths.enqueue(
            writeFile(m_dir->path(), u"ride.TD4"_s, asBytes(encodedFile(record))));
        m_window->action("SM_Open")->trigger();
        m_window->action("Toolbar_Decode")->trigger();
        QCOMPARE(bytes(), record);
        QVERIFY(m_window->designDock()->isVisible());
    }
    void clickByte(qsizetype index)
    {
        test::clickByte(*m_window->gridEditor(), index);
        QCOMPARE(m_window->gridEditor()->selectedIndex(), index);
    }
    template <typename T> T* find(const QString& name) const
    {
        return m_window->findChild<T*>(name);
    }
    [[nodiscard]] ByteBuffer bytes() const { return m_window->document().contents(); }
    [[nodiscard]] QString undoText() const { return m_window->action("SM_Undo")->text(); }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<MainWindow>(*m_prompts);
        m_window->resize(1280, 800);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup()
    {
        m_window->document().markSaved();
        m_window.reset();
        QVERIFY2(m_prompts->unexpected.isEmpty(), qPrintable(m_prompts->unexpected.join(u", ")));
    }

    void showsTheRecord_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("text");
        QTest::newRow("ride type 36")
            << u"ride_type"_s << u"Steel Wild Mouse Roller Coaster (36)"_s;
        QTest::newRow("scheme, bits 0-1 of 05")
            << u"vehicle_color_scheme"_s << u"Trains have different colours"_s;
        QTest::newRow("body 0 = 24") << u"body_color_0"_s << u"Bright Red"_s;
        QTest::newRow("spine 0 = 6") << u"track_spine_color_0"_s << u"Light Blue"_s;
        QTest::newRow("load, bits 0-2 of 8B") << u"departure_load"_s << u"Full load"_s;
        QTest::newRow("excitement 44h") << u"excitement"_s << u"6.8"_s;
        QTest::newRow("speed 20") << u"max_speed"_s << u"45.00 mph (72.4 km/h)"_s;
        QTest::newRow("length 130h") << u"ride_length"_s << u"997.12 ft (303.9 m)"_s;
        QTest::newRow("negative g FC") << u"negative_g"_s << u"-1.28 g"_s;
        QTest::newRow("upkeep 0190h") << u"upkeep_cost"_s << u"400"_s;
        QTest::newRow("track pieces") << u"track_pieces"_s << u"150"_s;
    }
    void showsTheRecord()
    {
        QFETCH(QString, widget);
        QFETCH(QString, text);
        openDecoded(wildMouse());
        QWidget* shown = find<QWidget>(u"Design_"_s + widget);
        QVERIFY(shown != nullptr);
        const auto* combo = qobject_cast<QComboBox*>(shown);
        const auto* box = qobject_cast<QSpinBox*>(shown);
        const auto* button = qobject_cast<QAbstractButton*>(shown);
        QCOMPARE(combo    ? combo->currentText()
                 : box    ? box->text()
                 : button ? button->text()
                          : qobject_cast<QLabel*>(shown)->text(),
                 text);
        // The expansion layout shows its four track schemes, not the base set.
        QVERIFY(!find<QWidget>(u"Design_track_spine_color"_s)->isVisible());
        QVERIFY(find<QCheckBox>(u"Design_departure_max_time"_s)->isChecked());
        QVERIFY(!find<QCheckBox>(u"Design_departure_sync"_s)->isChecked());
    }

    // Each editable field, changed as a user changes it, writes only its own bits as one
    // step: `expected` is the one byte that differs afterwards.
    void panelWritesOnlyItsBits_data()
    {
        QTest::addColumn<QString>("widget");
        // Typed; "Down" for the next item; "click"; "palette": click and pick colour 17;
        // "dialog:box": click the Ride Operation dialog's check box, then Ok.
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("step");
        QTest::newRow("ride type")
            << u"ride_type"_s << u"Wooden Roller Coaster (00)"_s << 0 << 0 << u"Set Ride type"_s;
        QTest::newRow("vehicle type")
            << u"vehicle_type"_s << u"Steam Train (0D)"_s << 1 << 0x0D << u"Set Vehicle type"_s;
        QTest::newRow("scheme keeps flag") << u"vehicle_color_scheme"_s << u"Down"_s << 7 << 0x06
                                           << u"Set Vehicle colour scheme"_s;
        QTest::newRow("sync, bit 5")
            << u"departure_sync"_s << u"click"_s << 35 << 0xAB << u"Set Departure control"_s;
        QTest::newRow("load, bits 0-2")
            << u"departure_load"_s << u"Down"_s << 35 << 0x8C << u"Set Departure control"_s;
        // "Wait for load" off clears the load amount (8B: full load) wherever it is done.
        QTest::newRow("wait off, panel")
            << u"departure_wait"_s << u"click"_s << 35 << 0x80 << u"Set Departure control"_s;
        QTest::newRow("wait off, dialog")
            << QString() << u"dialog:chkWait"_s << 35 << 0x80 << u"Set Ride Operation"_s;
        QTest::newRow("trains") << u"trains"_s << u"5"_s << 36 << 5 << u"Set Trains"_s;
        QTest::newRow("minimum wait")
            << u"min_wait"_s << u"45"_s << 38 << 45 << u"Set Minimum waiting time"_s;
        QTest::newRow("speed or people")
            << u"speed_or_people"_s << u"200"_s << 40 << 200 << u"Set Speed or people"_s;
        QTest::newRow("trim 0, palette")
            << u"trim_color_0"_s << u"palette"_s << 9 << 17 << u"Set Trim colour 0"_s;
    }
    void panelWritesOnlyItsBits()
    {
        QFETCH(QString, widget);
        QFETCH(QString, input);
        QFETCH(int, offset);
        QFETCH(int, expected);
        QFETCH(QString, step);
        const ByteBuffer record = wildMouse();
        openDecoded(record);
        QWidget* editor = find<QWidget>(u"Design_"_s + widget);
        if (input.startsWith(u"dialog:"_s)) {
            whenModal([box = input.mid(7)](QWidget* dialog) {
                dialog->findChild<QCheckBox*>(box)->click();
                clickButton(dialog, u"cmdOk"_s);
            });
            m_window->action("SM_RideOp")->trigger();
        } else if (input == u"palette"_s) {
            whenModal([](QWidget* palette) {
                clickButton(palette, u"Colors_17"_s);
                clickButton(palette, u"Ok"_s);
            });
        }
        if (editor == nullptr) {
            // The dialog has written already.
        } else if (input == u"click"_s || input == u"palette"_s) {
            editor->setFocus();
            QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(8, editor->height() / 2));
        } else if (input == u"Down"_s) {
            editor->setFocus();
            QTest::keyClick(editor, Qt::Key_Down);
        } else {
            editor->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), input);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        ByteBuffer changed = record;
        changed[std::size_t(offset)] = std::uint8_t(expected);
        QCOMPARE(bytes(), changed);
        QCOMPARE(undoText(), u"&Undo "_s + step);
        m_window->action("SM_Undo")->trigger();
        QCOMPARE(bytes(), record);
    }

    // Changes from the grid, the menus and undo show in the panel; selecting a byte names
    // its field in the status bar, marks it in the panel and tints the field's bytes.
    void followsGridMenusAndUndo()
    {
        openDecoded(wildMouse());
        auto* trains = find<QSpinBox>(u"Design_trains"_s);
        clickByte(36);
        QVERIFY(find<QLabel>(u"FileHealth"_s)->text().endsWith(u" \u2014 byte 24: Trains"_s));
        QCOMPARE(m_window->designPanel()->selectedField(), u"trains"_s);
        QTest::keyClicks(m_window->gridEditor()->grid(), u"07"_s);
        QCOMPARE(trains->value(), 7);

        QMenu* rideTypes = m_window->menu("SM_RC");
        rideTypes->popup({});
        QVERIFY(m_window->action("SM_RCTypes_31")->isChecked()); // entry 31 holds code 36
        rideTypes->hide();
        m_window->action("SM_RCTypes_5")->trigger(); // code 04
        QCOMPARE(find<QComboBox>(u"Design_ride_type"_s)->currentText(),
                 u"Steel Mini Roller Coaster (04)"_s);
        rideTypes->popup({});
        QVERIFY(m_window->action("SM_RCTypes_5")->isChecked());
        QVERIFY(!m_window->action("SM_RCTypes_31")->isChecked());
        rideTypes->hide();
        m_window->action("SM_Undo")->trigger();
        m_window->action("SM_Undo")->trigger();
        QCOMPARE(trains->value(), 2);

        // Ride length is two bytes: selecting its low byte tints the high one too.
        clickByte(43);
        const GridModel* model = m_window->gridEditor()->model();
        const auto tinted = [model](qsizetype index) {
            const int perRow = model->geometry().bytesPerRow();
            return model->index(int(index / perRow), int(index % perRow) + 1)
                       .data(Qt::BackgroundRole) == QVariant(QBrush(GridModel::tintColor()));
        };
        QVERIFY(tinted(44));
        QVERIFY(!tinted(45));
    }
};

QTEST_MAIN(TestDesignPanel)
#include "tst_design_panel.moc"
