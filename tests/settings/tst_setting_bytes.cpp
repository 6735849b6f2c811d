#include "settings/setting_bytes.h"

#include <QTest>
#include <set>

using namespace railwright;

Q_DECLARE_METATYPE(railwright::GameVersion)
Q_DECLARE_METATYPE(railwright::TrackPart)

class TestSettingBytes : public QObject
{
    Q_OBJECT

private slots:
    void colorScheme_data();
    void colorScheme();
    void trackColor_data();
    void trackColor();
    void vehicleColorsTileBytes8To31();
    void typeBytes();
};

void TestSettingBytes::colorScheme_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<GameVersion>("version");
    QTest::addColumn<int>("value");
    QTest::newRow("same, base game") << 0 << GameVersion::Original << 0;
    QTest::newRow("cars differ, base game") << 2 << GameVersion::Original << 2;
    QTest::newRow("not used, base game") << 3 << GameVersion::Original << 3;
    QTest::newRow("same, Corkscrew") << 0 << GameVersion::CorkscrewFollies << 4;
    QTest::newRow("trains differ, Corkscrew") << 1 << GameVersion::CorkscrewFollies << 5;
    QTest::newRow("cars differ, Loopy") << 2 << GameVersion::LoopyLandscapes << 6;
    QTest::newRow("not used, Loopy") << 3 << GameVersion::LoopyLandscapes << 7;
}

void TestSettingBytes::colorScheme()
{
    QFETCH(int, scheme);
    QFETCH(GameVersion, version);
    QFETCH(int, value);
    QCOMPARE(ColorSchemeByte(scheme, version), value);
}

void TestSettingBytes::trackColor_data()
{
    QTest::addColumn<TrackPart>("part");
    QTest::addColumn<int>("scheme");
    QTest::addColumn<GameVersion>("version");
    QTest::addColumn<int>("byte");
    // The base game has one colour per part, whichever scheme item was chosen.
    QTest::newRow("spine 0, base") << TrackPart::Spine << 0 << GameVersion::Original << 32;
    QTest::newRow("spine 3, base") << TrackPart::Spine << 3 << GameVersion::Original << 32;
    QTest::newRow("rail 2, base") << TrackPart::Rail << 2 << GameVersion::Original << 33;
    QTest::newRow("support 1, base") << TrackPart::Support << 1 << GameVersion::Original << 34;
    QTest::newRow("spine 0, Corkscrew")
        << TrackPart::Spine << 0 << GameVersion::CorkscrewFollies << 56;
    QTest::newRow("spine 3, Loopy") << TrackPart::Spine << 3 << GameVersion::LoopyLandscapes << 59;
    QTest::newRow("rail 0, Loopy") << TrackPart::Rail << 0 << GameVersion::LoopyLandscapes << 60;
    QTest::newRow("rail 2, Corkscrew")
        << TrackPart::Rail << 2 << GameVersion::CorkscrewFollies << 62;
    QTest::newRow("support 0, Corkscrew")
        << TrackPart::Support << 0 << GameVersion::CorkscrewFollies << 64;
    QTest::newRow("support 3, Loopy")
        << TrackPart::Support << 3 << GameVersion::LoopyLandscapes << 67;
}

void TestSettingBytes::trackColor()
{
    QFETCH(TrackPart, part);
    QFETCH(int, scheme);
    QFETCH(GameVersion, version);
    QFETCH(int, byte);
    QCOMPARE(int(TrackColorByte(part, scheme, version)), byte);
}

void TestSettingBytes::vehicleColorsTileBytes8To31()
{
    QCOMPARE(int(BodyColorByte(0)), 8);
    QCOMPARE(int(TrimColorByte(0)), 9);
    QCOMPARE(int(BodyColorByte(11)), 30);
    QCOMPARE(int(TrimColorByte(11)), 31);
    // No two of the 24 items share a byte, and together they cover 8..31 exactly.
    std::set<std::size_t> bytes;
    for (int i = 0; i < VehicleColorItems; ++i) {
        bytes.insert(BodyColorByte(i));
        bytes.insert(TrimColorByte(i));
    }
    QCOMPARE(int(bytes.size()), 24);
    QCOMPARE(int(*bytes.begin()), 8);
    QCOMPARE(int(*bytes.rbegin()), 31);
}

void TestSettingBytes::typeBytes()
{
    QCOMPARE(int(CodeByte(CodeKind::RideType)), 0);
    QCOMPARE(int(CodeByte(CodeKind::VehicleType)), 1);
    QCOMPARE(int(CodeByte(CodeKind::OperatingMode)), 6);
    QVERIFY(!TrackSchemeItemsEnabled(GameVersion::Original));
    QVERIFY(TrackSchemeItemsEnabled(GameVersion::CorkscrewFollies));
    QVERIFY(TrackSchemeItemsEnabled(GameVersion::LoopyLandscapes));
}

QTEST_GUILESS_MAIN(TestSettingBytes)
#include "tst_setting_bytes.moc"
