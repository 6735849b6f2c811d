// The command-line tool on files that are not what they seem and on output that cannot
// be written: each run ends, says why in one line and exits 1, and nothing is replaced.
#include "support/sample_files.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

const QString Program = QString::fromUtf8(RAILWRIGHT_BIN_DIR "/railwright-cli");

enum class Output
{
    Captured,
    Closed,      // standard output closed before the program starts
    SizeLimited, // standard output is a file; no file may grow past 0 bytes
};

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run RunCli(const QStringList& arguments, Output output, const QString& outFile)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    process.setProcessEnvironment(environment);
    if (output == Output::SizeLimited) {
        process.setStandardOutputFile(outFile);
    }
    process.setChildProcessModifier([output] {
        if (output == Output::Closed) {
            ::close(STDOUT_FILENO);
        } else if (output == Output::SizeLimited) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 0;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    process.start(Program, arguments);
    // A run that blocks is a failure, not a hung test.
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray Entry(const QByteArray& code, const QByteArray& name)
{
    return code + name.leftJustified(128);
}

QString SystemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

const QString LongName(255, u'n');

} // namespace

Q_DECLARE_METATYPE(Output)

class TestCliIoErrors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo::exists(Program), qPrintable(Program)); }
    void init();
    void runs_data();
    void runs();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList listing() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_haveDevice = false;
};

void TestCliIoErrors::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(makeSpecialFile(SpecialKind::NamedPipe, path(u"pipe"_s)));
    QVERIFY(makeSpecialFile(SpecialKind::Socket, path(u"socket"_s)));
    m_haveDevice = makeSpecialFile(SpecialKind::Device, path(u"device"_s));
    QVERIFY(QFile::link(u"/proc/self/mem"_s, path(u"mem"_s)));
    writeFile(m_dir->path(), u"ride.bin"_s, "abc");
    writeFile(m_dir->path(), u"one.bin"_s, "\x0A");
    writeFile(m_dir->path(), u"abc.TD4"_s,
              "\x02"
              "abc\x1C\x57\xFF\xFF");
    writeFile(m_dir->path(), LongName, "old");
    // Good tables, and three folders where one table is a pipe, unreadable or a folder.
    for (const QString& folder :
         {u"tables"_s, u"pipe-tables"_s, u"mem-tables"_s, u"folder-tables"_s}) {
        QVERIFY(QDir(m_dir->path()).mkdir(folder));
        writeFile(m_dir->path(), folder + u"/RCCODES.RCS"_s, Entry("0A", "Ride"));
        if (folder != u"pipe-tables"_s) {
            writeFile(m_dir->path(), folder + u"/OMCODES.RCS"_s, QByteArray());
        }
    }
    writeFile(m_dir->path(), u"tables/VTCODES.RCS"_s, Entry("01", "Evil\x1B[2J\x07"));
    writeFile(m_dir->path(), u"pipe-tables/VTCODES.RCS"_s, QByteArray());
    QVERIFY(makeSpecialFile(SpecialKind::NamedPipe, path(u"pipe-tables/OMCODES.RCS"_s)));
    QVERIFY(QFile::link(u"/proc/self/mem"_s, path(u"mem-tables/VTCODES.RCS"_s)));
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder-tables/VTCODES.RCS"_s));
}

void TestCliIoErrors::runs_data()
{
    QTest::addColumn<QStringList>("arguments"); // @ stands for the test's folder
    QTest::addColumn<Output>("output");
    QTest::addColumn<QString>("err"); // the whole standard error, without the program's name
    QTest::addColumn<QByteArray>("outPart");
    const auto row = [](const char* name, const char* arguments, const QString& err,
                        Output output = Output::Captured, const QByteArray& outPart = {}) {
        QTest::newRow(name) << QString::fromUtf8(arguments).split(u' ') << output << err << outPart;
    };
    const QString pipe = u"Can't open file: @/%1 (is a named pipe, not a file)"_s;
    const QString unreadable = u"Can't read file: @/%1 ("_s + SystemText(EIO) + u')';
    const QString cantWrite = u"can't write to standard output (%1)"_s;
    const char* info = "info @/one.bin --decoded --tables @/tables";

    row("1 verify, a named pipe", "verify @/pipe", pipe.arg(u"pipe"_s));
    row("1 codes list, a named pipe", "codes list @/pipe", pipe.arg(u"pipe"_s));
    row("1 info, a table that is a named pipe", "info @/one.bin --decoded --tables @/pipe-tables",
        pipe.arg(u"pipe-tables/OMCODES.RCS"_s));
    row("2 encode over a named pipe", "encode @/ride.bin @/pipe", pipe.arg(u"pipe"_s));
    row("2 encode over a socket", "encode @/ride.bin @/socket",
        u"Can't open file: @/socket (is a socket, not a file)"_s);
    row("2 decode over a device", "decode @/abc.TD4 @/device",
        u"Can't open file: @/device (is a device, not a file)"_s);
    row("3 codes list, a read error", "codes list @/mem", unreadable.arg(u"mem"_s));
    row("3 codes pack, a read error", "codes pack @/mem @/OUT.RCS", unreadable.arg(u"mem"_s));
    row("3 info, a table with a read error", "info @/one.bin --decoded --tables @/mem-tables",
        unreadable.arg(u"mem-tables/VTCODES.RCS"_s));
    row("4 encode over a name of 255 bytes", "encode @/ride.bin @/LONG", {});
    row("5 info, output past the size limit", info, cantWrite.arg(SystemText(EFBIG)),
        Output::SizeLimited);
    row("5 verify, standard output closed", "verify @/abc.TD4", cantWrite.arg(SystemText(EBADF)),
        Output::Closed);
    row("5 codes list, standard output closed", "codes list @/tables/RCCODES.RCS",
        cantWrite.arg(SystemText(EBADF)), Output::Closed);
    row("6 info on a one-byte record", info, {}, Output::Captured,
        "Ride Type: Ride\nVechicle Type: -\nOperating Mode: -\nColor Scheme: -\n");
    row("7 encode into a missing folder", "encode @/ride.bin @/none/x.TD4",
        u"Can't open file: @/none/x.TD4 (its folder does not exist)"_s);
    row("7 info, a table that is a folder", "info @/one.bin --decoded --tables @/folder-tables",
        u"Can't open file: @/folder-tables/VTCODES.RCS (is a folder)"_s);
    row("7 a new file that cannot be written", "encode @/ride.bin @/new.TD4",
        u"Can't save file: @/new.TD4 ("_s + SystemText(EFBIG) + u"). No file was created."_s,
        Output::SizeLimited);
    row("7 control characters in a table's names", "codes list @/tables/VTCODES.RCS", {},
        Output::Captured, "01\tEvil\xE2\x90\x9B[2J\xE2\x90\x87\n");
    row("7 control characters in a file name", "verify @/bad\x1B]0;name",
        u"Can't open file: @/bad\u241B]0;name (does not exist)"_s);
}

void TestCliIoErrors::runs()
{
    QFETCH(QStringList, arguments);
    QFETCH(Output, output);
    QFETCH(QString, err);
    QFETCH(QByteArray, outPart);
    if (!m_haveDevice && arguments.contains(u"@/device"_s)) {
        QSKIP("this system does not let the test make a device node");
    }
    const QStringList before = listing();
    const QString outFile = m_dir->path() + u".out"_s; // beside the folder, not in it
    arguments.replaceInStrings(u"@/LONG"_s, path(LongName));
    arguments.replaceInStrings(u"@"_s, m_dir->path());

    const Run run = RunCli(arguments, output, outFile);
    QFile::remove(outFile);
    QCOMPARE(run.exitCode, err.isEmpty() ? 0 : 1);
    QCOMPARE(QString::fromUtf8(run.err),
             err.isEmpty() ? err
                           : u"railwright-cli: "_s + err.replace(u'@', m_dir->path()) + u'\n');
    QVERIFY2(err.isEmpty() ? run.out.contains(outPart) : run.out.isEmpty(), run.out.constData());
    // Nothing was added or taken away; the special files are what they were.
    QCOMPARE(listing(), before);
    QCOMPARE(fileType(path(u"pipe"_s)), S_IFIFO);
    QCOMPARE(fileType(path(u"socket"_s)), S_IFSOCK);
    QCOMPARE(readFile(path(LongName)), arguments.contains(path(LongName))
                                           ? QByteArray("\x02"
                                                        "abc\x1C\x57\xFF\xFF")
                                           : QByteArray("old"));
}

QTEST_GUILESS_MAIN(TestCliIoErrors)
#include "tst_cli_io_errors.moc"
