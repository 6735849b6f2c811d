// Opening and saving through the window where the file is not simply a name in a folder:
// a link whose target climbs out with "..", names that are not UTF-8, a file with another
// hard link.
#include "document/document_file.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
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

// A file named by its bytes, which QFile would take for UTF-8.
void writeBytesNamed(const QByteArray& name, const QByteArray& bytes)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size());
    ::close(fd);
}

QByteArray readBytesNamed(const QByteArray& name)
{
    QByteArray bytes(100000, '\0');
    const int fd = ::open(name.constData(), O_RDONLY);
    const ssize_t got = fd < 0 ? -1 : ::read(fd, bytes.data(), std::size_t(bytes.size()));
    ::close(fd);
    return got < 0 ? QByteArray("<missing>") : bytes.left(got);
}

} // namespace

class TestSavingFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_window =
            std::make_unique<MainWindow>(m_prompts, nullptr, QStringLiteral(RAILWRIGHT_BIN_DIR));
        m_prompts = {};
    }
    void cleanup()
    {
        QVERIFY(m_prompts.allUsed());
        m_window.reset();
    }

    // Tracks/saved/current.TD4 -> ../mine.TD4, reached through link -> Tracks/saved: Save
    // writes Tracks/mine.TD4, as opening the same path read it.
    void saveThroughLinkWithDotDot()
    {
        const QString root = m_dir->path();
        QVERIFY(QDir(root).mkpath(u"Tracks/saved"_s));
        const QByteArray design = asBytes(encodedFile(sampleRecord(1)));
        writeFile(root, u"Tracks/mine.TD4"_s, design);
        writeFile(root, u"mine.TD4"_s, "another design");
        QVERIFY(QFile::link(u"Tracks/saved"_s, root + u"/link"_s));
        QCOMPARE(::symlink("../mine.TD4", QFile::encodeName(root + u"/Tracks/saved/current.TD4"_s)),
                 0);

        m_prompts.openPaths.enqueue(root + u"/link/current.TD4"_s);
        m_window->action("SM_Open")->trigger();
        QCOMPARE(asBytes(m_window->document().contents()), design);
        QVERIFY(m_window->document().setByte(0, 0x41));
        m_window->action("SM_Save")->trigger();

        QCOMPARE(readFile(root + u"/Tracks/mine.TD4"_s), "A" + design.mid(1));
        QCOMPARE(readFile(root + u"/mine.TD4"_s), "another design");
        QVERIFY(QFileInfo(root + u"/Tracks/saved/current.TD4"_s).isSymLink());
        QVERIFY(!m_window->document().changed());
        QVERIFY(m_prompts.messages.isEmpty());
    }

    // Open a Latin-1 name, Save As another: each file is the one with those bytes, and the
    // title shows the byte the name could not decode.
    void namesThatAreNotUtf8()
    {
        const QByteArray folder = QFile::encodeName(m_dir->path()) + '/';
        const QByteArray design = asBytes(encodedFile(sampleRecord(1)));
        writeBytesNamed(folder + "Caf\xE9.TD4", design);
        m_prompts.openPaths.enqueue(PathFromNative(folder + "Caf\xE9.TD4"));
        m_window->action("SM_Open")->trigger();
        QCOMPARE(asBytes(m_window->document().contents()), design);
        QCOMPARE(m_window->windowTitle(), u"Railwright [Caf\\xE9.TD4][*]"_s);

        QVERIFY(m_window->document().setByte(0, 0x41));
        m_prompts.savePaths.enqueue(PathFromNative(folder + "Neu\xFC"));
        m_window->action("SM_SaveAs")->trigger();
        QCOMPARE(readBytesNamed(folder + "Neu\xFC.TD4"), "A" + design.mid(1));
        QCOMPARE(readBytesNamed(folder + "Caf\xE9.TD4"), design);
        QCOMPARE(m_window->windowTitle(), u"Railwright [Neu\\xFC.TD4][*]"_s);
        QCOMPARE(entryCount(m_dir->path()), 2);
    }

    // The window asks before a save would split a file's names; each answer does what it
    // says.
    void fileWithAnotherHardLink_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("shared"); // the other name sees the new design
        QTest::newRow("save into the shared file") << 0 << true << true;
        QTest::newRow("separate this name") << 1 << true << false;
        QTest::newRow("cancel") << 2 << false << false;
    }
    void fileWithAnotherHardLink()
    {
        QFETCH(int, choice);
        QFETCH(bool, saved);
        QFETCH(bool, shared);
        const QByteArray design = asBytes(encodedFile(sampleRecord(1)));
        const QString path = writeFile(m_dir->path(), u"a.TD4"_s, design);
        const QString other = m_dir->filePath(u"b.TD4"_s);
        QCOMPARE(::link(QFile::encodeName(path), QFile::encodeName(other)), 0);
        m_prompts.openPaths.enqueue(path);
        m_window->action("SM_Open")->trigger();
        QVERIFY(m_window->document().setByte(0, 0x41));
        m_prompts.choices.enqueue(choice);
        m_window->action("SM_Save")->trigger();

        QCOMPARE(m_prompts.questions.size(), 1);
        QCOMPARE(m_prompts.questions.constFirst().text,
                 u"%1 has 1 other name(s) (hard links) sharing its content. Save into the shared "
                 u"file, so that every name holds the new design, or give this name a file of "
                 u"its own, leaving the other names with the old design?"_s.arg(path));
        const QByteArray edited = "A" + design.mid(1);
        QCOMPARE(readFile(path), saved ? edited : design);
        QCOMPARE(readFile(other), shared ? edited : design);
        QCOMPARE(m_window->document().changed(), !saved);
        m_window->document().markSaved();
    }

private:
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestSavingFiles)
#include "tst_saving_files.moc"
