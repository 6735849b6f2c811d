#include "codec/layout_conversion.h"
#include "support/hex_bytes.h"

#include <QTest>

using namespace railwright;
using namespace railwright::testing;

Q_DECLARE_METATYPE(railwright::RecordLayout)

namespace {

// An expansion record whose four track colour schemes (spine 56-59, rail 60-63, support
// 64-67) equal the base colours 05 06 07 at 32-34.
ByteBuffer expansionWith(std::initializer_list<std::pair<std::size_t, int>> extra)
{
    ByteBuffer record =
        recordWith(8198, {{7, 0x05}, {32, 0x05}, {33, 0x06}, {34, 0x07}, {196, 0x02}, {198, 0xFF}});
    for (std::size_t i = 0; i < 4; ++i) {
        record[56 + i] = 0x05;
        record[60 + i] = 0x06;
        record[64 + i] = 0x07;
    }
    for (const auto& [offset, value] : extra) {
        record[offset] = std::uint8_t(value);
    }
    return record;
}

} // namespace

class TestLayoutConversion : public QObject
{
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<RecordLayout>("target");
        QTest::addColumn<bool>("force");
        QTest::addColumn<ByteBuffer>("expected"); // empty: refused
        QTest::addColumn<bool>("lossy");

        const ByteBuffer base = recordWith(
            8058, {{7, 0x01}, {32, 0x05}, {33, 0x06}, {34, 0x07}, {56, 0x02}, {58, 0xFF}});
        QTest::newRow("base to expansion")
            << base << RecordLayout::Expansion << false << expansionWith({{7, 0x05}}) << false;
        // The base colours at 32-34 are overwritten by scheme 0 (here 09 is stale).
        QTest::newRow("expansion to base")
            << expansionWith({{32, 0x09}}) << RecordLayout::Base << false << base << false;
        QTest::newRow("rail colour of scheme 2 differs")
            << expansionWith({{62, 0x01}}) << RecordLayout::Base << false << ByteBuffer() << true;
        QTest::newRow("forced, scheme 3 dropped") << expansionWith({{59, 0x0B}, {67, 0x01}})
                                                  << RecordLayout::Base << true << base << false;
        QTest::newRow("second flags byte set")
            << expansionWith({{68, 0x01}}) << RecordLayout::Base << false << ByteBuffer() << true;
        QTest::newRow("padding byte 195 set")
            << expansionWith({{195, 0x01}}) << RecordLayout::Base << false << ByteBuffer() << true;
        QTest::newRow("already expansion")
            << expansionWith({}) << RecordLayout::Expansion << false << ByteBuffer() << false;
        QTest::newRow("one byte short")
            << ByteBuffer(8057, 0) << RecordLayout::Expansion << false << ByteBuffer() << false;
    }
    void converts()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(RecordLayout, target);
        QFETCH(bool, force);
        QFETCH(ByteBuffer, expected);
        QFETCH(bool, lossy);

        const LayoutConversion result = ConvertLayout(record, target, force);
        QCOMPARE(result.ok(), !expected.empty());
        QCOMPARE(result.lossy, lossy);
        QCOMPARE(toHex(result.record), toHex(expected));
    }
};

QTEST_GUILESS_MAIN(TestLayoutConversion)
#include "tst_layout_conversion.moc"
