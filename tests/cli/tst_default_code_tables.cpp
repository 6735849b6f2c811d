#include "codec/code_table_format.h"

#include <QFile>
#include <QTest>
#include <algorithm>
#include <set>

using namespace railwright;

namespace {

// A table as the editor finds it beside the executables after a build.
CodeTable ShippedTable(const char* fileName)
{
    QFile file(QStringLiteral(RAILWRIGHT_BIN_DIR "/") + QLatin1StringView(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() % qsizetype(CodeRecordLength) != 0) {
        return {};
    }
    return ParseCodeTable(ByteView(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   std::size_t(bytes.size())));
}

QString NameOf(const CodeTable& table, const QString& code)
{
    QString name;
    for (const CodeRecord& entry : table) {
        if (QString::fromStdString(entry.code) == code) {
            if (!name.isEmpty()) {
                return QStringLiteral("<duplicate code>");
            }
            name = QString::fromStdString(Windows1252ToUtf8(TrimmedName(entry)));
        }
    }
    return name;
}

} // namespace

class TestDefaultCodeTables : public QObject
{
    Q_OBJECT

private slots:
    void tablesAreWellFormed_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("entries");

        QTest::newRow("ride types") << QStringLiteral("RCCODES.RCS") << 46;
        QTest::newRow("vehicle types") << QStringLiteral("VTCODES.RCS") << 73;
        QTest::newRow("operating modes") << QStringLiteral("OMCODES.RCS") << 30;
    }
    void tablesAreWellFormed()
    {
        QFETCH(QString, fileName);
        QFETCH(int, entries);

        const CodeTable table = ShippedTable(fileName.toLatin1().constData());
        QCOMPARE(int(table.size()), entries);
        std::set<std::string> codes;
        for (const CodeRecord& entry : table) {
            // The report matches codes as two upper-case digits, so nothing else may appear.
            QVERIFY2(entry.code.find_first_not_of("0123456789ABCDEF") == std::string::npos,
                     entry.code.c_str());
            QVERIFY2(codes.insert(entry.code).second, entry.code.c_str());
            QVERIFY(!TrimmedName(entry).empty());
            QVERIFY2(entry.name.front() != ' ', entry.name.c_str());
        }
        // File order is menu order: ascending codes read best.
        QVERIFY(std::is_sorted(
            table.begin(), table.end(),
            [](const CodeRecord& a, const CodeRecord& b) { return a.code < b.code; }));
    }

    void namesOfKnownCodes_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");

        const auto row = [](const char* tag, const char* file, const char* code, const char* name) {
            QTest::newRow(tag) << QString::fromLatin1(file) << QString::fromLatin1(code)
                               << QString::fromLatin1(name);
        };
        row("ride 00", "RCCODES.RCS", "00", "Wooden Roller Coaster");
        row("ride 0F", "RCCODES.RCS", "0F", "Steel Roller Coaster");
        row("ride 36, Corkscrew Follies", "RCCODES.RCS", "36", "Steel Wild Mouse Roller Coaster");
        row("ride 4F, Loopy Landscapes", "RCCODES.RCS", "4F", "Raft Ride");
        row("stall never in a design", "RCCODES.RCS", "1C", "");
        row("vehicle 05, quotes kept", "VTCODES.RCS", "05", "'Ladybird' Cars");
        row("vehicle 3B", "VTCODES.RCS", "3B", "Steam Train (Covered Cars)");
        row("vehicle never in a design", "VTCODES.RCS", "26", "");
        row("mode 01", "OMCODES.RCS", "01", "Continuous Circuit Mode");
        row("mode 13, quotes kept", "OMCODES.RCS", "13", "Film: \"Avenging Aviators\"");
        row("mode 1E, an expansion's", "OMCODES.RCS", "1E", "");
    }
    void namesOfKnownCodes()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, code);
        QFETCH(QString, name);

        const CodeTable table = ShippedTable(fileName.toLatin1().constData());
        QVERIFY(!table.empty());
        QCOMPARE(NameOf(table, code), name);
    }
};

QTEST_GUILESS_MAIN(TestDefaultCodeTables)
#include "tst_default_code_tables.moc"
