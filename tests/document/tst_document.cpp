// The document's bytes, their text accessors and the file they are read from and saved to:
// names that are not UTF-8, what a replaced file keeps, a save stopped by a signal (links,
// hard links, read-only files and standard output: see tests/cli/tst_cli_files).
#include "document/document_file.h"
#include "document/track_design_document.h"
#include "document/value_accessors.h"
#include "support/file_size_limit.h"
#include "support/sample_files.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;
using Index = TrackDesignDocument::Index;

namespace {

ByteBuffer pattern(std::size_t size)
{
    ByteBuffer bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = std::uint8_t(i * 7);
    }
    return bytes;
}

// A folder in which no file can be made or renamed: without write permission for a
// user, immutable for root (whom permissions do not stop).
bool setReadOnly(const QString& folder, bool readOnly)
{
    if (geteuid() != 0) {
        return QFile::setPermissions(folder,
                                     QFile::ReadOwner | QFile::ExeOwner |
                                         (readOnly ? QFile::Permissions() : QFile::WriteOwner));
    }
    return QProcess::execute(u"chattr"_s, {readOnly ? u"+i"_s : u"-i"_s, folder}) == 0;
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void loadFile_data()
    {
        QTest::addColumn<QString>("name"); // written with `size` bytes when size >= 0
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("error"); // %1: the path; empty when the file opens
        const QString tooLarge = u"The file is too large to open."_s;
        QTest::newRow("65,000 bytes") << u"a.TD4"_s << 65000 << QString();
        QTest::newRow("65,001 bytes") << u"a.TD4"_s << 65001 << tooLarge;
        QTest::newRow("empty") << u"a.TD4"_s << 0
                               << u"The file %1 is empty; there is nothing to open."_s;
        QTest::newRow("missing") << u"a.TD4"_s << -1 << u"Can't open file: %1 (does not exist)"_s;
    }
    void loadFile()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const ByteBuffer bytes = pattern(std::size_t(qMax(size, 0)));
        const QString path = size >= 0 ? writeFile(dir.path(), name, asBytes(bytes))
                                       : QDir(dir.path()).filePath(name);
        const LoadResult result = LoadFile(path);
        QCOMPARE(result.errorText, error.contains(u'%') ? error.arg(path) : error);
        QCOMPARE(asBytes(result.bytes), error.isEmpty() ? asBytes(bytes) : QByteArray());
    }

    // A failed save is reported with the path, and the file on disk stays whole with no
    // temporary file left beside it.
    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("full disk") << u"full"_s;
        QTest::newRow("read-only folder") << u"read-only"_s;
        QTest::newRow("folder vanished") << u"vanished"_s;
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(u"rides"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeFile(folder, u"a.TD4"_s, "the old design");
        QVERIFY(SaveFile(path, pattern(3)).ok()); // a shorter file leaves nothing behind
        QCOMPARE(readFile(path), asBytes(pattern(3)));
        SaveResult result;
        if (fault == u"full") {
            const FileSizeLimit limit(100);
            QVERIFY(limit.active());
            result = SaveFile(path, pattern(65000));
        } else if (fault == u"read-only") {
            if (!setReadOnly(folder, true)) {
                QSKIP("cannot make a folder read-only here");
            }
            result = SaveFile(path, pattern(10));
            QVERIFY(setReadOnly(folder, false));
        } else {
            QVERIFY(QDir(folder).removeRecursively());
            result = SaveFile(path, pattern(10));
        }
        QVERIFY2(result.errorText.contains(path), qPrintable(result.errorText));
        QCOMPARE(readFile(path),
                 fault == u"vanished" ? QByteArray("<missing>") : asBytes(pattern(3)));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 fault == u"vanished" ? QStringList() : QStringList{u"a.TD4"_s});
    }
    // Names keep their bytes from the system to the system, and are shown readably.
    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("Caf\xC3\xA9.TD4") << u"Caf\u00E9.TD4"_s;
        QTest::newRow("Latin-1 after UTF-8")
            << QByteArray("Caf\xC3\xA9\xE9.TD4") << u"Caf\u00E9\\xE9.TD4"_s;
        QTest::newRow("a surrogate's bytes")
            << QByteArray("a\xED\xA0\x80") << u"a\\xED\\xA0\\x80"_s;
        QTest::newRow("overlong slash") << QByteArray("b\xC0\xAF") << u"b\\xC0\\xAF"_s;
        QTest::newRow("four bytes, then a cut one")
            << QByteArray("\xF0\x9F\x8E\xA2\xF0\x9F") << u"\U0001F3A2\\xF0\\x9F"_s;
    }
    void namesKeepTheirBytes()
    {
        QTemporaryDir dir;
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString path = dir.path() + u'/' + PathFromNative(bytes);
        QCOMPARE(NativePath(path), QFile::encodeName(dir.path()) + '/' + bytes);
        QCOMPARE(DisplayFileName(path), shown);
        QVERIFY(SaveFile(path, pattern(7)).ok());
        QCOMPARE(::access((QFile::encodeName(dir.path()) + '/' + bytes).constData(), F_OK), 0);
        QCOMPARE(asBytes(LoadFile(path).bytes), asBytes(pattern(7)));
        // As a file dialog decodes the name: U+FFFD where the bytes are not UTF-8.
        QCOMPARE(RecoverDecodedPath(QFile::decodeName(NativePath(path))), path);
        QCOMPARE(LoadFile(path + u"x"_s).errorText,
                 u"Can't open file: %1/%2x (does not exist)"_s.arg(dir.path(), shown));
    }

    // Owner and group are checked by the command-line tests when they run as root.
    void replacementKeepsModeAndAttributes()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir.path(), u"a.TD4"_s, "old");
        const QByteArray name = NativePath(path);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        if (::setxattr(name.constData(), "user.note", "kept", 4, 0) != 0) {
            QSKIP("this file system has no user attributes");
        }
        QVERIFY(SaveFile(path, pattern(7)).ok());
        struct stat status
        {
        };
        QCOMPARE(::stat(name.constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, 0640u);
        QCOMPARE(readFile(path), asBytes(pattern(7)));
        char value[8] = {};
        QCOMPARE(::getxattr(name.constData(), "user.note", value, sizeof(value)), 4);
        QCOMPARE(QByteArray(value), "kept");
    }

    // SIGTERM while the new bytes are being written: the process ends as the signal says,
    // and neither the temporary file nor any change is left.
    void stopSignalRemovesTemporary()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir.path(), u"a.TD4"_s, "old");
        const QByteArray folder = NativePath(dir.path());
        const ByteBuffer large(std::size_t(128) << 20, 0x5A);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGTERM, SIG_DFL); // as in a program, not under the test's handlers
            // Stopped as soon as the temporary file appears, well before 128 MB are written.
            const int watch = ::inotify_init();
            if (watch < 0 || ::inotify_add_watch(watch, folder.constData(), IN_CREATE) < 0) {
                ::_exit(3);
            }
            std::thread stopper([watch] {
                char event[4096];
                if (::read(watch, event, sizeof(event)) > 0) {
                    ::kill(::getpid(), SIGTERM);
                }
            });
            stopper.detach();
            (void)SaveFile(path, large);
            ::_exit(4);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM,
                 qPrintable(QString::number(status)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.TD4"_s});
        QCOMPARE(readFile(path), "old");
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
