// The command-line tool run from a shell as users run it, on the files that once lost data:
// links with "..", standard output as a file, names that are not UTF-8, hard links,
// read-only files, a file-size limit, a scan whose output is lost, names that would break
// the scan's table.
#include "support/sample_files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1; // -1: it did not finish
    QByteArray out;
    QByteArray err;
};

// Runs `script` in sh in `folder`: `cli` is the built program and `b 'Caf\351'` gives a
// name's bytes from printf's escapes.
Run RunScript(const QString& folder, const QString& script)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    environment.insert(u"RW_CLI"_s, QStringLiteral(RAILWRIGHT_BIN_DIR "/railwright-cli"));
    process.setProcessEnvironment(environment);
    process.start(u"/bin/sh"_s,
                  {u"-c"_s, u"cli() { \"$RW_CLI\" \"$@\"; }; b() { printf \"$1\"; }; "_s + script});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray Bytes(const ByteBuffer& bytes)
{
    return asBytes(bytes);
}

// A base design of 8,058 bytes; an expansion one whose track colour scheme 2 differs.
ByteBuffer BaseRecord()
{
    return sampleRecord(0x02, 8058);
}

ByteBuffer LossyExpansionRecord()
{
    ByteBuffer record = BaseRecord();
    record.insert(record.begin() + 56, 140, 0);
    record[58] = 0x07;
    return record;
}

} // namespace

class TestCliFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        writeFile(m_dir->path(), u"rec.bin"_s, "abc");
        writeFile(m_dir->path(), u"base.TD4"_s, Bytes(encodedFile({'a', 'b', 'c'})));
        writeFile(m_dir->path(), u"out.TD4"_s, "old");
        QVERIFY(QDir(m_dir->path()).mkdir(u"t"_s));
        for (const QString& table : {u"RCCODES.RCS"_s, u"OMCODES.RCS"_s, u"VTCODES.RCS"_s}) {
            writeFile(m_dir->path(), u"t/"_s + table, {});
        }
    }

    // The issue's own steps: the file the link leads to is converted, not ./mine.TD4.
    void linkWithDotDot()
    {
        writeFile(m_dir->path(), u"base8058.TD4"_s, Bytes(encodedFile(BaseRecord())));
        const Run run = RunScript(m_dir->path(), u"mkdir -p Tracks/saved && ln -s Tracks/saved "
                                                 u"link && cp base8058.TD4 Tracks/mine.TD4 && "
                                                 u"ln -s ../mine.TD4 Tracks/saved/current.TD4 && "
                                                 u"cp base.TD4 mine.TD4 && cli convert "
                                                 u"link/current.TD4 link/current.TD4 --to "
                                                 u"expansion && ls -a Tracks"_s);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, ".\n..\nmine.TD4\nsaved\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(m_dir->filePath(u"mine.TD4"_s)), Bytes(encodedFile({'a', 'b', 'c'})));
        const QByteArray converted = readFile(m_dir->filePath(u"Tracks/mine.TD4"_s));
        QCOMPARE(RLEDecode(ByteBuffer(converted.begin(), converted.end())).record.size(), 8198u);
    }

    void standardOutput_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("file"); // what c.bin holds afterwards
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("/dev/stdout between the shell's lines")
            << u"{ echo HEADER; cli decode base.TD4 /dev/stdout; echo FOOTER; } > c.bin"_s
            << QByteArray("HEADER\nabcFOOTER\n") << QByteArray();
        QTest::newRow("/dev/stdout appended to a log")
            << u"echo log > c.bin; cli decode base.TD4 /dev/stdout >> c.bin"_s
            << QByteArray("log\nabc") << QByteArray();
        QTest::newRow("- into a pipe")
            << u"cli decode base.TD4 - | cat > c.bin"_s << QByteArray("abc") << QByteArray();
        QTest::newRow("the file standard output goes to")
            << u"echo log > c.bin; cli decode base.TD4 c.bin >> c.bin"_s << QByteArray("log\n")
            << QByteArray("railwright-cli: Can't open file: c.bin (is this program's standard "
                          "output)\n");
    }
    void standardOutput()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, err);
        const Run run = RunScript(m_dir->path(), script);
        QCOMPARE(run.err, err);
        QCOMPARE(readFile(m_dir->filePath(u"c.bin"_s)), file);
    }

    // Every command, given names whose bytes are not UTF-8, reads and writes those names.
    void namesThatAreNotUtf8()
    {
        writeFile(m_dir->path(), u"base8058.TD4"_s, Bytes(encodedFile(BaseRecord())));
        writeFile(m_dir->path(), u"source.txt"_s, "0A\tRide\n");
        const Run run = RunScript(
            m_dir->path(),
            u"N=\"$(b 'Caf\\303\\251\\351')\"; mkdir s; "
            u"cli encode rec.bin \"$N.TD4\" && cli verify \"$N.TD4\" && "
            u"cli decode \"$N.TD4\" \"$N.bin\" && cli info \"$N.bin\" --decoded --tables t "
            u">/dev/null && "
            u"cp base8058.TD4 \"s/$N.TD4\" && cli convert \"s/$N.TD4\" \"s/$N.TD4\" --to "
            u"expansion && cp source.txt \"$N.txt\" && cli codes pack \"$N.txt\" \"$N.RCS\" && "
            u"cli codes list \"$N.RCS\" && cli scan s --csv --tables t | cut -d, -f1,5 && "
            u"cli scan s --tables t | cut -c 125- && ls; cli verify \"$N-gone.TD4\""_s);
        QCOMPARE(run.err, "railwright-cli: Can't open file: Caf\xC3\xA9\\xE9-gone.TD4 (does not "
                          "exist)\n");
        QCOMPARE(
            run.out,
            QByteArray(
                "original or corkscrew\n0A\tRide\npath,layout\ns/Caf\xC3\xA9\\xE9.TD4,expansion\n"
                "PATH\ns/Caf\xC3\xA9\\xE9.TD4\n"
                "Caf\xC3\xA9\xE9.RCS\nCaf\xC3\xA9\xE9.TD4\n"
                "Caf\xC3\xA9\xE9.bin\nCaf\xC3\xA9\xE9.txt\n"
                "base.TD4\nbase8058.TD4\nout.TD4\nrec.bin\ns\n"
                "source.txt\nt\n"));
    }

    void outputFiles_data()
    {
        QTest::addColumn<QString>("script"); // then: ls -a; cat out.TD4 other.TD4
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("err"); // without the program's name
        QTest::addColumn<bool>("written");   // out.TD4 holds the new design
        QTest::addColumn<bool>("linked");    // other.TD4 is another name of out.TD4
        const QByteArray linkRefused = "Can't open file: out.TD4 (has 1 other name (a hard "
                                       "link), which would keep the old content); --force "
                                       "writes into the file all its names share";
        QTest::newRow("hard link refused") << u"ln out.TD4 other.TD4; cli encode rec.bin out.TD4"_s
                                           << 1 << linkRefused << false << true;
        QTest::newRow("hard link, --force")
            << u"ln out.TD4 other.TD4; cli encode rec.bin out.TD4 --force"_s << 0 << QByteArray()
            << true << true;
        QTest::newRow("read-only refused")
            << u"chmod 444 out.TD4; cli encode rec.bin out.TD4"_s << 1
            << QByteArray("Can't open file: out.TD4 (is read-only); --force replaces it") << false
            << false;
        QTest::newRow("read-only, --force")
            << u"chmod 444 out.TD4; cli encode rec.bin out.TD4 --force"_s << 0 << QByteArray()
            << true << false;
        QTest::newRow("file-size limit")
            << u"(ulimit -f 0; cli encode rec.bin out.TD4)"_s << 1
            << QByteArray("Can't save file: out.TD4 (File too large). The file on disk was "
                          "left as it was.")
            << false << false;
    }
    void outputFiles()
    {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, err);
        QFETCH(bool, written);
        QFETCH(bool, linked);
        const Run run = RunScript(m_dir->path(), script);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, err.isEmpty() ? err : "railwright-cli: " + err + '\n');
        const QByteArray design = written ? Bytes(encodedFile({'a', 'b', 'c'})) : "old";
        QCOMPARE(readFile(m_dir->filePath(u"out.TD4"_s)), design);
        QCOMPARE(readFile(m_dir->filePath(u"other.TD4"_s)),
                 linked ? design : QByteArray("<missing>"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), linked ? 4 : 3);
    }

    void scanRowsAndOutput_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("output lost with a bad file")
            << u"cli scan d/bad.td4 d/good.td4 --tables t --csv > /dev/full"_s << 2 << QByteArray()
            << QByteArray("1 of 2 files are not valid track designs; can't write to standard "
                          "output (No space left on device)");
        QTest::newRow("one row per file")
            << u"cp d/good.td4 \"d/$(b 'new\\nline.td4')\"; cp d/good.td4 "
               u"\"d/$(b 'esc\\033[2J\\007.td4')\"; ln -s /dev/zero d/zero.td4; "
               u"cli scan d/new* d/esc* d/zero.td4 --tables t | cut -c 125-"_s
            << 0
            << QByteArray("PATH\nd/new\xE2\x90\x8Aline.td4\n"
                          "d/esc\xE2\x90\x9B[2J\xE2\x90\x87.td4\n"
                          "d/zero.td4: is a character device, not a file\n")
            << QByteArray("1 of 3 files are not valid track designs");
        QTest::newRow("a name starting with -")
            << u"cli scan -dash.td4 --tables t"_s << 2 << QByteArray()
            << QByteArray("scan: unknown option \"-dash.td4\" (a file whose name starts with "
                          "\"-\" is named ./-dash.td4 or after --)");
        QTest::newRow("--to twice")
            << u"cli convert d/good.td4 x --to base --to expansion"_s << 2 << QByteArray()
            << QByteArray("convert: --to is given more than once");
        QTest::newRow("--game twice")
            << u"cli encode rec.bin x --game loopy --game original"_s << 2 << QByteArray()
            << QByteArray("encode: --game is given more than once");
        QTest::newRow("--force says what it dropped")
            << u"cli convert lossy.TD4 - --to base --decoded --force | wc -c"_s << 0
            << QByteArray("8058\n")
            << QByteArray("lossy.TD4: converted with --force, dropping what the base layout "
                          "cannot hold: track colour scheme 2 (different from scheme 0)");
        QTest::newRow("the largest decoded record, encoded")
            << u"cli decode runs.TD4 runs.bin && cli encode runs.bin x"_s << 1 << QByteArray()
            << QByteArray("runs.bin: the encoded file would be 66560 bytes, more than the "
                          "65000 a track-design file may have");
        QTest::newRow("a record past the largest")
            << u"head -c 4192501 /dev/zero > huge.bin; cli encode huge.bin x"_s << 1 << QByteArray()
            << QByteArray("huge.bin: the file is larger than the 4192500 bytes a decoded "
                          "record may have");
    }
    void scanRowsAndOutput()
    {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QVERIFY(QDir(m_dir->path()).mkdir(u"d"_s));
        writeFile(m_dir->path(), u"d/good.td4"_s, Bytes(encodedFile(BaseRecord())));
        writeFile(m_dir->path(), u"d/bad.td4"_s, "bad");
        writeFile(m_dir->path(), u"lossy.TD4"_s, Bytes(LossyExpansionRecord()));
        // Two-byte blocks of 128 bytes each: 4,159,744 bytes decoded.
        writeFile(m_dir->path(), u"runs.TD4"_s, QByteArray(65000 - 4, '\x81') + QByteArray(4, 0));
        const Run run = RunScript(m_dir->path(), script);
        QCOMPARE(run.err, "railwright-cli: " + err + '\n');
        QCOMPARE(run.out, out);
        QCOMPARE(run.exitCode, exitCode);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_cli_files.moc"
