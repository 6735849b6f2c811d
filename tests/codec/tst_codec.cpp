// The codec against values worked by hand from the file format: run-length blocks,
// the game's checksum, bit strings and code-table records.
#include "codec/bit_string.h"
#include "codec/checksum.h"
#include "codec/code_table_format.h"
#include "codec/rle.h"

#include <QTest>
#include <random>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

ByteBuffer hex(const char* text)
{
    const QByteArray raw = QByteArray::fromHex(text);
    return ByteBuffer(raw.begin(), raw.end());
}

ByteBuffer join(std::initializer_list<ByteBuffer> parts)
{
    ByteBuffer out;
    for (const ByteBuffer& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// `count` bytes counting up from `start`, so no two neighbours are equal.
ByteBuffer counting(std::size_t count, std::uint8_t start = 0)
{
    ByteBuffer out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = std::uint8_t(start + i);
    }
    return out;
}

QByteArray shown(const ByteBuffer& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
        .toHex(' ')
        .toUpper();
}

const ByteBuffer AnyChecksum = hex("DE AD BE EF");

// One 130-byte record exactly as it lies in an .RCS file.
std::string rawRecord(const std::string& code, const std::string& name)
{
    std::string record = code + name;
    record.resize(130, ' ');
    return record;
}

ByteBuffer bytes(const std::string& text)
{
    return ByteBuffer(text.begin(), text.end());
}

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<ByteBuffer>("body");
        QTest::newRow("empty") << ByteBuffer() << ByteBuffer();
        QTest::newRow("pair inside literals") << hex("41 42 42 43") << hex("00 41 FF 42 00 43");
        QTest::newRow("runs and a single") << hex("05 05 06 07 07 07") << hex("FF 05 00 06 FE 07");
        QTest::newRow("125 equal") << ByteBuffer(125, 7) << hex("84 07");
        QTest::newRow("126 equal: the remainder is literal")
            << ByteBuffer(126, 7) << hex("84 07 00 07");
        QTest::newRow("literal then 251 equal")
            << join({hex("01"), ByteBuffer(251, 5)}) << hex("00 01 84 05 84 05 00 05");
        const ByteBuffer distinct = counting(126);
        QTest::newRow("126 literals: blocks of 125 and 1")
            << distinct
            << join({hex("7C"), ByteBuffer(distinct.begin(), distinct.end() - 1), hex("00 7D")});
    }
    void encode()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(ByteBuffer, body);
        QCOMPARE(shown(RLEEncode(record)), shown(body));
    }

    void decode_data()
    {
        QTest::addColumn<ByteBuffer>("file");
        QTest::addColumn<ByteBuffer>("record"); // empty with an offset: refused as damaged
        QTest::addColumn<QString>("damagedAt");
        QTest::newRow("5 bytes") << hex("00 41 01 02 03") << ByteBuffer() << QString();
        QTest::newRow("literal and repeat") << join({hex("02 61 62 63 FD 7A"), AnyChecksum})
                                            << hex("61 62 63 7A 7A 7A 7A") << QString();
        QTest::newRow("7F copies 128")
            << join({hex("7F"), counting(128, 9), AnyChecksum}) << counting(128, 9) << QString();
        QTest::newRow("80 repeats 129")
            << join({hex("80 55"), AnyChecksum}) << ByteBuffer(129, 0x55) << QString();
        // The game copies a literal block into the checksum bytes rather than checking
        // the body's end, but never starts a block on the last byte before the checksum.
        QTest::newRow("literal reaching into the checksum")
            << hex("03 41 42 43 C1 C2 C3 C4") << hex("41 42 43 C1") << QString();
        QTest::newRow("no block on the last body byte")
            << hex("00 41 FF C1 C2 C3 C4") << hex("41") << QString();
        QTest::newRow("literal past the end")
            << hex("7F 01 02 03 04 05 06") << ByteBuffer() << u"offset 0 "_s;
        QTest::newRow("one byte short after a good block")
            << join({hex("FE 00 7C"), counting(124)}) << ByteBuffer() << u"offset 2 "_s;
    }
    void decode()
    {
        QFETCH(ByteBuffer, file);
        QFETCH(ByteBuffer, record);
        QFETCH(QString, damagedAt);
        const DecodeResult result = RLEDecode(file);
        QCOMPARE(shown(result.record), shown(record));
        const QString error = QString::fromStdString(result.error);
        QVERIFY2(damagedAt.isEmpty()
                     ? error.isEmpty()
                     : error.startsWith(u"damaged track design:"_s) && error.contains(damagedAt),
                 qPrintable(error));
    }

    // Runs of every length around the block limits, then random records, half of them
    // from a three-letter alphabet where runs are common. The fuzz targets' corpora add
    // damaged and unusual files.
    void roundTrip()
    {
        ByteBuffer record;
        for (const std::size_t n : {1, 2, 3, 124, 125, 126, 127, 249, 250, 251, 252, 376}) {
            record = join({record, ByteBuffer(n, std::uint8_t(n)), hex("01 02")});
        }
        std::mt19937 rng(20261206);
        for (int round = 0; round < 500; ++round) {
            const DecodeResult decoded = RLEDecode(join({RLEEncode(record), AnyChecksum}));
            QVERIFY2(decoded.record == record, qPrintable(u"round %1"_s.arg(round)));
            record.assign(std::uniform_int_distribution<std::size_t>(1, 2000)(rng), 0);
            std::uniform_int_distribution<int> byte(0, round % 2 ? 2 : 255);
            for (auto& b : record) {
                b = std::uint8_t(byte(rng));
            }
        }
    }

    // The running sum adds each byte into the low eight bits only, then rotates left by
    // 3; the field is the sum less 108,156 (120,001 for Loopy Landscapes) modulo 2^32,
    // least significant byte first.
    void checksum_data()
    {
        QTest::addColumn<ByteBuffer>("body");
        QTest::addColumn<GameVersion>("version");
        QTest::addColumn<ByteBuffer>("field");
        const auto original = GameVersion::Original;
        const auto loopy = GameVersion::LoopyLandscapes;
        QTest::newRow("abcd original") << hex("61 62 63 64") << original << hex("64 49 05 00");
        QTest::newRow("abcd corkscrew")
            << hex("61 62 63 64") << GameVersion::CorkscrewFollies << hex("64 49 05 00");
        QTest::newRow("abcd loopy") << hex("61 62 63 64") << loopy << hex("1F 1B 05 00");
        QTest::newRow("empty loopy: wraps below zero")
            << ByteBuffer() << loopy << hex("3F 2B FE FF");
        QTest::newRow("FF 01 stays in the low byte")
            << hex("FF 01") << original << hex("4C 99 FE FF");
        QTest::newRow("FF 10 drops the carry") << hex("FF 10") << original << hex("C4 91 FE FF");
        QTest::newRow("eleven rotations")
            << join({hex("01"), ByteBuffer(10, 0)}) << loopy << hex("41 2B FE FF");
    }
    void checksum()
    {
        QFETCH(ByteBuffer, body);
        QFETCH(GameVersion, version);
        QFETCH(ByteBuffer, field);
        QCOMPARE(shown(AppendChecksum(body, version)), shown(join({body, field})));
    }

    void bitStrings_data()
    {
        QTest::addColumn<double>("value"); // NaN: only `bits` is read back
        QTest::addColumn<QByteArray>("bits");
        QTest::addColumn<double>("back"); // the value of `bits`
        const QByteArray zeros(32, '0');
        QTest::newRow("2^31") << 2147483648.0 << "1" + zeros.left(31) << 2147483648.0;
        QTest::newRow("fraction dropped") << 5.75 << zeros.left(29) + "101" << 5.0;
        QTest::newRow("-1 gives zeros") << -1.0 << zeros << 0.0;
        QTest::newRow("1e20 gives ones") << 1e20 << QByteArray(32, '1') << 4294967295.0;
        QTest::newRow("short string is high bits") << qQNaN() << QByteArray("101") << 2684354560.0;
        QTest::newRow("only '1' is a one; 32 characters count")
            << qQNaN() << "2x1" + zeros.left(28) + "111" << 536870913.0;
    }
    void bitStrings()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, bits);
        if (!qIsNaN(value)) {
            QCOMPARE(QByteArray::fromStdString(ValToBin(value)), bits);
        }
        QTEST(BinToVal(bits.toStdString()), "back");
    }

    void codeTableFile()
    {
        const std::string two =
            rawRecord("0a", "  Wooden Roller Coaster") + rawRecord("1F", "Dash");
        // A partial record at the end is ignored.
        const CodeTable table = ParseCodeTable(bytes(two + rawRecord("33", "Cut").substr(0, 129)));
        QCOMPARE(table.size(), std::size_t(2));
        QCOMPARE(table[0].code, std::string("0a"));
        QCOMPARE(table[0].name, two.substr(2, 128));
        QCOMPARE(table[1].code, std::string("1F"));
        // At most 32,767 entries, the largest signed 16-bit count.
        std::string large;
        for (int i = 0; i < 32769; ++i) {
            large += rawRecord("00", std::to_string(i + 1));
        }
        const CodeTable capped = ParseCodeTable(bytes(large));
        QCOMPARE(capped.size(), std::size_t(32767));
        QCOMPARE(TrimmedName(capped.back()), std::string("32767"));
    }

    void codeFields_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shownName"); // trimmed, from Windows-1252
        QTest::newRow("upper case")
            << QByteArray("1F") << 31 << QByteArray("Log Flume  ") << u"Log Flume"_s;
        QTest::newRow("lower case")
            << QByteArray("0a") << 10 << QByteArray("  Go  Karts ") << u"Go  Karts"_s;
        QTest::newRow("no leading digit")
            << QByteArray("G1") << 0 << QByteArray(128, ' ') << QString();
        QTest::newRow("stops at a non-digit")
            << QByteArray("1G") << 1 << QByteArray("\x80\x96\x97\x9F")
            << u"\u20AC\u2013\u2014\u0178"_s;
        QTest::newRow("only the field counts")
            << QByteArray("123") << 0x12 << QByteArray("\x93x\x94") << u"\u201Cx\u201D"_s;
        QTest::newRow("undefined bytes keep their value")
            << QByteArray("00") << 0 << QByteArray("\x81\x8D\x8F\x90\x9D")
            << u"\u0081\u008D\u008F\u0090\u009D"_s;
    }
    void codeFields()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, name);
        const CodeRecord record{code.toStdString(), name.toStdString()};
        QTEST(CodeValue(record), "value");
        QTEST(QString::fromStdString(Windows1252ToUtf8(TrimmedName(record))), "shownName");
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
