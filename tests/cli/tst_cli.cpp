// The command-line tool as a user runs it: the built program on real files.
#include "cli_run.h"
#include "support/sample_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using railwright::test::CliRun;
using railwright::test::readFile;
using railwright::test::RunCli;
using railwright::test::writeFile;

namespace {

// The start of a decoded record: ride type 0F, vehicle 00, operating mode 01, byte 7.
QByteArray record(char byte7)
{
    QByteArray bytes(68, '\0');
    bytes[0] = 0x0F;
    bytes[6] = 0x01;
    bytes[7] = byte7;
    return bytes;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void encodeVerifyDecode_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("game");
        QTest::addColumn<QByteArray>("encoded"); // empty: not checked
        QTest::addColumn<QByteArray>("verdict");
        QTest::newRow("abc, base game by default")
            << QByteArray("abc") << QStringList() << QByteArray("\x02\x61\x62\x63\x1C\x57\xFF\xFF")
            << QByteArray("original or corkscrew\n");
        QTest::newRow("abc, loopy")
            << QByteArray("abc") << QStringList{u"--game=loopy"_s}
            << QByteArray("\x02\x61\x62\x63\xD7\x28\xFF\xFF") << QByteArray("loopy\n");
        QTest::newRow("largest record")
            << QByteArray(65000, '\x07') << QStringList{u"--game"_s, u"loopy"_s} << QByteArray()
            << QByteArray("loopy\n");
    }
    void encodeVerifyDecode()
    {
        QFETCH(QByteArray, record);
        QFETCH(QStringList, game);
        QFETCH(QByteArray, encoded);
        writeFile(m_dir->path(), u"ride.bin"_s, record);
        const CliRun encode =
            RunCli(QStringList{u"encode"_s, path(u"ride.bin"_s), path(u"ride.TD4"_s)} + game);
        QCOMPARE(encode.exitCode, 0);
        QCOMPARE(encode.err, QByteArray());
        if (!encoded.isEmpty()) {
            QCOMPARE(readFile(path(u"ride.TD4"_s)), encoded);
        }
        QTEST(RunCli({u"verify"_s, path(u"ride.TD4"_s)}).out, "verdict");
        QCOMPARE(RunCli({u"decode"_s, path(u"ride.TD4"_s), path(u"back.bin"_s)}).exitCode, 0);
        QCOMPARE(readFile(path(u"back.bin"_s)), record);
    }

    // A refused command says why in one line ("railwright-cli: ...") and creates nothing;
    // exit status 1 for bad input, 2 for bad usage. "in" is the input file, "out" an output.
    void refusedCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        // 7F announces a literal block of 128 bytes; only 6 follow.
        QTest::newRow("damaged file")
            << u"decode in out"_s << QByteArray::fromHex("7F0102030405FFFFFFFF") << 1
            << QByteArray("in: damaged track design");
        QTest::newRow("checksum one bit off")
            << u"verify in"_s << QByteArray("abc\x1C\x37\xFF\xFE") << 1 << QByteArray();
        QByteArray decodedRecord(8058, '\0');
        decodedRecord[0x38] = '\xFF';
        QTest::newRow("verify, a decoded record")
            << u"verify in"_s << decodedRecord << 1
            << QByteArray("in: decoded record, not encoded\n");
        // It would decode again, to a track thousands of tiles long.
        for (const QString& command : {u"pieces in"_s, u"render in --out out.png"_s, u"info in"_s,
                                       u"convert in out --to base --game loopy"_s}) {
            QTest::newRow(qPrintable(command.section(u' ', 0, 0) + u", a decoded record"_s))
                << command << decodedRecord << 1
                << QByteArray("in: decoded record, not encoded (give --decoded to read it as "
                              "one)\n");
        }
        QTest::newRow("decodes to nothing")
            << u"decode in out"_s << QByteArray("\x00\x41\x00\x00\x00", 5) << 1
            << QByteArray("nothing");
        QByteArray worst;
        for (int i = 0; i < 253 * 256; ++i) {
            worst.append(char(i));
        }
        QTest::newRow("encoding larger than a file may be")
            << u"encode in out"_s << worst << 1 << QByteArray("65000");
        QTest::newRow("info, no such tables folder")
            << u"info in --decoded --tables out"_s << record(1) << 1
            << QByteArray("no such folder");
        const QByteArray good = "# header\n00\tFirst\n\n";
        QTest::newRow("code of one digit")
            << u"codes pack in out"_s << good + "A\tName\n"
            << 1 << QByteArray("in:4: the code must be two hexadecimal digits\n");
        QTest::newRow("name of 129 characters")
            << u"codes pack in out"_s << good + "01\t\xC3\xA9" + QByteArray(128, 'x') << 1
            << QByteArray("in:4: the name is longer than 128 characters\n");
        QTest::newRow("outside Windows-1252")
            << u"codes pack in out"_s << good + "01\tSnow \xE2\x98\x83\n"
            << 1
            << QByteArray(":4: the name holds \"\xE2\x98\x83\" (U+2603), which "
                          "Windows-1252 cannot store\n");
        QTest::newRow("32768 entries")
            << u"codes pack in out"_s << QByteArray("00\tx\n").repeated(32768) << 1
            << QByteArray("in:32768: a code table holds at most 32767 entries\n");
        QTest::newRow("nothing") << QString() << QByteArray() << 2 << QByteArray();
        QTest::newRow("unknown command") << u"squash in"_s << QByteArray() << 2 << QByteArray();
        QTest::newRow("unknown game")
            << u"encode in out --game rct2"_s << QByteArray() << 2 << QByteArray();
        QTest::newRow("codes, unknown action")
            << u"codes sort"_s << QByteArray() << 2 << QByteArray();
    }
    void refusedCommands()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, message);
        writeFile(m_dir->path(), u"in"_s, input);
        const CliRun run = RunCli(command.split(u' ', Qt::SkipEmptyParts), m_dir->path());
        QTEST(run.exitCode, "exitCode");
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("railwright-cli: ") && run.err.count('\n') == 1 &&
                     run.err.endsWith('\n') && run.err.contains(message),
                 run.err.constData());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"in"_s});
    }

    // The tool's help lists each command (its first line) and each answers its own --help.
    void helpListsEveryCommand()
    {
        const QByteArray help = RunCli({u"--help"_s}).out;
        for (const char* command : {"decode", "encode", "verify", "info", "scan", "convert",
                                    "pieces", "render", "codes"}) {
            QVERIFY2(help.contains("\n  " + QByteArray(command) + ' '), command);
            const CliRun own = RunCli({QString::fromLatin1(command), u"--help"_s});
            QVERIFY2(own.exitCode == 0 && own.out.startsWith("Usage: "), command);
        }
    }

    void codesPackAndList()
    {
        const QByteArray source =
            "\xEF\xBB\xBF# Test table\r\n\r\n00\tWooden Roller Coaster\r\n"
            "0f\tCaf\xC3\xA9 \xE2\x80\x94 Coaster\n1F\t  Padded  \n#0A\tnot an entry\nFF\t\n7E\t" +
            QByteArray(128, 'n');
        writeFile(m_dir->path(), u"source.txt"_s, source);
        QCOMPARE(RunCli({u"codes"_s, u"pack"_s, path(u"source.txt"_s), path(u"T.RCS"_s)}).exitCode,
                 0);
        const QByteArray table = readFile(path(u"T.RCS"_s));
        QCOMPARE(table.size(), 5 * 130);
        QCOMPARE(table.mid(130, 130), "0FCaf\xE9 \x97 Coaster" + QByteArray(114, ' '));
        QCOMPARE(table.mid(260, 12), QByteArray("1F  Padded  "));
        QCOMPARE(RunCli({u"codes"_s, u"list"_s, path(u"T.RCS"_s)}).out,
                 "00\tWooden Roller Coaster\n0F\tCaf\xC3\xA9 \xE2\x80\x94 "
                 "Coaster\n1F\tPadded\nFF\t\n7E\t" +
                     QByteArray(128, 'n') + "\n");
    }

    // The shipped tables against the game's published codes: names of known codes,
    // nothing a design never holds, and codes as the report matches them: two upper-case
    // hexadecimal digits, each naming one thing.
    void shippedCodeTables_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QStringList>("lines"); // listed, or not when starting with '!'
        QTest::newRow("ride types")
            << u"RCCODES.RCS"_s << 46
            << QStringList{u"00\tWooden Roller Coaster"_s, u"36\tSteel Wild Mouse Roller Coaster"_s,
                           u"4F\tRaft Ride"_s, u"!1C\t"_s};
        QTest::newRow("vehicle types")
            << u"VTCODES.RCS"_s << 73
            << QStringList{u"05\t'Ladybird' Cars"_s, u"3B\tSteam Train (Covered Cars)"_s,
                           u"!26\t"_s};
        QTest::newRow("operating modes")
            << u"OMCODES.RCS"_s << 30
            << QStringList{u"13\tFilm: \"Avenging Aviators\""_s, u"!1E\t"_s};
    }
    void shippedCodeTables()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, lines);
        const CliRun run =
            RunCli({u"codes"_s, u"list"_s, QString::fromUtf8(RAILWRIGHT_BIN_DIR "/") + table});
        QStringList listed = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
        QTEST(int(listed.size()), "entries");
        for (const QString& line : lines) {
            const bool absent = line.startsWith(u'!');
            QVERIFY2(listed.filter(line.mid(absent ? 1 : 0)).size() == (absent ? 0 : 1),
                     qPrintable(line));
        }
        for (QString& line : listed) {
            QVERIFY2(QRegularExpression(u"^[0-9A-F]{2}\t."_s).match(line).hasMatch(),
                     qPrintable(line));
            line.truncate(2);
        }
        listed.removeDuplicates();
        QTEST(int(listed.size()), "entries");
    }

    // The report's own lines are tested on the report; here the game version read from the
    // file's checksum and byte 7 (four or more: an expansion) and the shipped tables show in
    // the first lines.
    void info_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("encodedFor");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("version");
        QTest::newRow("byte 7 of 1: base game")
            << record(1) << u"original"_s << QStringList() << u"Orginal"_s;
        QTest::newRow("byte 7 of 5")
            << record(5) << u"original"_s << QStringList() << u"Corkscrew Follies"_s;
        QTest::newRow("byte 7 of 8")
            << record(8) << u"corkscrew"_s << QStringList() << u"Corkscrew Follies"_s;
        QTest::newRow("Loopy checksum")
            << record(5) << u"loopy"_s << QStringList() << u"Loopy Landscapes"_s;
        QTest::newRow("--game wins")
            << record(5) << u"loopy"_s << QStringList{u"--game"_s, u"original"_s} << u"Orginal"_s;
    }
    void info()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, encodedFor);
        QFETCH(QStringList, options);
        QFETCH(QString, version);
        writeFile(m_dir->path(), u"ride.bin"_s, record);
        QCOMPARE(
            RunCli({u"encode"_s, path(u"ride.bin"_s), path(u"ride.TD4"_s), u"--game"_s, encodedFor})
                .exitCode,
            0);
        const CliRun run = RunCli(QStringList{u"info"_s, path(u"ride.TD4"_s)} + options);
        const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
        QCOMPARE(lines.size(), 22 + 1); // the text after the last line end is empty
        QCOMPARE(lines.mid(0, 4),
                 (QStringList{u"RCT Version: "_s + version, u"Ride Type: Steel Roller Coaster"_s,
                              u"Vechicle Type: Steel Roller Coaster Train"_s,
                              u"Operating Mode: Continuous Circuit Mode"_s}));
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
