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

        const QString rides = QStringLiteral("RCCODES.RCS");
        const QString vehicles = QStringLiteral("VTCODES.RCS");
        const QString modes = QStringLiteral("OMCODES.RCS");
        QTest::newRow("ride 00") << rides << QStringLiteral("00")
                                 << QStringLiteral("Wooden Roller Coaster");
        QTest::newRow("ride 0F") << rides << QStringLiteral("0F")
                                 << QStringLiteral("Steel Roller Coaster");
        QTest::newRow("ride 14, hedge maze")
            << rides << QStringLiteral("14") << QStringLiteral("Hedge Maze");
        QTest::newRow("ride 2C") << rides << QStringLiteral("2C")
                                 << QStringLiteral("Vertical Roller Coaster");
        QTest::newRow("ride 36, Corkscrew Follies")
            << rides << QStringLiteral("36") << QStringLiteral("Steel Wild Mouse Roller Coaster");
        QTest::newRow("ride 4F, Loopy Landscapes")
            << rides << QStringLiteral("4F") << QStringLiteral("Raft Ride");
        QTest::newRow("stall never in a design")
            << rides << QStringLiteral("1C") << QStringLiteral("");
        QTest::newRow("flat ride never in a design")
            << rides << QStringLiteral("15") << QStringLiteral("");
        QTest::newRow("vehicle 00")
            << vehicles << QStringLiteral("00") << QStringLiteral("Steel Roller Coaster Train");
        QTest::newRow("vehicle 05, quotes kept")
            << vehicles << QStringLiteral("05") << QStringLiteral("'Ladybird' Cars");
        QTest::newRow("vehicle 3B")
            << vehicles << QStringLiteral("3B") << QStringLiteral("Steam Train (Covered Cars)");
        QTest::newRow("vehicle 57")
            << vehicles << QStringLiteral("57") << QStringLiteral("Suspended Wild Mouse Cars");
        QTest::newRow("vehicle never in a design")
            << vehicles << QStringLiteral("26") << QStringLiteral("");
        QTest::newRow("mode 00") << modes << QStringLiteral("00") << QStringLiteral("Normal Mode");
        QTest::newRow("mode 01") << modes << QStringLiteral("01")
                                 << QStringLiteral("Continuous Circuit Mode");
        QTest::newRow("mode 13, quotes kept")
            << modes << QStringLiteral("13") << QStringLiteral("Film: \"Avenging Aviators\"");
        QTest::newRow("mode 1D, last of the base game")
            << modes << QStringLiteral("1D") << QStringLiteral("Haunted House Mode");
        QTest::newRow("mode 1E, an expansion's")
            << modes << QStringLiteral("1E") << QStringLiteral("");
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
