#include "settings/code_tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace railwright;

namespace {

// One 130-byte record: the code bytes as given and the name padded to 128 with blanks.
QByteArray Record(const QByteArray& code, const QByteArray& name)
{
    QByteArray record = code.left(2);
    record.append(name.left(128));
    record.append(QByteArray(128 - qsizetype(name.left(128).size()), ' '));
    return record;
}

void WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(contents), contents.size());
}

QString FileIn(const QTemporaryDir& dir, const char* name)
{
    return QDir(dir.path()).filePath(QString::fromLatin1(name));
}

} // namespace

class TestCodeTables : public QObject
{
    Q_OBJECT

private slots:
    void entriesKeepFileOrderAndFields();
    void emptyFileStaysEmptyWithoutMessage();
    void missingFilesAreCreatedEmpty();
    void unwritableFolderReportsEachFileInReadingOrder();
    void unreadableFileReportsOnlyItself();
    void oversizedTableStopsAtLargestCount();
    void eachFileFillsItsOwnTable();
    void shippedTablesNameCommonRides();
};

void TestCodeTables::entriesKeepFileOrderAndFields()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A partial record at the end is ignored; what the table held before is replaced.
    WriteFile(FileIn(dir, "VTCODES.RCS"),
              Record("1F", "   Padded Both Sides   ") + Record("0a", "Lower Case Code") +
                  Record("00", "First In Order Of Codes") + Record("01", "Partial").left(129));
    CodeTable table{{"XX", "stale entry"}};
    QCOMPARE(ReadCodeTable(dir.path(), QStringLiteral("\\VTCODES.RCS"), table), QString());
    QCOMPARE(int(table.size()), 3);
    QCOMPARE(table[0].code, std::string("1F"));
    QCOMPARE(table[0].name.size(), std::size_t(128));
    QCOMPARE(TrimmedName(table[0]), std::string("Padded Both Sides"));
    QCOMPARE(table[1].code, std::string("0a"));
    QCOMPARE(CodeValue(table[1]), 10);
    QCOMPARE(table[2].code, std::string("00"));
}

void TestCodeTables::emptyFileStaysEmptyWithoutMessage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"RCCODES.RCS", "OMCODES.RCS", "VTCODES.RCS"}) {
        WriteFile(FileIn(dir, name), {});
    }
    const CodeTablesLoad load = ReadCodeTables(dir.path());
    QVERIFY(load.messages.isEmpty());
    QVERIFY(load.tables.rideTypes.empty() && load.tables.vehicleTypes.empty() &&
            load.tables.operatingModes.empty());
    QCOMPARE(QFileInfo(FileIn(dir, "RCCODES.RCS")).size(), 0);
}

void TestCodeTables::missingFilesAreCreatedEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A trailing separator on the folder must not matter.
    const CodeTablesLoad load = ReadCodeTables(dir.path() + QDir::separator());
    QVERIFY(load.messages.isEmpty());
    QVERIFY(load.tables.rideTypes.empty());
    for (const char* name : {"RCCODES.RCS", "OMCODES.RCS", "VTCODES.RCS"}) {
        const QFileInfo created(FileIn(dir, name));
        QVERIFY2(created.isFile(), name);
        QCOMPARE(created.size(), 0);
    }
    // Nothing is created outside the folder, e.g. a file named with the backslash.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 3);
}

void TestCodeTables::unwritableFolderReportsEachFileInReadingOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A "folder" that is a regular file can hold no table, not even for root.
    const QString notAFolder = FileIn(dir, "railwright");
    WriteFile(notAFolder, "not a folder");

    const CodeTablesLoad load = ReadCodeTables(notAFolder);
    QStringList expected;
    for (const char* name : {"RCCODES.RCS", "OMCODES.RCS", "VTCODES.RCS"}) {
        expected << QStringLiteral("Can't open file: %1 (%2)")
                        .arg(FileIn(dir, "railwright/") + QLatin1String(name),
                             QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    }
    QCOMPARE(load.messages, expected);
    QVERIFY(load.tables.rideTypes.empty() && load.tables.vehicleTypes.empty() &&
            load.tables.operatingModes.empty());
}

void TestCodeTables::unreadableFileReportsOnlyItself()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WriteFile(FileIn(dir, "RCCODES.RCS"), Record("00", "Wooden"));
    // A folder where the table should be: it exists but cannot be read as a file.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("OMCODES.RCS")));

    const CodeTablesLoad load = ReadCodeTables(dir.path());
    QCOMPARE(load.messages,
             QStringList{QStringLiteral("Can't open file: ") + FileIn(dir, "OMCODES.RCS") +
                         QStringLiteral(" (is a folder)")});
    QCOMPARE(int(load.tables.rideTypes.size()), 1);
    QVERIFY(load.tables.operatingModes.empty());
    QVERIFY(QFileInfo(FileIn(dir, "VTCODES.RCS")).isFile());
}

void TestCodeTables::oversizedTableStopsAtLargestCount()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray contents;
    contents.reserve(32769 * 130);
    for (int i = 0; i < 32769; ++i) {
        contents += Record(QByteArray::number(i % 256, 16).rightJustified(2, '0').toUpper(),
                           "Record " + QByteArray::number(i + 1));
    }
    WriteFile(FileIn(dir, "OMCODES.RCS"), contents);

    CodeTable table;
    QCOMPARE(ReadCodeTable(dir.path(), QStringLiteral("\\OMCODES.RCS"), table), QString());
    QCOMPARE(int(table.size()), 32767);
    QCOMPARE(TrimmedName(table.back()), std::string("Record 32767"));
}

void TestCodeTables::eachFileFillsItsOwnTable()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WriteFile(FileIn(dir, "RCCODES.RCS"), Record("00", "Ride"));
    WriteFile(FileIn(dir, "VTCODES.RCS"), Record("01", "Vehicle") + Record("02", "Vehicle 2"));
    WriteFile(FileIn(dir, "OMCODES.RCS"),
              Record("03", "Mode") + Record("04", "Mode 2") + Record("05", "Mode 3"));
    const CodeTablesLoad load = ReadCodeTables(dir.path());
    QVERIFY(load.messages.isEmpty());
    QCOMPARE(int(load.tables.rideTypes.size()), 1);
    QCOMPARE(int(load.tables.vehicleTypes.size()), 2);
    QCOMPARE(int(load.tables.operatingModes.size()), 3);
    QCOMPARE(load.tables.operatingModes[0].code, std::string("03"));
}

void TestCodeTables::shippedTablesNameCommonRides()
{
    const QDir bin(QStringLiteral(RAILWRIGHT_BIN_DIR));
    for (const char* name : {"RCCODES.RCS", "OMCODES.RCS", "VTCODES.RCS"}) {
        if (!QFileInfo(bin.filePath(QString::fromLatin1(name))).isFile()) {
            QSKIP("the shipped code tables are not built into this build's bin folder");
        }
    }
    const CodeTablesLoad load = ReadCodeTables(bin.path());
    QVERIFY(load.messages.isEmpty());

    const auto nameOf = [](const CodeTable& table, const std::string& code) {
        for (const CodeRecord& entry : table) {
            if (entry.code == code) {
                return TrimmedName(entry);
            }
        }
        return std::string("(missing)");
    };
    QCOMPARE(nameOf(load.tables.rideTypes, "00"), std::string("Wooden Roller Coaster"));
    QCOMPARE(nameOf(load.tables.rideTypes, "0F"), std::string("Steel Roller Coaster"));
    QCOMPARE(nameOf(load.tables.vehicleTypes, "00"), std::string("Steel Roller Coaster Train"));
    QCOMPARE(nameOf(load.tables.operatingModes, "00"), std::string("Normal Mode"));
    for (const CodeTable* table :
         {&load.tables.rideTypes, &load.tables.vehicleTypes, &load.tables.operatingModes}) {
        for (const CodeRecord& entry : *table) {
            QCOMPARE(entry.code.size(), std::size_t(2));
            QVERIFY2(CodeValue(entry) >= 0 && CodeValue(entry) <= 255, entry.code.c_str());
            QVERIFY(!TrimmedName(entry).empty());
        }
    }
}

QTEST_GUILESS_MAIN(TestCodeTables)
#include "tst_code_tables.moc"
