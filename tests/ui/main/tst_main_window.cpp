#include "codec/design_inspection.h"
#include "document/document_file.h"
#include "settings/file_association.h"
#include "support/hex_bytes.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/window_steps.h"
#include "ui/design/code_combo_box.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_model.h"
#include "ui/main/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <tuple>

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

// A base-layout record as the game saves it: three track pieces, the end marker and zeros
// to the end, so the bytes saved without encoding read as a decoded record.
ByteBuffer trackRecord()
{
    ByteBuffer record = designRecord(8058, 0x01);
    const std::uint8_t track[] = {0x02, 0x00, 0x00, 0x80, 0x01, 0x00, 0xFF};
    std::fill(record.begin() + 0x38, record.end(), 0);
    std::copy(std::begin(track), std::end(track), record.begin() + 0x38);
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
    void damagedDesignEncodeAsks_data();
    void damagedDesignEncodeAsks();
    void decodedRecordReopens();
    void recentFilesAndFolders();
    void decodeWhenOpened();
    void fileTypeOption_data();
    void fileTypeOption();
    void firstSizeFitsTheScreen();
    void fittingChoicesFirst();
    void everyMenuItemHasAnAccessKey();
    void keyboardOnlyWorkflow();
    void statusFollowsReplacedBytes();

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

    void newWindow();
    // Presses `keys` where the keyboard focus is, as a user types a shortcut.
    void press(const QKeySequence& keys);
    void type(const QString& text);
    // Presses Tab until the widget named `name` (or a part of it) has the focus.
    [[nodiscard]] bool tabTo(const QString& name);

    QTemporaryDir m_settingsDir;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Closing the window under test must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
    // What the editor remembers stays in this run's own folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
}

void TestMainWindow::init()
{
    QSettings(u"Railwright"_s, u"Railwright"_s).clear();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompts = std::make_unique<ScriptedPrompts>();
    newWindow();
}

// A window as the next run of the editor opens it.
void TestMainWindow::newWindow()
{
    if (m_window) {
        m_window->document().markSaved();
    }
    m_window.reset();
    m_window = std::make_unique<MainWindow>(*m_prompts);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

// Where a key the user presses goes: an open popup (a search's result list) first.
static QWidget* keyTarget(QWidget* window)
{
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* focus = QApplication::focusWidget();
    return popup != nullptr ? popup : focus != nullptr ? focus : window;
}

void TestMainWindow::press(const QKeySequence& keys)
{
    QTest::keySequence(keyTarget(m_window.get()), keys);
}

bool TestMainWindow::tabTo(const QString& name)
{
    for (int presses = 0; presses < 80; press(QKeySequence(Qt::Key_Tab)), ++presses) {
        for (QWidget* at = QApplication::focusWidget(); at != nullptr; at = at->parentWidget()) {
            if (at->objectName() == name) {
                return true;
            }
        }
    }
    return false;
}

void TestMainWindow::type(const QString& text)
{
    // The first key opens the search's list; the line edit takes the keys all the same.
    QTest::keyClicks(keyTarget(m_window.get()), text);
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
    QTest::addColumn<QString>("versionLine"); // the first line of Ride Info

    QTest::newRow("base game") << designRecord(8058, 0x00) << GameVersion::Original
                               << GameVersion::Original << GameVersion::Original
                               << u"Decoded: 8,058 bytes, base layout"_s << 32 << 1
                               << u"RCT Version: Orginal"_s;
    QTest::newRow("Corkscrew Follies")
        << designRecord(8198, 0x04) << GameVersion::CorkscrewFollies << GameVersion::Original
        << GameVersion::CorkscrewFollies << u"Decoded: 8,198 bytes, expansion layout"_s << 56 << 5
        << u"RCT Version: Corkscrew Follies"_s;
    QTest::newRow("Loopy Landscapes")
        << designRecord(8198, 0x06) << GameVersion::LoopyLandscapes << GameVersion::LoopyLandscapes
        << GameVersion::LoopyLandscapes << u"Decoded: 8,198 bytes, expansion layout"_s << 56 << 5
        << u"RCT Version: Loopy Landscapes"_s;
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
    QFETCH(QString, versionLine);

    const ByteBuffer file = encodedFile(record, fileVersion);
    const QString path = write(u"ride.TD4"_s, file);
    open(path);
    QCOMPARE(m_window->document().gameVersion(), openedAs);
    QVERIFY(!m_window->action("SM_Undo")->isEnabled());
    // Ctrl+D decodes and Ctrl+I reports, as the Design menu's items do.
    press(QKeySequence(Qt::CTRL | Qt::Key_D));
    QCOMPARE(health(), healthAfterDecode);
    QCOMPARE(m_window->document().gameVersion(), decodedAs);
    press(QKeySequence(Qt::CTRL | Qt::Key_I));
    QCOMPARE(m_prompts->messages.constLast().text.section(u"\r\n"_s, 0, 0), versionLine);

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

    if (mode == DisplayMode::Hexidecimal) { // a digit typed in the grid waits for a second
        QTest::keyClick(m_window->gridEditor()->grid(), '7');
        QTest::keyClick(m_window->gridEditor()->grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(bytes()[2], std::uint8_t(stored)); // the typing went, the step stays
        dataString()->clear();
    }
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
    m_prompts->choices.enqueue(0); // Encode anyway
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

// Encoding gives any record a valid checksum, so a design that did not open as a valid
// one is encoded only after the user agrees, and the health field keeps saying so.
void TestMainWindow::damagedDesignEncodeAsks_data()
{
    QTest::addColumn<ByteBuffer>("file");
    QTest::addColumn<int>("choice"); // 0 Encode, 1 Cancel
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("healthAfter");

    ByteBuffer flipped = encodedFile(trackRecord());
    flipped[40] ^= 0x10;
    const QString checksumQuestion =
        u"This design did not open as a valid track design (checksum matches no game "
        u"version). Encoding gives it a valid checksum; the game may still reject it. Encode "
        u"anyway?"_s;
    QTest::newRow("flipped byte, cancel")
        << flipped << 1 << checksumQuestion
        << u"Decoded: 8,058 bytes, base layout (opened with a checksum matching no game "
           u"version)"_s;
    QTest::newRow("flipped byte, encode")
        << flipped << 0 << checksumQuestion
        << u"Base game or Corkscrew Follies design, checksum valid (opened with a checksum "
           u"matching no game version)"_s;
    QTest::newRow("unusual length")
        << encodedFile(designRecord(8100, 0x00)) << 0
        << u"This design did not open as a valid track design (its record is 8,100 bytes, "
           u"neither 8,058 nor 8,198). Encoding gives it a valid checksum; the game may still "
           u"reject it. Encode anyway?"_s
        << u"Base game or Corkscrew Follies design, checksum valid"_s;
}

void TestMainWindow::damagedDesignEncodeAsks()
{
    QFETCH(ByteBuffer, file);
    QFETCH(int, choice);
    QFETCH(QString, question);

    open(write(u"damaged.TD4"_s, file));
    trigger("Toolbar_Decode");
    m_prompts->choices.enqueue(choice);
    trigger("Toolbar_Encode");
    QVERIFY(m_prompts->allUsed());
    QCOMPARE(m_prompts->questions.constLast().text, question);
    QCOMPARE(m_window->document().kind(), choice == 1 ? ContentKind::Decoded : ContentKind::Raw);
    QTEST(health(), "healthAfter");
}

// A design saved with "Save Decoded" opens decoded again and encodes back to the file it
// came from, byte for byte.
void TestMainWindow::decodedRecordReopens()
{
    const ByteBuffer file = encodedFile(trackRecord());
    open(write(u"ride.TD4"_s, file));
    trigger("Toolbar_Decode");
    m_prompts->savePaths.enqueue(m_dir->filePath(u"decoded.TD4"_s));
    m_prompts->choices.enqueue(1); // Save Decoded
    trigger("SM_SaveAs");
    QCOMPARE(readFile(m_dir->filePath(u"decoded.TD4"_s)), asBytes(trackRecord()));

    m_prompts->choices.enqueue(0); // Yes
    open(m_dir->filePath(u"decoded.TD4"_s));
    QCOMPARE(m_prompts->questions.constLast().text,
             u"This file is a decoded design record (saved without encoding). Open it as "
             u"decoded?"_s);
    QCOMPARE(health(), u"Decoded: 8,058 bytes, base layout (opened as a decoded record)"_s);
    press(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_prompts->savePaths.enqueue(m_dir->filePath(u"back.TD4"_s));
    trigger("SM_SaveAs");
    QCOMPARE(readFile(m_dir->filePath(u"back.TD4"_s)), asBytes(file));
    QVERIFY(m_prompts->allUsed());
}

// Two designs of one name in two folders: the menu tells them apart by path, the dialogs
// start where the user last was, and the list outlives the window.
void TestMainWindow::recentFilesAndFolders()
{
    QVERIFY(QDir(m_dir->path()).mkpath(u"one"_s) && QDir(m_dir->path()).mkpath(u"two"_s));
    const QString first = write(u"one/base.TD4"_s, encodedFile(trackRecord()));
    const QString second =
        write(u"two/base.TD4"_s, encodedFile(trackRecord(), GameVersion::LoopyLandscapes));
    QVERIFY(!m_window->action("SM_RecentClear")->isEnabled());
    open(first);
    open(second);
    QCOMPARE(m_prompts->openStarts, (QStringList{QString(), m_dir->filePath(u"one"_s)}));
    QCOMPARE(m_window->windowFilePath(), second);

    newWindow();
    QCOMPARE(m_window->action("SM_Recent1")->text(), u"&1 "_s + QDir::toNativeSeparators(second));
    QCOMPARE(m_window->action("SM_Recent2")->text(), u"&2 "_s + QDir::toNativeSeparators(first));
    trigger("SM_Recent2");
    QTRY_COMPARE(m_window->windowFilePath(), first);
    QCOMPARE(m_window->action("SM_Recent1")->text(), u"&1 "_s + QDir::toNativeSeparators(first));

    // Save As offers the current name.
    m_prompts->savePaths.enqueue(QString());
    trigger("SM_SaveAs");
    QCOMPARE(m_prompts->saveStarts, QStringList{first});

    trigger("SM_RecentClear");
    newWindow();
    QVERIFY(m_window->action("SM_Recent1") == nullptr);
    QVERIFY(m_prompts->allUsed());
}

void TestMainWindow::decodeWhenOpened()
{
    QVERIFY(!m_window->action("SM_DecodeOnOpen")->isChecked());
    trigger("SM_DecodeOnOpen");
    newWindow();
    QVERIFY(m_window->action("SM_DecodeOnOpen")->isChecked());

    const ByteBuffer file = encodedFile(trackRecord());
    open(write(u"ride.TD4"_s, file));
    QCOMPARE(bytes(), trackRecord());
    QCOMPARE(m_window->document().kind(), ContentKind::Decoded);
    // One step, which Undo takes back to the file as it is on disk.
    trigger("SM_Undo");
    QCOMPARE(bytes(), file);
}

// "key=value" for each value in the settings file, in key order.
static QStringList settingLines(const QString& file)
{
    const QSettings settings(file, QSettings::IniFormat);
    QStringList lines;
    for (const QString& key : settings.allKeys()) {
        lines.append(key + u'=' + settings.value(key).toString());
    }
    return lines;
}

void TestMainWindow::fileTypeOption_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("checkedBefore");
    QTest::addColumn<QStringList>("registered");
    QTest::addColumn<QString>("claimedMeanwhile"); // by another program, while registered
    QTest::addColumn<QStringList>("removed");
    const QStringList ours{
        u"Railwright.TrackDesign/Default=RollerCoaster Tycoon track design"_s,
        u"Railwright.TrackDesign/DefaultIcon/Default=\"C:\\RW\\railwright.exe\",0"_s,
        u"Railwright.TrackDesign/shell/open/Default=Open with Railwright"_s,
        u"Railwright.TrackDesign/shell/open/command/Default=\"C:\\RW\\railwright.exe\" \"%1\""_s,
    };
    QTest::newRow("no file type yet")
        << QStringList{} << false
        << QStringList{u".td4/Default=Railwright.TrackDesign"_s,
                       u".td4/OpenWithProgids/Railwright.TrackDesign="_s} +
               ours
        << QString() << QStringList{};
    const QStringList other{u".td4/OpenWithProgids/Other.Design="_s,
                            u"Other.Design/shell/open/command/Default=other.exe \"%1\""_s};
    QTest::newRow("another program's type stays")
        << QStringList{u".td4/Default=Other.Design"_s} + other << false
        << QStringList{u".td4/Default=Railwright.TrackDesign"_s, other[0],
                       u".td4/OpenWithProgids/Railwright.TrackDesign="_s, other[1]} +
               ours
        << u"Other.Design"_s << QStringList{u".td4/Default=Other.Design"_s} + other;
    QTest::newRow("an older copy's command is replaced")
        << QStringList{u".td4/Default=Railwright.TrackDesign"_s,
                       u"Railwright.TrackDesign/shell/open/command/Default=D:\\old.exe \"%1\""_s}
        << false
        << QStringList{u".td4/Default=Railwright.TrackDesign"_s,
                       u".td4/OpenWithProgids/Railwright.TrackDesign="_s} +
               ours
        << QString() << QStringList{};
}

// The per-user file type through the Options menu: chosen once it writes the keys, chosen
// again it removes exactly those, and another program's keys stay.
void TestMainWindow::fileTypeOption()
{
    QFETCH(QStringList, before);
    QFETCH(bool, checkedBefore);
    QFETCH(QStringList, registered);
    QFETCH(QString, claimedMeanwhile);
    QFETCH(QStringList, removed);
    const QString classes = m_dir->filePath(u"classes.ini"_s);
    {
        QSettings settings(classes, QSettings::IniFormat);
        for (const QString& line : std::as_const(before)) {
            settings.setValue(line.section(u'=', 0, 0), line.section(u'=', 1));
        }
    }
    FileAssociation association(classes, QSettings::IniFormat, u"C:\\RW\\railwright.exe"_s);
    m_window->offerFileAssociation(association);
    QAction* item = m_window->action("SM_FileType");
    QVERIFY(item != nullptr && item->isCheckable());
    QCOMPARE(item->isChecked(), checkedBefore);

    trigger("SM_FileType");
    QVERIFY(item->isChecked());
    QCOMPARE(settingLines(classes), registered);
    if (!claimedMeanwhile.isEmpty()) {
        QSettings(classes, QSettings::IniFormat).setValue(u".td4/Default"_s, claimedMeanwhile);
    }
    trigger("SM_FileType");
    QVERIFY(!item->isChecked());
    QCOMPARE(settingLines(classes), removed);

    // Registered elsewhere (the installer) while the window is open: the menu shows it.
    QVERIFY(association.registerFileType().isEmpty());
    QMetaObject::invokeMethod(m_window->menu("M_Options"), "aboutToShow");
    QVERIFY(item->isChecked());

    // A registry that cannot be written: the user is told.
    FileAssociation unwritable(m_dir->path(), QSettings::IniFormat, u"C:\\RW\\railwright.exe"_s);
    newWindow();
    m_window->offerFileAssociation(unwritable);
    trigger("SM_FileType");
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY2(m_prompts->messages[0].text.contains(u"access denied"_s),
             qPrintable(m_prompts->messages[0].text));
    newWindow(); // the associations go before the window that uses them
}

// Also run with QT_SCALE_FACTOR=2, where the offscreen screen offers 400 x 300.
void TestMainWindow::firstSizeFitsTheScreen()
{
    const QRect screen(QPoint(), m_window->screen()->availableGeometry().size());
    QVERIFY(screen.contains(QRect(QPoint(), m_window->size())));
}

// A boat hire: its five boats lead the vehicle menu, in the table's order, then a
// separator and every other vehicle; its one mode leads the mode menu.
void TestMainWindow::fittingChoicesFirst()
{
    ByteBuffer record = trackRecord();
    record[0] = 0x08;
    open(write(u"boats.TD4"_s, encodedFile(record)));
    // The panel's hint decodes too.
    m_window->action("SM_DesignPanel")->trigger();
    m_window->findChild<QPushButton*>(u"DesignHintDecode"_s)->click();
    QCOMPARE(m_window->document().kind(), ContentKind::Decoded);
    auto* vehicleBox = m_window->findChild<CodeComboBox*>(u"Design_vehicle_type"_s);
    QCOMPARE(vehicleBox->itemText(0), u"Swan Pedal-Boats (09)"_s);
    // Its vehicle, 30, is no boat; a narrow box cuts its name, its list takes the longest.
    const auto* warning = m_window->findChild<QLabel*>(u"Warning_vehicle_type"_s);
    QCOMPARE(warning->toolTip(), u"This vehicle is not offered for this ride in the game."_s);
    QVERIFY(!warning->isHidden());
    vehicleBox->setFixedWidth(120);
    QVERIFY(vehicleBox->shownText().endsWith(u'\u2026'));
    const auto listed = [this](const char* name) {
        QMenu* menu = m_window->menu(name);
        emit menu->aboutToShow();
        QStringList codes;
        for (const QAction* item : menu->actions()) {
            codes.append(item->isSeparator() ? u"-"_s : QString::number(item->data().toInt(), 16));
        }
        return codes;
    };
    QCOMPARE(listed("SM_VT").mid(0, 7), QString(u"9 b c f 18 - 0"_s).split(u' '));
    QCOMPARE(listed("SM_OM").mid(0, 3), QString(u"5 - 0"_s).split(u' '));
    // A ride the tables do not know keeps the table's order.
    m_window->document().setByte(0, 0x15);
    QCOMPARE(listed("SM_VT").mid(0, 2), QString(u"0 1"_s).split(u' '));
    QCOMPARE(vehicleBox->itemText(0), u"Steel Roller Coaster Train (00)"_s);
}

// Every item of the window's own menus and of the colour menus has an access key (the type
// menus list the code tables' names as they are).
void TestMainWindow::everyMenuItemHasAnAccessKey()
{
    const QStringList tableMenus = {u"SM_RC"_s, u"SM_VT"_s, u"SM_OM"_s};
    int checked = 0;
    for (const QMenu* menu : m_window->findChildren<QMenu*>()) {
        for (const QAction* item : menu->actions()) {
            if (!item->isSeparator() && !tableMenus.contains(menu->objectName())) {
                QVERIFY2(!QKeySequence::mnemonic(item->text()).isEmpty(), qPrintable(item->text()));
                ++checked;
            }
        }
    }
    QVERIFY(checked > 60); // the colour menus alone hold 12 + 12 + 3 x 4 items
}

// Open a Loopy Landscapes design, Decode, set the ride type, the vehicle and a colour,
// Encode and Save, with the keyboard alone (the file dialog answers from the script).
void TestMainWindow::keyboardOnlyWorkflow()
{
    ByteBuffer record = trackRecord();
    record.resize(ExpansionRecordLength, 0);
    record[7] = 0x05; // an expansion design
    record[8] = 0x05; // body colour 0
    const QString path = write(u"loopy.TD4"_s, encodedFile(record, GameVersion::LoopyLandscapes));
    m_prompts->openPaths.enqueue(path);
    press(QKeySequence(Qt::CTRL | Qt::Key_O));
    press(QKeySequence(Qt::CTRL | Qt::Key_D));
    QVERIFY(tabTo(u"Design_ride_type"_s));
    type(u"Wooden Twister"_s);
    press(QKeySequence(Qt::Key_Return));
    QCOMPARE(m_window->action("SM_Undo")->text(), u"&Undo Set Ride type"_s);
    QVERIFY(tabTo(u"Design_vehicle_type"_s));
    type(u"Wood Twister"_s);
    press(QKeySequence(Qt::Key_Down));
    press(QKeySequence(Qt::Key_Return));
    QVERIFY(tabTo(u"Design_body_color_0"_s));
    whenModal([](QWidget* palette) {
        // The keys start on the colour the field holds.
        QTest::keyClick(palette->focusWidget(), Qt::Key_Right);
        QTest::keyClick(palette->focusWidget(), Qt::Key_Return);
    });
    press(QKeySequence(Qt::Key_Space));
    // The window system gives the window back its keys when the dialog closes.
    QApplication::setActiveWindow(m_window.get());
    press(QKeySequence(Qt::CTRL | Qt::Key_E));
    press(QKeySequence(Qt::CTRL | Qt::Key_S));
    QVERIFY(m_prompts->allUsed());

    ByteBuffer expected = record;
    std::tie(expected[0], expected[1], expected[8]) = std::tuple(0x34, 0x38, 0x06);
    const QByteArray saved = readFile(path);
    const ByteBuffer savedBytes(saved.begin(), saved.end());
    QCOMPARE(MatchChecksum(savedBytes), ChecksumMatch::LoopyLandscapes);
    QCOMPARE(RLEDecode(savedBytes).record, expected);
}

// A byte chosen in the decoded record lies past the end of the encoded file and of a
// shorter one opened next: the status bar and "Data String" go back to byte 0 of the new
// bytes, Enter writes that byte, and the panels follow an undo of the byte.
void TestMainWindow::statusFollowsReplacedBytes()
{
    const auto panel = [this](int n) {
        return m_window->findChild<QLabel*>(u"StatusPanel%1"_s.arg(n))->text();
    };
    open(write(u"design.TD4"_s, encodedFile(trackRecord())));
    trigger("Toolbar_Decode");
    trigger("SM_SkipZero"); // the zeros after the track shown
    clickByte(*m_window->gridEditor(), 0x231);
    QCOMPARE(panel(1), u"Adress: 231"_s);
    trigger("Toolbar_Encode");
    QVERIFY(bytes().size() < 0x231);
    QCOMPARE(panel(1), u"Adress: 0"_s);
    QVERIFY(!health().contains(u"byte"_s));
    const QString before = panel(2);
    dataString()->clear();
    QTest::keyClicks(dataString(), u"7F"_s);
    QTest::keyClick(dataString(), Qt::Key_Return);
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(bytes()[0], std::uint8_t(0x7F));
    QCOMPARE(panel(2), u"Hex: 7F"_s);
    trigger("SM_Undo");
    QCOMPARE(panel(2), before);

    trigger("SM_Undo"); // the encoding: the record again, from its byte 0
    QCOMPARE(panel(1), u"Adress: 0"_s);
    clickByte(*m_window->gridEditor(), 0x231);
    m_window->document().markSaved();
    open(write(u"short.TD4"_s, sampleRecord(0x01, 100)));
    QCOMPARE(panel(1), u"Adress: 0"_s);
    QCOMPARE(panel(2), u"Hex: 0B"_s);
    QCOMPARE(dataString()->text(), u"0B"_s);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
