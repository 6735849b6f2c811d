#include "codec/design_inspection.h"
#include "codec/record_fields.h"
#include "hex_bytes.h"

#include <QTest>

using namespace railwright;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(railwright::ChecksumMatch)
Q_DECLARE_METATYPE(railwright::RecordLayout)

class TestRecordInspection : public QObject
{
    Q_OBJECT

private slots:
    void inspectsFiles_data()
    {
        QTest::addColumn<ByteBuffer>("file");
        QTest::addColumn<ChecksumMatch>("checksum");
        QTest::addColumn<bool>("decodes");
        // The empty body's sum is 0, so the field is minus the constant.
        QTest::newRow("empty body, base constant")
            << hexBytes("84 59 FE FF") << ChecksumMatch::OriginalOrCorkscrew << false;
        QTest::newRow("empty body, Loopy constant")
            << hexBytes("3F 2B FE FF") << ChecksumMatch::LoopyLandscapes << false;
        QTest::newRow("too short for a checksum")
            << hexBytes("84 59 FE") << ChecksumMatch::None << false;
        // F9 00 repeats 00 eight times; sum F9 -> 7C8 -> 3E40, minus 108156 is FFFE97C4.
        QTest::newRow("eight zeros, base constant")
            << hexBytes("F9 00 C4 97 FE FF") << ChecksumMatch::OriginalOrCorkscrew << true;
        QTest::newRow("eight zeros, wrong checksum")
            << hexBytes("F9 00 C4 97 FE FE") << ChecksumMatch::None << true;
        QTest::newRow("seven zeros is too short")
            << hexBytes("FA 00 C4 97 FE FF") << ChecksumMatch::None << false;
        QTest::newRow("literal block past the end")
            << hexBytes("7F 01 02 03 04 05") << ChecksumMatch::None << false;
    }
    void inspectsFiles()
    {
        QFETCH(ByteBuffer, file);
        QFETCH(ChecksumMatch, checksum);
        QFETCH(bool, decodes);
        const DesignInspection inspection = InspectDesign(file);
        QCOMPARE(inspection.checksum, checksum);
        QCOMPARE(inspection.decodes(), decodes);
        QCOMPARE(inspection.valid(), decodes && checksum != ChecksumMatch::None);
        if (decodes) {
            QCOMPARE(inspection.record.length, std::size_t(8));
        }
    }

    void inspectsRecords_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<RecordLayout>("layout");
        QTest::addColumn<int>("trackPieces"); // -1: no end marker
        QTest::newRow("base, two pieces")
            << recordWith(8058, {{0x38, 0x01}, {0x3A, 0x02}, {0x3C, 0xFF}}) << RecordLayout::Base
            << 2;
        // An FF qualifier is not an end marker.
        QTest::newRow("base, FF qualifier")
            << recordWith(8058, {{0x39, 0xFF}, {0x3A, 0xFF}}) << RecordLayout::Base << 1;
        QTest::newRow("expansion, empty track")
            << recordWith(8198, {{7, 0x04}, {0x38, 0xFF}, {0xC4, 0xFF}}) << RecordLayout::Expansion
            << 0;
        QTest::newRow("base, no marker") << recordWith(8058, {}) << RecordLayout::Base << -1;
        QTest::newRow("unusual, expansion flag")
            << recordWith(300, {{7, 0x04}, {0x38, 0xFF}, {0xC8, 0xFF}}) << RecordLayout::Unusual
            << 2;
        QTest::newRow("unusual, no flag")
            << recordWith(300, {{0x38, 0xFF}, {0xC8, 0xFF}}) << RecordLayout::Unusual << 0;
    }
    void inspectsRecords()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(RecordLayout, layout);
        QFETCH(int, trackPieces);
        const RecordFacts facts = InspectRecord(record);
        QCOMPARE(facts.length, record.size());
        QCOMPARE(facts.layout, layout);
        QCOMPARE(facts.trackPieces.has_value(), trackPieces >= 0);
        if (trackPieces >= 0) {
            QCOMPARE(*facts.trackPieces, std::size_t(trackPieces));
        }
    }

    void readsFields_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value"); // NaN: missing
        const ByteBuffer stats = recordWith(56, {{41, 0x28},
                                                 {43, 0x34},
                                                 {44, 0x12},
                                                 {45, 0x0F},
                                                 {46, 0xF6},
                                                 {48, 0xE3},
                                                 {49, 0xC5},
                                                 {51, 0x41},
                                                 {54, 0x10},
                                                 {55, 0x27}});
        QTest::newRow("speed 40 x 2.25") << stats << u"max_speed"_s << 90.0;
        QTest::newRow("length 1234h x 3.28") << stats << u"ride_length"_s << 4660 * 3.28;
        QTest::newRow("positive g 15 x 0.32") << stats << u"positive_g"_s << 4.8;
        QTest::newRow("negative g F6 is signed") << stats << u"negative_g"_s << -3.2;
        QTest::newRow("inversions, low 5 bits") << stats << u"inversions"_s << 3.0;
        QTest::newRow("drops, low 6 bits") << stats << u"drops"_s << 5.0;
        QTest::newRow("excitement 41h / 10") << stats << u"excitement"_s << 6.5;
        QTest::newRow("upkeep 2710h") << stats << u"upkeep_cost"_s << 10000.0;
        QTest::newRow("upkeep needs byte 55")
            << ByteBuffer(stats.begin(), stats.begin() + 55) << u"upkeep_cost"_s << qQNaN();
        QTest::newRow("nausea needs byte 53")
            << ByteBuffer(stats.begin(), stats.begin() + 53) << u"nausea"_s << qQNaN();
    }
    void readsFields()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(QString, field);
        QFETCH(double, value);
        const auto* description =
            std::find_if(record::StatisticsFields.begin(), record::StatisticsFields.end(),
                         [&](const auto& f) { return QLatin1StringView(f.key) == field; });
        QVERIFY(description != record::StatisticsFields.end());
        const std::optional<double> read = record::ScaledValue(record, *description);
        QCOMPARE(read.has_value(), !qIsNaN(value));
        if (read) {
            QCOMPARE(*read, value);
        }
    }
};

QTEST_GUILESS_MAIN(TestRecordInspection)
#include "tst_record_inspection.moc"
