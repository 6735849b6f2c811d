#include "codec/rle.h"
#include "hex_bytes.h"

#include <QTest>
#include <random>

using namespace railwright;
using namespace railwright::testing;

namespace {

const ByteBuffer AnyChecksum = hexBytes("DE AD BE EF");

ByteBuffer withChecksum(const ByteBuffer& body, const ByteBuffer& checksum = AnyChecksum)
{
    return concat(body, checksum);
}

// Walks an encoded body and checks the rules that fix the encoder's output, apart
// from the bytes it must reproduce: block sizes, no equal neighbours inside a literal
// block, literal blocks cut short only by a repeat or the end, and repeat stretches
// kept whole. Returns an empty string or what is wrong.
QString encodingRuleViolation(const ByteBuffer& body)
{
    enum class Kind
    {
        None,
        Literal,
        Repeat
    };
    Kind previous = Kind::None;
    std::size_t previousCount = 0;
    std::uint8_t previousLast = 0;
    std::size_t i = 0;
    while (i < body.size()) {
        const std::uint8_t control = body[i];
        if (control >= 125 && control <= 131) {
            return QStringLiteral("control byte %1 at %2").arg(control).arg(i);
        }
        if (control < 128) {
            const std::size_t count = std::size_t(control) + 1;
            if (i + count >= body.size()) {
                return QStringLiteral("literal block at %1 runs past the body").arg(i);
            }
            for (std::size_t k = i + 2; k <= i + count; ++k) {
                if (body[k] == body[k - 1]) {
                    return QStringLiteral("equal neighbours in literal block at %1").arg(i);
                }
            }
            if (previous == Kind::Literal) {
                if (previousCount != 125) {
                    return QStringLiteral("short literal block before %1").arg(i);
                }
            }
            if (previous == Kind::Repeat && previousCount != 125 && body[i + 1] == previousLast) {
                return QStringLiteral("repeat stretch split before %1").arg(i);
            }
            previous = Kind::Literal;
            previousCount = count;
            previousLast = body[i + count];
            i += count + 1;
        } else {
            if (i + 1 >= body.size()) {
                return QStringLiteral("repeat block at %1 has no data byte").arg(i);
            }
            const std::size_t count = 257 - std::size_t(control);
            const std::uint8_t value = body[i + 1];
            if (previous == Kind::Literal && previousLast == value) {
                return QStringLiteral("run value left in literal block before %1").arg(i);
            }
            if (previous == Kind::Repeat && previousLast == value && previousCount != 125) {
                return QStringLiteral("short repeat piece before %1").arg(i);
            }
            previous = Kind::Repeat;
            previousCount = count;
            previousLast = value;
            i += 2;
        }
    }
    return QString();
}

// Records of mixed runs and literal stretches, some from a tiny alphabet so that
// short runs and single remainders are common.
ByteBuffer randomRecord(std::mt19937& rng, std::size_t length)
{
    ByteBuffer record;
    record.reserve(length);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> tiny(0, 2);
    while (record.size() < length) {
        const std::size_t room = length - record.size();
        switch (kind(rng)) {
        case 0: { // a run, often near the 125 boundary
            std::uniform_int_distribution<std::size_t> runLength(1, 400);
            const std::size_t n = std::min(room, runLength(rng));
            record.insert(record.end(), n, std::uint8_t(byte(rng)));
            break;
        }
        case 1: { // random literals
            std::uniform_int_distribution<std::size_t> litLength(1, 300);
            const std::size_t n = std::min(room, litLength(rng));
            for (std::size_t k = 0; k < n; ++k) {
                record.push_back(std::uint8_t(byte(rng)));
            }
            break;
        }
        case 2: { // tiny alphabet
            std::uniform_int_distribution<std::size_t> len(1, 60);
            const std::size_t n = std::min(room, len(rng));
            for (std::size_t k = 0; k < n; ++k) {
                record.push_back(std::uint8_t(tiny(rng)));
            }
            break;
        }
        default: { // exact piece sizes around the limits
            static constexpr std::size_t sizes[] = {2, 124, 125, 126, 127, 250, 251, 252};
            std::uniform_int_distribution<std::size_t> pick(0, std::size(sizes) - 1);
            const std::size_t n = std::min(room, sizes[pick(rng)]);
            record.insert(record.end(), n, std::uint8_t(byte(rng)));
            break;
        }
        }
    }
    return record;
}

} // namespace

class TestRle : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void damagedFile_data();
    void damagedFile();
    void roundTripRunLengths_data();
    void roundTripRunLengths();
    void roundTripAllByteValues();
    void roundTripLargestExpansion();
    void roundTripRandomRecords();
    void decodeNeverReadsPastTheFile();
};

void TestRle::encode_data()
{
    QTest::addColumn<ByteBuffer>("record");
    QTest::addColumn<ByteBuffer>("body");

    QTest::newRow("empty") << ByteBuffer() << ByteBuffer();
    QTest::newRow("single byte") << hexBytes("9A") << hexBytes("00 9A");
    QTest::newRow("pair inside literals")
        << hexBytes("41 42 42 43") << hexBytes("00 41 FF 42 00 43");
    QTest::newRow("runs and a single")
        << hexBytes("05 05 06 07 07 07") << hexBytes("FF 05 00 06 FE 07");
    QTest::newRow("125 equal") << repeated(125, 7) << hexBytes("84 07");
    QTest::newRow("126 equal: remainder is literal") << repeated(126, 7) << hexBytes("84 07 00 07");
    QTest::newRow("127 equal") << repeated(127, 7) << hexBytes("84 07 FF 07");
    QTest::newRow("130 equal") << repeated(130, 7) << hexBytes("84 07 FC 07");
    QTest::newRow("251 equal") << repeated(251, 7) << hexBytes("84 07 84 07 00 07");
    QTest::newRow("126 zeros then 01")
        << concat(repeated(126, 0), hexBytes("01")) << hexBytes("84 00 01 00 01");
    QTest::newRow("literal then run with remainder")
        << concat(hexBytes("01"), repeated(126, 5)) << hexBytes("00 01 84 05 00 05");

    // Single literals between pairs are the costliest input: 4 bytes for every 3.
    QTest::newRow("singles between pairs")
        << hexBytes("00 01 01 00 01 01 00 01") << hexBytes("00 00 FF 01 00 00 FF 01 01 00 01");

    const ByteBuffer distinct300 = distinctNeighbours(300);
    ByteBuffer expected300;
    expected300.push_back(0x7C);
    expected300.insert(expected300.end(), distinct300.begin(), distinct300.begin() + 125);
    expected300.push_back(0x7C);
    expected300.insert(expected300.end(), distinct300.begin() + 125, distinct300.begin() + 250);
    expected300.push_back(0x31);
    expected300.insert(expected300.end(), distinct300.begin() + 250, distinct300.end());
    QTest::newRow("300 distinct neighbours") << distinct300 << expected300;

    const ByteBuffer distinct125 = distinctNeighbours(125, 1);
    QTest::newRow("125 literals") << distinct125 << concat(hexBytes("7C"), distinct125);
    // The single remainder of a run and the literals after it share one block, which
    // is cut at 125 like any other.
    const ByteBuffer distinct125b = distinctNeighbours(125, 1);
    QTest::newRow("remainder opens a full literal block")
        << concat(repeated(126, 0), distinct125b)
        << concat(concat(hexBytes("84 00 7C 00"),
                         ByteBuffer(distinct125b.begin(), distinct125b.begin() + 124)),
                  hexBytes("00 7D"));
}

void TestRle::encode()
{
    QFETCH(ByteBuffer, record);
    QFETCH(ByteBuffer, body);
    QCOMPARE(toHex(RLEEncode(record)), toHex(body));
}

void TestRle::decode_data()
{
    QTest::addColumn<ByteBuffer>("file");
    QTest::addColumn<ByteBuffer>("record");

    QTest::newRow("empty file") << ByteBuffer() << ByteBuffer();
    QTest::newRow("1 byte") << hexBytes("00") << ByteBuffer();
    QTest::newRow("5 bytes") << hexBytes("00 41 01 02 03") << ByteBuffer();
    QTest::newRow("6 bytes: first block only") << hexBytes("00 41 00 42 00 43") << hexBytes("41");
    QTest::newRow("literal and repeat")
        << withChecksum(hexBytes("02 61 62 63 FD 7A")) << hexBytes("61 62 63 7A 7A 7A 7A");
    const ByteBuffer distinct126 = distinctNeighbours(126);
    QTest::newRow("7D copies 126")
        << withChecksum(concat(hexBytes("7D"), distinct126)) << distinct126;
    const ByteBuffer distinct128 = distinctNeighbours(128, 9);
    QTest::newRow("7F copies 128")
        << withChecksum(concat(hexBytes("7F"), distinct128)) << distinct128;
    QTest::newRow("80 repeats 129") << withChecksum(hexBytes("80 55")) << repeated(129, 0x55);
    QTest::newRow("83 repeats 126") << withChecksum(hexBytes("83 55")) << repeated(126, 0x55);
    QTest::newRow("FF repeats 2") << withChecksum(hexBytes("FF 55")) << repeated(2, 0x55);
    // The game copies a literal block into the checksum bytes rather than checking
    // the body's end; so does the decoder.
    QTest::newRow("literal reaching into checksum")
        << hexBytes("03 41 42 43 C1 C2 C3 C4") << hexBytes("41 42 43 C1");
    QTest::newRow("checksum never read as control")
        << hexBytes("00 41 7F 7F 7F 7F") << hexBytes("41");
}

void TestRle::decode()
{
    QFETCH(ByteBuffer, file);
    QFETCH(ByteBuffer, record);
    const DecodeResult result = RLEDecode(file);
    QVERIFY2(result.ok(), result.error.c_str());
    QCOMPARE(toHex(result.record), toHex(record));
}

void TestRle::damagedFile_data()
{
    QTest::addColumn<ByteBuffer>("file");
    QTest::addColumn<QString>("offsetText");

    QTest::newRow("literal past end at start")
        << hexBytes("7F 01 02 03 04 05 06") << QStringLiteral("offset 0 ");
    QTest::newRow("literal past end after a good block")
        << hexBytes("00 41 10 01 02 03 04 05") << QStringLiteral("offset 2 ");
    QTest::newRow("literal one byte too long")
        << concat(hexBytes("FE 00 7C"), distinctNeighbours(124)) // one byte short
        << QStringLiteral("offset 2 ");
    ByteBuffer late = concat(repeated(600, 0x11), hexBytes("00"));
    late = RLEEncode(late);
    const std::size_t lateOffset = late.size();
    late.push_back(0x40);
    late.insert(late.end(), 10, 0x99);
    QTest::newRow("damage late in a long file")
        << late << QStringLiteral("offset %1 ").arg(lateOffset);
}

void TestRle::damagedFile()
{
    QFETCH(ByteBuffer, file);
    QFETCH(QString, offsetText);
    const DecodeResult result = RLEDecode(file);
    QVERIFY(!result.ok());
    QVERIFY(result.record.empty());
    const QString error = QString::fromStdString(result.error);
    QVERIFY2(error.startsWith(QStringLiteral("damaged track design:")), qPrintable(error));
    QVERIFY2(error.contains(offsetText), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("past the end of the file")), qPrintable(error));
}

void TestRle::roundTripRunLengths_data()
{
    QTest::addColumn<int>("runLength");
    for (const int n :
         {1, 2, 3, 124, 125, 126, 127, 128, 129, 130, 249, 250, 251, 252, 375, 376, 377, 65000}) {
        QTest::addRow("run of %d", n) << n;
    }
}

void TestRle::roundTripRunLengths()
{
    QFETCH(int, runLength);
    // The run alone, between literals, and next to a run of another value.
    const ByteBuffer run = repeated(std::size_t(runLength), 0xA5);
    for (const ByteBuffer& record : {run, concat(concat(hexBytes("01 02"), run), hexBytes("03 04")),
                                     concat(concat(run, repeated(3, 0x5A)), run)}) {
        const ByteBuffer body = RLEEncode(record);
        QCOMPARE(encodingRuleViolation(body), QString());
        const DecodeResult decoded = RLEDecode(withChecksum(body));
        QVERIFY(decoded.ok());
        QCOMPARE(toHex(decoded.record), toHex(record));
    }
}

void TestRle::roundTripAllByteValues()
{
    // Every value as a literal, as a run, and as the single remainder of a run.
    ByteBuffer record;
    for (int v = 0; v < 256; ++v) {
        record.push_back(std::uint8_t(v));
    }
    for (int v = 0; v < 256; ++v) {
        record.insert(record.end(), std::size_t(2 + v % 130), std::uint8_t(v));
    }
    for (int v = 0; v < 256; ++v) {
        record.insert(record.end(), 126, std::uint8_t(v));
    }
    QVERIFY(record.size() <= 65000);
    const ByteBuffer body = RLEEncode(record);
    QCOMPARE(encodingRuleViolation(body), QString());
    for (const ByteBuffer& checksum :
         {hexBytes("00 00 00 00"), hexBytes("FF FF FF FF"), hexBytes("7F 80 00 FF")}) {
        const DecodeResult decoded = RLEDecode(withChecksum(body, checksum));
        QVERIFY(decoded.ok());
        QVERIFY(decoded.record == record);
    }
}

void TestRle::roundTripLargestExpansion()
{
    ByteBuffer record;
    while (record.size() + 3 <= 65000) {
        const auto v = std::uint8_t(record.size() / 3 * 2);
        record.insert(record.end(), {v, std::uint8_t(v + 1), std::uint8_t(v + 1)});
    }
    const ByteBuffer body = RLEEncode(record);
    QCOMPARE(body.size(), record.size() / 3 * 4);
    QCOMPARE(encodingRuleViolation(body), QString());
    const DecodeResult decoded = RLEDecode(withChecksum(body));
    QVERIFY(decoded.ok());
    QVERIFY(decoded.record == record);
}

void TestRle::roundTripRandomRecords()
{
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> shortLength(1, 600);
    std::uniform_int_distribution<std::size_t> longLength(1, 65000);
    for (int round = 0; round < 3000; ++round) {
        // Mostly short records, where the boundaries lie, with long ones mixed in.
        const std::size_t length = round % 10 == 0 ? longLength(rng) : shortLength(rng);
        const ByteBuffer record = randomRecord(rng, length);
        const ByteBuffer body = RLEEncode(record);
        const QString violation = encodingRuleViolation(body);
        QVERIFY2(violation.isEmpty(),
                 qPrintable(QStringLiteral("round %1: %2").arg(round).arg(violation)));
        ByteBuffer checksum(4);
        for (auto& b : checksum) {
            b = std::uint8_t(byte(rng));
        }
        const DecodeResult decoded = RLEDecode(withChecksum(body, checksum));
        QVERIFY2(decoded.ok(), decoded.error.c_str());
        QVERIFY2(decoded.record == record, qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void TestRle::decodeNeverReadsPastTheFile()
{
    // Every prefix of a valid file either decodes or is reported; run under the
    // sanitizer build, any stray read shows up here.
    const ByteBuffer file =
        withChecksum(RLEEncode(concat(distinctNeighbours(300), repeated(300, 4))));
    int errors = 0;
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const ByteBuffer prefix(file.begin(), file.begin() + std::ptrdiff_t(length));
        const DecodeResult result = RLEDecode(prefix);
        if (!result.ok()) {
            ++errors;
            QVERIFY(result.record.empty());
        }
    }
    // The prefixes that cut a literal block short must be among the refused ones.
    QVERIFY(errors > 0);
    QVERIFY(RLEDecode(file).ok());
}

QTEST_GUILESS_MAIN(TestRle)
#include "tst_rle.moc"
