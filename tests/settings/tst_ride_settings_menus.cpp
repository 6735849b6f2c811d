#include "document/track_design_document.h"
#include "settings/code_tables.h"
#include "settings/palette_dialog.h"
#include "settings/ride_settings_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace railwright;

Q_DECLARE_METATYPE(railwright::GameVersion)

namespace {

CodeRecord Entry(const std::string& code, const std::string& name)
{
    std::string padded = name;
    padded.resize(NameFieldLength, ' ');
    return {code, padded};
}

// A decoded record of `length` bytes where every byte differs from its neighbours, so a
// write to the wrong byte shows.
ByteBuffer SampleRecord(std::size_t length)
{
    ByteBuffer bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = std::uint8_t((i * 37 + 200) % 256);
    }
    return bytes;
}

// The menus and actions the main window makes, built the way it builds them.
struct MainWindowMenus
{
    explicit MainWindowMenus(bool exclusiveVersions)
    {
        QMenu* rideSettings = window.menuBar()->addMenu(QStringLiteral("&Ride Settings"));
        QMenu* color = rideSettings->addMenu(QStringLiteral("&Color"));
        QMenu* scheme = color->addMenu(QStringLiteral("Color Scheme"));
        handles.schemeSame = scheme->addAction(QStringLiteral("All Vechicles The Same Color"));
        handles.schemeTrain = scheme->addAction(QStringLiteral("Trains Have Different Colors"));
        handles.schemeCar = scheme->addAction(QStringLiteral("Each Car Has Different Colors"));
        handles.schemeNotUsed = scheme->addAction(QStringLiteral("Not Used"));
        handles.schemeSame->setObjectName(QStringLiteral("SM_CS_Same"));
        handles.schemeTrain->setObjectName(QStringLiteral("SM_CS_Train"));
        handles.schemeCar->setObjectName(QStringLiteral("SM_CS_Car"));
        handles.schemeNotUsed->setObjectName(QStringLiteral("SM_CS_NotUsed"));
        QMenu* track = color->addMenu(QStringLiteral("Track"));
        handles.trackSpine = track->addMenu(QStringLiteral("Track Spine Color"));
        handles.trackRail = track->addMenu(QStringLiteral("Track Rail Color"));
        handles.trackSupport = track->addMenu(QStringLiteral("Support Colors"));
        handles.bodyColor = color->addMenu(QStringLiteral("Body Color"));
        handles.trimColor = color->addMenu(QStringLiteral("Trim Color"));
        QMenu* type = rideSettings->addMenu(QStringLiteral("&Type"));
        handles.rideTypes = type->addMenu(QStringLiteral("&Ride"));
        handles.vehicleTypes = type->addMenu(QStringLiteral("C&ars"));
        handles.operatingModes = type->addMenu(QStringLiteral("M&ode"));

        QMenu* options = window.menuBar()->addMenu(QStringLiteral("&Options"));
        QMenu* version = options->addMenu(QStringLiteral("RCT Version"));
        handles.versionOriginal = version->addAction(QStringLiteral("Orignal"));
        handles.versionCorkscrewFollies = version->addAction(QStringLiteral("Corkscrew Follies"));
        handles.versionLoopyLandscapes = version->addAction(QStringLiteral("Loopy Landscapes"));
        for (QAction* action : {handles.versionOriginal, handles.versionCorkscrewFollies,
                                handles.versionLoopyLandscapes}) {
            action->setCheckable(true);
        }
        handles.versionOriginal->setChecked(true);
        if (exclusiveVersions) {
            auto* group = new QActionGroup(&window);
            group->addAction(handles.versionOriginal);
            group->addAction(handles.versionCorkscrewFollies);
            group->addAction(handles.versionLoopyLandscapes);
        }
    }

    QMainWindow window;
    RideSettingsMenuHandles handles;
};

} // namespace

class TestRideSettingsMenus : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typeMenusListEntriesInFileOrder();
    void typeItemWritesCode_data();
    void typeItemWritesCode();
    void emptyTableKeepsInertPlaceholder();
    void colorMenusAreNumberedWithTwoBlanks();
    void colorItemWritesItsByte_data();
    void colorItemWritesItsByte();
    void versionIsReadWhenTheColourIsWritten();
    void pickOutsidePaletteWritesNothing();
    void shortRecordRefusesWrites();
    void versionSwitchesTrackItems();
    void versionClickOnCheckedItemKeepsIt_data();
    void versionClickOnCheckedItemKeepsIt();
    void paletteDialogIsTheDefaultPicker();

private:
    // Fresh window menus and settings over them; without a picker, colours come from m_pick.
    void build(const CodeTables& tables, bool exclusiveVersions = false, ColorPicker picker = {});
    // Triggers `action` and checks that only byte `byte` changed, to `value`.
    void expectSingleWrite(QAction* action, int byte, int value);

    std::unique_ptr<MainWindowMenus> m_menus;
    std::unique_ptr<TrackDesignDocument> m_document;
    std::unique_ptr<RideSettingsMenus> m_settings;
    CodeTables m_tables;
    int m_pick = 0;
};

void TestRideSettingsMenus::init()
{
    m_document = std::make_unique<TrackDesignDocument>();
    QVERIFY(m_document->loadContents(SampleRecord(100)));
    m_pick = 0;
    m_tables.rideTypes = {Entry("00", "Wooden Roller Coaster"), Entry("0a", "Single-Rail"),
                          Entry("33", "  Steel Twister  ")};
    m_tables.vehicleTypes = {Entry("1F", "Ghost Train Cars"), Entry("02", "Caf\xE9 & Cars")};
    m_tables.operatingModes = {Entry("00", "Normal Mode"), Entry("G1", "Not A Code"),
                               Entry("0C", "Powered Launch")};
    build(m_tables);
}

void TestRideSettingsMenus::cleanup()
{
    m_settings.reset();
    m_menus.reset();
    m_document.reset();
}

void TestRideSettingsMenus::build(const CodeTables& tables, bool exclusiveVersions,
                                  ColorPicker picker)
{
    m_settings.reset();
    m_menus = std::make_unique<MainWindowMenus>(exclusiveVersions);
    if (!picker) {
        picker = [this] { return m_pick; };
    }
    m_settings = std::make_unique<RideSettingsMenus>(*m_document, tables, m_menus->handles,
                                                     std::move(picker));
}

void TestRideSettingsMenus::expectSingleWrite(QAction* action, int byte, int value)
{
    QVERIFY(action);
    ByteBuffer expected = m_document->contents();
    expected[std::size_t(byte)] = std::uint8_t(value);
    action->trigger();
    QCOMPARE(m_document->contents(), expected);
    QVERIFY(m_document->changed());
}

void TestRideSettingsMenus::typeMenusListEntriesInFileOrder()
{
    const QList<QAction*> rides = m_menus->handles.rideTypes->actions();
    QCOMPARE(rides.size(), 3);
    QCOMPARE(rides[0]->text(), QStringLiteral("00: Wooden Roller Coaster"));
    QCOMPARE(rides[1]->text(), QStringLiteral("0a: Single-Rail"));
    QCOMPARE(rides[2]->text(), QStringLiteral("33: Steel Twister"));
    QCOMPARE(rides[0]->objectName(), QStringLiteral("SM_RCTypes_1"));
    QCOMPARE(rides[2]->objectName(), QStringLiteral("SM_RCTypes_3"));

    // Names are Windows-1252; an ampersand shows as itself, not as an access key.
    const QList<QAction*> vehicles = m_menus->handles.vehicleTypes->actions();
    QCOMPARE(vehicles.size(), 2);
    QCOMPARE(vehicles[1]->text(), QStringLiteral("02: Caf\u00E9 && Cars"));
    QCOMPARE(vehicles[1]->objectName(), QStringLiteral("SM_VTTypes_2"));
    QCOMPARE(m_menus->handles.operatingModes->actions()[2]->objectName(),
             QStringLiteral("SM_OMTypes_3"));
    for (QAction* item : rides) {
        QVERIFY(item->isEnabled());
        QVERIFY(!item->isCheckable());
    }
}

void TestRideSettingsMenus::typeItemWritesCode_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::newRow("lower-case code") << QStringLiteral("SM_RCTypes_2") << 0 << 10;
    QTest::newRow("vehicle 1F") << QStringLiteral("SM_VTTypes_1") << 1 << 31;
    QTest::newRow("mode 0C") << QStringLiteral("SM_OMTypes_3") << 6 << 12;
    QTest::newRow("code not hexadecimal") << QStringLiteral("SM_OMTypes_2") << 6 << 0;
}

void TestRideSettingsMenus::typeItemWritesCode()
{
    QFETCH(QString, item);
    QFETCH(int, byte);
    QFETCH(int, value);
    expectSingleWrite(m_menus->window.findChild<QAction*>(item), byte, value);
}

void TestRideSettingsMenus::emptyTableKeepsInertPlaceholder()
{
    CodeTables tables;
    tables.vehicleTypes = {Entry("01", "Only Vehicle")};
    build(tables);
    for (QMenu* menu : {m_menus->handles.rideTypes, m_menus->handles.operatingModes}) {
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 1);
        QVERIFY(items[0]->text().isEmpty());
        items[0]->trigger();
    }
    QCOMPARE(m_menus->handles.rideTypes->actions()[0]->objectName(),
             QStringLiteral("SM_RCTypes_1"));
    QCOMPARE(m_document->contents(), SampleRecord(100));
    QVERIFY(!m_document->changed());
}

void TestRideSettingsMenus::colorMenusAreNumberedWithTwoBlanks()
{
    const auto texts = [](QMenu* menu) {
        QStringList list;
        for (QAction* action : menu->actions()) {
            list << action->text();
        }
        return list;
    };
    QCOMPARE(texts(m_menus->handles.trackRail),
             QStringList(
                 {QStringLiteral("Track Rail Color  0"), QStringLiteral("Track Rail Color  1"),
                  QStringLiteral("Track Rail Color  2"), QStringLiteral("Track Rail Color  3")}));
    QCOMPARE(texts(m_menus->handles.trackSpine).value(0), QStringLiteral("Track Spine Color  0"));
    QCOMPARE(texts(m_menus->handles.trackSupport).value(2),
             QStringLiteral("Track Support Color  2"));
    QCOMPARE(texts(m_menus->handles.bodyColor).size(), 12);
    QCOMPARE(texts(m_menus->handles.bodyColor).value(11), QStringLiteral("Body Color  11"));
    QCOMPARE(texts(m_menus->handles.trimColor).value(0), QStringLiteral("Trim Color  0"));
    QVERIFY(m_menus->window.findChild<QAction*>(QStringLiteral("SM_TRC_Num_3")));
    QVERIFY(m_menus->window.findChild<QAction*>(QStringLiteral("SM_TSC_Num_0")));
    QVERIFY(m_menus->window.findChild<QAction*>(QStringLiteral("SM_SC_Num_3")));
    QVERIFY(m_menus->window.findChild<QAction*>(QStringLiteral("SM_BC_Cars_11")));
    QVERIFY(m_menus->window.findChild<QAction*>(QStringLiteral("SM_TC_Cars_11")));
}

// The full tables of bytes per version are in tst_setting_bytes; these rows prove that
// each kind of item reads the version and the picked colour and writes only its byte.
void TestRideSettingsMenus::colorItemWritesItsByte_data()
{
    QTest::addColumn<int>("version"); // -1: none chosen since start-up
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value"); // also the colour picked
    const auto row = [](const char* tag, int version, const char* item, int byte, int value) {
        QTest::newRow(tag) << version << QString::fromLatin1(item) << byte << value;
    };
    const int org = int(GameVersion::Original);
    const int cf = int(GameVersion::CorkscrewFollies);
    const int ll = int(GameVersion::LoopyLandscapes);
    row("start-up, scheme same", -1, "SM_CS_Same", 7, 0);
    row("Orignal, scheme each car", org, "SM_CS_Car", 7, 2);
    row("Corkscrew, scheme trains", cf, "SM_CS_Train", 7, 5);
    row("Loopy, scheme not used", ll, "SM_CS_NotUsed", 7, 7);
    row("start-up, rail 2 writes the one rail byte", -1, "SM_TRC_Num_2", 33, 17);
    row("Corkscrew, spine 2", cf, "SM_TSC_Num_2", 58, 8);
    row("Loopy, support 3", ll, "SM_SC_Num_3", 67, 12);
    // The version plays no part in vehicle colours.
    row("Orignal, body 5", org, "SM_BC_Cars_5", 18, 21);
    row("Loopy, body 5", ll, "SM_BC_Cars_5", 18, 3);
    row("Loopy, trim 11", ll, "SM_TC_Cars_11", 31, 3);
}

void TestRideSettingsMenus::colorItemWritesItsByte()
{
    QFETCH(int, version);
    QFETCH(QString, item);
    QFETCH(int, byte);
    QFETCH(int, value);
    const RideSettingsMenuHandles& h = m_menus->handles;
    if (version >= 0) {
        QAction* versions[] = {h.versionOriginal, h.versionCorkscrewFollies,
                               h.versionLoopyLandscapes};
        versions[version]->trigger();
    }
    // Byte 7 starts with all bits set that the scheme does not own: they are dropped.
    QVERIFY(m_document->setByte(7, 0xF9));
    m_document->setChanged(false);
    m_pick = value;
    expectSingleWrite(m_menus->window.findChild<QAction*>(item), byte, value);
}

void TestRideSettingsMenus::versionIsReadWhenTheColourIsWritten()
{
    // A version chosen while the palette is open decides the byte.
    build(m_tables, false, [this] {
        m_menus->handles.versionLoopyLandscapes->trigger();
        return 25;
    });
    expectSingleWrite(m_menus->window.findChild<QAction*>(QStringLiteral("SM_TRC_Num_2")), 62, 25);
}

void TestRideSettingsMenus::pickOutsidePaletteWritesNothing()
{
    for (int pick : {-1, 32, 255}) {
        m_pick = pick;
        m_menus->window.findChild<QAction*>(QStringLiteral("SM_BC_Cars_0"))->trigger();
        m_menus->window.findChild<QAction*>(QStringLiteral("SM_TSC_Num_0"))->trigger();
    }
    QCOMPARE(m_document->contents(), SampleRecord(100));
    QVERIFY(!m_document->changed());
}

void TestRideSettingsMenus::shortRecordRefusesWrites()
{
    QVERIFY(m_document->loadContents(SampleRecord(7)));
    QSignalSpy refusals(m_settings.get(), &RideSettingsMenus::writeRefused);
    m_pick = 9;
    for (const char* name : {"SM_BC_Cars_11", "SM_TC_Cars_0", "SM_TRC_Num_0", "SM_SC_Num_0"}) {
        m_menus->window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    m_menus->handles.schemeCar->trigger();
    QCOMPARE(m_document->contents(), SampleRecord(7));
    QVERIFY(!m_document->changed());
    // Each refusal says why, naming the record's length and the byte.
    QCOMPARE(refusals.size(), 5);
    QCOMPARE(refusals.constFirst().constFirst().toString(),
             QStringLiteral("This record has only 7 bytes, so byte 30 cannot be set. Settings "
                            "apply to a whole decoded track design."));
    // Bytes inside the short record are still written.
    expectSingleWrite(m_menus->window.findChild<QAction*>(QStringLiteral("SM_OMTypes_3")), 6, 12);
}

void TestRideSettingsMenus::versionSwitchesTrackItems()
{
    const RideSettingsMenuHandles& h = m_menus->handles;
    QSignalSpy spy(m_settings.get(), &RideSettingsMenus::gameVersionChanged);
    const auto itemsEnabled = [this](int index) {
        bool all = true;
        bool any = false;
        for (const char* array : {"SM_TSC_Num_", "SM_TRC_Num_", "SM_SC_Num_"}) {
            const bool on =
                m_menus->window
                    .findChild<QAction*>(QString::fromLatin1(array) + QString::number(index))
                    ->isEnabled();
            all = all && on;
            any = any || on;
        }
        return all ? 1 : (any ? -1 : 0);
    };

    // Start-up: "Orignal" checked, yet every track item enabled.
    QCOMPARE(m_settings->gameVersion(), GameVersion::Original);
    QCOMPARE(itemsEnabled(3), 1);

    h.versionOriginal->trigger();
    QCOMPARE(m_settings->gameVersion(), GameVersion::Original);
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(itemsEnabled(i), 0);
    }
    QCOMPARE(itemsEnabled(0), 1);

    h.versionLoopyLandscapes->trigger();
    QCOMPARE(m_settings->gameVersion(), GameVersion::LoopyLandscapes);
    QCOMPARE(itemsEnabled(3), 1);

    // The decode command's path: exactly as a click on "Corkscrew Follies".
    m_settings->chooseGameVersion(GameVersion::CorkscrewFollies);
    QCOMPARE(m_settings->gameVersion(), GameVersion::CorkscrewFollies);
    QVERIFY(h.versionCorkscrewFollies->isChecked());
    QVERIFY(!h.versionLoopyLandscapes->isChecked());
    QCOMPARE(itemsEnabled(1), 1);
    QCOMPARE(itemsEnabled(0), 1);

    QCOMPARE(spy.size(), 3);
    QCOMPARE(spy[0][0].value<GameVersion>(), GameVersion::Original);
    QCOMPARE(spy[2][0].value<GameVersion>(), GameVersion::CorkscrewFollies);
    // Choosing a version writes nothing.
    QCOMPARE(m_document->contents(), SampleRecord(100));
    QVERIFY(!m_document->changed());
}

void TestRideSettingsMenus::versionClickOnCheckedItemKeepsIt_data()
{
    QTest::addColumn<bool>("exclusiveGroup");
    QTest::newRow("lone checkable actions") << false;
    QTest::newRow("exclusive action group") << true;
}

void TestRideSettingsMenus::versionClickOnCheckedItemKeepsIt()
{
    QFETCH(bool, exclusiveGroup);
    build(m_tables, exclusiveGroup);
    const RideSettingsMenuHandles& h = m_menus->handles;

    h.versionOriginal->trigger();
    QVERIFY(h.versionOriginal->isChecked());
    QCOMPARE(m_settings->gameVersion(), GameVersion::Original);

    h.versionLoopyLandscapes->trigger();
    h.versionLoopyLandscapes->trigger();
    QVERIFY(h.versionLoopyLandscapes->isChecked());
    QVERIFY(!h.versionOriginal->isChecked());
    QVERIFY(!h.versionCorkscrewFollies->isChecked());
    QCOMPARE(m_settings->gameVersion(), GameVersion::LoopyLandscapes);
    QVERIFY(m_menus->window.findChild<QAction*>(QStringLiteral("SM_SC_Num_2"))->isEnabled());
}

void TestRideSettingsMenus::paletteDialogIsTheDefaultPicker()
{
    // A real window's settings: no scripted picker.
    m_settings.reset();
    m_menus = std::make_unique<MainWindowMenus>(false);
    m_settings = std::make_unique<RideSettingsMenus>(*m_document, m_tables, m_menus->handles);

    const auto pickInDialog = [](const char* swatch) {
        QTimer::singleShot(0, [swatch] {
            auto* dialog = qobject_cast<PaletteDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("Colors"));
            if (swatch) {
                QTest::mouseClick(dialog->findChild<QWidget*>(QString::fromLatin1(swatch)),
                                  Qt::LeftButton);
            }
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("Ok")), Qt::LeftButton);
        });
    };
    pickInDialog("Colors_12");
    expectSingleWrite(m_menus->window.findChild<QAction*>(QStringLiteral("SM_BC_Cars_0")), 8, 12);
    // The same dialog comes back: Ok at once returns the colour picked last time.
    pickInDialog(nullptr);
    expectSingleWrite(m_menus->window.findChild<QAction*>(QStringLiteral("SM_TRC_Num_0")), 33, 12);
}

QTEST_MAIN(TestRideSettingsMenus)
#include "tst_ride_settings_menus.moc"
