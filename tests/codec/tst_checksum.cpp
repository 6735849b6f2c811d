#include "codec/bit_string.h"
#include "codec/checksum.h"
#include "hex_bytes.h"

#include <QTest>
#include <cmath>
#include <random>

using namespace railwright;
using namespace railwright::testing;

namespace {

const GameVersion AllVersions[] = {GameVersion::Original, GameVersion::CorkscrewFollies,
                                   GameVersion::LoopyLandscapes};

// The game's procedure spelt out with bit strings, one step at a time, except that
// the two places where a plain double leaves the 32-bit range are brought back into
// it: the sum S + c and the difference S - K are taken modulo 2^32.
std::uint32_t bitStringChecksum(const ByteBuffer& body, double constant)
{
    constexpr double TwoTo32 = 4294967296.0;
    double s = 0;
    for (const std::uint8_t c : body) {
        const std::string high = ValToBin(s);
        const std::string low = ValToBin(std::fmod(s + c, TwoTo32));
        s = BinToVal(high.substr(0, 24) + low.substr(24, 8));
        const std::string t = ValToBin(s);
        s = BinToVal(t.substr(3) + t.substr(0, 3));
    }
    double difference = s - constant;
    if (difference < 0) {
        difference += TwoTo32;
    }
    return std::uint32_t(BinToVal(ValToBin(difference)));
}

// A body after which the running sum is exactly `target`, built backwards: each step
// rotates right, keeps the upper 24 bits and takes the byte that yields the low 8.
ByteBuffer bodyReaching(std::uint32_t target)
{
    ByteBuffer reversed;
    std::uint32_t state = target;
    while (state != 0) {
        const std::uint32_t beforeRotation = (state >> 3) | (state << 29);
        reversed.push_back(std::uint8_t(beforeRotation & 0xFF));
        state = beforeRotation & 0xFFFFFF00u; // previous sum, with a low byte of 0
    }
    return ByteBuffer(reversed.rbegin(), reversed.rend());
}

} // namespace

class TestChecksum : public QObject
{
    Q_OBJECT

private slots:
    void knownValues_data();
    void knownValues();
    void runningSum_data();
    void runningSum();
    void sumWrapsInsteadOfSaturating();
    void matchesBitStringProcedure();
    void appendKeepsBody();
};

void TestChecksum::knownValues_data()
{
    QTest::addColumn<ByteBuffer>("body");
    QTest::addColumn<GameVersion>("version");
    QTest::addColumn<ByteBuffer>("field");

    QTest::newRow("abcd original")
        << hexBytes("61 62 63 64") << GameVersion::Original << hexBytes("64 49 05 00");
    QTest::newRow("abcd corkscrew")
        << hexBytes("61 62 63 64") << GameVersion::CorkscrewFollies << hexBytes("64 49 05 00");
    QTest::newRow("abcd loopy") << hexBytes("61 62 63 64") << GameVersion::LoopyLandscapes
                                << hexBytes("1F 1B 05 00");
    // Sums below the constant wrap around like the game's 32-bit register.
    QTest::newRow("abc original") << hexBytes("61 62 63") << GameVersion::Original
                                  << hexBytes("1C 37 FF FF");
    QTest::newRow("abc loopy") << hexBytes("61 62 63") << GameVersion::LoopyLandscapes
                               << hexBytes("D7 08 FF FF");
    QTest::newRow("empty original")
        << ByteBuffer() << GameVersion::Original << hexBytes("84 59 FE FF");
    QTest::newRow("empty loopy") << ByteBuffer() << GameVersion::LoopyLandscapes
                                 << hexBytes("3F 2B FE FF");
}

void TestChecksum::knownValues()
{
    QFETCH(ByteBuffer, body);
    QFETCH(GameVersion, version);
    QFETCH(ByteBuffer, field);
    const ByteBuffer file = AppendChecksum(body, version);
    QCOMPARE(toHex(file), toHex(concat(body, field)));
}

void TestChecksum::runningSum_data()
{
    QTest::addColumn<ByteBuffer>("body");
    QTest::addColumn<quint32>("sum");

    QTest::newRow("a") << hexBytes("61") << quint32(0x308);
    QTest::newRow("ab") << hexBytes("61 62") << quint32(0x1B50);
    QTest::newRow("abc") << hexBytes("61 62 63") << quint32(0xDD98);
    QTest::newRow("abcd") << hexBytes("61 62 63 64") << quint32(0x6EFE0);
    // A zero byte adds nothing but still rotates.
    QTest::newRow("a then zero") << hexBytes("61 00") << quint32(0x1840);
    QTest::newRow("zeros") << hexBytes("00 00 00") << quint32(0);
    // The carry out of the low byte is dropped: F8 + 01 stays in the low byte, and
    // F8 + 10 wraps to 08 without touching bit 8.
    QTest::newRow("no carry, low byte only") << hexBytes("FF 01") << quint32(0x3FC8);
    QTest::newRow("carry dropped") << hexBytes("FF 10") << quint32(0x3840);
    // Eleven rotations by 3 bring bit 0 round to bit 1 (33 mod 32).
    QTest::newRow("rotation wraps") << concat(hexBytes("01"), repeated(10, 0)) << quint32(0x2);
}

void TestChecksum::runningSum()
{
    QFETCH(ByteBuffer, body);
    QFETCH(quint32, sum);
    for (const GameVersion version : AllVersions) {
        QCOMPARE(quint32(ComputeChecksum(body, version) + ChecksumConstant(version)), sum);
    }
}

void TestChecksum::sumWrapsInsteadOfSaturating()
{
    // Reach a sum whose upper 24 bits are all set, then add a byte that overflows the
    // register: only the low byte takes the wrapped sum (F0 + 20 = 10), instead of the
    // 255 that a saturating add would leave.
    const ByteBuffer body = bodyReaching(0xFFFFFFF0u);
    QCOMPARE(quint32(ComputeChecksum(body, GameVersion::Original) + 108156u), quint32(0xFFFFFFF0u));
    ByteBuffer overflowing = body;
    overflowing.push_back(0x20);
    QCOMPARE(quint32(ComputeChecksum(overflowing, GameVersion::Original) + 108156u),
             quint32(0xFFFFF887u));
}

void TestChecksum::matchesBitStringProcedure()
{
    std::mt19937 rng(4242);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 400);
    for (int round = 0; round < 300; ++round) {
        ByteBuffer body(length(rng));
        for (auto& b : body) {
            b = std::uint8_t(byte(rng));
        }
        for (const GameVersion version : AllVersions) {
            QCOMPARE(ComputeChecksum(body, version),
                     bitStringChecksum(body, double(ChecksumConstant(version))));
        }
    }
}

void TestChecksum::appendKeepsBody()
{
    const ByteBuffer body = distinctNeighbours(1000);
    const ByteBuffer file = AppendChecksum(body, GameVersion::LoopyLandscapes);
    QCOMPARE(file.size(), body.size() + 4);
    QVERIFY(std::equal(body.begin(), body.end(), file.begin()));
    const std::uint32_t value = ComputeChecksum(body, GameVersion::LoopyLandscapes);
    QCOMPARE(quint32(file[1000] | file[1001] << 8 | file[1002] << 16 | quint32(file[1003]) << 24),
             quint32(value));
    // The version changes the field and nothing else.
    const ByteBuffer other = AppendChecksum(body, GameVersion::Original);
    QVERIFY(std::equal(body.begin(), body.end(), other.begin()));
    QVERIFY(!std::equal(file.begin() + 1000, file.end(), other.begin() + 1000));
}

QTEST_GUILESS_MAIN(TestChecksum)
#include "tst_checksum.moc"
