#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Program = QStringLiteral(RAILWRIGHT_BIN_DIR "/railwright-cli");

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run RunCli(const QStringList& arguments, const QString& workingDirectory = {})
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    process.setProcessEnvironment(environment);
    process.start(Program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A decoded record shaped like the game's: settings, statistics, a short list of track
// elements ended by FF and zero bytes to the full length.
QByteArray GameRecord(bool expansion, quint8 rideType = 0x0F)
{
    QByteArray record(expansion ? 8198 : 8058, '\0');
    record[0] = char(rideType);
    record[1] = char(0x00);
    record[6] = char(0x01);
    record[7] = char(expansion ? 0x05 : 0x01);
    for (int i = 8; i < 32; ++i) {
        record[i] = char(i % 32);
    }
    record[36] = char(3);
    record[37] = char(7);
    record[40] = char(4);
    record[51] = char(65);
    const int track = expansion ? 0xC4 : 0x38;
    for (int i = 0; i < 40; ++i) {
        record[track + 2 * i] = char(i % 5 == 0 ? 0x02 : 0x0A + i);
        record[track + 2 * i + 1] = char(0x00);
    }
    record[track + 80] = char(0xFF);
    return record;
}

QByteArray AllByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.append(char(i));
    }
    return bytes;
}

// The one line a failure writes: program prefix, text, a single line end.
bool IsOneFailureLine(const QByteArray& err)
{
    return err.startsWith("railwright-cli: ") && err.endsWith('\n') && err.count('\n') == 1;
}

// A run that failed with `code` and said why in one line.
#define EXPECT_FAILURE(run, code)                                                                  \
    do {                                                                                           \
        const Run& failed = (run);                                                                 \
        QCOMPARE(failed.exitCode, code);                                                           \
        QVERIFY2(IsOneFailureLine(failed.err), failed.err.constData());                            \
    } while (false)

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(Program), qPrintable(Program)); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void encodeThenDecodeGivesTheRecordBack_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("game");
        QTest::addColumn<QByteArray>("verdict");

        QTest::newRow("base-game design")
            << GameRecord(false) << u"original"_s << QByteArray("original or corkscrew\n");
        QTest::newRow("expansion design, loopy")
            << GameRecord(true) << u"loopy"_s << QByteArray("loopy\n");
        QTest::newRow("runs around the block limit")
            << QByteArray(125, 'a') + QByteArray(126, 'b') + QByteArray(1, 'c') +
                   QByteArray(300, '\0')
            << u"original"_s << QByteArray("original or corkscrew\n");
        QTest::newRow("largest record")
            << QByteArray(65000, '\x07') << u"loopy"_s << QByteArray("loopy\n");
    }
    void encodeThenDecodeGivesTheRecordBack()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, game);
        QFETCH(QByteArray, verdict);

        QVERIFY(WriteFile(path(u"ride.bin"_s), record));
        const Run encode =
            RunCli({u"encode"_s, path(u"ride.bin"_s), path(u"ride.TD4"_s), u"--game"_s, game});
        QCOMPARE(encode.exitCode, 0);
        QCOMPARE(encode.err, QByteArray());

        const Run verify = RunCli({u"verify"_s, path(u"ride.TD4"_s)});
        QCOMPARE(verify.exitCode, 0);
        QCOMPARE(verify.out, verdict);

        const Run decode = RunCli({u"decode"_s, path(u"ride.TD4"_s), path(u"back.bin"_s)});
        QCOMPARE(decode.exitCode, 0);
        QCOMPARE(decode.err, QByteArray());
        QCOMPARE(ReadFile(path(u"back.bin"_s)), record);
    }

    void encodeWritesBodyAndChecksumOfTheGame_data()
    {
        QTest::addColumn<QStringList>("gameOption");
        QTest::addColumn<QByteArray>("file");

        const QByteArray body = QByteArray::fromHex("02616263");
        QTest::newRow("default is the base game") << QStringList() << body + "\x1C\x57\xFF\xFF";
        QTest::newRow("corkscrew shares the base game's constant")
            << QStringList{u"--game"_s, u"corkscrew"_s} << body + "\x1C\x57\xFF\xFF";
        QTest::newRow("loopy") << QStringList{u"--game=loopy"_s} << body + "\xD7\x28\xFF\xFF";
    }
    void encodeWritesBodyAndChecksumOfTheGame()
    {
        QFETCH(QStringList, gameOption);
        QFETCH(QByteArray, file);

        QVERIFY(WriteFile(path(u"abc"_s), "abc"));
        const Run run =
            RunCli(QStringList{u"encode"_s, path(u"abc"_s), path(u"abc.TD4"_s)} + gameOption);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ReadFile(path(u"abc.TD4"_s)), file);
    }

    void verify_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");

        QTest::newRow("abc, base game")
            << QByteArray("abc\x1C\x37\xFF\xFF") << 0 << QByteArray("original or corkscrew\n");
        QTest::newRow("abc, loopy")
            << QByteArray("abc\xD7\x08\xFF\xFF") << 0 << QByteArray("loopy\n");
        QTest::newRow("one bit off in the checksum")
            << QByteArray("abc\x1C\x37\xFF\xFE") << 1 << QByteArray();
        QTest::newRow("shorter than a checksum") << QByteArray("abc") << 1 << QByteArray();
    }
    void verify()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);

        QVERIFY(WriteFile(path(u"ride.TD4"_s), file));
        const Run run = RunCli({u"verify"_s, path(u"ride.TD4"_s)});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        if (exitCode != 0) {
            QVERIFY2(IsOneFailureLine(run.err), run.err.constData());
        }
    }

    void refusedInputWritesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("inputExists");
        QTest::addColumn<QByteArray>("messagePart");

        // 7F announces a literal block of 128 bytes; only 6 follow.
        const QByteArray damaged = QByteArray::fromHex("7F0102030405FFFFFFFF");
        QTest::newRow("decode, literal block past the end")
            << u"decode"_s << damaged << true << QByteArray("ride.in");
        QTest::newRow("decode, five bytes decode to nothing")
            << u"decode"_s << QByteArray("\x00\x41\x00\x00\x00", 5) << true
            << QByteArray("nothing");
        QTest::newRow("decode, too large")
            << u"decode"_s << QByteArray(65001, '\0') << true << QByteArray("too large");
        QTest::newRow("decode, missing input")
            << u"decode"_s << QByteArray() << false << QByteArray("Can't open file");
        QTest::newRow("encode, empty file")
            << u"encode"_s << QByteArray() << true << QByteArray("empty");
        QTest::newRow("encode, result larger than a file may be")
            << u"encode"_s << AllByteValues().repeated(253) << true << QByteArray("65000");
    }
    void refusedInputWritesNothing()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, input);
        QFETCH(bool, inputExists);
        QFETCH(QByteArray, messagePart);

        if (inputExists) {
            QVERIFY(WriteFile(path(u"ride.in"_s), input));
        }
        const Run fresh = RunCli({command, path(u"ride.in"_s), path(u"new.out"_s)});
        EXPECT_FAILURE(fresh, 1);
        QVERIFY2(fresh.err.contains(messagePart), fresh.err.constData());
        QCOMPARE(fresh.out, QByteArray());
        QVERIFY(!QFileInfo::exists(path(u"new.out"_s)));

        const QByteArray old("the previous contents");
        QVERIFY(WriteFile(path(u"old.out"_s), old));
        const Run again = RunCli({command, path(u"ride.in"_s), path(u"old.out"_s)});
        QCOMPARE(again.exitCode, 1);
        QCOMPARE(ReadFile(path(u"old.out"_s)), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(),
                 inputExists ? 2 : 1);
    }

    void largestInputIsAccepted()
    {
        // 32,498 literal blocks of one zero byte and 4 checksum bytes: 65,000 bytes.
        QByteArray file;
        for (int i = 0; i < 32498; ++i) {
            file.append("\x00\x00", 2);
        }
        file.append("\x00\x00\x00\x00", 4);
        QCOMPARE(file.size(), 65000);
        QVERIFY(WriteFile(path(u"big.TD4"_s), file));
        const Run run = RunCli({u"decode"_s, path(u"big.TD4"_s), path(u"big.bin"_s)});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ReadFile(path(u"big.bin"_s)), QByteArray(32498, '\0'));
    }

    void unwritableOutputAndMissingTableFail()
    {
        QVERIFY(WriteFile(path(u"abc"_s), "abc"));
        EXPECT_FAILURE(RunCli({u"encode"_s, path(u"abc"_s), path(u"no/such/folder/x.TD4"_s)}), 1);
        EXPECT_FAILURE(RunCli({u"codes"_s, u"list"_s, path(u"NONE.RCS"_s)}), 1);
        QVERIFY(!QFileInfo::exists(path(u"NONE.RCS"_s)));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");

        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{u"squash"_s, u"a"_s};
        QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s};
        QTest::newRow("decode without output") << QStringList{u"decode"_s, u"a.TD4"_s};
        QTest::newRow("encode, unknown game")
            << QStringList{u"encode"_s, u"a"_s, u"b"_s, u"--game"_s, u"tycoon2"_s};
        QTest::newRow("decode with a third file")
            << QStringList{u"decode"_s, u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("encode, game without value")
            << QStringList{u"encode"_s, u"a"_s, u"b"_s, u"--game"_s};
        QTest::newRow("encode, unknown option")
            << QStringList{u"encode"_s, u"a"_s, u"b"_s, u"--fast"_s};
        QTest::newRow("verify without input") << QStringList{u"verify"_s};
        QTest::newRow("info, unknown game")
            << QStringList{u"info"_s, u"a"_s, u"--game"_s, u"rct3"_s};
        QTest::newRow("codes alone") << QStringList{u"codes"_s};
        QTest::newRow("codes, unknown action") << QStringList{u"codes"_s, u"sort"_s};
        QTest::newRow("codes pack without output")
            << QStringList{u"codes"_s, u"pack"_s, u"a.txt"_s};
        QTest::newRow("codes list without file") << QStringList{u"codes"_s, u"list"_s};
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);

        const Run run = RunCli(arguments, m_dir->path());
        EXPECT_FAILURE(run, 2);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void helpAndVersion()
    {
        const Run help = RunCli({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        for (const char* command :
             {"decode", "encode", "verify", "info", "codes pack", "codes list"}) {
            QVERIFY2(help.out.contains(command), command);
        }
        const Run commandHelp = RunCli({u"encode"_s, u"--help"_s});
        QCOMPARE(commandHelp.exitCode, 0);
        QVERIFY(commandHelp.out.contains("--game"));

        const Run version = RunCli({u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.startsWith("railwright-cli "), version.out.constData());
        QCOMPARE(version.err, QByteArray());
    }

    void codesPackAndListRoundTrip()
    {
        const QByteArray longest(128, 'n');
        const QByteArray source = "\xEF\xBB\xBF# Test table\r\n"
                                  "\r\n"
                                  "00\tWooden Roller Coaster\r\n"
                                  "0f\tCaf\xC3\xA9 \xE2\x80\x94 Br\xC3\xBBl\xC3\xA9"
                                  "e\n"
                                  "   \n"
                                  "1F\t  Padded  \n"
                                  "#0A\tnot an entry\n"
                                  "A0\t\xE2\x82\xAC"
                                  "5 \xE2\x80\x9CRide\xE2\x80\x9D\n"
                                  "FF\t\n"
                                  "7E\t" +
                                  longest; // no line end after the last line
        QVERIFY(WriteFile(path(u"source.txt"_s), source));

        const Run pack =
            RunCli({u"codes"_s, u"pack"_s, path(u"source.txt"_s), path(u"TABLE.RCS"_s)});
        QCOMPARE(pack.exitCode, 0);
        QCOMPARE(pack.err, QByteArray());

        const QByteArray table = ReadFile(path(u"TABLE.RCS"_s));
        QCOMPARE(table.size(), 6 * 130);
        QCOMPARE(table.mid(130, 2), QByteArray("0F"));
        QCOMPARE(table.mid(132, 13), QByteArray("Caf\xE9 \x97 Br\xFBl\xE9"
                                                "e"));
        QCOMPARE(table.mid(145, 115), QByteArray(115, ' '));
        QCOMPARE(table.mid(260, 12), QByteArray("1F  Padded  "));
        QCOMPARE(table.mid(390, 11), QByteArray("A0\x80"
                                                "5 \x93Ride\x94"));
        QCOMPARE(table.mid(650, 130), "7E" + longest);

        const Run list = RunCli({u"codes"_s, u"list"_s, path(u"TABLE.RCS"_s)});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out, "00\tWooden Roller Coaster\n"
                           "0F\tCaf\xC3\xA9 \xE2\x80\x94 Br\xC3\xBBl\xC3\xA9"
                           "e\n"
                           "1F\tPadded\n"
                           "A0\t\xE2\x82\xAC"
                           "5 \xE2\x80\x9CRide\xE2\x80\x9D\n"
                           "FF\t\n"
                           "7E\t" +
                               longest + "\n");
    }

    void codesListReadsWholeRecordsOnly_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("out");

        const QByteArray record = "0a" + QByteArray("  Lower-case code").leftJustified(128);
        QTest::newRow("empty table") << QByteArray() << QByteArray();
        QTest::newRow("code kept as stored") << record << QByteArray("0a\tLower-case code\n");
        QTest::newRow("partial record ignored")
            << record + record.left(129) << QByteArray("0a\tLower-case code\n");
        // 81 is no character in Windows-1252: shown as U+FFFD, never as a raw control.
        QTest::newRow("raw Windows-1252 bytes")
            << "\x80\x81" + QByteArray("\x9F\xFF").leftJustified(128)
            << QByteArray("\xE2\x82\xAC\xEF\xBF\xBD\t\xC5\xB8\xC3\xBF\n");
    }
    void codesListReadsWholeRecordsOnly()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, out);

        QVERIFY(WriteFile(path(u"T.RCS"_s), file));
        const Run run = RunCli({u"codes"_s, u"list"_s, path(u"T.RCS"_s)});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, out);
    }

    void codesPackRefusesBadLines_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("message");

        const QByteArray good = "# header\n00\tFirst\n\n";
        QTest::newRow("one digit") << good + "A\tName\n"
                                   << QByteArray(":4: the code must be two hexadecimal digits\n");
        QTest::newRow("three digits, no tab")
            << good + "0AB" << QByteArray(":4: the code must be two hexadecimal digits\n");
        QTest::newRow("not hexadecimal")
            << good + "G0\tName\n"
            << QByteArray(":4: the code must be two hexadecimal digits\n");
        QTest::newRow("blank instead of tab") << good + "0A Name\n"
                                              << QByteArray(":4: a tab must follow the code\n");
        QTest::newRow("code alone") << good + "01\tok\n0B\r\n"
                                    << QByteArray(":5: a tab must follow the code\n");
        QTest::newRow("name of 129 characters")
            << good + "01\t" + QByteArray(129, 'x') + "\n"
            << QByteArray(":4: the name is longer than 128 characters\n");
        QTest::newRow("name of 129 characters with an accent")
            << good + "01\t\xC3\xA9" + QByteArray(128, 'x') + "\n"
            << QByteArray(":4: the name is longer than 128 characters\n");
        QTest::newRow("character outside Windows-1252")
            << good + "01\tSnow \xE2\x98\x83 Ride\n"
            << QByteArray(":4: the name holds \"\xE2\x98\x83\" (U+2603), which Windows-1252 "
                          "cannot store\n");
        QTest::newRow("not UTF-8, cut at the line end")
            << good + "01\tCaf\xE9\n"
            << QByteArray(":4: the line is not UTF-8 text\n");
        QByteArray tooMany;
        for (int i = 0; i <= 32767; ++i) {
            tooMany += "00\tx\n";
        }
        QTest::newRow("more than 32767 entries")
            << tooMany << QByteArray(":32768: a code table holds at most 32767 entries\n");
    }
    void codesPackRefusesBadLines()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, message);

        QVERIFY(WriteFile(path(u"bad.txt"_s), source));
        const Run run = RunCli({u"codes"_s, u"pack"_s, path(u"bad.txt"_s), path(u"OUT.RCS"_s)});
        EXPECT_FAILURE(run, 1);
        QCOMPARE(run.err, "railwright-cli: " + path(u"bad.txt"_s).toUtf8() + message);
        QVERIFY(!QFileInfo::exists(path(u"OUT.RCS"_s)));
    }

    void codesPackAcceptsTheLargestTable()
    {
        QByteArray source;
        for (int i = 0; i < 32767; ++i) {
            source += QByteArray::number(i % 256, 16).rightJustified(2, '0') + "\tx\n";
        }
        QVERIFY(WriteFile(path(u"big.txt"_s), source));
        const Run run = RunCli({u"codes"_s, u"pack"_s, path(u"big.txt"_s), path(u"BIG.RCS"_s)});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QFileInfo(path(u"BIG.RCS"_s)).size(), 32767 * 130);
    }

    void info_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("decodedInput");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("firstLines");

        const QByteArray base = GameRecord(false);
        const QByteArray expansion = GameRecord(true, 0x00);
        QByteArray highScheme = base;
        highScheme[7] = char(8); // 4 or more, though the expansion bit is clear

        // The report's own lines are tested on the report; here the options and the
        // default tables show in the first lines.
        const QStringList baseLines = {
            u"RCT Version: Orginal"_s,
            u"Ride Type: Steel Roller Coaster"_s,
            u"Vechicle Type: Steel Roller Coaster Train"_s,
            u"Operating Mode: Continuous Circuit Mode"_s,
            u"Color Scheme: Trains Have Different Colors"_s,
        };
        const QStringList expansionLines = {u"RCT Version: Corkscrew Follies"_s,
                                            u"Ride Type: Wooden Roller Coaster"_s};
        const QStringList forcedOriginal = {baseLines[0], expansionLines[1]};
        const QStringList loopy = {expansionLines[0], baseLines[1]};
        const QStringList ownTables = {
            u"RCT Version: Orginal"_s,
            u"Ride Type: Caf\u00E9 \u2014 Coaster"_s,
            u"Vechicle Type: "_s,
            u"Operating Mode: Loop"_s,
        };

        QTest::newRow("encoded base-game design") << base << false << QStringList() << baseLines;
        QTest::newRow("expansion flag selects Corkscrew Follies")
            << expansion << false << QStringList() << expansionLines;
        QTest::newRow("byte 7 of 8 selects Corkscrew Follies")
            << highScheme << true << QStringList{u"--decoded"_s} << QStringList{expansionLines[0]};
        QTest::newRow("--game original wins over the flag")
            << expansion << false << QStringList{u"--game"_s, u"original"_s} << forcedOriginal;
        QTest::newRow("--game loopy") << base << false << QStringList{u"--game=loopy"_s} << loopy;
        QTest::newRow("own tables folder")
            << base << true << QStringList{u"--decoded"_s, u"--tables"_s, u"@TABLES@"_s}
            << ownTables;
    }
    void info()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, decodedInput);
        QFETCH(QStringList, options);
        QFETCH(QStringList, firstLines);

        QVERIFY(QDir().mkpath(path(u"tables"_s)));
        QVERIFY(WriteFile(path(u"tables/rides.txt"_s), "0F\tCaf\xC3\xA9 \xE2\x80\x94 Coaster\n"));
        QVERIFY(WriteFile(path(u"tables/modes.txt"_s), "01\tLoop\n"));
        for (const auto& [source, table] : {std::pair(u"rides.txt"_s, u"RCCODES.RCS"_s),
                                            std::pair(u"modes.txt"_s, u"OMCODES.RCS"_s)}) {
            QCOMPARE(RunCli({u"codes"_s, u"pack"_s, path(u"tables/"_s + source),
                             path(u"tables/"_s + table)})
                         .exitCode,
                     0);
        }
        QVERIFY(WriteFile(path(u"tables/VTCODES.RCS"_s), QByteArray()));
        options.replaceInStrings(u"@TABLES@"_s, path(u"tables"_s));

        QVERIFY(WriteFile(path(u"ride.bin"_s), record));
        QString input = path(u"ride.bin"_s);
        if (!decodedInput) {
            QCOMPARE(RunCli({u"encode"_s, input, path(u"ride.TD4"_s)}).exitCode, 0);
            input = path(u"ride.TD4"_s);
        }
        const Run run = RunCli(QStringList{u"info"_s, input} + options);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QVERIFY(!run.out.contains('\r'));
        QVERIFY(run.out.endsWith(" Feet\n"));
        const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
        QCOMPARE(lines.size(), 22 + 1); // the text after the last line end is empty
        QCOMPARE(lines.mid(0, firstLines.size()), firstLines);
    }

    void infoFailures_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("messagePart");

        QTest::newRow("damaged file")
            << QByteArray::fromHex("7F01020304050607") << QStringList() << QByteArray("ride.in");
        QTest::newRow("decodes to nothing")
            << QByteArray("abcde") << QStringList() << QByteArray("nothing");
        QTest::newRow("empty record")
            << QByteArray() << QStringList{u"--decoded"_s} << QByteArray("empty");
        QTest::newRow("no such tables folder")
            << GameRecord(false) << QStringList{u"--decoded"_s, u"--tables"_s, u"@NONE@"_s}
            << QByteArray("no such folder");
        QTest::newRow("a table missing")
            << GameRecord(false) << QStringList{u"--decoded"_s, u"--tables"_s, u"@TABLES@"_s}
            << QByteArray("VTCODES.RCS");
    }
    void infoFailures()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, messagePart);

        QVERIFY(QDir().mkpath(path(u"tables"_s)));
        QVERIFY(WriteFile(path(u"tables/RCCODES.RCS"_s), QByteArray()));
        QVERIFY(WriteFile(path(u"tables/OMCODES.RCS"_s), QByteArray()));
        options.replaceInStrings(u"@TABLES@"_s, path(u"tables"_s));
        options.replaceInStrings(u"@NONE@"_s, path(u"none"_s));
        QVERIFY(WriteFile(path(u"ride.in"_s), input));

        const Run run = RunCli(QStringList{u"info"_s, path(u"ride.in"_s)} + options);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(IsOneFailureLine(run.err), run.err.constData());
        QVERIFY2(run.err.contains(messagePart), run.err.constData());
        // Reading the tables never creates one.
        QCOMPARE(QDir(path(u"tables"_s)).entryList(QDir::Files).size(), 2);
        QVERIFY(!QFileInfo::exists(path(u"none"_s)));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
