#include "codec/bit_string.h"

#include <QTest>
#include <random>

using namespace railwright;

namespace {

std::string bits(const char* head, std::size_t zerosBefore = 0)
{
    return std::string(zerosBefore, '0') + head;
}

} // namespace

class TestBitString : public QObject
{
    Q_OBJECT

private slots:
    void valToBin_data();
    void valToBin();
    void binToVal_data();
    void binToVal();
    void integersRoundTrip();
};

void TestBitString::valToBin_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("0") << 0.0 << QByteArray(bits("", 32).c_str());
    QTest::newRow("5") << 5.0 << QByteArray(bits("101", 29).c_str());
    QTest::newRow("5.75 drops the fraction") << 5.75 << QByteArray(bits("101", 29).c_str());
    QTest::newRow("0.999") << 0.999 << QByteArray(bits("", 32).c_str());
    QTest::newRow("-1 gives zeros") << -1.0 << QByteArray(bits("", 32).c_str());
    QTest::newRow("2^32 - 1") << 4294967295.0 << QByteArray(std::string(32, '1').c_str());
    QTest::newRow("2^32 gives ones") << 4294967296.0 << QByteArray(std::string(32, '1').c_str());
    QTest::newRow("1e20 gives ones") << 1e20 << QByteArray(std::string(32, '1').c_str());
}

void TestBitString::valToBin()
{
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray(ValToBin(value).c_str()), expected);
}

void TestBitString::binToVal_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("32 ones") << QByteArray(std::string(32, '1').c_str()) << 4294967295.0;
    QTest::newRow("short string is high bits") << QByteArray("101") << 2684354560.0;
    QTest::newRow("empty") << QByteArray() << 0.0;
    QTest::newRow("other characters are zero bits")
        << QByteArray(("2x1" + bits("1", 28)).c_str()) << 536870913.0;
    QTest::newRow("only 32 characters count")
        << QByteArray((bits("1", 31) + "1111").c_str()) << 1.0;
    QTest::newRow("33 ones") << QByteArray(std::string(33, '1').c_str()) << 4294967295.0;
}

void TestBitString::binToVal()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QCOMPARE(BinToVal(std::string_view(text.constData(), std::size_t(text.size()))), value);
}

void TestBitString::integersRoundTrip()
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<std::uint32_t> any;
    for (int round = 0; round < 2000; ++round) {
        // The edges of the range and of the top bit first, then random values.
        const std::uint32_t edges[] = {0u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0xA0000000u};
        const std::uint32_t v = round < 5 ? edges[round] : any(rng);
        const std::string text = ValToBin(double(v));
        QCOMPARE(text.size(), std::size_t(32));
        for (int bit = 0; bit < 32; ++bit) {
            QCOMPARE(text[std::size_t(31 - bit)], (v >> bit & 1u) ? '1' : '0');
        }
        QCOMPARE(BinToVal(text), double(v));
    }
}

QTEST_GUILESS_MAIN(TestBitString)
#include "tst_bit_string.moc"
