#include "document/value_accessors.h"

#include <QTest>

using namespace railwright;

namespace {

using Index = TrackDesignDocument::Index;

// A document whose byte n holds n mod 251, so neighbours and far bytes differ.
void fillPattern(TrackDesignDocument& document, std::size_t length)
{
    ByteBuffer bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = std::uint8_t(i % 251);
    }
    QVERIFY(document.loadContents(std::move(bytes)));
}

} // namespace

class TestValueAccessors : public QObject
{
    Q_OBJECT

private slots:
    void readsAsText_data();
    void readsAsText();
    void everyValueReadsBack();
    void boundaries_data();
    void boundaries();
    void pastEndOfShortDocument();
    void emptyElement();
    void setChrValStores_data();
    void setChrValStores();
    void setChrValRefuses_data();
    void setChrValRefuses();
};

void TestValueAccessors::readsAsText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("dec");

    QTest::newRow("5") << 5 << QStringLiteral("05") << QStringLiteral("05");
    QTest::newRow("10") << 10 << QStringLiteral("0A") << QStringLiteral("10");
    QTest::newRow("99") << 99 << QStringLiteral("63") << QStringLiteral("99");
    QTest::newRow("100") << 100 << QStringLiteral("64") << QStringLiteral("100");
    QTest::newRow("255") << 255 << QStringLiteral("FF") << QStringLiteral("255");
}

void TestValueAccessors::readsAsText()
{
    QFETCH(int, value);
    QFETCH(QString, hex);
    QFETCH(QString, dec);
    TrackDesignDocument document;
    QVERIFY(document.loadContents(ByteBuffer{0x11, std::uint8_t(value), 0x22}));
    QCOMPARE(GetHexVal(document, 1), hex);
    QCOMPARE(GetDecVal(document, 1), dec);
    QCOMPARE(GetChrVal(document, 1), QString(QChar(char16_t(value))));
}

void TestValueAccessors::everyValueReadsBack()
{
    TrackDesignDocument document;
    ByteBuffer bytes(256);
    for (int v = 0; v < 256; ++v) {
        bytes[std::size_t(v)] = std::uint8_t(v);
    }
    QVERIFY(document.loadContents(bytes));
    for (int v = 0; v < 256; ++v) {
        const QString hex = GetHexVal(document, v);
        QCOMPARE(hex.size(), 2);
        QCOMPARE(hex, hex.toUpper());
        bool ok = false;
        QCOMPARE(hex.toInt(&ok, 16), v);
        QVERIFY(ok);
        QCOMPARE(GetDecVal(document, v).toInt(&ok, 10), v);
        QVERIFY(ok);
        QCOMPARE(GetChrVal(document, v).toLatin1(), QByteArray(1, char(v)));
    }
    // Storing each character back gives the same bytes.
    for (int v = 0; v < 256; ++v) {
        QVERIFY(SetChrVal(document, 255 - v, QString(QChar(char16_t(v)))));
    }
    for (int v = 0; v < 256; ++v) {
        QCOMPARE(int(document.valueAt(255 - v)), v);
    }
}

void TestValueAccessors::boundaries_data()
{
    QTest::addColumn<Index>("index");
    QTest::addColumn<int>("value");

    QTest::newRow("smallest reads byte 0") << std::numeric_limits<Index>::min() << 0;
    QTest::newRow("-1 reads byte 0") << Index(-1) << 0;
    QTest::newRow("0") << Index(0) << 0;
    QTest::newRow("1") << Index(1) << 1;
    QTest::newRow("32767") << Index(32767) << 32767 % 251;
    QTest::newRow("32768") << Index(32768) << 32768 % 251;
    QTest::newRow("64999 (last)") << Index(64999) << 64999 % 251;
    QTest::newRow("65000 reads last") << Index(65000) << 64999 % 251;
    QTest::newRow("largest reads last") << std::numeric_limits<Index>::max() << 64999 % 251;
}

void TestValueAccessors::boundaries()
{
    QFETCH(Index, index);
    QFETCH(int, value);
    TrackDesignDocument document;
    fillPattern(document, 65000);
    QCOMPARE(GetDecVal(document, index).toInt(), value);
    QCOMPARE(GetHexVal(document, index).toInt(nullptr, 16), value);
    QCOMPARE(GetChrVal(document, index), QString(QChar(char16_t(value))));
}

void TestValueAccessors::pastEndOfShortDocument()
{
    TrackDesignDocument document;
    fillPattern(document, 100);
    QVERIFY(SetChrVal(document, 99, QStringLiteral("\u00C8")));
    QCOMPARE(GetDecVal(document, 150), QStringLiteral("200"));
    QCOMPARE(GetHexVal(document, 100), QStringLiteral("C8"));
    QCOMPARE(GetDecVal(document, 98), QStringLiteral("98"));
}

void TestValueAccessors::emptyElement()
{
    TrackDesignDocument document; // one empty element
    for (const Index index : {Index(-1), Index(0), Index(1), Index(40000)}) {
        QCOMPARE(GetHexVal(document, index), QStringLiteral("00"));
        QCOMPARE(GetDecVal(document, index), QStringLiteral("00"));
        QCOMPARE(GetChrVal(document, index), QString());
    }
    // An empty element at the end is also what a read past the end sees.
    fillPattern(document, 3);
    QVERIFY(SetChrVal(document, 2, QString()));
    QVERIFY(document.isEmptyElement(2));
    QCOMPARE(GetChrVal(document, 7), QString());
    QCOMPARE(GetDecVal(document, 7), QStringLiteral("00"));
    QCOMPARE(GetChrVal(document, 1), QString(QChar(char16_t(1))));
}

void TestValueAccessors::setChrValStores_data()
{
    QTest::addColumn<Index>("index");
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("value");

    QTest::newRow("first, letter") << Index(0) << QStringLiteral("A") << 65;
    QTest::newRow("NUL") << Index(1) << QString(QChar(char16_t(0))) << 0;
    QTest::newRow("Latin-1 top") << Index(32767) << QStringLiteral("\u00FF") << 255;
    QTest::newRow("beyond 16 bits") << Index(32768) << QStringLiteral("\u0080") << 128;
    QTest::newRow("last of 65,000") << Index(64999) << QStringLiteral("z") << 122;
}

void TestValueAccessors::setChrValStores()
{
    QFETCH(Index, index);
    QFETCH(QString, character);
    QFETCH(int, value);
    TrackDesignDocument document;
    fillPattern(document, 65000);
    const ByteBuffer before = document.contents();
    QVERIFY(SetChrVal(document, index, character));
    QCOMPARE(GetChrVal(document, index), character);
    QCOMPARE(int(document.valueAt(index)), value);
    // Every stored byte counts as an unsaved change.
    QVERIFY(document.changed());
    // Exactly one byte changed.
    ByteBuffer expected = before;
    expected[std::size_t(index)] = std::uint8_t(value);
    QVERIFY(document.contents() == expected);
}

void TestValueAccessors::setChrValRefuses_data()
{
    QTest::addColumn<Index>("index");
    QTest::addColumn<QString>("character");

    QTest::newRow("-1") << Index(-1) << QStringLiteral("A");
    QTest::newRow("length") << Index(100) << QStringLiteral("A");
    QTest::newRow("empty text past end") << Index(100) << QString();
    QTest::newRow("largest") << std::numeric_limits<Index>::max() << QStringLiteral("A");
    QTest::newRow("smallest") << std::numeric_limits<Index>::min() << QStringLiteral("A");
    QTest::newRow("two characters") << Index(5) << QStringLiteral("AB");
    QTest::newRow("outside Latin-1") << Index(5) << QStringLiteral("\u20AC");
}

void TestValueAccessors::setChrValRefuses()
{
    QFETCH(Index, index);
    QFETCH(QString, character);
    TrackDesignDocument document;
    fillPattern(document, 100);
    const ByteBuffer before = document.contents();
    QVERIFY(!SetChrVal(document, index, character));
    QVERIFY(document.contents() == before);
    QCOMPARE(document.length(), Index(100));
    QVERIFY(!document.changed());
}

QTEST_GUILESS_MAIN(TestValueAccessors)
#include "tst_value_accessors.moc"
