#include "codec/design_inspection.h"
#include "document/document_file.h"
#include "support/hex_bytes.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/window_steps.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_model.h"
#include "ui/main/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using namespace railwright;
using namespace railwright::test;
using railwright::testing::hexBytes;
using namespace Qt::StringLiterals;
using Answer = UserPrompts::Answer;

Q_DECLARE_METATYPE(railwright::GameVersion)
Q_DECLARE_METATYPE(railwright::ChecksumMatch)
Q_DECLARE_METATYPE(railwright::DisplayMode)

namespace {

// A record of `length` bytes whose operation bytes 35-40 lie inside the dialog's ranges
// (so "Ok" with one value changed writes only that byte), byte 7 = `byte7`, and some
// track data.
ByteBuffer designRecord(std::size_t length, std::uint8_t byte7)
{
    ByteBuffer record = sampleRecord(byte7, length);
    const std::uint8_t operation[] = {0x00, 1, 1, 10, 60, 20};
    std::copy(std::begin(operation), std::end(operation), record.begin() + 35);
    return record;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editUndoRedoSave_data();
    void editUndoRedoSave();
    void fileHealthAndVersion_data();
    void fileHealthAndVersion();
    void savingDecodedAsks_data();
    void savingDecodedAsks();
    void exitQuestion_data();
    void exitQuestion();
    void editBoxKeys_data();
    void editBoxKeys();
    void saveAsAddsSuffix();
    void saveThroughLinkWithDotDot();
    void namesThatAreNotUtf8();
    void fileWithAnotherHardLink_data();
    void fileWithAnotherHardLink();
    void oversizedEncodeIsRefused();
    void convertingLayoutIsOneStep();

private:
    QString write(const QString& name, const ByteBuffer& bytes)
    {
        return writeFile(m_dir->path(), name, asBytes(bytes));
    }
    void open(const QString& path);
    void trigger(const char* name);
    void commitByte(qsizetype index, const QString& text);
    [[nodiscard]] QString health() const
    {
        return m_window->findChild<QLabel*>(u"FileHealth"_s)->text();
    }
    [[nodiscard]] ByteBuffer bytes() const { return m_window->document().contents(); }
    [[nodiscard]] QLineEdit* dataString() const { return m_window->gridEditor()->dataString(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Closing the window under test must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_window = std::make_unique<MainWindow>(*m_prompts);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainWindow::cleanup()
{
    // A test that leaves a change behind must not be asked about it here.
    m_window->document().markSaved();
    m_window.reset();
    QVERIFY2(m_prompts->unexpected.isEmpty(), qPrintable(m_prompts->unexpected.join(u", ")));
    m_prompts.reset();
    m_dir.reset();
}

void TestMainWindow::trigger(const char* name)
{
    QAction* item = m_window->action(name);
    QVERIFY2(item != nullptr, name);
    QVERIFY2(item->isEnabled(), name);
    item->trigger();
}

void TestMainWindow::open(const QString& path)
{
    m_prompts->openPaths.enqueue(path);
    trigger("SM_Open");
}

// Clicks the byte's cell and types `text` and Enter into "Data String", as a user does.
void TestMainWindow::commitByte(qsizetype index, const QString& text)
{
    clickByte(*m_window->gridEditor(), index);
    QCOMPARE(m_window->gridEditor()->selectedIndex(), index);
    dataString()->clear();
    QTest::keyClicks(dataString(), text);
    QTest::keyClick(dataString(), Qt::Key_Return);
}

// Open, decode, one edit of every kind, undo them all, redo them all, encode, save: the
// saved file holds the edited record and keeps the constant the file came with.
void TestMainWindow::editUndoRedoSave_data()
{
    QTest::addColumn<ByteBuffer>("record");
    QTest::addColumn<GameVersion>("fileVersion");
    QTest::addColumn<GameVersion>("openedAs");
    QTest::addColumn<GameVersion>("decodedAs");
    QTest::addColumn<QString>("healthAfterDecode");
    QTest::addColumn<int>("spineByte");
    QTest::addColumn<int>("schemeByte7");

    QTest::newRow("base game") << designRecord(8058, 0x00) << GameVersion::Original
                               << GameVersion::Original << GameVersion::Original
                               << u"Decoded: 8,058 bytes, base layout"_s << 32 << 1;
    QTest::newRow("Corkscrew Follies")
        << designRecord(8198, 0x04) << GameVersion::CorkscrewFollies << GameVersion::Original
        << GameVersion::CorkscrewFollies << u"Decoded: 8,198 bytes, expansion layout"_s << 56 << 5;
    QTest::newRow("Loopy Landscapes")
        << designRecord(8198, 0x06) << GameVersion::LoopyLandscapes << GameVersion::LoopyLandscapes
        << GameVersion::LoopyLandscapes << u"Decoded: 8,198 bytes, expansion layout"_s << 56 << 5;
}

void TestMainWindow::editUndoRedoSave()
{
    QFETCH(ByteBuffer, record);
    QFETCH(GameVersion, fileVersion);
    QFETCH(GameVersion, openedAs);
    QFETCH(GameVersion, decodedAs);
    QFETCH(QString, healthAfterDecode);
    QFETCH(int, spineByte);
    QFETCH(int, schemeByte7);

    const ByteBuffer file = encodedFile(record, fileVersion);
    const QString path = write(u"ride.TD4"_s, file);
    open(path);
    QCOMPARE(m_window->document().gameVersion(), openedAs);
    QVERIFY(!m_window->action("SM_Undo")->isEnabled());
    trigger("Toolbar_Decode");
    QCOMPARE(health(), healthAfterDecode);
    QCOMPARE(m_window->document().gameVersion(), decodedAs);

    // The test's own model of the record: every edit below, by byte.
    ByteBuffer expected = record;
    commitByte(0x50, u"7F"_s);
    expected[0x50] = 0x7F;
    trigger("SM_RCTypes_5"); // the fifth shipped ride type, code 04
    expected[0] = 0x04;
    trigger("SM_CS_Train");
    expected[7] = std::uint8_t(schemeByte7);
    whenModal([](QWidget* palette) {
        clickButton(palette, u"Colors_9"_s);
        clickButton(palette, u"Ok"_s);
    });
    trigger("SM_TSC_Num_0");
    expected[std::size_t(spineByte)] = 9;
    whenModal([](QWidget* dialog) {
        dialog->findChild<QSpinBox*>(u"UDTrains"_s)->setValue(3);
        clickButton(dialog, u"cmdOk"_s);
    });
    trigger("SM_RideOp");
    expected[36] = 3;
    QCOMPARE(bytes(), expected);
    QCOMPARE(m_window->action("SM_Undo")->text(), u"&Undo Set Ride Operation"_s);
    QVERIFY(m_window->isWindowModified());

    // Six steps back (five edits and the decode) is the file as opened, unchanged.
    for (int step = 0; step < 6; ++step) {
        trigger("SM_Undo");
    }
    QVERIFY(!m_window->action("SM_Undo")->isEnabled());
    QCOMPARE(m_window->action("SM_Redo")->text(), u"&Redo Decode"_s);
    QCOMPARE(bytes(), file);
    QCOMPARE(m_window->document().gameVersion(), openedAs);
    QVERIFY(m_window->action("Toolbar_Decode")->isEnabled());
    QVERIFY(!m_window->isWindowModified());

    for (int step = 0; step < 6; ++step) {
        trigger("SM_Redo");
    }
    QCOMPARE(bytes(), expected);
    QCOMPARE(m_window->document().gameVersion(), decodedAs);
    trigger("Toolbar_Encode");
    trigger("SM_Save");
    QVERIFY(m_prompts->allUsed()); // an encoded design is saved without a question
    QVERIFY(!m_window->document().changed());

    const QByteArray saved = readFile(path);
    const ByteBuffer savedBytes(saved.begin(), saved.end());
    QCOMPARE(RLEDecode(savedBytes).record, expected);
    QCOMPARE(MatchChecksum(savedBytes), MatchChecksum(file));
}

void TestMainWindow::fileHealthAndVersion_data()
{
    QTest::addColumn<ByteBuffer>("file");
    QTest::addColumn<QString>("health");
    QTest::addColumn<GameVersion>("version"); // the user chose Loopy Landscapes before

    const ByteBuffer record = designRecord(8058, 0x00);
    ByteBuffer wrongChecksum = encodedFile(record);
    wrongChecksum.back() ^= 0x01;
    QTest::newRow("base constant")
        << encodedFile(record) << u"Base game or Corkscrew Follies design, checksum valid"_s
        << GameVersion::Original;
    QTest::newRow("Loopy constant")
        << encodedFile(record, GameVersion::LoopyLandscapes)
        << u"Loopy Landscapes design, checksum valid"_s << GameVersion::LoopyLandscapes;
    QTest::newRow("no constant") << wrongChecksum << u"Checksum matches no game version"_s
                                 << GameVersion::LoopyLandscapes;
    // A literal block of 128 bytes that the file does not hold.
    QTest::newRow("damaged") << hexBytes("7F 01 02 03 04 05 06")
                             << u"Not a track design: it does not decode"_s
                             << GameVersion::LoopyLandscapes;
}

void TestMainWindow::fileHealthAndVersion()
{
    QFETCH(ByteBuffer, file);
    QFETCH(QString, health);
    QFETCH(GameVersion, version);

    trigger("SM_RCT_LL");
    open(write(u"x.TD4"_s, file));
    QCOMPARE(this->health(), health);
    QCOMPARE(m_window->document().gameVersion(), version);
    QVERIFY(m_window->action("SM_RCT_LL")->isChecked() ==
            (version == GameVersion::LoopyLandscapes));
    QVERIFY(m_window->action("SM_RCT_Org")->isChecked() == (version == GameVersion::Original));
}

void TestMainWindow::savingDecodedAsks_data()
{
    QTest::addColumn<bool>("byClosing");
    QTest::addColumn<int>("choice"); // 0 Encode and Save, 1 Save Decoded, 2 Cancel
    QTest::addColumn<bool>("fileIsEncoded");
    QTest::addColumn<bool>("fileUnchanged");

    QTest::newRow("save, encode") << false << 0 << true << false;
    QTest::newRow("save, decoded") << false << 1 << false << false;
    QTest::newRow("save, cancel") << false << 2 << false << true;
    QTest::newRow("exit yes, encode") << true << 0 << true << false;
    QTest::newRow("exit yes, cancel") << true << 2 << false << true;
}

void TestMainWindow::savingDecodedAsks()
{
    QFETCH(bool, byClosing);
    QFETCH(int, choice);
    QFETCH(bool, fileIsEncoded);
    QFETCH(bool, fileUnchanged);

    const ByteBuffer record = designRecord(8058, 0x00);
    const ByteBuffer file = encodedFile(record);
    const QString path = write(u"ride.TD4"_s, file);
    open(path);
    trigger("Toolbar_Decode");
    m_prompts->choices.enqueue(choice);
    if (byClosing) {
        m_prompts->answers.enqueue(Answer::Yes);
        QCOMPARE(m_window->close(), !fileUnchanged);
    } else {
        trigger("SM_Save");
    }
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->questions.constLast().text.startsWith(u"This design is decoded"_s));

    const QByteArray saved = readFile(path);
    if (fileUnchanged) {
        QCOMPARE(saved, asBytes(file));
        QVERIFY(m_window->document().changed());
    } else {
        QCOMPARE(saved, asBytes(fileIsEncoded ? file : record));
        QVERIFY(!m_window->document().changed());
    }
}

void TestMainWindow::exitQuestion_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("folderGone");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");

    QTest::newRow("yes") << Answer::Yes << false << true << true;
    QTest::newRow("yes, save fails") << Answer::Yes << true << false << false;
    QTest::newRow("no") << Answer::No << false << true << false;
    QTest::newRow("cancel") << Answer::Cancel << false << false << false;
}

void TestMainWindow::exitQuestion()
{
    QFETCH(Answer, answer);
    QFETCH(bool, folderGone);
    QFETCH(bool, closes);
    QFETCH(bool, saved);

    QDir(m_dir->path()).mkdir(u"sub"_s);
    const QString path = write(u"sub/ride.TD4"_s, hexBytes("00 41 84 59 FE FF"));
    open(path);
    commitByte(1, u"42"_s);
    if (folderGone) {
        QVERIFY(QDir(m_dir->filePath(u"sub"_s)).removeRecursively());
    }
    m_prompts->answers.enqueue(answer);
    QCOMPARE(m_window->close(), closes);
    QCOMPARE(m_prompts->questions.constLast().text, u"Save Changes Before Exit?"_s);
    QCOMPARE(m_prompts->messages.size(), folderGone ? 1 : 0);
    const QByteArray expected = saved        ? QByteArray::fromHex("00428459FEFF")
                                : folderGone ? "<missing>"_ba
                                             : QByteArray::fromHex("00418459FEFF");
    QCOMPARE(readFile(path), expected);
    QCOMPARE(m_window->document().changed(), !saved);
}

// Enter on an empty box changes nothing; Ctrl+Z undoes typing while there is some, and
// the last document step once the box is empty.
void TestMainWindow::editBoxKeys_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");

    QTest::newRow("Hexidecimal") << DisplayMode::Hexidecimal << u"7f"_s << 0x7F;
    QTest::newRow("Decimal") << DisplayMode::Decimal << u"200"_s << 200;
    QTest::newRow("Charter") << DisplayMode::Charter << u"Z"_s << 0x5A;
}

void TestMainWindow::editBoxKeys()
{
    QFETCH(DisplayMode, mode);
    QFETCH(QString, typed);
    QFETCH(int, stored);

    open(write(u"raw.TD4"_s, hexBytes("10 11 12 13 14 15")));
    QComboBox* charMode = m_window->gridEditor()->charMode();
    charMode->setCurrentIndex(charMode->findData(int(mode)));
    commitByte(2, typed);
    QCOMPARE(bytes(), ByteBuffer({0x10, 0x11, std::uint8_t(stored), 0x13, 0x14, 0x15}));
    QCOMPARE(m_window->action("SM_Undo")->text(), u"&Undo Set Byte 2"_s);

    QTest::keyClick(dataString(), Qt::Key_Return);
    QCOMPARE(bytes(), ByteBuffer({0x10, 0x11, std::uint8_t(stored), 0x13, 0x14, 0x15}));

    dataString()->setFocus();
    QTest::keyClicks(dataString(), u"1"_s);
    QTest::keyClick(dataString(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(dataString()->text(), QString());
    QCOMPARE(bytes()[2], std::uint8_t(stored));
    QTest::keyClick(dataString(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytes(), hexBytes("10 11 12 13 14 15"));
    QVERIFY(!m_window->document().changed());
}

void TestMainWindow::saveAsAddsSuffix()
{
    open(write(u"a.TD4"_s, hexBytes("00 41 84 59 FE FF")));
    m_prompts->savePaths.enqueue(m_dir->filePath(u"copy"_s));
    trigger("SM_SaveAs");
    QCOMPARE(readFile(m_dir->filePath(u"copy.TD4"_s)), QByteArray::fromHex("00418459FEFF"));
    QVERIFY(m_window->windowTitle().startsWith(u"Railwright [copy.TD4]"_s));
}

// Tracks/saved/current.TD4 -> ../mine.TD4, reached through link -> Tracks/saved: Save
// writes Tracks/mine.TD4, as opening the same path read it.
void TestMainWindow::saveThroughLinkWithDotDot()
{
    namespace fs = std::filesystem;
    const fs::path root = m_dir->path().toStdString();
    QVERIFY(QDir(m_dir->path()).mkpath(u"Tracks/saved"_s));
    const QByteArray design = asBytes(encodedFile(sampleRecord(1)));
    write(u"Tracks/mine.TD4"_s, encodedFile(sampleRecord(1)));
    writeFile(m_dir->path(), u"mine.TD4"_s, "another design");
    fs::create_directory_symlink("Tracks/saved", root / "link");
    fs::create_symlink("../mine.TD4", root / "Tracks/saved/current.TD4");

    open(m_dir->filePath(u"link/current.TD4"_s));
    QCOMPARE(asBytes(bytes()), design);
    QVERIFY(m_window->document().setByte(0, 0x41));
    trigger("SM_Save");
    QCOMPARE(readFile(m_dir->filePath(u"Tracks/mine.TD4"_s)), "A" + design.mid(1));
    QCOMPARE(readFile(m_dir->filePath(u"mine.TD4"_s)), "another design");
    QVERIFY(!m_window->document().changed() && m_prompts->messages.isEmpty());
}

// Open a Latin-1 name, Save As another: each file is the one with those bytes, and the
// title shows the byte the name could not decode.
void TestMainWindow::namesThatAreNotUtf8()
{
    const QByteArray folder = QFile::encodeName(m_dir->path()) + '/';
    const QByteArray design = asBytes(encodedFile(sampleRecord(1)));
    std::ofstream(std::string(folder + "Caf\xE9.TD4"), std::ios::binary) << design.toStdString();
    open(PathFromNative(folder + "Caf\xE9.TD4"));
    QCOMPARE(asBytes(bytes()), design);
    QCOMPARE(m_window->windowTitle(), u"Railwright [Caf\\xE9.TD4][*]"_s);

    QVERIFY(m_window->document().setByte(0, 0x41));
    m_prompts->savePaths.enqueue(PathFromNative(folder + "Neu\xFC"));
    trigger("SM_SaveAs");
    // Read back by the bytes of the name (LoadFile's part is tested with the others).
    QCOMPARE(asBytes(LoadFile(PathFromNative(folder + "Neu\xFC.TD4")).bytes), "A" + design.mid(1));
    QCOMPARE(asBytes(LoadFile(PathFromNative(folder + "Caf\xE9.TD4")).bytes), design);
    QCOMPARE(m_window->windowTitle(), u"Railwright [Neu\\xFC.TD4][*]"_s);
}

// The window asks before a save would split a file's names; each answer does what it says.
void TestMainWindow::fileWithAnotherHardLink_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("shared"); // the other name sees the new design
    QTest::newRow("save into the shared file") << 0 << true << true;
    QTest::newRow("separate this name") << 1 << true << false;
    QTest::newRow("cancel") << 2 << false << false;
}

void TestMainWindow::fileWithAnotherHardLink()
{
    QFETCH(int, choice);
    QFETCH(bool, saved);
    QFETCH(bool, shared);
    const QByteArray design = asBytes(encodedFile(sampleRecord(1)));
    const QString path = write(u"a.TD4"_s, encodedFile(sampleRecord(1)));
    const QString other = m_dir->filePath(u"b.TD4"_s);
    std::filesystem::create_hard_link(path.toStdString(), other.toStdString());
    open(path);
    QVERIFY(m_window->document().setByte(0, 0x41));
    m_prompts->choices.enqueue(choice);
    trigger("SM_Save");

    QCOMPARE(m_prompts->questions.size(), 1);
    QCOMPARE(m_prompts->questions.constFirst().text,
             u"%1 has 1 other name(s) (hard links) sharing its content. Save into the shared "
             u"file, so that every name holds the new design, or give this name a file of "
             u"its own, leaving the other names with the old design?"_s.arg(path));
    const QByteArray edited = "A" + design.mid(1);
    QCOMPARE(readFile(path), saved ? edited : design);
    QCOMPARE(readFile(other), shared ? edited : design);
    QCOMPARE(m_window->document().changed(), !saved);
}

// A record whose encoding would be larger than a file may be: 64,488 bytes with no
// equal neighbours arrive in 504 literal blocks of up to 128 (64,996 bytes with the
// checksum) but leave in 516 blocks of up to 125 (65,008 bytes).
void TestMainWindow::oversizedEncodeIsRefused()
{
    ByteBuffer file;
    for (std::size_t done = 0; done < 64488; done += 128) {
        const std::size_t count = std::min<std::size_t>(128, 64488 - done);
        file.push_back(std::uint8_t(count - 1));
        for (std::size_t i = 0; i < count; ++i) {
            file.push_back(std::uint8_t((done + i) % 251));
        }
    }
    file.insert(file.end(), {0, 0, 0, 0});
    QCOMPARE(file.size(), std::size_t(64996));
    open(write(u"big.TD4"_s, file));
    trigger("Toolbar_Decode");
    const ByteBuffer record = bytes();
    QCOMPARE(record.size(), std::size_t(64488));
    trigger("Toolbar_Encode");
    QCOMPARE(bytes(), record);
    QCOMPARE(m_prompts->messages.constLast().text,
             u"The encoded design would be 65,008 bytes, more than the 65,000 a track-design "
             u"file may have. The document was left as it was."_s);
}

void TestMainWindow::convertingLayoutIsOneStep()
{
    const ByteBuffer record = designRecord(8058, 0x01);
    open(write(u"base.TD4"_s, encodedFile(record)));
    trigger("Toolbar_Decode");
    QVERIFY(!m_window->action("SM_ConvertBase")->isEnabled());
    trigger("SM_ConvertExpansion");
    QCOMPARE(bytes().size(), std::size_t(8198));
    QCOMPARE(bytes()[7], std::uint8_t(0x05)); // the expansion flag joins scheme 1
    QCOMPARE(m_window->document().gameVersion(), GameVersion::CorkscrewFollies);
    QCOMPARE(m_window->action("SM_Undo")->text(), u"&Undo Convert to Expansion Layout"_s);
    trigger("SM_Undo");
    QCOMPARE(bytes(), record);
    QCOMPARE(m_window->document().gameVersion(), GameVersion::Original);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
