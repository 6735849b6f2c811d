#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "ui/design/design_panel.h"
#include "ui/design/palette_swatch_button.h"
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
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(railwright::DisplayMode)

namespace {

// A Corkscrew Follies record: a wild mouse with mouse cars, two trains of four cars,
// waits 10 and 60 s, colours, statistics and 150 track pieces before the end marker.
ByteBuffer wildMouse(std::size_t length = 8198)
{
    ByteBuffer record(length, 0);
    const std::pair<std::size_t, int> bytes[] = {
        {0, 0x36},  {1, 0x0E},  {6, 0x01},  {7, 0x05},  {8, 24},    {9, 2},     {56, 6},
        {35, 0x8B}, {36, 2},    {37, 4},    {38, 10},   {39, 60},   {40, 1},    {41, 20},
        {43, 0x30}, {44, 0x01}, {46, 0xFC}, {51, 0x44}, {54, 0x90}, {55, 0x01}, {196 + 300, 0xFF}};
    for (const auto& [offset, value] : bytes) {
        if (offset < length) {
            record[offset] = std::uint8_t(value);
        }
    }
    for (std::size_t piece = 0; piece < 150 && 196 + 2 * piece < length; ++piece) {
        record[196 + 2 * piece] = 0x01;
    }
    return record;
}

} // namespace

class TestDesignPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsTheRecord_data();
    void showsTheRecord();
    void panelWritesOnlyItsBits_data();
    void panelWritesOnlyItsBits();
    void followsGridMenusAndUndo();
    void warnings_data();
    void warnings();
    void keyboardEditing_data();
    void keyboardEditing();
    void goToAddress_data();
    void goToAddress();

private:
    void openDecoded(const ByteBuffer& record);
    void clickByte(qsizetype index);
    template <typename T> T* find(const QString& name) const
    {
        T* widget = m_window->findChild<T*>(name);
        if (widget == nullptr) {
            qFatal("no widget %s", qPrintable(name));
        }
        return widget;
    }
    [[nodiscard]] ByteBuffer bytes() const { return m_window->document().contents(); }
    [[nodiscard]] QString undoText() const { return m_window->action("SM_Undo")->text(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestDesignPanel::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestDesignPanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_window = std::make_unique<MainWindow>(*m_prompts);
    m_window->resize(1280, 800);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestDesignPanel::cleanup()
{
    m_window->document().markSaved();
    m_window.reset();
    QVERIFY2(m_prompts->unexpected.isEmpty(), qPrintable(m_prompts->unexpected.join(u", ")));
}

void TestDesignPanel::openDecoded(const ByteBuffer& record)
{
    QVERIFY(!m_window->designDock()->isVisible());
    m_prompts->openPaths.enqueue(
        writeFile(m_dir->path(), u"ride.TD4"_s, asBytes(encodedFile(record))));
    m_window->action("SM_Open")->trigger();
    m_window->action("Toolbar_Decode")->trigger();
    QCOMPARE(bytes(), record);
    QVERIFY(m_window->designDock()->isVisible());
}

void TestDesignPanel::clickByte(qsizetype index)
{
    QTableView* grid = m_window->gridEditor()->grid();
    const int columns = m_window->gridEditor()->bytesPerRow();
    const QModelIndex cell = grid->model()->index(int(index / columns), int(index % columns) + 1);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    QCOMPARE(m_window->gridEditor()->selectedIndex(), index);
}

void TestDesignPanel::showsTheRecord_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("text");
    QTest::newRow("ride type") << u"Design_ride_type"_s
                               << u"Steel Wild Mouse Roller Coaster (36)"_s;
    QTest::newRow("operating mode")
        << u"Design_operating_mode"_s << u"Continuous Circuit Mode (01)"_s;
    QTest::newRow("scheme bits 0-1 of 05")
        << u"Design_vehicle_color_scheme"_s << u"Trains have different colours"_s;
    QTest::newRow("body 1 = 24") << u"Design_body_color_1"_s << u"Bright Red"_s;
    QTest::newRow("spine 1 = 6") << u"Design_track_spine_color_1"_s << u"Light Blue"_s;
    QTest::newRow("cars") << u"Design_cars_per_train"_s << u"4"_s;
    QTest::newRow("maximum wait") << u"Design_max_wait"_s << u"60 s"_s;
    QTest::newRow("excitement 44h") << u"Design_excitement"_s << u"6.8"_s;
    QTest::newRow("speed 20") << u"Design_max_speed"_s << u"45.00 mph (72.4 km/h)"_s;
    QTest::newRow("length 130h") << u"Design_ride_length"_s << u"997.12 ft (303.9 m)"_s;
    QTest::newRow("negative g FC") << u"Design_negative_g"_s << u"-1.28 g"_s;
    QTest::newRow("upkeep 0190h") << u"Design_upkeep_cost"_s << u"400"_s;
    QTest::newRow("length") << u"Design_record_length"_s << u"8,198 bytes"_s;
    QTest::newRow("layout") << u"Design_layout"_s << u"Expansion"_s;
    QTest::newRow("track pieces") << u"Design_track_pieces"_s << u"150"_s;
}

void TestDesignPanel::showsTheRecord()
{
    QFETCH(QString, widget);
    QFETCH(QString, text);
    openDecoded(wildMouse());
    QWidget* shown = find<QWidget>(widget);
    QString actual;
    if (auto* combo = qobject_cast<QComboBox*>(shown)) {
        actual = combo->currentText();
    } else if (auto* box = qobject_cast<QSpinBox*>(shown)) {
        actual = box->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(shown)) {
        actual = button->text();
    } else {
        actual = qobject_cast<QLabel*>(shown)->text();
    }
    QCOMPARE(actual, text);
    QVERIFY(find<QWidget>(u"Design_track_spine_color_1"_s)->isVisible());
    QVERIFY(!find<QWidget>(u"Design_track_spine_color"_s)->isVisible());
    QCOMPARE(find<QCheckBox>(u"Design_departure_max_time"_s)->isChecked(), true);
    QCOMPARE(find<QCheckBox>(u"Design_departure_sync"_s)->isChecked(), false);
    QCOMPARE(find<QComboBox>(u"Design_departure_load"_s)->currentText(), u"Full load"_s);
}

// Each editable field, changed as a user changes it, writes only its own bits as one
// step: "expected" is the one byte that may differ afterwards.
void TestDesignPanel::panelWritesOnlyItsBits_data()
{
    QTest::addColumn<QString>("widget");
    // Typed, "Down" for the next item, "click", or "palette": click and pick colour 17.
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("step");
    QTest::newRow("ride type") << u"Design_ride_type"_s << u"Wooden Roller Coaster (00)"_s << 0
                               << 0x00 << u"Set Ride type"_s;
    QTest::newRow("vehicle type") << u"Design_vehicle_type"_s << u"Steam Train (0D)"_s << 1 << 0x0D
                                  << u"Set Vehicle type"_s;
    QTest::newRow("scheme keeps the flag") << u"Design_vehicle_color_scheme"_s << u"Down"_s << 7
                                           << 0x06 << u"Set Vehicle colour scheme"_s;
    QTest::newRow("sync bit 5") << u"Design_departure_sync"_s << u"click"_s << 35 << 0xAB
                                << u"Set Departure control"_s;
    QTest::newRow("load bits 0-2")
        << u"Design_departure_load"_s << u"Down"_s << 35 << 0x8C << u"Set Departure control"_s;
    QTest::newRow("trains") << u"Design_trains"_s << u"5"_s << 36 << 5 << u"Set Trains"_s;
    QTest::newRow("minimum wait") << u"Design_min_wait"_s << u"45"_s << 38 << 45
                                  << u"Set Minimum waiting time"_s;
    QTest::newRow("speed or people")
        << u"Design_speed_or_people"_s << u"200"_s << 40 << 200 << u"Set Speed or people"_s;
    QTest::newRow("trim 1 from the palette")
        << u"Design_trim_color_1"_s << u"palette"_s << 9 << 17 << u"Set Trim colour 1"_s;
}

void TestDesignPanel::panelWritesOnlyItsBits()
{
    QFETCH(QString, widget);
    QFETCH(QString, input);
    QFETCH(int, offset);
    QFETCH(int, expected);
    QFETCH(QString, step);
    const ByteBuffer record = wildMouse();
    openDecoded(record);
    QWidget* editor = find<QWidget>(widget);
    editor->setFocus();
    if (input == u"palette"_s) {
        QTimer::singleShot(0, [] {
            QWidget* palette = QApplication::activeModalWidget();
            QVERIFY(palette != nullptr);
            palette->findChild<QAbstractButton*>(u"Colors_17"_s)->click();
            palette->findChild<QAbstractButton*>(u"Ok"_s)->click();
        });
    }
    if (input == u"click"_s || input == u"palette"_s) {
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(8, editor->height() / 2));
    } else if (input == u"Down"_s) {
        QTest::keyClick(editor, Qt::Key_Down);
    } else {
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
    QCOMPARE(undoText(), u"&Undo Decode"_s);
}

// Changes from the grid, the menus and undo show in the panel; selecting a byte names
// its field in the status bar, marks it in the panel and tints the field's bytes.
void TestDesignPanel::followsGridMenusAndUndo()
{
    openDecoded(wildMouse());
    auto* trains = find<QSpinBox>(u"Design_trains"_s);
    clickByte(36);
    QVERIFY(m_window->findChild<QLabel*>(u"FileHealth"_s)
                ->text()
                .endsWith(u" \u2014 byte 24: Trains"_s));
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
    QCOMPARE(m_window->designPanel()->selectedField(), u"ride_length"_s);
}

void TestDesignPanel::warnings_data()
{
    QTest::addColumn<ByteBuffer>("record");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("warning");
    const ByteBuffer record = wildMouse();
    QTest::newRow("colour 40") << record << 8 << 40 << u"Design_body_color_1"_s; // on the swatch
    QTest::newRow("trains 0") << record << 36 << 0 << u"Warning_trains"_s;
    QTest::newRow("cars 13") << record << 37 << 13 << u"Warning_cars_per_train"_s;
    QTest::newRow("min above max") << record << 38 << 61 << u"Warning_max_wait"_s;
    QTest::newRow("end marker gone") << record << 196 + 300 << 0 << u"Warning_track_pieces"_s;
    QTest::newRow("unusual length") << wildMouse(8100) << 0 << 0x36 << u"Warning_record_length"_s;
}

void TestDesignPanel::warnings()
{
    QFETCH(ByteBuffer, record);
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(QString, warning);
    openDecoded(record);
    auto* mark = find<QWidget>(warning);
    const auto shown = [mark] {
        auto* swatch = qobject_cast<PaletteSwatchButton*>(mark);
        return swatch ? !swatch->warning().isEmpty() : mark->isVisible();
    };
    const bool editsTheMark = record[std::size_t(offset)] != value;
    QCOMPARE(shown(), !editsTheMark);
    QVERIFY(m_window->document().setByte(offset, std::uint8_t(value)));
    QVERIFY(shown());
    QVERIFY(!mark->toolTip().isEmpty());
    QCOMPARE(bytes()[std::size_t(offset)], std::uint8_t(value)); // warned, not refused
}

// Typing in the grid overwrites the selected byte and moves on; the keys move it.
void TestDesignPanel::keyboardEditing_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored"); // at byte 2; -1: unchanged
    QTest::addColumn<int>("selected");
    QTest::newRow("two hex digits") << DisplayMode::Hexidecimal << u"7f"_s << 0x7F << 3;
    QTest::newRow("one hex digit waits") << DisplayMode::Hexidecimal << u"7"_s << -1 << 2;
    QTest::newRow("decimal and Enter") << DisplayMode::Decimal << u"200\r"_s << 200 << 3;
    QTest::newRow("a character") << DisplayMode::Charter << u"Z"_s << 0x5A << 3;
    QTest::newRow("right, down") << DisplayMode::Hexidecimal << u">v"_s << -1 << 2 + 1 + 24;
    QTest::newRow("left from 2, End") << DisplayMode::Hexidecimal << u"<E"_s << -1 << 23;
    QTest::newRow("up stays, Ctrl+Home") << DisplayMode::Hexidecimal << u"^H"_s << -1 << 0;
    // The last cell of the grid: the zeros after the end marker at 496 are hidden.
    QTest::newRow("Ctrl+End") << DisplayMode::Hexidecimal << u"L"_s << -1 << 21 * 24 - 1;
}

void TestDesignPanel::keyboardEditing()
{
    QFETCH(DisplayMode, mode);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(int, selected);
    const ByteBuffer record = wildMouse();
    openDecoded(record);
    m_window->gridEditor()->setDisplayMode(mode);
    m_window->designDock()->hide();
    m_window->resize(630, 460); // 24 bytes a row
    QTRY_COMPARE(m_window->gridEditor()->bytesPerRow(), 24);
    clickByte(2);
    QTableView* grid = m_window->gridEditor()->grid();
    const QHash<QChar, QPair<Qt::Key, Qt::KeyboardModifiers>> keys = {
        {u'>', {Qt::Key_Right, {}}},
        {u'<', {Qt::Key_Left, {}}},
        {u'v', {Qt::Key_Down, {}}},
        {u'^', {Qt::Key_Up, {}}},
        {u'E', {Qt::Key_End, {}}},
        {u'H', {Qt::Key_Home, Qt::ControlModifier}},
        {u'L', {Qt::Key_End, Qt::ControlModifier}},
        {u'\r', {Qt::Key_Return, {}}}};
    for (const QChar c : typed) {
        if (mode == DisplayMode::Hexidecimal && keys.contains(c)) {
            QTest::keyClick(grid, keys[c].first, keys[c].second);
        } else if (c == u'\r') {
            QTest::keyClick(grid, Qt::Key_Return);
        } else {
            QTest::keyClicks(grid, QString(c));
        }
    }
    ByteBuffer expected = record;
    if (stored >= 0) {
        expected[2] = std::uint8_t(stored);
        QCOMPARE(undoText(), u"&Undo Set Byte 2"_s);
    }
    QCOMPARE(bytes(), expected);
    QCOMPARE(m_window->gridEditor()->selectedIndex(), qsizetype(selected));
}

void TestDesignPanel::goToAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selected"); // -1: refused with a message
    QTest::newRow("decimal") << u"26"_s << 26;
    QTest::newRow("0x") << u"0x1a"_s << 26;
    QTest::newRow("h suffix") << u" 1Ah "_s << 26;
    QTest::newRow("hex letters") << u"7D5"_s << 2005;
    QTest::newRow("not a number") << u"zz"_s << -1;
    QTest::newRow("past the end") << u"0x2006"_s << -1;
}

void TestDesignPanel::goToAddress()
{
    QFETCH(QString, typed);
    QFETCH(int, selected);
    openDecoded(wildMouse());
    clickByte(5);
    m_prompts->texts.enqueue(typed);
    QTest::keyClick(m_window.get(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(m_prompts->allUsed());
    QCOMPARE(m_window->gridEditor()->selectedIndex(), qsizetype(selected < 0 ? 5 : selected));
    QCOMPARE(m_prompts->messages.size(), selected < 0 ? 1 : 0);
}

QTEST_MAIN(TestDesignPanel)
#include "tst_design_panel.moc"
