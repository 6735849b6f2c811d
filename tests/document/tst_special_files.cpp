// Files that are not what they seem, through the window: named pipes, sockets and devices
// are refused without blocking and never replaced; long names are replaced atomically.
#include "document/document_file.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/special_files.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(railwright::test::SpecialKind)

class TestSpecialFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Faults 1 and 2 through the window: its open, a drop, the command line, and Save As
    // onto the thing and onto a link to it.
    void windowRefuses_data()
    {
        QTest::addColumn<SpecialKind>("kind");
        QTest::addColumn<QString>("why");
        QTest::newRow("named pipe") << SpecialKind::NamedPipe << u"is a named pipe, not a file"_s;
        QTest::newRow("socket") << SpecialKind::Socket << u"is a socket, not a file"_s;
        QTest::newRow("device") << SpecialKind::Device << u"is a device, not a file"_s;
    }

    void windowRefuses()
    {
        QFETCH(SpecialKind, kind);
        QFETCH(QString, why);
        const QString node = m_dir->filePath(u"node.TD4"_s);
        if (!makeSpecialFile(kind, node)) {
            QSKIP("this system does not let the test make one");
        }
        const mode_t type = fileType(node);
        const PipeUnblocker unblocker(node);
        ScriptedPrompts prompts;
        MainWindow window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR));
        const ByteBuffer record = sampleRecord(1, 100);
        prompts.openPaths.enqueue(
            writeFile(m_dir->path(), u"a.TD4"_s, asBytes(encodedFile(record))));
        window.action("SM_Open")->trigger();
        QVERIFY(window.document().setByte(0, 0x41));
        const ByteBuffer edited = window.document().contents();

        prompts.answers << UserPrompts::Answer::No << UserPrompts::Answer::No;
        prompts.openPaths.enqueue(node);
        window.action("SM_Open")->trigger();
        QVERIFY(!window.controller().openDroppedPath(node));
        QVERIFY(!window.openPath(node));
        const QString link = m_dir->filePath(u"link.TD4"_s);
        QVERIFY(QFile::link(node, link));
        prompts.savePaths << node << link;
        window.action("SM_SaveAs")->trigger();
        window.action("SM_SaveAs")->trigger();

        QVERIFY(prompts.allUsed());
        QStringList shown;
        for (const auto& message : std::as_const(prompts.messages)) {
            shown << message.text;
        }
        const QString message = u"Can't open file: %1 ("_s + why + u')';
        QCOMPARE(shown, QStringList({message.arg(node), message.arg(node), message.arg(node),
                                     message.arg(node), message.arg(link)}));
        QCOMPARE(window.document().contents(), edited);
        QVERIFY(window.document().changed());
        QCOMPARE(fileType(node), type);
        window.document().markSaved();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestSpecialFiles)
#include "tst_special_files.moc"
