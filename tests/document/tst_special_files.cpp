// Files that are not what they seem, through the file layer and through the window:
// named pipes, sockets and devices are refused without blocking and never replaced,
// read errors and long names are handled.
#include "document/document_file.h"
#include "settings/code_tables.h"
#include "support/file_size_limit.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/special_files.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(railwright::test::SpecialKind)

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class TestSpecialFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void kinds_data()
    {
        QTest::addColumn<SpecialKind>("kind");
        QTest::addColumn<QString>("why");
        QTest::newRow("named pipe") << SpecialKind::NamedPipe << u"is a named pipe, not a file"_s;
        QTest::newRow("socket") << SpecialKind::Socket << u"is a socket, not a file"_s;
        QTest::newRow("device") << SpecialKind::Device << u"is a device, not a file"_s;
    }

    // Faults 1 and 2: the file layer refuses to read or replace them, at once.
    void fileLayerRefuses_data() { kinds_data(); }
    void fileLayerRefuses()
    {
        QFETCH(SpecialKind, kind);
        QFETCH(QString, why);
        const QString node = m_dir->filePath(u"OMCODES.RCS"_s);
        if (!makeSpecialFile(kind, node)) {
            QSKIP("this system does not let the test make one");
        }
        const mode_t type = fileType(node);
        const PipeUnblocker unblocker(node);
        const QString message = u"Can't open file: "_s + node + u" ("_s + why + u')';

        QCOMPARE(LoadFile(node).errorText, message);
        CodeTable table;
        QCOMPARE(ReadCodeTable(m_dir->path(), u"\\OMCODES.RCS"_s, table), message);
        QCOMPARE(SaveFile(node, ByteBuffer{1, 2, 3}).errorText, message);
        // Also through a link, which names itself in the message.
        const QString link = m_dir->filePath(u"link.TD4"_s);
        QVERIFY(QFile::link(node, link));
        QCOMPARE(SaveFile(link, ByteBuffer{1}).errorText,
                 u"Can't open file: "_s + link + u" ("_s + why + u')');
        QCOMPARE(fileType(node), type);
        QCOMPARE(QDir(m_dir->path())
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 2);
    }

    // Fault 3: a read error is reported, never taken for an empty file.
    void readErrorIsReported()
    {
        const QString link = m_dir->filePath(u"RCCODES.RCS"_s);
        QVERIFY(QFile::link(u"/proc/self/mem"_s, link));
        const QString message = u"Can't read file: "_s + link + u" ("_s + systemText(EIO) + u')';
        QCOMPARE(LoadFile(link).errorText, message);
        CodeTable table;
        QCOMPARE(ReadCodeTable(m_dir->path(), u"\\RCCODES.RCS"_s, table), message);
    }

    // Fault 4: names up to the longest the file system allows are replaced atomically.
    void longNamesAreReplaced_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("248 bytes") << QString(248, u'n');
        QTest::newRow("249 bytes") << QString(249, u'n');
        QTest::newRow("255 bytes") << QString(255, u'n');
        QTest::newRow("255 bytes of UTF-8") << QString(127, u'\u00E9') + u'x';
    }
    void longNamesAreReplaced()
    {
        QFETCH(QString, name);
        const QString file = writeFile(m_dir->path(), name, "old contents");
        const SaveResult saved = SaveFile(file, ByteBuffer{0x00, 0xFF, 0x41});
        QVERIFY2(saved.ok(), qPrintable(saved.errorText));
        QCOMPARE(readFile(file), QByteArray("\x00\xFF\x41", 3));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    // Fault 7: a failed save of a new file does not speak of a file on disk.
    void failedNewFileSaysNoneWasCreated()
    {
        const QString file = m_dir->filePath(u"new.TD4"_s);
        SaveResult result;
        {
            const FileSizeLimit limit(100);
            if (!limit.active()) {
                QSKIP("cannot lower the file size limit here");
            }
            result = SaveFile(file, ByteBuffer(1000, 0x5A));
        }
        QCOMPARE(result.errorText, u"Can't save file: "_s + file + u" ("_s + systemText(EFBIG) +
                                       u"). No file was created."_s);
        QVERIFY(
            QDir(m_dir->path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    // Faults 1 and 2 through the window: its open, a drop, the command line and Save As.
    void windowRefuses_data() { kinds_data(); }
    void windowRefuses()
    {
        QFETCH(SpecialKind, kind);
        QFETCH(QString, why);
        const QString node = m_dir->filePath(u"node.TD4"_s);
        if (!makeSpecialFile(kind, node)) {
            QSKIP("this system does not let the test make one");
        }
        const PipeUnblocker unblocker(node);
        ScriptedPrompts prompts;
        MainWindow window(prompts, nullptr, QStringLiteral(RAILWRIGHT_BIN_DIR));
        const ByteBuffer record = sampleRecord(1, 100);
        prompts.openPaths.enqueue(
            writeFile(m_dir->path(), u"a.TD4"_s, asBytes(encodedFile(record))));
        window.action("SM_Open")->trigger();
        QVERIFY(window.document().setByte(0, 0x41));
        const ByteBuffer edited = window.document().contents();

        prompts.answers << UserPrompts::Answer::No << UserPrompts::Answer::No;
        prompts.openPaths.enqueue(node);
        window.action("SM_Open")->trigger();
        QVERIFY(!window.openDroppedPath(node));
        QVERIFY(!window.openPath(node));
        prompts.savePaths.enqueue(node);
        window.action("SM_SaveAs")->trigger();

        QVERIFY(prompts.allUsed());
        QCOMPARE(prompts.messages.size(), 4);
        for (const auto& shown : std::as_const(prompts.messages)) {
            QCOMPARE(shown.text, u"Can't open file: "_s + node + u" ("_s + why + u')');
        }
        QCOMPARE(window.document().contents(), edited);
        QVERIFY(window.document().changed());
        QCOMPARE(fileType(node), kind == SpecialKind::NamedPipe ? S_IFIFO
                                 : kind == SpecialKind::Socket  ? S_IFSOCK
                                                                : S_IFCHR);
        window.document().setChanged(false);
    }

    // Fault 1 at start-up: a code table that is a named pipe.
    void windowStartsBesideTableThatIsAPipe()
    {
        for (const char* name : {"RCCODES.RCS", "VTCODES.RCS"}) {
            QVERIFY(QFile::copy(QStringLiteral(RAILWRIGHT_BIN_DIR "/") + QLatin1String(name),
                                m_dir->filePath(QLatin1String(name))));
        }
        const QString pipe = m_dir->filePath(u"OMCODES.RCS"_s);
        QVERIFY(makeSpecialFile(SpecialKind::NamedPipe, pipe));
        const PipeUnblocker unblocker(pipe);
        ScriptedPrompts prompts;
        const MainWindow window(prompts, nullptr, m_dir->path());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.at(0).text,
                 u"Can't open file: "_s + pipe + u" (is a named pipe, not a file)"_s);
        QVERIFY(window.codeTables().operatingModes.empty());
        QVERIFY(!window.codeTables().rideTypes.empty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestSpecialFiles)
#include "tst_special_files.moc"
