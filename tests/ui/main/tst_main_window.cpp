#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "ui/grid/grid_editor.h"
#include "ui/main/about_text.h"
#include "ui/main/main_window.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;
using Answer = UserPrompts::Answer;
using State = MainWindow::DocumentState;

Q_DECLARE_METATYPE(railwright::GameVersion)
Q_DECLARE_METATYPE(railwright::UserPrompts::Answer)

namespace {

const QString Filter = u"TD4 File *.TD4 (*.TD4);;Text Files *.txt (*.txt);;All Files *.* (*)"_s;

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuStructure();
    void menuItems_data();
    void menuItems();
    void toolbarButtons();
    void toolbarAndMenuShareCommands();
    void keyboardShortcuts();
    void startUp();
    void windowStates();
    void usersRoad();
    void decodeChoosesVersionFromByte7_data();
    void decodeChoosesVersionFromByte7();
    void encodeLeavesVersionAlone();
    void encodeUsesChosenChecksum_data();
    void encodeUsesChosenChecksum();
    void damagedDecodeChangesNothing_data();
    void damagedDecodeChangesNothing();
    void shortRecordSkipsByte7Test();
    void openQuestion_data();
    void openQuestion();
    void openStopsWhenItsSaveDoesNot_data();
    void openStopsWhenItsSaveDoesNot();
    void refusedOpenKeepsDocument_data();
    void refusedOpenKeepsDocument();
    void largestFileOpens();
    void saveCommands();
    void saveWritesStartUpAndDecodedBytes();
    void closeRequest_data();
    void closeRequest();
    void exitCommandAsksToo();
    void aboutBox();
    void versionMenuIsExclusive();
    void skipZeroOption();
    void statusBarFollowsGrid();

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeFile(m_dir->path(), name, bytes);
    }
    void open(const QString& path);
    void openAndDecode(const QString& path);
    // Opens and decodes a.TD4, holding encodedFile(sampleRecord(1)); returns its path.
    QString openDecodedSample();
    // The decoded a.TD4 is still there, changed, with `path` as the current path.
    void expectKept(const ByteBuffer& decoded, const QString& path);
    void trigger(const char* name);
    [[nodiscard]] ByteBuffer bytes() const { return m_window->document().contents(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    qRegisterMetaType<GameVersion>();
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
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    // A test that leaves a change behind must not be asked about it here.
    m_window->document().setChanged(false);
    m_window.reset();
    m_prompts.reset();
    m_dir.reset();
}

void TestMainWindow::trigger(const char* name)
{
    QAction* item = m_window->action(name);
    QVERIFY2(item != nullptr, name);
    item->trigger();
}

void TestMainWindow::open(const QString& path)
{
    m_prompts->openPaths.enqueue(path);
    trigger("SM_Open");
}

void TestMainWindow::openAndDecode(const QString& path)
{
    open(path);
    trigger("Toolbar_Decode");
}

QString TestMainWindow::openDecodedSample()
{
    const QString path = write(u"a.TD4"_s, asBytes(encodedFile(sampleRecord(1))));
    openAndDecode(path);
    return path;
}

void TestMainWindow::expectKept(const ByteBuffer& decoded, const QString& path)
{
    QCOMPARE(bytes(), decoded);
    QVERIFY(m_window->document().changed());
    QCOMPARE(m_window->windowTitle(), u"Railwright [a.TD4]"_s);
    QCOMPARE(m_window->documentState(), State::Decoded);
    QCOMPARE(m_window->currentPath(), path);
}

// --- Menus and toolbar -------------------------------------------------------------

void TestMainWindow::menuStructure()
{
    // Each menu's items in order, separators included; "" stands for the menu bar.
    const std::pair<const char*, const char*> menus[] = {
        {"", "M_File M_Edit M_RideSet M_Options M_About"},
        {"M_File", "SM_Open Break7 SM_Save SM_SaveAs Break4 SM_Export Break1 SM_Exit"},
        {"SM_Export", "SM_NoLimts SM_UltraCoaster"},
        {"M_Edit", "SM_Cut SM_Copy SM_Paste Break3 SM_Clear"},
        {"M_RideSet", "SM_RideOp SM_Color SM_Type"},
        {"SM_Color", "SM_ClrScheme SM_Track SM_Body_Color SM_Trim_Color"},
        {"SM_ClrScheme", "SM_CS_Same SM_CS_Train SM_CS_Car SM_CS_NotUsed"},
        {"SM_Track", "SM_TSC SM_TRC SM_SC"},
        {"SM_Type", "SM_RC SM_VT SM_OM"},
        {"M_Options", "SM_RCT_Ver SM_SkipZero"},
        {"SM_RCT_Ver", "SM_RCT_Org SM_RCT_CF SM_RCT_LL"},
    };
    for (const auto& [name, children] : menus) {
        const QWidget* menu = *name ? static_cast<QWidget*>(m_window->menu(name))
                                    : static_cast<QWidget*>(m_window->menuBar());
        QVERIFY2(menu != nullptr, name);
        QStringList names;
        const auto items = menu->actions();
        for (const QAction* item : items) {
            names << item->objectName();
            QCOMPARE(item->isSeparator(), item->objectName().startsWith(u"Break"_s));
        }
        QCOMPARE(names, QString::fromLatin1(children).split(u' '));
    }
    // "&About" is a command of its own, not a menu.
    QVERIFY(m_window->action("M_About")->menu() == nullptr);
}

void TestMainWindow::menuItems_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("flags"); // d: disabled, c: checkable, C: checked, m: a menu

    const auto row = [](const char* name, const char* caption, const char* key = "",
                        const char* flags = "") {
        QTest::newRow(name) << QString::fromLatin1(caption)
                            << QKeySequence(QString::fromLatin1(key)) << QString::fromLatin1(flags);
    };
    row("SM_Open", "&Open...", "Ctrl+O");
    row("SM_Save", "&Save", "Ctrl+S");
    row("SM_SaveAs", "Save &As...");
    row("SM_Export", "Expor&t", "", "m");
    row("SM_NoLimts", "No Limits", "", "d");
    row("SM_UltraCoaster", "Ultra Coaster", "", "d");
    row("SM_Exit", "&Exit", "Ctrl+Q");
    row("SM_Cut", "Cu&t", "Ctrl+X");
    row("SM_Copy", "&Copy", "Ctrl+C");
    row("SM_Paste", "&Paste", "Ctrl+V");
    row("SM_Clear", "&Delete", "Del");
    row("M_File", "&File", "", "m");
    row("M_Edit", "&Edit", "", "m");
    row("M_RideSet", "&Ride Settings", "", "dm");
    row("SM_RideOp", "&Ride Operation");
    row("SM_Color", "&Color", "", "m");
    row("SM_ClrScheme", "Color Scheme", "", "m");
    row("SM_CS_Same", "All Vechicles The Same Color");
    row("SM_CS_Train", "Trains Have Different Colors");
    row("SM_CS_Car", "Each Car Has Different Colors");
    row("SM_CS_NotUsed", "Not Used");
    row("SM_Track", "Track", "", "m");
    row("SM_TSC", "Track Spine Color", "", "m");
    row("SM_TRC", "Track Rail Color", "", "m");
    row("SM_SC", "Support Colors", "", "m");
    row("SM_Body_Color", "Body Color", "", "m");
    row("SM_Trim_Color", "Trim Color", "", "m");
    row("SM_Type", "&Type", "", "m");
    row("SM_RC", "&Ride", "", "m");
    row("SM_VT", "C&ars", "", "m");
    row("SM_OM", "M&ode", "", "m");
    row("M_Options", "&Options", "", "m");
    row("SM_RCT_Ver", "RCT Version", "", "m");
    row("SM_RCT_Org", "Orignal", "", "cC");
    row("SM_RCT_CF", "Corkscrew Follies", "", "c");
    row("SM_RCT_LL", "Loopy Landscapes", "", "c");
    row("SM_SkipZero", "&Skip Zero's", "", "cC");
    row("M_About", "&About");
}

void TestMainWindow::menuItems()
{
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, flags);

    const QByteArray name = QTest::currentDataTag();
    QAction* item = m_window->action(name.constData());
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), shortcut);
    QCOMPARE(item->isEnabled(), !flags.contains(u'd'));
    QCOMPARE(item->isCheckable(), flags.contains(u'c'));
    QCOMPARE(item->isChecked(), flags.contains(u'C'));
    QCOMPARE(item->menu() != nullptr, flags.contains(u'm'));
    if (flags.contains(u'm')) {
        QMenu* menu = m_window->menu(name.constData());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->menuAction(), item);
    }
}

void TestMainWindow::toolbarButtons()
{
    const QStringList texts = {u"Open File"_s,
                               u"Save File"_s,
                               {},
                               u"Cut"_s,
                               u"Copy"_s,
                               u"Paste"_s,
                               {},
                               u"Delete"_s,
                               {},
                               u"Ride Info"_s,
                               {},
                               u"Decode"_s,
                               u"Encode"_s};
    QToolBar* bar = m_window->toolbar();
    QCOMPARE(bar->objectName(), u"Toolbar"_s);
    QCOMPARE(bar->actions().size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QAction* button = bar->actions().at(i);
        const QString& text = texts.at(i);
        QCOMPARE(button->isSeparator(), text.isEmpty());
        QVERIFY(!button->objectName().isEmpty());
        if (text.isEmpty()) {
            continue;
        }
        QCOMPARE(button->text(), text);
        QVERIFY(!button->toolTip().isEmpty());
        // A picture that is really drawn, not a blank square.
        const QImage image = button->icon().pixmap(24, 24).toImage();
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        QVERIFY2(drawn > 40, qPrintable(text));
    }
}

void TestMainWindow::toolbarAndMenuShareCommands()
{
    m_prompts->openPaths.enqueue(QString()); // cancelled
    trigger("Toolbar_OpenFile");
    QCOMPARE(m_prompts->openFilters, QStringList{Filter});
    m_prompts->savePaths.enqueue(QString()); // cancelled
    trigger("Toolbar_SaveFile");
    QCOMPARE(m_prompts->saveFilters, QStringList{Filter});
    QVERIFY(m_prompts->allUsed());

    QLineEdit* box = m_window->gridEditor()->dataString();
    auto* clipboard = QApplication::clipboard();
    box->setMaxLength(32);
    for (const auto& [cut, copy, del, paste] :
         {std::tuple{"SM_Cut", "SM_Copy", "SM_Clear", "SM_Paste"},
          std::tuple{"Toolbar_Cut", "Toolbar_Copy", "Toolbar_Delete", "Toolbar_Paste"}}) {
        clipboard->clear();
        box->setText(u"42"_s);
        box->setSelection(0, 1);
        trigger(cut);
        QCOMPARE(clipboard->text(), u"4"_s);
        QCOMPARE(box->text(), QString());
        box->setText(u"42"_s);
        box->setSelection(0, 1);
        clipboard->clear();
        trigger(copy);
        QCOMPARE(clipboard->text(), u"4"_s);
        trigger(del);
        QCOMPARE(box->text(), u"2"_s);
        box->clear();
        clipboard->setText(u"A"_s);
        trigger(paste);
        QCOMPARE(box->text(), u"A"_s);
    }
    // The Edit commands never touch the document.
    QVERIFY(!m_window->document().changed());
}

void TestMainWindow::keyboardShortcuts()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->gridEditor()->grid()->setFocus();

    m_prompts->openPaths.enqueue(QString());
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_prompts->openFilters.size(), 1);
    m_prompts->savePaths.enqueue(QString());
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_prompts->saveFilters.size(), 1);

    // The Edit commands reach the edit box even while the grid has the focus.
    QLineEdit* box = m_window->gridEditor()->dataString();
    box->setText(u"42"_s);
    box->setSelection(1, 1);
    QTest::keyClick(m_window->gridEditor()->grid(), Qt::Key_Delete);
    QCOMPARE(box->text(), u"4"_s);

    QVERIFY(m_window->document().setByte(0, 1));
    m_prompts->answers.enqueue(Answer::Cancel);
    QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(m_prompts->questions.size(), 1);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_prompts->allUsed());
}

// --- Start-up and window states ----------------------------------------------------

void TestMainWindow::startUp()
{
    QCOMPARE(m_window->objectName(), u"Main"_s);
    QCOMPARE(m_window->windowTitle(), u"Railwright [Untitled]"_s);
    QCOMPARE(m_window->statusBar()->objectName(), u"StatusBar"_s);
    QCOMPARE(m_window->centralWidget(), static_cast<QWidget*>(m_window->gridEditor()));
    QCOMPARE(m_window->document().length(), 1);
    QVERIFY(m_window->document().isEmptyElement(0));
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_window->currentPath(), QString());
    QCOMPARE(m_window->documentState(), State::StartUp);
    QCOMPARE(m_window->gameVersion(), GameVersion::Original);
    QCOMPARE(m_window->gridEditor()->displayMode(), DisplayMode::Hexidecimal);
    QVERIFY(m_window->gridEditor()->skipZeros());

    QStringList panels;
    const auto labels = m_window->statusBar()->findChildren<QLabel*>();
    for (const QLabel* label : labels) {
        if (label->objectName().startsWith(u"StatusPanel"_s)) {
            panels << label->text();
        }
    }
    QCOMPARE(panels, (QStringList{u"Adress: 0"_s, u"Hex: 0"_s, u"Dec: 0"_s, u"Chr: 0"_s, {}}));
    QVERIFY(m_prompts->messages.isEmpty());
    QVERIFY(m_prompts->questions.isEmpty());
}

void TestMainWindow::windowStates()
{
    const auto expectState = [this](bool rideSet, bool rideInfo, bool decode, bool encode) {
        return m_window->action("M_RideSet")->isEnabled() == rideSet &&
               m_window->action("Toolbar_RideInfo")->isEnabled() == rideInfo &&
               m_window->action("Toolbar_Decode")->isEnabled() == decode &&
               m_window->action("Toolbar_Encode")->isEnabled() == encode;
    };
    QVERIFY(expectState(false, false, false, false));

    open(write(u"a.TD4"_s, asBytes(encodedFile(sampleRecord(1)))));
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(expectState(false, false, true, false));

    trigger("Toolbar_Decode");
    QCOMPARE(m_window->documentState(), State::Decoded);
    QVERIFY(expectState(true, true, false, true));
    // What "Ride Info" and "&Ride Settings" do is tested in tst_main_window_wiring.

    m_window->document().setChanged(false);
    trigger("Toolbar_Encode");
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(expectState(false, false, true, false));
    QVERIFY(m_window->document().changed()); // an encode alone counts as a change

    trigger("Toolbar_Decode");
    m_prompts->answers.enqueue(Answer::No);
    open(write(u"b.TD4"_s, asBytes(encodedFile(sampleRecord(2)))));
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(expectState(false, false, true, false));

    // Saving changes no state, not even while decoded.
    trigger("Toolbar_Decode");
    m_prompts->savePaths.enqueue(m_dir->filePath(u"c.TD4"_s));
    trigger("SM_SaveAs");
    QVERIFY(expectState(true, true, false, true));
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
}

// --- Decode and encode -------------------------------------------------------------

void TestMainWindow::usersRoad()
{
    const ByteBuffer record = sampleRecord(2, 700);
    const ByteBuffer file = encodedFile(record);
    const QString path = write(u"ride.TD4"_s, asBytes(file));

    open(path);
    QCOMPARE(bytes(), file);
    QCOMPARE(m_window->windowTitle(), u"Railwright [ride.TD4]"_s);
    QVERIFY(!m_window->document().changed());
    const QAbstractItemModel* model = m_window->gridEditor()->grid()->model();
    const auto hex = [](std::uint8_t value) {
        return QString::number(value, 16).toUpper().rightJustified(2, u'0');
    };
    QCOMPARE(model->index(0, 1).data().toString(), hex(file[0]));

    trigger("Toolbar_Decode");
    QCOMPARE(bytes(), record);
    QVERIFY(m_window->document().changed());
    QCOMPARE(model->index(0, 2).data().toString(), hex(record[1]));

    // Byte 0 is the one the edit box writes before any cell was clicked.
    QLineEdit* box = m_window->gridEditor()->dataString();
    box->setFocus();
    QTest::keyClicks(box, u"ab"_s);
    QTest::keyClick(box, Qt::Key_Return);
    ByteBuffer edited = record;
    edited[0] = 0xAB;
    QCOMPARE(bytes(), edited);

    trigger("Toolbar_Encode");
    QCOMPARE(bytes(), encodedFile(edited, GameVersion::Original));
    trigger("SM_Save");
    QCOMPARE(readFile(path), asBytes(encodedFile(edited)));
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_window->windowTitle(), u"Railwright [ride.TD4]"_s);

    // Decoding what was encoded gives the same record back.
    trigger("Toolbar_Decode");
    QCOMPARE(bytes(), edited);
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestMainWindow::decodeChoosesVersionFromByte7_data()
{
    QTest::addColumn<int>("byte7");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<GameVersion>("after");
    QTest::newRow("5 under Loopy") << 5 << QByteArray("SM_RCT_LL") << GameVersion::CorkscrewFollies;
    QTest::newRow("4 under Orignal")
        << 4 << QByteArray("SM_RCT_Org") << GameVersion::CorkscrewFollies;
    QTest::newRow("255 under Orignal")
        << 255 << QByteArray("SM_RCT_Org") << GameVersion::CorkscrewFollies;
    QTest::newRow("3 under Orignal") << 3 << QByteArray("SM_RCT_Org") << GameVersion::Original;
    QTest::newRow("2 under Corkscrew")
        << 2 << QByteArray("SM_RCT_CF") << GameVersion::CorkscrewFollies;
    QTest::newRow("0 under Loopy") << 0 << QByteArray("SM_RCT_LL") << GameVersion::LoopyLandscapes;
}

void TestMainWindow::decodeChoosesVersionFromByte7()
{
    QFETCH(int, byte7);
    QFETCH(QByteArray, before);
    QFETCH(GameVersion, after);
    trigger(before.constData());
    openAndDecode(write(u"v.TD4"_s, asBytes(encodedFile(sampleRecord(std::uint8_t(byte7))))));
    QCOMPARE(m_window->documentState(), State::Decoded);
    QCOMPARE(m_window->gameVersion(), after);
    const int checks = int(m_window->action("SM_RCT_Org")->isChecked()) +
                       int(m_window->action("SM_RCT_CF")->isChecked()) +
                       int(m_window->action("SM_RCT_LL")->isChecked());
    QCOMPARE(checks, 1);
}

void TestMainWindow::encodeLeavesVersionAlone()
{
    // Distinct neighbours make the encoded body one literal block, so the body's byte 7
    // is record byte 6, here 200: after encoding byte 7 says nothing about the game.
    ByteBuffer record = sampleRecord(1, 120);
    record[6] = 200;
    openAndDecode(write(u"e.TD4"_s, asBytes(encodedFile(record))));
    QCOMPARE(m_window->gameVersion(), GameVersion::Original);
    trigger("Toolbar_Encode");
    QVERIFY(bytes().size() > 7);
    QVERIFY(bytes()[7] >= 4);
    QCOMPARE(m_window->gameVersion(), GameVersion::Original);
}

void TestMainWindow::encodeUsesChosenChecksum_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<GameVersion>("version");
    QTest::newRow("Orignal") << QByteArray("SM_RCT_Org") << GameVersion::Original;
    QTest::newRow("Corkscrew") << QByteArray("SM_RCT_CF") << GameVersion::CorkscrewFollies;
    QTest::newRow("Loopy") << QByteArray("SM_RCT_LL") << GameVersion::LoopyLandscapes;
}

void TestMainWindow::encodeUsesChosenChecksum()
{
    QFETCH(QByteArray, item);
    QFETCH(GameVersion, version);
    const ByteBuffer record = sampleRecord(5);
    openAndDecode(write(u"c.TD4"_s, asBytes(encodedFile(record))));
    trigger(item.constData());
    trigger("Toolbar_Encode");
    QCOMPARE(bytes(), encodedFile(record, version));
    QCOMPARE(m_window->gameVersion(), version);
    QVERIFY(encodedFile(record, GameVersion::Original) !=
            encodedFile(record, GameVersion::LoopyLandscapes));
}

void TestMainWindow::damagedDecodeChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("messageStart");
    // A literal block of 128 bytes in a file of 10.
    QTest::newRow("damaged") << QByteArray("\x7f\x01\x02\x03\x04\x05\x06\x07\x08\x09", 10)
                             << u"This file cannot be decoded: "_s;
    // Five bytes or fewer hold no block at all.
    QTest::newRow("empty result") << QByteArray("\x01\x02\x03\x04\x05", 5)
                                  << u"This file holds no track design"_s;
}

void TestMainWindow::damagedDecodeChangesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, messageStart);
    open(write(u"bad.TD4"_s, file));
    QSignalSpy replaced(&m_window->document(), &TrackDesignDocument::contentsReplaced);
    trigger("Toolbar_Decode");

    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY2(m_prompts->messages.at(0).text.startsWith(messageStart),
             qPrintable(m_prompts->messages.at(0).text));
    QCOMPARE(m_prompts->messages.at(0).caption, u"Railwright"_s);
    QCOMPARE(asBytes(bytes()), file);
    QCOMPARE(replaced.size(), 0);
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(m_window->action("Toolbar_Decode")->isEnabled());
    QVERIFY(!m_window->action("M_RideSet")->isEnabled());
    QVERIFY(!m_window->action("Toolbar_Encode")->isEnabled());
    QCOMPARE(m_window->gameVersion(), GameVersion::Original);
}

void TestMainWindow::shortRecordSkipsByte7Test()
{
    // A record of 6 bytes, each of which would count as "4 or more".
    const ByteBuffer record{9, 9, 9, 9, 9, 9};
    trigger("SM_RCT_LL");
    openAndDecode(write(u"s.TD4"_s, asBytes(encodedFile(record))));
    QCOMPARE(bytes(), record);
    QCOMPARE(m_window->documentState(), State::Decoded);
    QCOMPARE(m_window->gameVersion(), GameVersion::LoopyLandscapes);
    QVERIFY(m_prompts->messages.isEmpty());
}

// --- Open ----------------------------------------------------------------------------

void TestMainWindow::openQuestion_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("Yes") << Answer::Yes;
    QTest::newRow("No") << Answer::No;
    QTest::newRow("Cancel") << Answer::Cancel;
}

void TestMainWindow::openQuestion()
{
    QFETCH(Answer, answer);
    const ByteBuffer fileB = encodedFile(sampleRecord(2, 50));
    const QString pathB = write(u"b.TD4"_s, asBytes(fileB));
    const QString pathA = openDecodedSample();
    const ByteBuffer decoded = bytes();

    m_prompts->answers.enqueue(answer);
    if (answer != Answer::Cancel) {
        m_prompts->openPaths.enqueue(pathB);
    }
    trigger("SM_Open");

    QCOMPARE(m_prompts->questions.size(), 1);
    QCOMPARE(m_prompts->questions.at(0).text, u"Save Changes To Current File?"_s);
    QCOMPARE(m_prompts->questions.at(0).caption, u"Railwright"_s);
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
    // Yes saved the decoded record to the file's own path, No and Cancel wrote nothing.
    QCOMPARE(readFile(pathA),
             asBytes(answer == Answer::Yes ? decoded : encodedFile(sampleRecord(1))));
    if (answer == Answer::Cancel) {
        expectKept(decoded, pathA);
    } else {
        QCOMPARE(bytes(), fileB);
        QVERIFY(!m_window->document().changed());
        QCOMPARE(m_window->windowTitle(), u"Railwright [b.TD4]"_s);
        QCOMPARE(m_window->documentState(), State::Raw);
        QCOMPARE(m_window->currentPath(), pathB);
    }
}

void TestMainWindow::openStopsWhenItsSaveDoesNot_data()
{
    QTest::addColumn<bool>("cancelSave");
    QTest::newRow("save dialog cancelled") << true;
    QTest::newRow("save failed") << false;
}

void TestMainWindow::openStopsWhenItsSaveDoesNot()
{
    QFETCH(bool, cancelSave);
    openDecodedSample();
    // A cancelled Save As leaves no current path, so the next save asks for one.
    m_prompts->savePaths.enqueue(QString());
    trigger("SM_SaveAs");
    const ByteBuffer decoded = bytes();

    const QString badPath = m_dir->filePath(u"no-such-folder/x.TD4"_s);
    m_prompts->answers.enqueue(Answer::Yes);
    m_prompts->savePaths.enqueue(cancelSave ? QString() : badPath);
    trigger("SM_Open");

    QCOMPARE(m_prompts->openFilters.size(), 1); // only the first open
    QVERIFY(m_prompts->allUsed());
    expectKept(decoded, QString());
    if (cancelSave) {
        QVERIFY(m_prompts->messages.isEmpty());
    } else {
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages.at(0).text,
                 u"Can't open file: "_s + badPath + u" (its folder does not exist)"_s);
        QVERIFY(!QFile::exists(badPath));
    }
}

void TestMainWindow::refusedOpenKeepsDocument_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>": missing, "<cancel>": no file chosen
    QTest::addColumn<QString>("message");    // "%1" stands for the path
    QTest::newRow("too large") << QByteArray(65001, '\x07') << u"The file is too large to open."_s;
    QTest::newRow("missing") << QByteArray("<none>") << u"Can't open file: %1 (does not exist)"_s;
    QTest::newRow("empty") << QByteArray() << u"?"_s;
    QTest::newRow("dialog cancelled") << QByteArray("<cancel>") << QString();
}

void TestMainWindow::refusedOpenKeepsDocument()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString pathA = openDecodedSample();
    const ByteBuffer decoded = bytes();

    const QString refused = content == "<cancel>" ? QString()
                            : content == "<none>" ? m_dir->filePath(u"missing.TD4"_s)
                                                  : write(u"refused.TD4"_s, content);
    m_prompts->answers.enqueue(Answer::No);
    m_prompts->openPaths.enqueue(refused);
    trigger("SM_Open");

    QCOMPARE(m_prompts->messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        const auto& shown = m_prompts->messages.at(0);
        QCOMPARE(shown.caption, u"Railwright"_s);
        QVERIFY(!shown.text.isEmpty());
        if (message != u"?"_s) {
            QCOMPARE(shown.text, message.contains(u"%1"_s) ? message.arg(refused) : message);
        }
    }
    expectKept(decoded, QString());

    // "&Save" now asks for a path and never writes over a.TD4 or the refused file.
    const QString pathC = m_dir->filePath(u"c.TD4"_s);
    m_prompts->savePaths.enqueue(pathC);
    trigger("SM_Save");
    QCOMPARE(m_prompts->saveFilters.size(), 1);
    QCOMPARE(readFile(pathC), asBytes(decoded));
    QCOMPARE(readFile(pathA), asBytes(encodedFile(sampleRecord(1))));
    if (!content.startsWith('<')) {
        QCOMPARE(readFile(refused), content);
    }
    QVERIFY(m_prompts->allUsed());
}

void TestMainWindow::largestFileOpens()
{
    QByteArray content(65000, '\0');
    for (int i = 0; i < content.size(); ++i) {
        content[i] = char(i % 256);
    }
    open(write(u"big.txt"_s, content));
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(asBytes(bytes()), content);
    QCOMPARE(m_window->documentState(), State::Raw);
    QCOMPARE(m_window->windowTitle(), u"Railwright [big.txt]"_s);
}

// --- Save ------------------------------------------------------------------------------
// Saves that fail (full disk, read-only folder, a path that became a folder, a vanished
// folder) are tested through Save and Save As in tst_save_faults.

void TestMainWindow::saveCommands()
{
    // A text file with both kinds of line end comes back byte for byte.
    const QByteArray text("line one\r\nline two\nline three\r\x00\xff", 33);
    const QString pathA = write(u"a.txt"_s, text);
    open(pathA);
    QCOMPARE(asBytes(bytes()), text);

    // Save with a current path writes there without asking.
    QFile::remove(pathA);
    trigger("SM_Save");
    QVERIFY(m_prompts->saveFilters.isEmpty());
    QCOMPARE(readFile(pathA), text);

    // Save As always asks, and the chosen path becomes the current one.
    const QString pathB = m_dir->filePath(u"b.TD4"_s);
    m_prompts->savePaths.enqueue(pathB);
    trigger("SM_SaveAs");
    QCOMPARE(m_prompts->saveFilters, QStringList{Filter});
    QCOMPARE(readFile(pathB), text);
    QCOMPARE(m_window->windowTitle(), u"Railwright [b.TD4]"_s);
    QCOMPARE(m_window->currentPath(), pathB);

    // A cancelled Save As writes nothing and keeps the changed mark.
    QVERIFY(m_window->document().setByte(0, 'X'));
    m_prompts->savePaths.enqueue(QString());
    trigger("SM_SaveAs");
    QVERIFY(m_window->document().changed());
    QCOMPARE(readFile(pathB), text);
    QVERIFY(m_prompts->allUsed());
}

void TestMainWindow::saveWritesStartUpAndDecodedBytes()
{
    const QString empty = m_dir->filePath(u"empty.TD4"_s);
    m_prompts->savePaths.enqueue(empty);
    trigger("SM_Save");
    QCOMPARE(readFile(empty), QByteArray());
    QCOMPARE(m_window->windowTitle(), u"Railwright [empty.TD4]"_s);

    // Saving between Decode and Encode writes the record, without a checksum; the
    // new content is shorter than the old file, whose tail must not survive.
    const ByteBuffer record = sampleRecord(1, 40);
    openAndDecode(write(u"r.TD4"_s, asBytes(encodedFile(record))));
    const QString target = write(u"long.TD4"_s, asBytes(encodedFile(record)) + QByteArray(500, 3));
    m_prompts->savePaths.enqueue(target);
    trigger("SM_SaveAs");
    QCOMPARE(readFile(target), asBytes(record));
    QVERIFY(!m_window->document().changed());
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
}

// --- Close -----------------------------------------------------------------------------

void TestMainWindow::closeRequest_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("save"); // 0 writes, 1 cancels the dialog, 2 fails
    QTest::addColumn<bool>("closes");
    QTest::newRow("unchanged") << false << Answer::Cancel << 0 << true;
    QTest::newRow("Yes, saved") << true << Answer::Yes << 0 << true;
    QTest::newRow("Yes, save cancelled") << true << Answer::Yes << 1 << false;
    QTest::newRow("Yes, save failed") << true << Answer::Yes << 2 << false;
    QTest::newRow("No") << true << Answer::No << 0 << true;
    QTest::newRow("Cancel") << true << Answer::Cancel << 0 << false;
}

void TestMainWindow::closeRequest()
{
    QFETCH(bool, changed);
    QFETCH(Answer, answer);
    QFETCH(int, save);
    QFETCH(bool, closes);
    const ByteBuffer file = encodedFile(sampleRecord(1));
    const QString path = write(u"a.TD4"_s, asBytes(file));
    open(path);
    if (changed) {
        trigger("Toolbar_Decode");
        m_prompts->answers.enqueue(answer);
        if (answer == Answer::Yes) {
            // The Save As here empties the current path, so the close's save asks.
            m_prompts->savePaths.enqueue(QString());
            trigger("SM_SaveAs");
            const QString paths[] = {path, QString(), m_dir->filePath(u"x/y.TD4"_s)};
            m_prompts->savePaths.enqueue(paths[save]);
        }
    }
    const ByteBuffer before = bytes();

    QCOMPARE(m_window->close(), closes);
    QCOMPARE(m_window->isVisible(), !closes);
    QVERIFY(m_prompts->allUsed());
    QCOMPARE(m_prompts->questions.size(), changed ? 1 : 0);
    if (changed) {
        QCOMPARE(m_prompts->questions.at(0).text, u"Save Changes Before Exit?"_s);
        QCOMPARE(m_prompts->questions.at(0).caption, u"Railwright"_s);
    }
    const bool saved = answer == Answer::Yes && save == 0;
    QCOMPARE(readFile(path), asBytes(saved ? before : file));
    QCOMPARE(m_prompts->messages.size(), answer == Answer::Yes && save == 2 ? 1 : 0);
    if (!closes) {
        QVERIFY(m_window->document().changed());
        QCOMPARE(bytes(), before);
    }
}

void TestMainWindow::exitCommandAsksToo()
{
    openDecodedSample();
    m_prompts->answers.enqueue(Answer::Cancel);
    trigger("SM_Exit");
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_prompts->questions.size(), 1);

    m_prompts->answers.enqueue(Answer::No);
    trigger("SM_Exit");
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_prompts->allUsed());
}

// --- About, options, status ----------------------------------------------------------------

void TestMainWindow::aboutBox()
{
    trigger("M_About");
    QCOMPARE(m_prompts->messages.size(), 1);
    const auto& shown = m_prompts->messages.at(0);
    QCOMPARE(shown.caption, u"Help"_s);
    QCOMPARE(shown.icon, UserPrompts::Icon::None);
    QCOMPARE(shown.text, AboutText());
    QVERIFY(!shown.text.endsWith(u'\n'));
    const QStringList lines = shown.text.split(u"\r\n"_s);
    // "*" stands for a line of the program's own choosing that must not be blank.
    const QStringList fixed = {
        u"Thank You For Using Railwright v1.0"_s,
        u"*"_s,
        QString(),
        u"Help:"_s,
        u"1: Open File In Railwright."_s,
        u"2: Press The Decode Toolbar Button."_s,
        u"3: Make Desired Changes To RCT Ride."_s,
        u"4: Press The Encode Toolbar Button. (Checksum is Automatically Added)"_s,
        u"5: Save The Changed File."_s,
        QString(),
        u"*"_s,
        u"*"_s,
        QString(),
        u"*"_s,
    };
    QCOMPARE(lines.size(), fixed.size());
    for (qsizetype i = 0; i < fixed.size(); ++i) {
        QVERIFY(!lines.at(i).contains(u'\r') && !lines.at(i).contains(u'\n'));
        if (fixed.at(i) == u"*"_s) {
            QVERIFY2(!lines.at(i).trimmed().isEmpty(), qPrintable(QString::number(i + 1)));
        } else {
            QCOMPARE(lines.at(i), fixed.at(i));
        }
    }
}

void TestMainWindow::versionMenuIsExclusive()
{
    const std::pair<const char*, GameVersion> items[] = {
        {"SM_RCT_CF", GameVersion::CorkscrewFollies},
        {"SM_RCT_LL", GameVersion::LoopyLandscapes},
        {"SM_RCT_Org", GameVersion::Original}};
    // Every item from every starting version, and twice in a row (a click on the checked
    // item keeps it checked).
    for (const auto& [item, version] : items) {
        for (const auto& start : items) {
            trigger(start.first);
            for (int click = 0; click < 2; ++click) {
                trigger(item);
                QCOMPARE(m_window->gameVersion(), version);
                for (const auto& other : items) {
                    QCOMPARE(m_window->action(other.first)->isChecked(),
                             qstrcmp(item, other.first) == 0);
                }
            }
        }
    }
    QVERIFY(!m_window->document().changed());
}

void TestMainWindow::skipZeroOption()
{
    QAction* skip = m_window->action("SM_SkipZero");
    const QAbstractItemModel* model = m_window->gridEditor()->grid()->model();
    QCOMPARE(model->rowCount(), 0); // the start-up element counts as a trailing zero
    for (const bool on : {false, true}) {
        trigger("SM_SkipZero");
        QCOMPARE(skip->isChecked(), on);
        QCOMPARE(m_window->gridEditor()->skipZeros(), on);
        QCOMPARE(model->rowCount(), on ? 0 : 1);
    }
}

void TestMainWindow::statusBarFollowsGrid()
{
    const QStringList texts = {u"Adress: 1A"_s, u"Hex: 0A"_s, u"Dec: 10"_s, u"Chr: \n"_s};
    emit m_window->gridEditor()->statusTextsChanged(texts);
    QStringList shown;
    for (int i = 1; i <= 5; ++i) {
        const auto* label = m_window->statusBar()->findChild<QLabel*>(u"StatusPanel%1"_s.arg(i));
        QVERIFY(label != nullptr);
        shown << label->text();
    }
    QCOMPARE(shown, texts + QStringList{QString()});
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
