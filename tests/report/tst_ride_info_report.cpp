#include "codec/record_layout.h"
#include "report/ride_info_report.h"

#include <QLocale>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

using namespace railwright;
using namespace Qt::StringLiterals;

using ByteWrites = std::vector<std::pair<std::size_t, std::uint8_t>>;
Q_DECLARE_METATYPE(ByteWrites)

namespace {

const QString Crlf = u"\r\n"_s;

// A code-table entry as a table file holds it: the name padded with spaces to 128.
CodeRecord Entry(std::string code, std::string name)
{
    name.resize(NameFieldLength, ' ');
    return {std::move(code), std::move(name)};
}

// A full-length record of zeros with the given bytes set.
ByteBuffer Record(const ByteWrites& writes, std::size_t length = record::InterpretedLength)
{
    ByteBuffer bytes(length, 0);
    for (const auto& [offset, value] : writes) {
        bytes.at(offset) = value;
    }
    return bytes;
}

QStringList ReportLines(const ByteBuffer& bytes, const CodeTables& tables = {},
                        GameVersion version = GameVersion::Original)
{
    TrackDesignDocument document;
    if (!document.loadContents(bytes)) {
        return {};
    }
    return BuildRideInfoReport(document, tables, version).split(Crlf);
}

} // namespace

class TestRideInfoReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shape();
    void otherLineBreak();
    void lines_data();
    void lines();
    void names();
    void nameFromWindows1252();
    void versionText_data();
    void versionText();
    void shortRecord_data();
    void shortRecord();
    void startUpDocument();
    void commaLocale();
    void leavesDocumentAlone();
};

void TestRideInfoReport::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestRideInfoReport::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestRideInfoReport::shape()
{
    TrackDesignDocument document;
    QVERIFY(document.loadContents(Record({{record::HighestDrop, 5}})));
    const QString report = BuildRideInfoReport(document, {}, GameVersion::Original);

    QVERIFY(!report.endsWith(u'\r') && !report.endsWith(u'\n'));
    QVERIFY(report.endsWith(u"Higest Drop: 05 Feet"_s));
    const QStringList lines = report.split(Crlf);
    QCOMPARE(lines.size(), 22);
    for (const QString& line : lines) {
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
    }
    QCOMPARE(lines[8], u"--------------------"_s);
    QCOMPARE(lines[12], u"--------------------"_s);
    QCOMPARE(lines[8].size(), 20);

    const QStringList labels = {
        u"RCT Version: "_s,
        u"Ride Type: "_s,
        u"Vechicle Type: "_s,
        u"Operating Mode: "_s,
        u"Color Scheme: "_s,
        u"Num of Trains: "_s,
        u"Cars Per Train: "_s,
        u"Speed/People: "_s,
        u"-"_s,
        u"Excitement: "_s,
        u"Intensity: "_s,
        u"Nausea: "_s,
        u"-"_s,
        u"Max Speed: "_s,
        u"Average Speed: "_s,
        u"Ride Length: "_s,
        u"Postive G's: "_s,
        u"Negitive G's: "_s,
        u"Laterial G's: "_s,
        u"Num of Inversions: "_s,
        u"Num of Drops: "_s,
        u"Higest Drop: "_s,
    };
    for (qsizetype i = 0; i < labels.size(); ++i) {
        QVERIFY2(lines[i].startsWith(labels[i]), qPrintable(lines[i]));
    }
}

void TestRideInfoReport::otherLineBreak()
{
    TrackDesignDocument document;
    QVERIFY(document.loadContents(Record({})));
    const QString report = BuildRideInfoReport(document, {}, GameVersion::Original, u"\n"_s);
    QVERIFY(!report.contains(u'\r'));
    QCOMPARE(report.split(u'\n').size(), 22);
}

void TestRideInfoReport::lines_data()
{
    QTest::addColumn<ByteWrites>("writes");
    QTest::addColumn<int>("line"); // counted from 1
    QTest::addColumn<QString>("expected");

    using namespace record;
    QTest::newRow("trains keep two digits")
        << ByteWrites{{NumTrains, 5}} << 6 << u"Num of Trains: 05"_s;
    QTest::newRow("cars keep two digits")
        << ByteWrites{{CarsPerTrain, 7}} << 7 << u"Cars Per Train: 07"_s;
    QTest::newRow("speed and people")
        << ByteWrites{{SpeedOrPeople, 4}} << 8 << u"Speed/People: 9 Mph/04"_s;
    QTest::newRow("speed 255") << ByteWrites{{SpeedOrPeople, 255}} << 8
                               << u"Speed/People: 573.75 Mph/255"_s;
    QTest::newRow("scheme 0") << ByteWrites{{SchemeAndVersion, 0}} << 5
                              << u"Color Scheme: All Vehicles Are The Same Color"_s;
    QTest::newRow("scheme 5: expansion, trains") << ByteWrites{{SchemeAndVersion, 5}} << 5
                                                 << u"Color Scheme: Trains Have Different Colors"_s;
    QTest::newRow("scheme 6: expansion, cars") << ByteWrites{{SchemeAndVersion, 6}} << 5
                                               << u"Color Scheme: Each Car Has Different Colors"_s;
    QTest::newRow("scheme 3") << ByteWrites{{SchemeAndVersion, 3}} << 5
                              << u"Color Scheme: Not Used"_s;
    QTest::newRow("scheme 8 has no text")
        << ByteWrites{{SchemeAndVersion, 8}} << 5 << u"Color Scheme: "_s;
    QTest::newRow("excitement 0") << ByteWrites{{Excitement, 0}} << 10 << u"Excitement: 0"_s;
    QTest::newRow("intensity 255") << ByteWrites{{Intensity, 255}} << 11 << u"Intensity: 25.5"_s;
    QTest::newRow("nausea 65") << ByteWrites{{Nausea, 65}} << 12 << u"Nausea: 6.5"_s;
    QTest::newRow("max speed") << ByteWrites{{MaxSpeed, 255}} << 14 << u"Max Speed: 573.75 Mph"_s;
    QTest::newRow("average speed")
        << ByteWrites{{AverageSpeed, 1}} << 15 << u"Average Speed: 2.25 Mph"_s;
    QTest::newRow("length 2C 01") << ByteWrites{{RideLengthLow, 0x2C}, {RideLengthHigh, 0x01}} << 16
                                  << u"Ride Length: 984 Feet"_s;
    QTest::newRow("length FF FF is -1") << ByteWrites{{RideLengthLow, 0xFF}, {RideLengthHigh, 0xFF}}
                                        << 16 << u"Ride Length: -3.28 Feet"_s;
    QTest::newRow("length 00 80 is the lowest")
        << ByteWrites{{RideLengthLow, 0x00}, {RideLengthHigh, 0x80}} << 16
        << u"Ride Length: -107479.04 Feet"_s;
    QTest::newRow("length FF 7F is the highest")
        << ByteWrites{{RideLengthLow, 0xFF}, {RideLengthHigh, 0x7F}} << 16
        << u"Ride Length: 107475.76 Feet"_s;
    QTest::newRow("positive g 255")
        << ByteWrites{{MaxPositiveG, 255}} << 17 << u"Postive G's: 81.6"_s;
    // A signed byte: F6 is -10, 7F the highest.
    QTest::newRow("negative g F6")
        << ByteWrites{{MaxNegativeG, 0xF6}} << 18 << u"Negitive G's: -3.2"_s;
    QTest::newRow("negative g 7F")
        << ByteWrites{{MaxNegativeG, 0x7F}} << 18 << u"Negitive G's: 40.64"_s;
    QTest::newRow("lateral g") << ByteWrites{{MaxLateralG, 3}} << 19 << u"Laterial G's: 0.96"_s;
    QTest::newRow("inversions E3")
        << ByteWrites{{Inversions, 0xE3}} << 20 << u"Num of Inversions: 3"_s;
    QTest::newRow("inversions 31")
        << ByteWrites{{Inversions, 31}} << 20 << u"Num of Inversions: 31"_s;
    QTest::newRow("drops FF") << ByteWrites{{Drops, 0xFF}} << 21 << u"Num of Drops: 63"_s;
    QTest::newRow("drops 64") << ByteWrites{{Drops, 64}} << 21 << u"Num of Drops: 0"_s;
    QTest::newRow("highest drop unscaled")
        << ByteWrites{{HighestDrop, 5}} << 22 << u"Higest Drop: 05 Feet"_s;
}

void TestRideInfoReport::lines()
{
    QFETCH(ByteWrites, writes);
    QFETCH(int, line);
    QFETCH(QString, expected);
    const QStringList lines = ReportLines(Record(writes));
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines[line - 1], expected);
}

void TestRideInfoReport::names()
{
    CodeTables tables;
    tables.rideTypes = {Entry("0A", "Wooden Coaster"), Entry("0B", "Other"),
                        Entry("0A", "  Later Wooden Coaster  ")};
    tables.vehicleTypes = {Entry("1f", "lower-case code"), Entry("20", "Cars")};
    tables.operatingModes = {Entry("03", "Continuous Circuit")};

    using namespace record;
    QStringList lines =
        ReportLines(Record({{RideType, 0x0A}, {VehicleType, 0x1F}, {OperatingMode, 0x03}}), tables);
    QCOMPARE(lines[1], u"Ride Type: Later Wooden Coaster"_s);
    QCOMPARE(lines[2], u"Vechicle Type: "_s);
    QCOMPARE(lines[3], u"Operating Mode: Continuous Circuit"_s);

    lines =
        ReportLines(Record({{RideType, 0x0B}, {VehicleType, 0x20}, {OperatingMode, 0x30}}), tables);
    QCOMPARE(lines[1], u"Ride Type: Other"_s);
    QCOMPARE(lines[2], u"Vechicle Type: Cars"_s);
    QCOMPARE(lines[3], u"Operating Mode: "_s);

    // Missing table files leave empty tables: every name line ends after its label.
    lines = ReportLines(Record({{RideType, 0x0A}}), CodeTables{});
    QCOMPARE(lines[1], u"Ride Type: "_s);
    QCOMPARE(lines[2], u"Vechicle Type: "_s);
    QCOMPARE(lines[3], u"Operating Mode: "_s);
}

void TestRideInfoReport::nameFromWindows1252()
{
    CodeTables tables;
    tables.rideTypes = {Entry("00", "Caf\xE9 Coaster \x80")};
    const QStringList lines = ReportLines(Record({}), tables);
    QCOMPARE(lines[1], u"Ride Type: Caf\u00E9 Coaster \u20AC"_s);
}

void TestRideInfoReport::versionText_data()
{
    QTest::addColumn<GameVersion>("version");
    QTest::addColumn<QString>("expected");
    QTest::newRow("base game") << GameVersion::Original << u"RCT Version: Orginal"_s;
    QTest::newRow("Corkscrew Follies")
        << GameVersion::CorkscrewFollies << u"RCT Version: Corkscrew Follies"_s;
    QTest::newRow("Loopy Landscapes")
        << GameVersion::LoopyLandscapes << u"RCT Version: Corkscrew Follies"_s;
}

void TestRideInfoReport::versionText()
{
    QFETCH(GameVersion, version);
    QFETCH(QString, expected);
    QCOMPARE(ReportLines(Record({}), {}, version).first(), expected);
}

void TestRideInfoReport::shortRecord_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("line"); // counted from 1
    QTest::addColumn<QString>("expected");

    // Every byte 7: a field inside the record reads 7, one past its end shows "-".
    QTest::newRow("1 byte, ride type") << 1 << 2 << u"Ride Type: Seven"_s;
    QTest::newRow("1 byte, vehicle type") << 1 << 3 << u"Vechicle Type: -"_s;
    QTest::newRow("1 byte, colour scheme") << 1 << 5 << u"Color Scheme: -"_s;
    QTest::newRow("1 byte, speed and people") << 1 << 8 << u"Speed/People: -"_s;
    QTest::newRow("44 bytes, average speed") << 44 << 15 << u"Average Speed: 15.75 Mph"_s;
    QTest::newRow("44 bytes, half a ride length") << 44 << 16 << u"Ride Length: -"_s;
    QTest::newRow("46 bytes, ride length 0707") << 46 << 16 << u"Ride Length: 5900.72 Feet"_s;
    QTest::newRow("46 bytes, positive g") << 46 << 17 << u"Postive G's: 2.24"_s;
    QTest::newRow("46 bytes, negative g") << 46 << 18 << u"Negitive G's: -"_s;
    QTest::newRow("51 bytes, excitement") << 51 << 10 << u"Excitement: -"_s;
    QTest::newRow("51 bytes, highest drop") << 51 << 22 << u"Higest Drop: 07 Feet"_s;
}

void TestRideInfoReport::shortRecord()
{
    QFETCH(int, length);
    QFETCH(int, line);
    QFETCH(QString, expected);
    CodeTables tables;
    tables.rideTypes = {Entry("07", "Seven")};
    const QStringList lines = ReportLines(ByteBuffer(std::size_t(length), 7), tables);
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines[line - 1], expected);
}

void TestRideInfoReport::startUpDocument()
{
    const TrackDesignDocument document; // one empty element, which reads 0
    const QStringList lines = BuildRideInfoReport(document, {}, GameVersion::Original).split(Crlf);
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines[1], u"Ride Type: "_s);
    QCOMPARE(lines[4], u"Color Scheme: -"_s);
    QCOMPARE(lines[15], u"Ride Length: -"_s);
}

void TestRideInfoReport::commaLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    using namespace record;
    const QStringList lines = ReportLines(Record({{SpeedOrPeople, 1},
                                                  {Intensity, 255},
                                                  {RideLengthLow, 0xFF},
                                                  {RideLengthHigh, 0xFF},
                                                  {MaxPositiveG, 255},
                                                  {HighestDrop, 5}}));
    QCOMPARE(lines[7], u"Speed/People: 2,25 Mph/01"_s);
    QCOMPARE(lines[10], u"Intensity: 25,5"_s);
    QCOMPARE(lines[15], u"Ride Length: -3,28 Feet"_s);
    QCOMPARE(lines[16], u"Postive G's: 81,6"_s);
    QCOMPARE(lines[21], u"Higest Drop: 05 Feet"_s);
}

void TestRideInfoReport::leavesDocumentAlone()
{
    ByteBuffer bytes(80);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::uint8_t(i * 37 + 11);
    }
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytes));
    const QString report = BuildRideInfoReport(document, {}, GameVersion::LoopyLandscapes);
    QCOMPARE(report.split(Crlf).size(), 22);
    QCOMPARE(document.contents(), bytes);
    QVERIFY(!document.changed());
}

QTEST_GUILESS_MAIN(TestRideInfoReport)
#include "tst_ride_info_report.moc"
