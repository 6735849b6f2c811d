// The ride info report line by line, and the number format it shows values in.
#include "report/number_text.h"
#include "report/ride_info_report.h"

#include <QLocale>
#include <QTest>
#include <limits>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

// A 68-byte record of zeros with the given bytes set: offset, value, offset, value, ...
QStringList reportLines(const QList<int>& writes, const CodeTables& tables = {},
                        GameVersion version = GameVersion::Original)
{
    ByteBuffer bytes(68, 0);
    for (qsizetype i = 0; i + 1 < writes.size(); i += 2) {
        bytes[std::size_t(writes[i])] = std::uint8_t(writes[i + 1]);
    }
    return BuildRideInfoReport(bytes, tables, version).split(u"\r\n"_s);
}

CodeRecord entry(std::string code, std::string name)
{
    name.resize(128, ' ');
    return {std::move(code), std::move(name)};
}

} // namespace

class TestRideInfoReport : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void lines_data()
    {
        QTest::addColumn<QList<int>>("writes");
        QTest::addColumn<int>("line"); // counted from 1
        QTest::addColumn<QString>("expected");
        QTest::newRow("scheme 5: expansion, trains")
            << QList{7, 5} << 5 << u"Color Scheme: Trains Have Different Colors"_s;
        QTest::newRow("scheme 8 has no text") << QList{7, 8} << 5 << u"Color Scheme: "_s;
        QTest::newRow("trains keep two digits") << QList{36, 5} << 6 << u"Num of Trains: 05"_s;
        QTest::newRow("speed and people")
            << QList{40, 255} << 8 << u"Speed/People: 573.75 Mph/255"_s;
        QTest::newRow("separator") << QList<int>{} << 9 << u"--------------------"_s;
        QTest::newRow("intensity 255") << QList{52, 255} << 11 << u"Intensity: 25.5"_s;
        QTest::newRow("nausea 65") << QList{53, 65} << 12 << u"Nausea: 6.5"_s;
        QTest::newRow("max speed") << QList{41, 4} << 14 << u"Max Speed: 9 Mph"_s;
        QTest::newRow("average speed") << QList{42, 1} << 15 << u"Average Speed: 2.25 Mph"_s;
        QTest::newRow("length 2C 01")
            << QList{43, 0x2C, 44, 0x01} << 16 << u"Ride Length: 984 Feet"_s;
        QTest::newRow("length FF FF is -1")
            << QList{43, 0xFF, 44, 0xFF} << 16 << u"Ride Length: -3.28 Feet"_s;
        QTest::newRow("positive g 255") << QList{45, 255} << 17 << u"Postive G's: 81.6"_s;
        // The game reads this one as a signed byte: F6 is -10.
        QTest::newRow("negative g F6") << QList{46, 0xF6} << 18 << u"Negitive G's: -3.2"_s;
        QTest::newRow("lateral g") << QList{47, 3} << 19 << u"Laterial G's: 0.96"_s;
        QTest::newRow("inversions E3") << QList{48, 0xE3} << 20 << u"Num of Inversions: 3"_s;
        QTest::newRow("drops FF") << QList{49, 0xFF} << 21 << u"Num of Drops: 63"_s;
        QTest::newRow("highest drop unscaled") << QList{50, 5} << 22 << u"Higest Drop: 05 Feet"_s;
    }
    void lines()
    {
        QFETCH(QList<int>, writes);
        QFETCH(int, line);
        const QStringList lines = reportLines(writes);
        QCOMPARE(lines.size(), 22);
        QTEST(lines.at(line - 1), "expected");
    }

    void names()
    {
        CodeTables tables;
        // Of several entries with one code the last names it; codes match as stored.
        tables.rideTypes = {entry("0A", "Wooden"), entry("0A", "  Later Wooden  ")};
        tables.vehicleTypes = {entry("1f", "lower-case code")};
        tables.operatingModes = {entry("03", "Caf\xE9 \x80")};
        const QStringList lines = reportLines({0, 0x0A, 1, 0x1F, 6, 0x03}, tables);
        QCOMPARE(lines.mid(1, 3), (QStringList{u"Ride Type: Later Wooden"_s, u"Vechicle Type: "_s,
                                               u"Operating Mode: Caf\u00E9 \u20AC"_s}));
        // Each game its own text; the base game keeps the old spelling.
        QCOMPARE(reportLines({}, {}, GameVersion::LoopyLandscapes).first(),
                 u"RCT Version: Loopy Landscapes"_s);
        QCOMPARE(reportLines({}, {}, GameVersion::CorkscrewFollies).first(),
                 u"RCT Version: Corkscrew Follies"_s);
        QCOMPARE(reportLines({}, {}, GameVersion::Original).first(), u"RCT Version: Orginal"_s);
    }

    // Every byte 7: a field inside the record reads 7, one past its end shows "-".
    void shortRecord_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("line"); // counted from 1
        QTest::addColumn<QString>("expected");
        QTest::newRow("1 byte, vehicle type") << 1 << 3 << u"Vechicle Type: -"_s;
        QTest::newRow("1 byte, speed and people") << 1 << 8 << u"Speed/People: -"_s;
        QTest::newRow("44 bytes, half a ride length") << 44 << 16 << u"Ride Length: -"_s;
        QTest::newRow("46 bytes, ride length 0707") << 46 << 16 << u"Ride Length: 5900.72 Feet"_s;
        QTest::newRow("46 bytes, negative g") << 46 << 18 << u"Negitive G's: -"_s;
        QTest::newRow("51 bytes, excitement") << 51 << 10 << u"Excitement: -"_s;
    }
    void shortRecord()
    {
        QFETCH(int, length);
        QFETCH(int, line);
        const QStringList lines =
            BuildRideInfoReport(ByteBuffer(std::size_t(length), 7), {}, GameVersion::Original)
                .split(u"\r\n"_s);
        QCOMPARE(lines.size(), 22);
        QTEST(lines.at(line - 1), "expected");
    }

    // Fifteen significant digits, no exponent, no group separator.
    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        const QLocale c = QLocale::c();
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("g of 255, not 81.60000000000001") << 255 * 0.32 << c << u"81.6"_s;
        QTest::newRow("length 300, not 983.9999999999999") << 300 * 3.28 << c << u"984"_s;
        QTest::newRow("no group separator") << 32767 * 3.28 << c << u"107475.76"_s;
        QTest::newRow("15 significant digits") << 2.0 / 3 << c << u"0.666666666666667"_s;
        QTest::newRow("large") << 123456789012345678.0 << c << u"123456789012346000"_s;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << c << u"NaN"_s;
        QTest::newRow("comma") << -3.28 << german << u"-3,28"_s;
        QTest::newRow("comma, no group separator") << 32767 * 3.28 << german << u"107475,76"_s;
    }
    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QLocale, locale);
        QTEST(FormatNumber(value, locale), "expected");
    }

    void commaLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QStringList lines = reportLines({40, 1, 43, 0xFF, 44, 0xFF});
        QCOMPARE(lines.at(7), u"Speed/People: 2,25 Mph/01"_s);
        QCOMPARE(lines.at(15), u"Ride Length: -3,28 Feet"_s);
    }
};

QTEST_GUILESS_MAIN(TestRideInfoReport)
#include "tst_ride_info_report.moc"
