#include "codec/design_inspection.h"
#include "support/hex_bytes.h"

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
        // Whether the bytes, found in a file, are a decoded record saved without encoding.
        QTest::addColumn<bool>("decodedRecord");
        QTest::newRow("base, two pieces")
            << recordWith(8058, {{0x38, 0x01}, {0x3A, 0x02}, {0x3C, 0xFF}}) << RecordLayout::Base
            << 2 << true;
        // An FF qualifier is not an end marker.
        QTest::newRow("base, FF qualifier")
            << recordWith(8058, {{0x39, 0xFF}, {0x3A, 0xFF}}) << RecordLayout::Base << 1 << true;
        QTest::newRow("expansion, empty track")
            << recordWith(8198, {{7, 0x04}, {0x38, 0xFF}, {0xC4, 0xFF}}) << RecordLayout::Expansion
            << 0 << true;
        QTest::newRow("base, no marker")
            << recordWith(8058, {}) << RecordLayout::Base << -1 << false;
        QTest::newRow("base, a byte after the marker")
            << recordWith(8058, {{0x38, 0xFF}, {0x1F00, 0x01}}) << RecordLayout::Base << 0 << false;
        QTest::newRow("unusual, expansion flag")
            << recordWith(300, {{7, 0x04}, {0x38, 0xFF}, {0xC8, 0xFF}}) << RecordLayout::Unusual
            << 2 << false;
        QTest::newRow("unusual, no flag")
            << recordWith(300, {{0x38, 0xFF}, {0xC8, 0xFF}}) << RecordLayout::Unusual << 0 << false;
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
        QTEST(IsDecodedRecord(record), "decodedRecord");
    }
};

QTEST_GUILESS_MAIN(TestRecordInspection)
#include "tst_record_inspection.moc"
