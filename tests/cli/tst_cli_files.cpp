// The command-line tool run from a shell as users run it, on the files that once lost data:
// links with "..", standard output as a file, names that are not UTF-8, hard links,
// read-only files, a file-size limit, a scan whose output is lost, names that would break
// the scan's table; `render` by the same output rules.
#include "support/sample_files.h"
#include "support/track_records.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace railwright;
using namespace railwright::test;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

namespace {

// A base design of 8,058 bytes.
ByteBuffer BaseRecord()
{
    return sampleRecord(0x02, 8058);
}

} // namespace

class TestCliFiles : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
};

void TestCliFiles::runs_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("exitCode"); // the script's: its last command's
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // without the program's name; @: the folder
    const auto row = [](const char* name, const QString& script, int exitCode,
                        const QByteArray& out, const QByteArray& err = {}) {
        QTest::newRow(name) << script << exitCode << out << err;
    };
    const QByteArray abc = "\x02"
                           "abc\x1C\x57\xFF\xFF";
    // The issue's own steps: the file the link leads to is converted, not ./mine.TD4.
    row("link into a folder link, then ..",
        u"mkdir -p Tracks/saved && ln -s Tracks/saved link && cp base8058.TD4 Tracks/mine.TD4 && "
        u"ln -s ../mine.TD4 Tracks/saved/current.TD4 && cp base.TD4 mine.TD4 && cli convert "
        u"link/current.TD4 link/current.TD4 --to expansion && ls -a Tracks && cmp base.TD4 "
        u"mine.TD4 && cli decode Tracks/mine.TD4 - | wc -c"_s,
        0, ".\n..\nmine.TD4\nsaved\n8198\n");

    row("link to a new file, from the link's folder",
        u"mkdir e; ln -s ../d/made.TD4 e/new.TD4; cli encode rec.bin e/new.TD4; cat d/made.TD4"_s,
        0, abc);
    row("link into a missing folder",
        u"ln -s gone/x.TD4 dangling.TD4; cli encode rec.bin dangling.TD4"_s, 1, {},
        "Can't open file: dangling.TD4 (it is a link to gone/x.TD4, whose folder does not exist)");
    row("links in a loop", u"ln -s b.TD4 a.TD4; ln -s a.TD4 b.TD4; cli encode rec.bin a.TD4"_s, 1,
        {}, "Can't open file: a.TD4 (its links go round in a loop)");
    row("a file under a file", u"cli encode rec.bin out.TD4/x.TD4"_s, 1, {},
        "Can't open file: out.TD4/x.TD4 (a part of its path is not a folder)");

    row("/dev/stdout between the shell's lines",
        u"{ echo HEADER; cli decode base.TD4 /dev/stdout; echo FOOTER; } > c.bin; cat c.bin"_s, 0,
        "HEADER\nabcFOOTER\n");
    row("/dev/stdout appended to a log",
        u"echo log > c.bin; cli decode base.TD4 /dev/stdout >> c.bin; cat c.bin"_s, 0, "log\nabc");
    row("- into a pipe", u"cli decode base.TD4 - | cat"_s, 0, "abc");
    row("the file standard output goes to",
        u"echo log > c.bin; cli decode base.TD4 c.bin >> c.bin; cat c.bin"_s, 0, "log\n",
        "Can't open file: c.bin (is this program's standard output)");

    // Every command, given names whose bytes are not UTF-8, reads and writes those names.
    row("names that are not UTF-8",
        u"N=\"$(b 'Caf\\303\\251\\351')\"; mkdir s; cp -r t \"$N-t\"; cli encode rec.bin "
        u"\"$N.TD4\" && "
        u"cli verify \"$N.TD4\" && cli decode \"$N.TD4\" \"$N.bin\" && cli info \"$N.bin\" "
        u"--decoded --tables \"$N-t\" >/dev/null && cp base8058.TD4 \"s/$N.TD4\" && cli convert "
        u"\"s/$N.TD4\" \"s/$N.TD4\" --to expansion && cp source.txt \"$N.txt\" && cli codes pack "
        u"\"$N.txt\" \"$N.RCS\" && cli codes list \"$N.RCS\" && cli scan s --csv --tables \"$N-t\" "
        u"| cut "
        u"-d, -f1,5 && cli scan s --tables \"$N-t\" | cut -c 125- && ls; cli verify \"$N-gone.TD4\""_s,
        1,
        "original or corkscrew\n0A\tRide\npath,layout\ns/Caf\xC3\xA9\\xE9.TD4,expansion\n"
        "PATH\ns/"
        "Caf\xC3\xA9\\xE9.TD4\nCaf\xC3\xA9\xE9-t\nCaf\xC3\xA9\xE9.RCS\nCaf\xC3\xA9\xE9.TD4\n"
        "Caf\xC3\xA9\xE9.bin\nCaf\xC3\xA9\xE9.txt\nbase.TD4\nbase8058.TD4\nd\nlossy.TD4\n"
        "out.TD4\nrec.bin\nruns.TD4\ns\nsource.txt\nt\n",
        "Can't open file: Caf\xC3\xA9\\xE9-gone.TD4 (does not exist)");

    const QByteArray linked = "Can't open file: out.TD4 (has 1 other name (a hard link), which "
                              "would keep the old content); --force writes into the file all its "
                              "names share";
    row("hard link refused", u"ln out.TD4 o.TD4; cli encode rec.bin out.TD4; cat o.TD4"_s, 0, "old",
        linked);
    row("hard link, --force", u"ln out.TD4 o.TD4; cli encode rec.bin out.TD4 --force; cat o.TD4"_s,
        0, abc);
    row("read-only refused", u"chmod 444 out.TD4; cli encode rec.bin out.TD4; cat out.TD4"_s, 0,
        "old", "Can't open file: out.TD4 (is read-only); --force replaces it");
    row("read-only, --force",
        u"chmod 444 out.TD4; cli encode rec.bin out.TD4 --force; cat out.TD4"_s, 0, abc);
    row("file-size limit", u"(ulimit -f 0; cli encode rec.bin out.TD4); ls -A; cat out.TD4"_s, 0,
        "base.TD4\nbase8058.TD4\nd\nlossy.TD4\nout.TD4\nrec.bin\nruns.TD4\nsource.txt\nt\nold",
        "Can't save file: out.TD4 (File too large). The file on disk was left as it was.");
    row("owner and mode kept (root)",
        u"chown 65534:65534 out.TD4; chmod 640 out.TD4; cli encode rec.bin out.TD4; stat -c "
        u"'%u:%g %a' out.TD4"_s,
        0, "65534:65534 640\n");

    // render writes its pictures by the rules above; d/circuit.td4 draws without warnings.
    const QByteArray pictureLinked = "Can't open file: p.png (has 1 other name (a hard link), "
                                     "which would keep the old content); --force writes into "
                                     "the file all its names share";
    row("render through a link",
        u"mkdir pics; ln -s pics/real.png l.png; cli render d/circuit.td4 --out l.png && "
        u"test -L l.png && cmp l.png pics/real.png && echo same"_s,
        0, "same\n");
    row("render: read-only refused, --force keeps the mode",
        u"echo old > p.png; chmod 444 p.png; cli render d/circuit.td4 --out p.png; cat p.png; "
        u"cli render d/circuit.td4 --out p.png --force && stat -c %a p.png"_s,
        0, "old\n444\n", "Can't open file: p.png (is read-only); --force replaces it");
    row("render: hard link refused, --force writes into it",
        u"echo old > p.png; ln p.png q.png; cli render d/circuit.td4 --out p.png; cat q.png; "
        u"cli render d/circuit.td4 --out p.png --force && cmp p.png q.png && echo shared"_s,
        0, "old\nshared\n", pictureLinked);
    row("render: a new picture by the umask",
        u"umask 027; cli render d/circuit.td4 --out n.png && stat -c %a n.png"_s, 0, "640\n");
    row("render to standard output",
        u"cli render d/circuit.td4 --out x.png && cli render d/circuit.td4 --out - | cmp - x.png "
        u"&& test ! -e - && echo same"_s,
        0, "same\n");
    row("render: several to standard output",
        u"cli render d/circuit.td4 d/circuit.td4 --out /dev/stdout"_s, 2, {},
        "render: --out /dev/stdout writes one picture to standard output but there are 2 "
        "designs; name a folder");
    row("render: never over a design it draws",
        u"cp d/circuit.td4 d/circuit.png; cli render d/circuit.png --out d; cmp d/circuit.td4 "
        u"d/circuit.png && echo kept"_s,
        0, "kept\n",
        "Can't open file: d/circuit.png (is one of the designs to draw; name another --out)");
    row("render: a name of 255 bytes",
        u"N=$(head -c 251 /dev/zero | tr '\\0' x); cli render d/circuit.td4 --out $N.png && "
        u"ls | grep -c xxx"_s,
        0, "1\n");
    row("render: file-size limit",
        u"(ulimit -f 0; cli render d/circuit.td4 --out f.png); ls -A | grep -c f.png"_s, 1, "0\n",
        "Can't save file: f.png (File too large). No file was created.");
    row("render: a full disk (own mount)",
        u"mkdir full; unshare -rm sh -c 'mount -t tmpfs -o size=16k tmpfs full && \"$RW_CLI\" "
        u"render d/circuit.td4 --out full/c.png; ls -A full'"_s,
        0, {}, "Can't save file: full/c.png (No space left on device). No file was created.");
    row("render: names that are not UTF-8",
        u"F=\"$(b 'f\\351')\"; mkdir \"$F\"; cp d/circuit.td4 \"$F/$(b 'caf\\351.td4')\"; "
        u"cp d/circuit.td4 \"$F/$(b 'caf\\303\\251.TD4')\"; echo bad > \"$F/$(b 'x\\351.td4')\"; "
        u"cli render \"$F/$(b 'caf\\351.td4')\" --out \"$(b 'p\\351.png')\" && ls p*.png; "
        u"cli render \"$F\" --out \"$F/$(b 'o\\351')\"; LC_ALL=C ls \"$F/$(b 'o\\351')\""_s,
        0, "p\xE9.png\ncaf\xC3\xA9.png\ncaf\xE9.png\n",
        "f\\xE9/x\\xE9.td4: it decodes to only 0 bytes, too few for a track design\n"
        "railwright-cli: 1 of 3 designs were not drawn");
    row("render: every file of a folder not drawn is named",
        u"mkdir f; cp d/circuit.td4 f; mkfifo f/pipe.td4; ln -s gone.td4 f/link.td4; "
        u"cli render f --out o; ls o"_s,
        0, "circuit.png\n",
        "Can't open file: f/link.td4 (is a link to gone.td4, which does not "
        "exist)\nrailwright-cli: Can't open file: f/pipe.td4 (is a named pipe, not a file)\n"
        "railwright-cli: 2 of 3 designs were not drawn");
    row("render: an empty folder", u"mkdir f; cli render f --out o"_s, 1, {},
        "0 designs found: there are no files ending in .td4 in f");

    row("scan output lost with a bad file",
        u"cli scan d/bad.td4 d/good.td4 --tables t --csv > /dev/full"_s, 2, {},
        "1 of 2 files are not valid track designs; can't write to standard output (No space "
        "left on device)");
    row("scan: one row per file",
        u"cp d/good.td4 \"d/$(b 'new\\nline.td4')\"; cp d/good.td4 "
        u"\"d/$(b 'esc\\033[2J\\007.td4')\"; ln -s /dev/zero d/zero.td4; "
        u"cli scan d/new* d/esc* d/zero.td4 --tables t | cut -c 125-"_s,
        0,
        "PATH\nd/new\xE2\x90\x8Aline.td4\nd/esc\xE2\x90\x9B[2J\xE2\x90\x87.td4\n"
        "d/zero.td4: is a character device, not a file\n",
        "1 of 3 files are not valid track designs");
    row("a name starting with -", u"cli scan -dash.td4 --tables t"_s, 2, {},
        "scan: unknown option \"-dash.td4\" (a file whose name starts with \"-\" is named "
        "./-dash.td4 or after --)");
    row("--to twice", u"cli convert d/good.td4 x --to base --to expansion"_s, 2, {},
        "convert: --to is given more than once");
    row("--game twice", u"cli encode rec.bin x --game loopy --game original"_s, 2, {},
        "encode: --game is given more than once");
    row("--force says what it dropped",
        u"cli convert lossy.TD4 - --to base --decoded --force | wc -c"_s, 0, "8058\n",
        "lossy.TD4: converted with --force, dropping what the base layout cannot hold: track "
        "colour scheme 2 (different from scheme 0)");
    row("the largest decoded record, encoded",
        u"cli decode runs.TD4 runs.bin && cli encode runs.bin x"_s, 1, {},
        "runs.bin: the encoded file would be 66560 bytes, more than the 65000 a track-design "
        "file may have");
    row("a record past the largest",
        u"head -c 4192501 /dev/zero > huge.bin; cli encode huge.bin x"_s, 1, {},
        "huge.bin: the file is larger than the 4192500 bytes a decoded record may have");
    // Permissions do not stop root: these two need another user.
    row("a folder that cannot be listed",
        u"mkdir d/locked; chmod 0 d/locked; cli scan d/locked d/good.td4 --tables t >/dev/null; "
        u"chmod 700 d/locked"_s,
        0, {}, "1 folder could not be listed");
    row("a folder that cannot take a new file",
        u"mkdir ro; cp out.TD4 ro; chmod 500 ro; cli encode rec.bin ro/out.TD4; chmod 700 ro"_s, 0,
        {},
        "Can't open file: ro/out.TD4 (can't make a new file in its folder @/ro: Permission "
        "denied)");
}

void TestCliFiles::runs()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const QByteArrayView name(QTest::currentDataTag());
    if (name.startsWith("a folder that") && ::geteuid() == 0) {
        QSKIP("permissions do not stop root");
    }
    if (name.endsWith("(root)") && ::geteuid() != 0) {
        QSKIP("giving a file to another user needs root");
    }
    if (name.endsWith("(own mount)") &&
        QProcess::execute(u"unshare"_s, {u"-rm"_s, u"true"_s}) != 0) {
        QSKIP("a small file system of its own needs unshare and user namespaces");
    }
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    writeFile(root, u"rec.bin"_s, "abc");
    writeFile(root, u"base.TD4"_s, asBytes(encodedFile({'a', 'b', 'c'})));
    writeFile(root, u"base8058.TD4"_s, asBytes(encodedFile(BaseRecord())));
    writeFile(root, u"out.TD4"_s, "old");
    writeFile(root, u"source.txt"_s, "0A\tRide\n");
    // An expansion record whose track colour scheme 2 differs from scheme 0.
    ByteBuffer lossy = BaseRecord();
    lossy.insert(lossy.begin() + 56, 140, 0);
    lossy[58] = 0x07;
    writeFile(root, u"lossy.TD4"_s, asBytes(lossy));
    // Two-byte blocks of 128 bytes each: 4,159,744 bytes decoded.
    writeFile(root, u"runs.TD4"_s, QByteArray(65000 - 4, '\x81') + QByteArray(4, 0));
    QVERIFY(QDir(root).mkpath(u"t"_s) && QDir(root).mkpath(u"d"_s));
    for (const QString& table : {u"RCCODES.RCS"_s, u"OMCODES.RCS"_s, u"VTCODES.RCS"_s}) {
        writeFile(root, u"t/"_s + table, {});
    }
    writeFile(root, u"d/good.td4"_s, asBytes(encodedFile(BaseRecord())));
    writeFile(root, u"d/bad.td4"_s, "bad");
    writeFile(root, u"d/circuit.td4"_s,
              asBytes(encodedFile(trackRecord(8198, 0x13, 0x04, TestCircuit))));

    // `cli` is the built program; `b 'Caf\351'` gives a name's bytes from printf's escapes.
    QProcess process;
    process.setWorkingDirectory(root);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    environment.insert(u"RW_CLI"_s, QString::fromUtf8(RAILWRIGHT_BIN_DIR "/railwright-cli"));
    process.setProcessEnvironment(environment);
    process.start(u"/bin/sh"_s,
                  {u"-c"_s, u"cli() { \"$RW_CLI\" \"$@\"; }; b() { printf \"$1\"; }; "_s + script});
    QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
    const QByteArray errors = process.readAllStandardError();
    const QByteArray output = process.readAllStandardOutput();
    // QTemporaryDir reads names that are not UTF-8 as U+FFFD and so cannot remove them.
    QProcess::execute(u"rm"_s, {u"-rf"_s, u"--"_s, root});
    QCOMPARE(errors, err.isEmpty()
                         ? err
                         : "railwright-cli: " + err.replace('@', QFile::encodeName(root)) + '\n');
    QCOMPARE(output, out);
    QCOMPARE(process.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_cli_files.moc"
