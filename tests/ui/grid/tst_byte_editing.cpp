#include "ui/grid/byte_editing.h"

#include <QTest>

using namespace Qt::StringLiterals;
using railwright::CommitResult;
using railwright::DisplayMode;
using railwright::TrackDesignDocument;

Q_DECLARE_METATYPE(railwright::DisplayMode)
Q_DECLARE_METATYPE(railwright::CommitResult::Kind)

class TestByteEditing : public QObject
{
    Q_OBJECT

private slots:
    void filterEditKey_data();
    void filterEditKey();
    void parseCommitText_data();
    void parseCommitText();
    void cellTexts_data();
    void cellTexts();
    void statusTexts();
};

void TestByteEditing::filterEditKey_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    const auto hex = DisplayMode::Hexidecimal;
    const auto dec = DisplayMode::Decimal;
    const auto chr = DisplayMode::Charter;
    QTest::newRow("hex a to A") << hex << int('a') << int('A');
    QTest::newRow("hex f to F") << hex << int('f') << int('F');
    QTest::newRow("hex A kept") << hex << int('A') << int('A');
    QTest::newRow("hex F kept") << hex << int('F') << int('F');
    QTest::newRow("hex G refused") << hex << int('G') << 0;
    QTest::newRow("hex g refused") << hex << int('g') << 0;
    QTest::newRow("hex space refused") << hex << int(' ') << 0;
    QTest::newRow("hex digit") << hex << int('9') << int('9');
    QTest::newRow("dec digit 0") << dec << int('0') << int('0');
    QTest::newRow("dec letter refused") << dec << int('a') << 0;
    QTest::newRow("dec A refused") << dec << int('A') << 0;
    QTest::newRow("dec dot refused") << dec << int('.') << 0;
    QTest::newRow("dec minus refused") << dec << int('-') << 0;
    QTest::newRow("chr a kept lower") << chr << int('a') << int('a');
    QTest::newRow("chr punctuation") << chr << int('%') << int('%');
    QTest::newRow("chr latin-1") << chr << 0xE9 << 0xE9;
    for (const auto mode : {hex, dec, chr}) {
        const QByteArray name = QByteArray::number(int(mode));
        QTest::newRow("enter " + name) << mode << 13 << 13;
        QTest::newRow("backspace " + name) << mode << 8 << 8;
        QTest::newRow("digit 5 " + name) << mode << int('5') << int('5');
    }
}

void TestByteEditing::filterEditKey()
{
    QFETCH(DisplayMode, mode);
    QFETCH(int, key);
    QFETCH(int, result);
    QCOMPARE(int(railwright::FilterEditKey(char16_t(key), mode)), result);
}

void TestByteEditing::parseCommitText_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<CommitResult::Kind>("kind");
    QTest::addColumn<int>("value");
    const auto store = CommitResult::Kind::StoreByte;
    const auto refused = CommitResult::Kind::Refused;
    const auto hex = DisplayMode::Hexidecimal;
    const auto dec = DisplayMode::Decimal;
    const auto chr = DisplayMode::Charter;
    QTest::newRow("hex FF") << hex << u"FF"_s << store << 255;
    QTest::newRow("hex 0A") << hex << u"0A"_s << store << 10;
    QTest::newRow("hex single 7") << hex << u"7"_s << store << 7;
    QTest::newRow("hex lower ff") << hex << u"ff"_s << store << 255;
    QTest::newRow("hex empty stores 0") << hex << QString() << store << 0;
    QTest::newRow("hex stops at non-hex") << hex << u"AZ"_s << store << 10;
    QTest::newRow("hex no digits is 0") << hex << u"Z1"_s << store << 0;
    QTest::newRow("hex too big") << hex << u"100"_s << refused << 0;
    QTest::newRow("dec 255") << dec << u"255"_s << store << 255;
    QTest::newRow("dec 007") << dec << u"007"_s << store << 7;
    QTest::newRow("dec 0") << dec << u"0"_s << store << 0;
    QTest::newRow("dec empty stores 0") << dec << QString() << store << 0;
    QTest::newRow("dec 256 refused") << dec << u"256"_s << refused << 0;
    QTest::newRow("dec 999 refused") << dec << u"999"_s << refused << 0;
    QTest::newRow("dec huge refused, no overflow") << dec << u"99999999999"_s << refused << 0;
    QTest::newRow("chr A") << chr << u"A"_s << store << 65;
    QTest::newRow("chr NUL") << chr << QString(QChar(u'\0')) << store << 0;
    QTest::newRow("chr latin-1 y-umlaut") << chr << QString(QChar(0xFF)) << store << 255;
    QTest::newRow("chr empty") << chr << QString() << CommitResult::Kind::MakeEmptyElement << 0;
    QTest::newRow("chr euro refused") << chr << QString(QChar(0x20AC)) << refused << 0;
    QTest::newRow("chr two characters refused") << chr << u"AB"_s << refused << 0;
}

void TestByteEditing::parseCommitText()
{
    QFETCH(DisplayMode, mode);
    QFETCH(QString, text);
    QFETCH(CommitResult::Kind, kind);
    QFETCH(int, value);
    const CommitResult result = railwright::ParseCommitText(text, mode);
    QCOMPARE(result.kind, kind);
    if (kind == CommitResult::Kind::StoreByte) {
        QCOMPARE(int(result.value), value);
    }
    QCOMPARE(result.message.isEmpty(), kind != CommitResult::Kind::Refused);
    if (mode == DisplayMode::Decimal && kind == CommitResult::Kind::Refused) {
        QVERIFY(result.message.contains(u"must be from 0 to 255"_s));
    }
}

void TestByteEditing::cellTexts_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("edit");
    const auto hex = DisplayMode::Hexidecimal;
    const auto dec = DisplayMode::Decimal;
    const auto chr = DisplayMode::Charter;
    QTest::newRow("hex 10") << 10 << hex << u"0A"_s << u"0A"_s;
    QTest::newRow("dec 5") << 5 << dec << u"05"_s << u"05"_s;
    QTest::newRow("dec 200") << 200 << dec << u"200"_s << u"200"_s;
    QTest::newRow("chr A") << 65 << chr << u"A"_s << u"A"_s;
    QTest::newRow("chr NUL as picture")
        << 0 << chr << QString(QChar(0x2400)) << QString(QChar(u'\0'));
    QTest::newRow("chr LF as picture")
        << 10 << chr << QString(QChar(0x240A)) << QString(QChar(u'\n'));
    QTest::newRow("chr DEL as picture")
        << 127 << chr << QString(QChar(0x2421)) << QString(QChar(0x7F));
    QTest::newRow("chr latin-1 e-acute")
        << 0xE9 << chr << QString(QChar(0xE9)) << QString(QChar(0xE9));
}

void TestByteEditing::cellTexts()
{
    QFETCH(int, byte);
    QFETCH(DisplayMode, mode);
    QFETCH(QString, display);
    QFETCH(QString, edit);
    TrackDesignDocument document;
    QVERIFY(document.loadContents({1, std::uint8_t(byte), 2}));
    QCOMPARE(railwright::CellDisplayText(document, 1, mode), display);
    QCOMPARE(railwright::CellEditText(document, 1, mode), edit);
}

void TestByteEditing::statusTexts()
{
    TrackDesignDocument document;
    railwright::ByteBuffer bytes(40, 0);
    bytes[26] = 10;
    bytes[39] = 'z';
    QVERIFY(document.loadContents(bytes));
    QCOMPARE(railwright::StatusTexts(document, 26),
             (QStringList{u"Adress: 1A"_s, u"Hex: 0A"_s, u"Dec: 10"_s, u"Chr: \u240A"_s}));
    // Decimal without the accessor's leading zero.
    document.setByte(3, 5);
    QCOMPARE(railwright::StatusTexts(document, 3).at(2), u"Dec: 5"_s);
    // Past the end: the index's own address, the last byte's values.
    QCOMPARE(railwright::StatusTexts(document, 0x30),
             (QStringList{u"Adress: 30"_s, u"Hex: 7A"_s, u"Dec: 122"_s, u"Chr: z"_s}));
    QCOMPARE(railwright::StatusTexts(document, 40000).at(0), u"Adress: 9C40"_s);
    QCOMPARE(railwright::StartupStatusTexts(),
             (QStringList{u"Adress: 0"_s, u"Hex: 0"_s, u"Dec: 0"_s, u"Chr: 0"_s}));
    // An empty element reads as 0 with no character.
    document.setEmptyElement(4);
    QCOMPARE(railwright::StatusTexts(document, 4),
             (QStringList{u"Adress: 4"_s, u"Hex: 00"_s, u"Dec: 0"_s, u"Chr: "_s}));
}

QTEST_GUILESS_MAIN(TestByteEditing)
#include "tst_byte_editing.moc"
