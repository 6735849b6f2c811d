// The code tables read at start-up, and the ride-settings menus writing the record's
// bytes: type codes, colour scheme, track and vehicle colours from the palette dialog,
// and the game version that decides the bytes.
#include "document/track_design_document.h"
#include "settings/code_tables.h"
#include "ui/settings/palette_dialog.h"
#include "ui/settings/ride_settings_menus.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

CodeRecord entry(const std::string& code, std::string name)
{
    name.resize(128, ' ');
    return {code, name};
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// A decoded record whose bytes all differ from their neighbours, so a stray write shows.
ByteBuffer sampleRecord(std::size_t length = 100)
{
    ByteBuffer bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = std::uint8_t((i * 37 + 200) % 256);
    }
    return bytes;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void readsCodeTables()
    {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        QVERIFY(writeFile(folder.filePath(u"RCCODES.RCS"_s),
                          "1F" + QByteArray("  Mode  ").leftJustified(128) + "0a" +
                              QByteArray(128, 'x') + "0B partial"));
        // A folder where a table should be cannot be read, not even by root.
        QVERIFY(folder.mkdir(u"OMCODES.RCS"_s));
        const CodeTablesLoad load =
            ReadCodeTables(dir.path() + QDir::separator(), MissingCodeTables::Create);
        QCOMPARE(load.messages, QStringList{u"Can't open file: %1 (is a folder)"_s.arg(
                                    QDir::toNativeSeparators(folder.filePath(u"OMCODES.RCS"_s)))});
        const CodeTable& rides = load.tables.rideTypes;
        QCOMPARE(rides.size(), std::size_t(2));
        QCOMPARE(rides[0].code + TrimmedName(rides[0]) + rides[1].code, std::string("1FMode0a"));
        // A missing table is created empty.
        QVERIFY(load.tables.vehicleTypes.empty());
        QCOMPARE(QFileInfo(folder.filePath(u"VTCODES.RCS"_s)).size(), 0);
        // A "folder" that is a regular file holds no table: each is reported in order.
        const QStringList messages =
            ReadCodeTables(folder.filePath(u"RCCODES.RCS"_s), MissingCodeTables::Create).messages;
        QCOMPARE(messages.size(), 3);
        QVERIFY(messages.at(0).contains(u"RCCODES.RCS/RCCODES.RCS"_s));
        QVERIFY(messages.at(1).contains(u"RCCODES.RCS/OMCODES.RCS"_s));
        QVERIFY(messages.at(2).contains(u"RCCODES.RCS/VTCODES.RCS"_s));
    }

    void init()
    {
        m_owner = std::make_unique<QWidget>();
        m_document = std::make_unique<TrackDesignDocument>();
        QVERIFY(m_document->loadContents(sampleRecord()));
        m_tables.rideTypes = {entry("00", "Wooden"), entry("0a", "Single-Rail")};
        m_tables.vehicleTypes = {entry("1F", "Ghost Train"), entry("02", "Caf\xE9 & Cars")};
        m_tables.operatingModes = {entry("G1", "Not A Code"), entry("0C", "Powered Launch")};
        for (QMenu** menu : {&m_handles.rideTypes, &m_handles.vehicleTypes,
                             &m_handles.operatingModes, &m_handles.trackSpine, &m_handles.trackRail,
                             &m_handles.trackSupport, &m_handles.bodyColor, &m_handles.trimColor}) {
            *menu = new QMenu(m_owner.get());
        }
        for (QAction** action :
             {&m_handles.schemeSame, &m_handles.schemeTrain, &m_handles.schemeCar,
              &m_handles.schemeNotUsed, &m_handles.versionOriginal,
              &m_handles.versionCorkscrewFollies, &m_handles.versionLoopyLandscapes}) {
            *action = new QAction(m_owner.get());
        }
        for (QAction* version : versions()) {
            version->setCheckable(true);
        }
        m_handles.versionOriginal->setChecked(true);
        m_settings = std::make_unique<RideSettingsMenus>(*m_document, m_tables, m_handles,
                                                         [this](int) { return m_pick; });
    }
    void cleanup()
    {
        m_settings.reset();
        m_owner.reset();
    }

    void typeItemWritesItsCode_data()
    {
        QTest::addColumn<CodeKind>("kind");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("value");
        QTest::newRow("ride 0a") << CodeKind::RideType << 1 << 0 << 10;
        QTest::newRow("vehicle 1F") << CodeKind::VehicleType << 0 << 1 << 31;
        QTest::newRow("mode 0C") << CodeKind::OperatingMode << 1 << 6 << 12;
        QTest::newRow("mode G1 is not hexadecimal") << CodeKind::OperatingMode << 0 << 6 << 0;
    }
    void typeItemWritesItsCode()
    {
        QFETCH(CodeKind, kind);
        QFETCH(int, item);
        QFETCH(int, byte);
        QFETCH(int, value);
        // Names are Windows-1252; an ampersand shows as itself, not as an access key.
        QCOMPARE(m_settings->typeItems(CodeKind::VehicleType).at(1)->text(),
                 u"02: Caf\u00E9 && Cars"_s);
        expectSingleWrite(m_settings->typeItems(kind).at(item), byte, value);
    }

    // Scheme items store the scheme plus 4 for an expansion; the base game keeps one track
    // colour per part (32 to 34) whatever the item, the expansions four per part from 56,
    // 60 and 64; vehicle entry i has body 8 + 2i and trim 9 + 2i.
    void colorItemWritesItsByte_data()
    {
        QTest::addColumn<int>("version"); // -1: none chosen since start-up
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("value"); // also the colour picked
        QTest::newRow("start-up, scheme same") << -1 << u"scheme 0"_s << 7 << 0;
        QTest::newRow("Orignal, scheme each car") << 0 << u"scheme 2"_s << 7 << 2;
        QTest::newRow("Corkscrew, scheme trains") << 1 << u"scheme 1"_s << 7 << 5;
        QTest::newRow("start-up, rail 2: the one rail byte") << -1 << u"rail 2"_s << 33 << 17;
        QTest::newRow("Orignal, spine 0") << 0 << u"spine 0"_s << 32 << 1;
        QTest::newRow("Corkscrew, spine 2") << 1 << u"spine 2"_s << 58 << 8;
        QTest::newRow("Loopy, support 3") << 2 << u"support 3"_s << 67 << 12;
        QTest::newRow("Loopy, trim 11") << 2 << u"trim 11"_s << 31 << 3;
    }
    void colorItemWritesItsByte()
    {
        QFETCH(int, version);
        QFETCH(QString, item);
        QFETCH(int, byte);
        QFETCH(int, value);
        if (version >= 0) {
            versions().at(version)->trigger();
        }
        // Byte 7 starts with every bit set that the scheme does not own: they are dropped.
        QVERIFY(m_document->setByte(7, 0xF9));
        m_document->markSaved();
        m_pick = value;
        expectSingleWrite(colorItem(item), byte, value);
    }

    void refusedWritesChangeNothing()
    {
        m_pick = 32; // outside the palette
        colorItem(u"body 0"_s)->trigger();
        QVERIFY(m_document->loadContents(sampleRecord(7)));
        QSignalSpy refusals(m_settings.get(), &RideSettingsMenus::writeRefused);
        m_pick = 9;
        for (const QString& item : {u"body 11"_s, u"rail 0"_s, u"scheme 2"_s}) {
            colorItem(item)->trigger();
        }
        QCOMPARE(m_document->contents(), sampleRecord(7));
        QVERIFY(!m_document->changed());
        QCOMPARE(refusals.size(), 3);
        QCOMPARE(
            refusals.at(0).at(0).toString(),
            u"This record has only 7 bytes, so byte 30 cannot be set. Settings apply to a whole "
            "decoded track design."_s);
        // Bytes inside the short record are still written.
        expectSingleWrite(m_settings->typeItems(CodeKind::OperatingMode).at(1), 6, 12);
    }

    // Without a picker of their own the menus show the palette dialog on the field's own
    // colour; only Ok writes, Escape and the close box write nothing.
    void paletteDialogPicksTheColor()
    {
        m_settings.reset();
        m_settings = std::make_unique<RideSettingsMenus>(*m_document, m_tables, m_handles);
        const auto pickInDialog = [](int swatch, bool ok, QColor* previewAtStart) {
            QTimer::singleShot(0, [=] {
                auto* dialog = qobject_cast<PaletteDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                *previewAtStart = dialog->previewColor();
                QTest::mouseClick(dialog->findChild<QWidget*>(u"Colors_%1"_s.arg(swatch)),
                                  Qt::LeftButton);
                if (ok) {
                    QTest::mouseClick(dialog->findChild<QWidget*>(u"Ok"_s), Qt::LeftButton);
                } else {
                    QTest::keyClick(dialog, Qt::Key_Escape); // as the close box does
                }
            });
        };
        QVERIFY(m_document->setByte(8, 0x1E));
        QColor preview;
        pickInDialog(5, true, &preview);
        expectSingleWrite(colorItem(u"body 0"_s), 8, 5);
        QCOMPARE(preview, QColor(255, 231, 47)); // palette colour 30, the byte's own
        const ByteBuffer before = m_document->contents();
        pickInDialog(7, false, &preview);
        colorItem(u"trim 0"_s)->trigger();
        QCOMPARE(m_document->contents(), before);
    }

    // The palette from the keyboard: the keys start on the field's colour (9, row 1 column
    // 1 of 8 x 4); arrows move and choose, wrapping at the edges; Enter or Space accept,
    // Escape and "Cancel" give nothing; a double click accepts.
    void paletteByKeyboard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("picked");
        QTest::newRow("Right, Down, Enter") << u"Right, Down, Return"_s << 18;
        QTest::newRow("Left, Space") << u"Left, Space"_s << 8;
        QTest::newRow("Up, Up wraps") << u"Up, Up, Return"_s << 25;
        QTest::newRow("Cancel") << u"cancel"_s << -1;
        QTest::newRow("double click") << u"double click"_s << 17;
    }
    void paletteByKeyboard()
    {
        QFETCH(QString, keys);
        PaletteDialog dialog;
        // The name and the code in hexadecimal, as the code lists show codes.
        const auto* swatch = dialog.findChild<QWidget*>(u"Colors_24"_s);
        QCOMPARE(swatch->toolTip(), u"Bright Red (18)"_s);
        QCOMPARE(swatch->accessibleName(), u"Bright Red (18)"_s);
        QCOMPARE(dialog.findChild<QWidget*>(u"Colors_28"_s)->toolTip(), u"Dark Purple (1C)"_s);
        QTimer::singleShot(0, [&dialog, keys] {
            if (keys == u"cancel") {
                dialog.findChild<QPushButton*>(u"Cancel"_s)->click();
            } else if (keys == u"double click") {
                QTest::mouseDClick(dialog.findChild<QWidget*>(u"Colors_17"_s), Qt::LeftButton);
            } else { // each key where the focus is by then
                const QKeySequence sequence(keys);
                for (int i = 0; i < sequence.count(); ++i) {
                    QTest::keyClick(dialog.focusWidget(), sequence[i].key());
                }
            }
        });
        QTEST(dialog.pickColor(9), "picked");
    }

private:
    QList<QAction*> versions() const
    {
        return {m_handles.versionOriginal, m_handles.versionCorkscrewFollies,
                m_handles.versionLoopyLandscapes};
    }
    // "scheme 2", "rail 3", "body 11", ...: the item of that kind and number.
    QAction* colorItem(const QString& name) const
    {
        const QString kind = name.section(u' ', 0, 0);
        const int number = name.section(u' ', 1).toInt();
        if (kind == u"scheme") {
            return QList{m_handles.schemeSame, m_handles.schemeTrain, m_handles.schemeCar,
                         m_handles.schemeNotUsed}
                .at(number);
        }
        if (kind == u"body" || kind == u"trim") {
            return (kind == u"body" ? m_settings->bodyItems() : m_settings->trimItems()).at(number);
        }
        return m_settings
            ->trackItems(kind == u"spine"  ? TrackPart::Spine
                         : kind == u"rail" ? TrackPart::Rail
                                           : TrackPart::Support)
            .at(number);
    }
    // Triggers `action` and checks that only byte `byte` changed, to `value`.
    void expectSingleWrite(QAction* action, int byte, int value)
    {
        ByteBuffer expected = m_document->contents();
        expected[std::size_t(byte)] = std::uint8_t(value);
        action->trigger();
        QCOMPARE(m_document->contents(), expected);
        QVERIFY(m_document->changed());
    }

    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<TrackDesignDocument> m_document;
    std::unique_ptr<RideSettingsMenus> m_settings;
    RideSettingsMenuHandles m_handles;
    CodeTables m_tables;
    int m_pick = 0;
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
