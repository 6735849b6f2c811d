#include "codec/code_table_format.h"

#include <QTest>
#include <set>
#include <string>

using namespace railwright;

namespace {

// One 130-byte record exactly as it lies in an .RCS file.
std::string RawRecord(const std::string& code, const std::string& name)
{
    std::string record = code + name;
    record.resize(CodeRecordLength, ' ');
    return record;
}

ByteBuffer Bytes(const std::string& text)
{
    return ByteBuffer(text.begin(), text.end());
}

// A file of `count` records whose codes count up from 00 (wrapping at FF).
ByteBuffer NumberedFile(std::size_t count)
{
    static const char* const digits = "0123456789ABCDEF";
    std::string file;
    file.reserve(count * CodeRecordLength);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string code{digits[(i >> 4) & 0xF], digits[i & 0xF]};
        file += RawRecord(code, "Entry " + std::to_string(i + 1));
    }
    return Bytes(file);
}

} // namespace

class TestCodeTableFormat : public QObject
{
    Q_OBJECT

private slots:
    void parseCountsWholeRecords_data()
    {
        QTest::addColumn<int>("fileLength");
        QTest::addColumn<int>("entries");

        QTest::newRow("empty file") << 0 << 0;
        QTest::newRow("shorter than one record") << 129 << 0;
        QTest::newRow("one and a half rounds to two, second is partial") << 195 << 1;
        QTest::newRow("two records") << 260 << 2;
        QTest::newRow("two records and a partial one") << 259 + 130 << 2;
    }
    void parseCountsWholeRecords()
    {
        QFETCH(int, fileLength);
        QFETCH(int, entries);

        ByteBuffer file = NumberedFile(std::size_t(fileLength) / CodeRecordLength + 1);
        file.resize(std::size_t(fileLength));
        QCOMPARE(int(ParseCodeTable(file).size()), entries);
    }

    void parseKeepsFieldsAsStored()
    {
        const ByteBuffer file =
            Bytes(RawRecord("0a", "  Wooden Roller Coaster") + RawRecord("1F", "\x97"
                                                                               "Dash"));
        const CodeTable table = ParseCodeTable(file);

        QCOMPARE(table.size(), std::size_t(2));
        QCOMPARE(table[0].code, std::string("0a"));
        QCOMPARE(table[0].name.size(), NameFieldLength);
        QCOMPARE(table[0].name.substr(0, 24), std::string("  Wooden Roller Coaster "));
        QCOMPARE(TrimmedName(table[0]), std::string("Wooden Roller Coaster"));
        QCOMPARE(CodeValue(table[0]), 10);
        QCOMPARE(table[1].code, std::string("1F"));
        QCOMPARE(TrimmedName(table[1]), std::string("\x97"
                                                    "Dash"));
    }

    void parseStopsAtTheLargestSignedSixteenBitCount()
    {
        const ByteBuffer file = NumberedFile(MaxCodeTableEntries + 2);
        const CodeTable table = ParseCodeTable(file);

        QCOMPARE(table.size(), MaxCodeTableEntries);
        QCOMPARE(TrimmedName(table.back()), "Entry " + std::to_string(MaxCodeTableEntries));
    }

    void serializePadsAndCutsFields()
    {
        const CodeTable table = {
            {"0F", "Steel Roller Coaster"},
            {"A", std::string(NameFieldLength + 7, 'x')},
            {"123", ""},
        };
        const ByteBuffer file = SerializeCodeTable(table);

        QCOMPARE(file.size(), 3 * CodeRecordLength);
        const std::string text(file.begin(), file.end());
        QCOMPARE(text.substr(0, CodeRecordLength), RawRecord("0F", "Steel Roller Coaster"));
        QCOMPARE(text.substr(CodeRecordLength, 2), std::string("A "));
        QCOMPARE(text.substr(CodeRecordLength + 2, NameFieldLength),
                 std::string(NameFieldLength, 'x'));
        QCOMPARE(text.substr(2 * CodeRecordLength), RawRecord("12", ""));

        const CodeTable back = ParseCodeTable(file);
        QCOMPARE(back.size(), table.size());
        QCOMPARE(back[0].code, std::string("0F"));
        QCOMPARE(TrimmedName(back[0]), std::string("Steel Roller Coaster"));
        QCOMPARE(TrimmedName(back[2]), std::string());
    }

    void serializeOfEmptyTableIsEmpty() { QVERIFY(SerializeCodeTable({}).empty()); }

    void trimmedName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("trimmed");

        QTest::newRow("padded right") << QByteArray("Monorail      ") << QByteArray("Monorail");
        QTest::newRow("padded both sides") << QByteArray("   Car Ride  ") << QByteArray("Car Ride");
        QTest::newRow("inner blanks kept") << QByteArray(" Go  Karts ") << QByteArray("Go  Karts");
        QTest::newRow("only blanks") << QByteArray(128, ' ') << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("tab is not a blank") << QByteArray("\tMaze ") << QByteArray("\tMaze");
    }
    void trimmedName()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, trimmed);

        const CodeRecord record{"00", name.toStdString()};
        QCOMPARE(QByteArray::fromStdString(TrimmedName(record)), trimmed);
    }

    void codeValue_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("value");

        QTest::newRow("upper case") << QByteArray("1F") << 31;
        QTest::newRow("lower case") << QByteArray("0a") << 10;
        QTest::newRow("highest") << QByteArray("FF") << 255;
        QTest::newRow("zero") << QByteArray("00") << 0;
        QTest::newRow("no leading digit") << QByteArray("G1") << 0;
        QTest::newRow("stops at second character") << QByteArray("1G") << 1;
        QTest::newRow("blanks") << QByteArray("  ") << 0;
        QTest::newRow("only the field counts") << QByteArray("123") << 0x12;
    }
    void codeValue()
    {
        QFETCH(QByteArray, code);
        QFETCH(int, value);

        QCOMPARE(CodeValue(CodeRecord{code.toStdString(), {}}), value);
    }

    void windows1252ToUtf8_data()
    {
        QTest::addColumn<QByteArray>("windows1252");
        QTest::addColumn<QString>("text");

        QTest::newRow("ascii") << QByteArray("Log Flume") << QStringLiteral("Log Flume");
        QTest::newRow("euro") << QByteArray("\x80") << QStringLiteral("\u20AC");
        QTest::newRow("low quote") << QByteArray("\x82") << QStringLiteral("\u201A");
        QTest::newRow("em dash") << QByteArray("\x97") << QStringLiteral("\u2014");
        QTest::newRow("en dash") << QByteArray("\x96") << QStringLiteral("\u2013");
        QTest::newRow("curly quotes") << QByteArray("\x93x\x94") << QStringLiteral("\u201Cx\u201D");
        QTest::newRow("trade mark") << QByteArray("\x99") << QStringLiteral("\u2122");
        QTest::newRow("y diaeresis") << QByteArray("\x9F") << QStringLiteral("\u0178");
        QTest::newRow("undefined bytes keep their value")
            << QByteArray("\x81\x8D\x8F\x90\x9D")
            << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("latin-1 range")
            << QByteArray("Caf\xE9 \xA0\xFF") << QStringLiteral("Caf\u00E9 \u00A0\u00FF");
        QTest::newRow("nul") << QByteArray(1, '\0') << QString(QChar(0));
    }
    void windows1252ToUtf8()
    {
        QFETCH(QByteArray, windows1252);
        QFETCH(QString, text);

        const std::string utf8 = Windows1252ToUtf8(windows1252.toStdString());
        QCOMPARE(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), text);
    }

    void windows1252GivesOneDistinctCharacterPerByte()
    {
        std::set<QString> seen;
        for (int byte = 0; byte < 256; ++byte) {
            const std::string utf8 = Windows1252ToUtf8(std::string(1, char(byte)));
            const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
            QCOMPARE(text.size(), 1);
            QVERIFY2(seen.insert(text).second, qPrintable(QString::number(byte, 16)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCodeTableFormat)
#include "tst_code_table_format.moc"
