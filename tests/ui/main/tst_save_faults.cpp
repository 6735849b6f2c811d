// Saves that the file system refuses, given through the window's own "&Save" and
// "Save &As..." commands: each must tell the user, keep the document's changed mark
// and leave the file already on disk whole.
//
// A full disk and a read-only folder are real when the tests may mount a small tmpfs
// (as root, which is how CI runs them); otherwise a file size limit stands in for the
// full disk, and a folder without write permission (or an immutable one, for root)
// for the read-only one.

#include "support/file_size_limit.h"
#include "support/scripted_prompts.h"
#include "ui/grid/grid_editor.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace railwright;
using railwright::test::ScriptedPrompts;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A tmpfs of a few pages mounted on a folder for the lifetime of the object.
class SmallDisk
{
public:
    explicit SmallDisk(const QString& folder) : m_folder(folder.toLocal8Bit())
    {
        m_mounted =
            geteuid() == 0 && ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted) {
            ::umount2(m_folder.constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] bool makeReadOnly()
    {
        return ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                       "size=64k") == 0;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

using railwright::test::FileSizeLimit;

int runQuietly(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process.exitCode();
}

// A folder no file can be added to or renamed in, for the lifetime of the object:
// without write permission for an ordinary user, `chattr +i` for root (whom
// permissions do not stop).
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        if (geteuid() == 0) {
            m_immutable = runQuietly(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0;
            m_active = m_immutable;
        } else {
            m_active = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable) {
            runQuietly(QStringLiteral("chattr"), {QStringLiteral("-i"), m_folder});
        } else if (m_active) {
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    [[nodiscard]] bool active() const { return m_active; }

private:
    QString m_folder;
    bool m_immutable = false;
    bool m_active = false;
};

enum class Fault
{
    FullDisk,
    ReadOnlyFolder,
    PathIsNowAFolder,
    FolderVanished,
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void deletedFileIsCreatedAgain();
    void fullDiskSavesOnceThereIsRoom();
    void exitWithFailedSaveStaysOpen();

private:
    void trigger(const char* name);
    // Opens `path` and changes its first byte through the edit box.
    void openAndChange(const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
    QString m_place; // the folder the document lives in
};

void TestSaveFaults::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSaveFaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("place")));
    m_place = m_dir->filePath(QStringLiteral("place"));
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_window =
        std::make_unique<MainWindow>(*m_prompts, nullptr, QStringLiteral(RAILWRIGHT_BIN_DIR));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestSaveFaults::cleanup()
{
    m_window->document().setChanged(false);
    m_window.reset();
    m_prompts.reset();
    m_dir.reset();
}

void TestSaveFaults::trigger(const char* name)
{
    QAction* item = m_window->action(name);
    QVERIFY2(item != nullptr, name);
    item->trigger();
}

void TestSaveFaults::openAndChange(const QString& path)
{
    m_prompts->openPaths.enqueue(path);
    trigger("SM_Open");
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(m_window->currentPath(), path);
    QLineEdit* box = m_window->gridEditor()->dataString();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("41"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(m_window->document().valueAt(0), std::uint8_t(0x41));
    QVERIFY(m_window->document().changed());
}

void TestSaveFaults::failedSaveKeepsEverything_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("saveAs"); // "Save &As..." onto a new name in the same place
    QTest::newRow("full disk, Save") << Fault::FullDisk << false;
    QTest::newRow("full disk, Save As") << Fault::FullDisk << true;
    QTest::newRow("read-only folder, Save") << Fault::ReadOnlyFolder << false;
    QTest::newRow("read-only folder, Save As") << Fault::ReadOnlyFolder << true;
    QTest::newRow("file replaced by a folder, Save") << Fault::PathIsNowAFolder << false;
    QTest::newRow("folder removed, Save") << Fault::FolderVanished << false;
}

void TestSaveFaults::failedSaveKeepsEverything()
{
    QFETCH(Fault, fault);
    QFETCH(bool, saveAs);

    // A file of several pages, so a full disk cannot take its copy.
    QByteArray original(9000, '\0');
    for (qsizetype i = 0; i < original.size(); ++i) {
        original[i] = char((i * 7 + 3) % 256);
    }
    std::unique_ptr<SmallDisk> disk;
    if (fault == Fault::FullDisk || fault == Fault::ReadOnlyFolder) {
        disk = std::make_unique<SmallDisk>(m_place);
    }
    const bool realDisk = disk && disk->mounted();
    const QString path = QDir(m_place).filePath(QStringLiteral("a.TD4"));
    QVERIFY(writeFile(path, original));
    openAndChange(path);

    std::unique_ptr<FileSizeLimit> limit;
    std::unique_ptr<ReadOnlyFolder> readOnly;
    switch (fault) {
    case Fault::FullDisk:
        if (realDisk) {
            // Fill every page that is left.
            QFile filler(QDir(m_place).filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray page(4096, 'f');
            while (filler.write(page) == page.size()) {
            }
            filler.close();
        } else {
            limit = std::make_unique<FileSizeLimit>(1000);
            if (!limit->active()) {
                QSKIP("neither a tmpfs nor a file size limit can be set here");
            }
        }
        break;
    case Fault::ReadOnlyFolder:
        if (realDisk) {
            QVERIFY(disk->makeReadOnly());
        } else {
            readOnly = std::make_unique<ReadOnlyFolder>(m_place);
            if (!readOnly->active()) {
                QSKIP("no folder can be made read-only here");
            }
        }
        break;
    case Fault::PathIsNowAFolder:
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(m_place).mkdir(QStringLiteral("a.TD4")));
        break;
    case Fault::FolderVanished:
        QVERIFY(QDir(m_place).removeRecursively());
        break;
    }
    const QStringList before = QDir(m_place).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const ByteBuffer bytes = m_window->document().contents();

    const QString target = saveAs ? QDir(m_place).filePath(QStringLiteral("b.TD4")) : path;
    if (saveAs) {
        m_prompts->savePaths.enqueue(target);
        trigger("SM_SaveAs");
    } else {
        trigger("SM_Save");
    }
    limit.reset();

    QVERIFY(m_prompts->allUsed());
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.at(0).caption, QStringLiteral("Railwright"));
    QVERIFY2(m_prompts->messages.at(0).text.contains(target),
             qPrintable(m_prompts->messages.at(0).text));
    QVERIFY(m_window->document().changed());
    QVERIFY(m_window->document().contents() == bytes);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [a.TD4]"));
    // "&Save" keeps its path for the next try; "Save &As..." had forgotten it.
    QCOMPARE(m_window->currentPath(), saveAs ? QString() : path);

    // Whatever was on disk is as it was, and nothing half-written lies beside it.
    QCOMPARE(QDir(m_place).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    switch (fault) {
    case Fault::FullDisk:
    case Fault::ReadOnlyFolder:
        QCOMPARE(readFile(path), original);
        QVERIFY(!QFile::exists(QDir(m_place).filePath(QStringLiteral("b.TD4"))));
        break;
    case Fault::PathIsNowAFolder:
        QVERIFY(QFileInfo(path).isDir());
        break;
    case Fault::FolderVanished:
        QVERIFY(!QFileInfo::exists(m_place));
        break;
    }

    // The changes are still there to be saved somewhere else.
    const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere.TD4"));
    m_prompts->savePaths.enqueue(elsewhere);
    trigger("SM_SaveAs");
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(!m_window->document().changed());
    QCOMPARE(readFile(elsewhere),
             QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

void TestSaveFaults::deletedFileIsCreatedAgain()
{
    // A file deleted behind the editor's back is written anew by "&Save": the
    // document still knows where it belongs, and nothing else is lost.
    const QByteArray original(300, '\x11');
    const QString path = QDir(m_place).filePath(QStringLiteral("a.TD4"));
    QVERIFY(writeFile(path, original));
    openAndChange(path);
    QVERIFY(QFile::remove(path));

    trigger("SM_Save");
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
    QVERIFY(!m_window->document().changed());
    QByteArray expected = original;
    expected[0] = '\x41';
    QCOMPARE(readFile(path), expected);
    QCOMPARE(m_window->currentPath(), path);
}

void TestSaveFaults::fullDiskSavesOnceThereIsRoom()
{
    SmallDisk disk(m_place);
    if (!disk.mounted()) {
        QSKIP("a tmpfs cannot be mounted here");
    }
    const QByteArray original(9000, '\x22');
    const QString path = QDir(m_place).filePath(QStringLiteral("a.TD4"));
    QVERIFY(writeFile(path, original));
    openAndChange(path);
    const QString fillerPath = QDir(m_place).filePath(QStringLiteral("filler"));
    {
        QFile filler(fillerPath);
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'f');
        while (filler.write(page) == page.size()) {
        }
    }
    trigger("SM_Save");
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_window->document().changed());

    // Once the user has made room, the same command saves.
    QVERIFY(QFile::remove(fillerPath));
    trigger("SM_Save");
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(!m_window->document().changed());
    QByteArray expected = original;
    expected[0] = '\x41';
    QCOMPARE(readFile(path), expected);
    QCOMPARE(QDir(m_place).entryList(QDir::Files), QStringList{QStringLiteral("a.TD4")});
}

void TestSaveFaults::exitWithFailedSaveStaysOpen()
{
    // "Save Changes Before Exit?" answered Yes on a full disk: closing now would lose
    // the changes, so the window stays open with them.
    const QByteArray original(9000, '\x33');
    const QString path = QDir(m_place).filePath(QStringLiteral("a.TD4"));
    SmallDisk disk(m_place);
    QVERIFY(writeFile(path, original));
    openAndChange(path);
    std::unique_ptr<FileSizeLimit> limit;
    if (disk.mounted()) {
        QFile filler(QDir(m_place).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'f');
        while (filler.write(page) == page.size()) {
        }
    } else {
        limit = std::make_unique<FileSizeLimit>(1000);
        if (!limit->active()) {
            QSKIP("neither a tmpfs nor a file size limit can be set here");
        }
    }
    m_prompts->answers.enqueue(UserPrompts::Answer::Yes);
    QVERIFY(!m_window->close());
    limit.reset();
    QVERIFY(m_window->isVisible());
    QVERIFY(m_prompts->allUsed());
    QCOMPARE(m_prompts->questions.size(), 1);
    QCOMPARE(m_prompts->questions.at(0).text, QStringLiteral("Save Changes Before Exit?"));
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_window->document().changed());
    QCOMPARE(readFile(path), original);
}

QTEST_MAIN(TestSaveFaults)
#include "tst_save_faults.moc"
