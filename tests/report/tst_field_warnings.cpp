#include "codec/design_inspection.h"
#include "codec/record_fields.h"
#include "report/field_warnings.h"

#include <QTest>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

// A 68-byte header whose operation bytes the game accepts, with the given bytes set.
ByteBuffer header(std::initializer_list<std::pair<std::size_t, int>> set, std::size_t length = 68)
{
    ByteBuffer record(length, 0);
    const std::pair<std::size_t, int> sane[] = {{36, 2}, {37, 4}, {38, 10}, {39, 60}};
    for (const auto& [offset, value] : sane) {
        if (offset < length) {
            record[offset] = std::uint8_t(value);
        }
    }
    for (const auto& [offset, value] : set) {
        record[offset] = std::uint8_t(value);
    }
    return record;
}

const record::FieldDescription& describe(std::size_t offset)
{
    return *record::FieldAt(offset, RecordLayout::Expansion);
}

} // namespace

// Which field a byte belongs to, and the warnings of the design panel.
class TestFieldWarnings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void warnings_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("warning");
        QTest::newRow("colour 31") << header({{8, 31}}) << 8 << QString();
        QTest::newRow("colour 32") << header({{8, 32}}) << 8
                                   << u"Colour code 32 is outside the game's palette (0 to 31)."_s;
        QTest::newRow("trains 0") << header({{36, 0}}) << 36
                                  << u"Trains is 0; the game runs 1 to 12."_s;
        QTest::newRow("trains 12") << header({{36, 12}}) << 36 << QString();
        QTest::newRow("cars 13") << header({{37, 13}}) << 37
                                 << u"Cars per train is 13; the game runs 1 to 12."_s;
        QTest::newRow("min above max, at min")
            << header({{38, 61}}) << 38
            << u"The minimum waiting time (61 s) is above the maximum (60 s)."_s;
        QTest::newRow("min above max, at max")
            << header({{39, 9}}) << 39
            << u"The minimum waiting time (10 s) is above the maximum (9 s)."_s;
        QTest::newRow("min equals max") << header({{38, 60}}) << 39 << QString();
        QTest::newRow("record without byte 36") << header({}, 36) << 36 << QString();
        // Vehicle and mode against the ride type (Loopy Landscapes, the latest game).
        QTest::newRow("wooden coaster, powered launch")
            << header({{0, 0x00}, {6, 0x03}}) << 6
            << u"This operating mode is not offered for this ride in the game."_s;
    }
    void warnings()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(int, offset);
        QFETCH(QString, warning);
        QCOMPARE(FieldWarning(record, describe(std::size_t(offset))), warning);
    }

    void recordWarnings()
    {
        ByteBuffer record = header({{0xC4, 0x01}, {0xC6, 0xFF}}, 8198);
        QCOMPARE(RecordLengthWarning(InspectRecord(record)), QString());
        QCOMPARE(EndMarkerWarning(InspectRecord(record)), QString());
        record[0xC6] = 0x02;
        QCOMPARE(EndMarkerWarning(InspectRecord(record)),
                 u"The track data has no FF end marker: the game may read past the track."_s);
        record.resize(8100);
        QCOMPARE(RecordLengthWarning(InspectRecord(record)),
                 u"The record is 8,100 bytes long; the game writes 8,058 (base layout) or 8,198 "
                 "(expansion layout)."_s);
    }
};

QTEST_GUILESS_MAIN(TestFieldWarnings)
#include "tst_field_warnings.moc"
