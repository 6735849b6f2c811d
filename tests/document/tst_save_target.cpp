// Which file a save replaces and what the replacement keeps: links resolved as the system
// resolves them, names that are not UTF-8, owner, permissions and attributes, hard links,
// read-only files, the program's own standard output, a save stopped by a signal.
#include "document/document_file.h"
#include "support/sample_files.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

// Every name in `folder`, whatever its bytes (QDir leaves out names that are not UTF-8).
long entryCount(const QString& folder)
{
    const std::filesystem::directory_iterator names(QFile::encodeName(folder).toStdString());
    return long(std::distance(begin(names), end(names)));
}

const ByteBuffer NewBytes = {0x01, 0x61, 0x62, 0x1C, 0x57, 0xFF, 0xFF};

struct stat statusOf(const QString& path)
{
    struct stat status
    {
    };
    ::lstat(NativePath(path).constData(), &status);
    return status;
}

} // namespace

Q_DECLARE_METATYPE(railwright::SaveOptions::HardLinks)

class TestSaveTarget : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // The save lands where opening the same path would read.
    void linksResolvedAsTheSystemDoes_data()
    {
        QTest::addColumn<QString>("saved");   // relative to the test's folder
        QTest::addColumn<QString>("written"); // the file that must hold the new bytes
        QTest::addColumn<QString>("error");   // @: the test's folder
        QTest::newRow("link into a folder link, then ..")
            << u"link/current.TD4"_s << u"Tracks/mine.TD4"_s << QString();
        QTest::newRow("link to a new file") << u"fresh.TD4"_s << u"Tracks/made.TD4"_s << QString();
        QTest::newRow("link into a missing folder")
            << u"dangling.TD4"_s << QString()
            << u"Can't open file: @/dangling.TD4 (it is a link to @/gone/x.TD4, whose folder "
               u"does not exist)"_s;
        QTest::newRow("links in a loop")
            << u"loop1.TD4"_s << QString()
            << u"Can't open file: @/loop1.TD4 (its links go round in a loop)"_s;
        QTest::newRow("a file under a file")
            << u"mine.TD4/x.TD4"_s << QString()
            << u"Can't open file: @/mine.TD4/x.TD4 (a part of its path is not a folder)"_s;
    }
    void linksResolvedAsTheSystemDoes()
    {
        QFETCH(QString, saved);
        QFETCH(QString, written);
        QFETCH(QString, error);
        const QString root = m_dir->path();
        QVERIFY(QDir(root).mkpath(u"Tracks/saved"_s));
        writeFile(root, u"Tracks/mine.TD4"_s, "base design");
        writeFile(root, u"mine.TD4"_s, "another design");
        const std::pair<const char*, const char*> links[] = {
            {"link", "Tracks/saved"},         {"Tracks/saved/current.TD4", "../mine.TD4"},
            {"fresh.TD4", "Tracks/made.TD4"}, {"dangling.TD4", "gone/x.TD4"},
            {"loop1.TD4", "loop2.TD4"},       {"loop2.TD4", "loop1.TD4"}};
        for (const auto& [name, target] : links) {
            QCOMPARE(::symlink(target, QFile::encodeName(root + u'/' + QLatin1StringView(name))),
                     0);
        }

        const SaveResult result = SaveFile(root + u'/' + saved, NewBytes);
        QCOMPARE(result.errorText, QString(error).replace(u'@', root));
        QCOMPARE(readFile(root + u"/mine.TD4"_s), "another design");
        if (!written.isEmpty()) {
            QCOMPARE(readFile(root + u'/' + written), asBytes(NewBytes));
            QVERIFY(S_ISLNK(statusOf(root + u'/' + saved).st_mode));
        }
        QCOMPARE(readFile(root + u"/Tracks/mine.TD4"_s),
                 written == u"Tracks/mine.TD4"_s ? asBytes(NewBytes) : "base design");
        // No temporary file is left anywhere.
        QDirIterator files(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            QVERIFY2(!file.contains(u".TD4."_s), qPrintable(file));
        }
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
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString path = m_dir->path() + u'/' + PathFromNative(bytes);
        QCOMPARE(NativePath(path), QFile::encodeName(m_dir->path()) + '/' + bytes);
        QCOMPARE(DisplayFileName(path), shown);
        QVERIFY(SaveFile(path, NewBytes).ok());
        QCOMPARE(entryCount(m_dir->path()), 1);
        QCOMPARE(asBytes(LoadFile(path).bytes), asBytes(NewBytes));
        // As a file dialog decodes the name: U+FFFD where the bytes are not UTF-8.
        QCOMPARE(RecoverDecodedPath(QFile::decodeName(NativePath(path))), path);
        QCOMPARE(LoadFile(path + u"x"_s).errorText,
                 u"Can't open file: %1/%2x (does not exist)"_s.arg(m_dir->path(), shown));
    }

    void replacementKeepsOwnerModeAndAttributes()
    {
        const QString path = writeFile(m_dir->path(), u"a.TD4"_s, "old");
        const QByteArray name = NativePath(path);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        const bool root = ::geteuid() == 0;
        if (root) {
            QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
        }
        const bool attributes = ::setxattr(name.constData(), "user.note", "kept", 4, 0) == 0;
        QVERIFY(SaveFile(path, NewBytes).ok());
        const struct stat status = statusOf(path);
        QCOMPARE(status.st_mode & 07777, 0640u);
        QCOMPARE(readFile(path), asBytes(NewBytes));
        if (attributes) {
            char value[8] = {};
            QCOMPARE(::getxattr(name.constData(), "user.note", value, sizeof(value)), 4);
            QCOMPARE(QByteArray(value), "kept");
        }
        if (!root) {
            QSKIP("giving a file to another user needs root");
        }
        QCOMPARE(status.st_uid, 65534u);
        QCOMPARE(status.st_gid, 65534u);
    }

    void hardLinks_data()
    {
        QTest::addColumn<SaveOptions::HardLinks>("choice");
        QTest::addColumn<QByteArray>("others"); // what the other names hold afterwards
        QTest::newRow("refused") << SaveOptions::HardLinks::Refuse << QByteArray("old");
        QTest::newRow("into the file")
            << SaveOptions::HardLinks::WriteIntoFile << asBytes(NewBytes);
        QTest::newRow("separate") << SaveOptions::HardLinks::Separate << QByteArray("old");
    }
    void hardLinks()
    {
        QFETCH(SaveOptions::HardLinks, choice);
        QFETCH(QByteArray, others);
        const QString path = writeFile(m_dir->path(), u"a.TD4"_s, "old");
        for (const QString& other : {u"b.TD4"_s, u"c.TD4"_s}) {
            QVERIFY(::link(NativePath(path), NativePath(m_dir->filePath(other))) == 0);
        }
        SaveOptions options;
        options.hardLinks = choice;
        const SaveResult result = SaveFile(path, NewBytes, options);
        const bool refused = choice == SaveOptions::HardLinks::Refuse;
        QCOMPARE(result.refusal,
                 refused ? SaveResult::Refusal::HardLinked : SaveResult::Refusal::None);
        QCOMPARE(result.errorText,
                 refused ? u"Can't open file: %1 (has 2 other names (hard links), which would "
                           u"keep the old content)"_s.arg(path)
                         : QString());
        QCOMPARE(readFile(path), refused ? QByteArray("old") : asBytes(NewBytes));
        QCOMPARE(readFile(m_dir->filePath(u"b.TD4"_s)), others);
        QCOMPARE(readFile(m_dir->filePath(u"c.TD4"_s)), others);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    // Read-only stays read-only, for root too, unless the caller says otherwise.
    void readOnlyFile()
    {
        const QString path = writeFile(m_dir->path(), u"a.TD4"_s, "old");
        QCOMPARE(::chmod(NativePath(path).constData(), 0444), 0);
        const SaveResult refused = SaveFile(path, NewBytes);
        QCOMPARE(refused.errorText, u"Can't open file: %1 (is read-only)"_s.arg(path));
        QCOMPARE(refused.refusal, SaveResult::Refusal::ReadOnly);
        QCOMPARE(readFile(path), "old");
        SaveOptions options;
        options.replaceReadOnly = true;
        QVERIFY(SaveFile(path, NewBytes, options).ok());
        QCOMPARE(readFile(path), asBytes(NewBytes));
        QCOMPARE(statusOf(path).st_mode & 0777, 0444u);
    }

    // A save while standard output goes to the file never renames over it.
    void ownStandardOutput()
    {
        const QString path = writeFile(m_dir->path(), u"out.log"_s, "HEADER\n");
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        const int fd = ::open(NativePath(path).constData(), O_WRONLY | O_APPEND);
        QVERIFY(saved >= 0 && fd >= 0 && ::dup2(fd, STDOUT_FILENO) == STDOUT_FILENO);
        const SaveResult direct = SaveFile(path, NewBytes);
        const SaveResult named = SaveFile(u"/dev/stdout"_s, NewBytes);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        ::close(fd);
        QCOMPARE(direct.errorText,
                 u"Can't open file: %1 (is this program's standard output)"_s.arg(path));
        QCOMPARE(named.errorText,
                 u"Can't open file: /dev/stdout (is this program's standard output)"_s);
        QCOMPARE(readFile(path), "HEADER\n");
    }

    // SIGTERM while the new bytes are being written: the process ends as the signal says,
    // and neither the temporary file nor any change is left.
    void stopSignalRemovesTemporary()
    {
        const QString path = writeFile(m_dir->path(), u"a.TD4"_s, "old");
        const QByteArray folder = NativePath(m_dir->path());
        const ByteBuffer large(std::size_t(64) << 20, 0x5A);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGTERM, SIG_DFL); // as in a program, not under the test's handlers
            // Stopped as soon as the temporary file appears, well before 64 MB are written.
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
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"a.TD4"_s});
        QCOMPARE(readFile(path), "old");
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestSaveTarget)
#include "tst_save_target.moc"
