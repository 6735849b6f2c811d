#include "operation/ride_operation.h"
#include "settings/code_tables.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/window_steps.h"
#include "ui/design/design_panel.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_model.h"
#include "ui/main/main_window.h"
#include "ui/operation/ride_operation_dialog.h"

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
        QTest::newRow("sync, bit 5") << u"departure_sync"_s << u"click"_s << 35 << 0xAB
                                     << u"Set Sync with adjacent station"_s;
        QTest::newRow("load, bits 0-2")
            << u"departure_load"_s << u"Down"_s << 35 << 0x8C << u"Set Load amount"_s;
        // "Wait for load" off clears the load amount (8B: full load) wherever it is done.
        QTest::newRow("wait off, panel")
            << u"departure_wait"_s << u"click"_s << 35 << 0x80 << u"Set Wait for load"_s;
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

    // Byte 35 through every path that writes it: the panel's boxes, the Ride Operation
    // dialog and the document's field writer store the same byte for every stored value.
    // Per stored value (00 to FF in order), six bytes: "Ok" with nothing changed (and the
    // writer given the whole byte), then toggling "Use maximum time", "Use minimum time",
    // "Sync", "Leave" and "Wait for load". Bits 7-3 are those flags, bits 0-2 the load
    // amount (0 to 4: 5 to 7 read as 4), written as 0 while bit 3 is clear.
    void byte35SameThroughEveryPath()
    {
        const QByteArray expected = QByteArray::fromHex(
            // clang-format off
    "008040201008 008040201009 00804020100A 00804020100B 00804020100C 00804020100C "  // 00
    "00804020100C 00804020100C 088848281800 098949291900 0A8A4A2A1A00 0B8B4B2B1B00 "  // 06
    "0C8C4C2C1C00 0C8C4C2C1C00 0C8C4C2C1C00 0C8C4C2C1C00 109050300018 109050300019 "  // 0C
    "10905030001A 10905030001B 10905030001C 10905030001C 10905030001C 10905030001C "  // 12
    "189858380810 199959390910 1A9A5A3A0A10 1B9B5B3B0B10 1C9C5C3C0C10 1C9C5C3C0C10 "  // 18
    "1C9C5C3C0C10 1C9C5C3C0C10 20A060003028 20A060003029 20A06000302A 20A06000302B "  // 1E
    "20A06000302C 20A06000302C 20A06000302C 20A06000302C 28A868083820 29A969093920 "  // 24
    "2AAA6A0A3A20 2BAB6B0B3B20 2CAC6C0C3C20 2CAC6C0C3C20 2CAC6C0C3C20 2CAC6C0C3C20 "  // 2A
    "30B070102038 30B070102039 30B07010203A 30B07010203B 30B07010203C 30B07010203C "  // 30
    "30B07010203C 30B07010203C 38B878182830 39B979192930 3ABA7A1A2A30 3BBB7B1B2B30 "  // 36
    "3CBC7C1C2C30 3CBC7C1C2C30 3CBC7C1C2C30 3CBC7C1C2C30 40C000605048 40C000605049 "  // 3C
    "40C00060504A 40C00060504B 40C00060504C 40C00060504C 40C00060504C 40C00060504C "  // 42
    "48C808685840 49C909695940 4ACA0A6A5A40 4BCB0B6B5B40 4CCC0C6C5C40 4CCC0C6C5C40 "  // 48
    "4CCC0C6C5C40 4CCC0C6C5C40 50D010704058 50D010704059 50D01070405A 50D01070405B "  // 4E
    "50D01070405C 50D01070405C 50D01070405C 50D01070405C 58D818784850 59D919794950 "  // 54
    "5ADA1A7A4A50 5BDB1B7B4B50 5CDC1C7C4C50 5CDC1C7C4C50 5CDC1C7C4C50 5CDC1C7C4C50 "  // 5A
    "60E020407068 60E020407069 60E02040706A 60E02040706B 60E02040706C 60E02040706C "  // 60
    "60E02040706C 60E02040706C 68E828487860 69E929497960 6AEA2A4A7A60 6BEB2B4B7B60 "  // 66
    "6CEC2C4C7C60 6CEC2C4C7C60 6CEC2C4C7C60 6CEC2C4C7C60 70F030506078 70F030506079 "  // 6C
    "70F03050607A 70F03050607B 70F03050607C 70F03050607C 70F03050607C 70F03050607C "  // 72
    "78F838586870 79F939596970 7AFA3A5A6A70 7BFB3B5B6B70 7CFC3C5C6C70 7CFC3C5C6C70 "  // 78
    "7CFC3C5C6C70 7CFC3C5C6C70 8000C0A09088 8000C0A09089 8000C0A0908A 8000C0A0908B "  // 7E
    "8000C0A0908C 8000C0A0908C 8000C0A0908C 8000C0A0908C 8808C8A89880 8909C9A99980 "  // 84
    "8A0ACAAA9A80 8B0BCBAB9B80 8C0CCCAC9C80 8C0CCCAC9C80 8C0CCCAC9C80 8C0CCCAC9C80 "  // 8A
    "9010D0B08098 9010D0B08099 9010D0B0809A 9010D0B0809B 9010D0B0809C 9010D0B0809C "  // 90
    "9010D0B0809C 9010D0B0809C 9818D8B88890 9919D9B98990 9A1ADABA8A90 9B1BDBBB8B90 "  // 96
    "9C1CDCBC8C90 9C1CDCBC8C90 9C1CDCBC8C90 9C1CDCBC8C90 A020E080B0A8 A020E080B0A9 "  // 9C
    "A020E080B0AA A020E080B0AB A020E080B0AC A020E080B0AC A020E080B0AC A020E080B0AC "  // A2
    "A828E888B8A0 A929E989B9A0 AA2AEA8ABAA0 AB2BEB8BBBA0 AC2CEC8CBCA0 AC2CEC8CBCA0 "  // A8
    "AC2CEC8CBCA0 AC2CEC8CBCA0 B030F090A0B8 B030F090A0B9 B030F090A0BA B030F090A0BB "  // AE
    "B030F090A0BC B030F090A0BC B030F090A0BC B030F090A0BC B838F898A8B0 B939F999A9B0 "  // B4
    "BA3AFA9AAAB0 BB3BFB9BABB0 BC3CFC9CACB0 BC3CFC9CACB0 BC3CFC9CACB0 BC3CFC9CACB0 "  // BA
    "C04080E0D0C8 C04080E0D0C9 C04080E0D0CA C04080E0D0CB C04080E0D0CC C04080E0D0CC "  // C0
    "C04080E0D0CC C04080E0D0CC C84888E8D8C0 C94989E9D9C0 CA4A8AEADAC0 CB4B8BEBDBC0 "  // C6
    "CC4C8CECDCC0 CC4C8CECDCC0 CC4C8CECDCC0 CC4C8CECDCC0 D05090F0C0D8 D05090F0C0D9 "  // CC
    "D05090F0C0DA D05090F0C0DB D05090F0C0DC D05090F0C0DC D05090F0C0DC D05090F0C0DC "  // D2
    "D85898F8C8D0 D95999F9C9D0 DA5A9AFACAD0 DB5B9BFBCBD0 DC5C9CFCCCD0 DC5C9CFCCCD0 "  // D8
    "DC5C9CFCCCD0 DC5C9CFCCCD0 E060A0C0F0E8 E060A0C0F0E9 E060A0C0F0EA E060A0C0F0EB "  // DE
    "E060A0C0F0EC E060A0C0F0EC E060A0C0F0EC E060A0C0F0EC E868A8C8F8E0 E969A9C9F9E0 "  // E4
    "EA6AAACAFAE0 EB6BABCBFBE0 EC6CACCCFCE0 EC6CACCCFCE0 EC6CACCCFCE0 EC6CACCCFCE0 "  // EA
    "F070B0D0E0F8 F070B0D0E0F9 F070B0D0E0FA F070B0D0E0FB F070B0D0E0FC F070B0D0E0FC "  // F0
    "F070B0D0E0FC F070B0D0E0FC F878B8D8E8F0 F979B9D9E9F0 FA7ABADAEAF0 FB7BBBDBEBF0 "  // F6
    "FC7CBCDCECF0 FC7CBCDCECF0 FC7CBCDCECF0 FC7CBCDCECF0 "  // FC
                                                                   // clang-format on
        );
        QCOMPARE(expected.size(), 256 * 6);
        const char* const dialogBoxes[] = {"chkMaxTime", "chkMinTime", "chkSync", "chkLeave",
                                           "chkWait"};
        const char* const panelBoxes[] = {"max_time", "min_time", "sync", "leave", "wait"};
        TrackDesignDocument document;
        const CodeTables tables;
        DesignPanel panel(document, tables);
        panel.show(); // the rows join the panel when it is first shown
        for (int stored = 0; stored < 256; ++stored) {
            const auto load = [&document, stored] {
                ByteBuffer record(80, 0x11);
                record[35] = std::uint8_t(stored);
                return document.loadContents(record, ContentKind::Decoded);
            };
            for (int change = 0; change < 6; ++change) {
                const int want = quint8(expected[stored * 6 + change]);
                QVERIFY(load());
                if (change == 0) {
                    document.setField(record::DepartureFlagsField, stored);
                } else {
                    const record::FieldDescription& flag = record::DepartureFlagFields[change - 1];
                    document.setField(flag, (stored & flag.mask) != 0 ? 0 : flag.mask);
                }
                QVERIFY2(document.valueAt(35) == want,
                         qPrintable(u"writer %1/%2"_s.arg(stored).arg(change)));

                QVERIFY(load());
                {
                    RideOperationDialog dialog(ReadRideOperation(document.contents()));
                    if (change > 0) {
                        dialog.findChild<QCheckBox*>(QString::fromLatin1(dialogBoxes[change - 1]))
                            ->click();
                    }
                    QCOMPARE(ApplyRideOperation(document, dialog.values()), QString());
                }
                QVERIFY2(document.valueAt(35) == want,
                         qPrintable(u"dialog %1/%2"_s.arg(stored).arg(change)));

                if (change > 0) {
                    QVERIFY(load());
                    panel
                        .findChild<QCheckBox*>(u"Design_departure_"_s +
                                               QString::fromLatin1(panelBoxes[change - 1]))
                        ->click();
                    QVERIFY2(document.valueAt(35) == want,
                             qPrintable(u"panel %1/%2"_s.arg(stored).arg(change)));
                }
            }
        }
    }

    // Changes of one field in a row are one step, named from the field as the menus name
    // theirs; another field starts a new step.
    void repeatedChangesUndoAsOne()
    {
        const ByteBuffer record = wildMouse();
        openDecoded(record);
        auto* trains = find<QSpinBox>(u"Design_trains"_s);
        const int steps = m_window->document().undoStack()->count(); // Decode is one
        trains->setFocus();
        for (int step = 0; step < 5; ++step) {
            QTest::keyClick(trains, Qt::Key_Up);
        }
        QCOMPARE(bytes()[36], 7);
        QCOMPARE(m_window->document().undoStack()->count(), steps + 1);
        QCOMPARE(undoText(), u"&Undo Set Trains"_s);
        whenModal([](QWidget* palette) {
            clickButton(palette, u"Colors_17"_s);
            clickButton(palette, u"Ok"_s);
        });
        m_window->action("SM_BC_Cars_0")->trigger();
        QCOMPARE(undoText(), u"&Undo Set Body colour 0"_s);
        m_window->action("SM_Undo")->trigger();
        m_window->action("SM_Undo")->trigger();
        QCOMPARE(bytes(), record);
    }

    // Changes from the grid, the menus and undo show in the panel; selecting a byte names
    // its field in the status bar, marks it in the panel and tints the field's bytes.
    void followsGridMenusAndUndo()
    {
        openDecoded(wildMouse());
        // A row clicked selects its field's bytes in the selection the grid shows.
        QTest::mouseClick(find<QSpinBox>(u"Design_cars_per_train"_s), Qt::LeftButton);
        QCOMPARE(m_window->gridEditor()->selectedIndex(), 37);
        QCOMPARE(m_window->designPanel()->selectedField(), u"cars_per_train"_s);
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
