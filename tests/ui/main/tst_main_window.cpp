#include "codec/checksum.h"
#include "codec/rle.h"
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
using railwright::test::ScriptedPrompts;
using Answer = UserPrompts::Answer;
using State = MainWindow::DocumentState;

Q_DECLARE_METATYPE(railwright::GameVersion)
Q_DECLARE_METATYPE(railwright::UserPrompts::Answer)

namespace {

const QString Filter =
    QStringLiteral("TD4 File *.TD4 (*.TD4);;Text Files *.txt (*.txt);;All Files *.* (*)");

// A record that exercises both block kinds: literal stretches, long runs of one value,
// runs longer than one block and the colour-scheme byte 7.
ByteBuffer sampleRecord(std::uint8_t byte7, std::size_t size = 300)
{
    ByteBuffer record(size);
    for (std::size_t i = 0; i < size; ++i) {
        record[i] = std::uint8_t((i * 37 + 11) % 251);
    }
    for (std::size_t i = 40; i < 60 && i < size; ++i) {
        record[i] = 0x55;
    }
    for (std::size_t i = 100; i < 240 && i < size; ++i) {
        record[i] = 0;
    }
    if (size > 7) {
        record[7] = byte7;
    }
    return record;
}

ByteBuffer encodedFile(const ByteBuffer& record, GameVersion version = GameVersion::Original)
{
    return AppendChecksum(RLEEncode(record), version);
}

QByteArray asBytes(const ByteBuffer& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void topLevelMenus();
    void menuItems_data();
    void menuItems();
    void menuOrder_data();
    void menuOrder();
    void toolbarButtons_data();
    void toolbarButtons();
    void toolbarSharesFileCommands();
    void toolbarAndMenuShareEditCommands();
    void keyboardShortcuts();
    void startUp();
    void windowStates();
    void usersRoad();
    void decodeEncodeDecodeGivesSameRecord();
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
    void cancelledOpenKeepsDocument();
    void refusedOpenKeepsDocument_data();
    void refusedOpenKeepsDocument();
    void largestFileOpens();
    void saveCommands();
    void saveWritesStartUpAndDecodedBytes();
    void failedSaveKeepsChanged_data();
    void failedSaveKeepsChanged();
    void closeRequest_data();
    void closeRequest();
    void exitCommandAsksToo();
    void aboutBox();
    void versionMenuIsExclusive_data();
    void versionMenuIsExclusive();
    void skipZeroOption();
    void statusBarFollowsGrid();

private:
    QString writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& path);
    void open(const QString& path);
    void openAndDecode(const QString& path);
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

QString TestMainWindow::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file");
    }
    return path;
}

QByteArray TestMainWindow::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray("<missing>");
    }
    return file.readAll();
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

// --- Menus and toolbar -------------------------------------------------------------

void TestMainWindow::topLevelMenus()
{
    QStringList names;
    QStringList captions;
    const auto topLevel = m_window->menuBar()->actions();
    for (const QAction* item : topLevel) {
        names << item->objectName();
        captions << item->text();
    }
    QCOMPARE(names, (QStringList{QStringLiteral("M_File"), QStringLiteral("M_Edit"),
                                 QStringLiteral("M_RideSet"), QStringLiteral("M_Options"),
                                 QStringLiteral("M_About")}));
    QCOMPARE(captions, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                    QStringLiteral("&Ride Settings"), QStringLiteral("&Options"),
                                    QStringLiteral("&About")}));
    // "&About" is a command of its own, not a menu.
    QVERIFY(m_window->action("M_About")->menu() == nullptr);
    QVERIFY(m_window->menu("M_RideSet") != nullptr);
}

void TestMainWindow::menuItems_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("submenu");

    const auto row = [](const char* name, const char* caption, QKeySequence key = {},
                        bool enabled = true, bool checkable = false, bool checked = false,
                        bool submenu = false) {
        QTest::newRow(name) << QString::fromLatin1(caption) << key << enabled << checkable
                            << checked << submenu;
    };
    row("SM_Open", "&Open...", QKeySequence(QStringLiteral("Ctrl+O")));
    row("SM_Save", "&Save", QKeySequence(QStringLiteral("Ctrl+S")));
    row("SM_SaveAs", "Save &As...");
    row("SM_Export", "Expor&t", {}, true, false, false, true);
    row("SM_NoLimts", "No Limits", {}, false);
    row("SM_UltraCoaster", "Ultra Coaster", {}, false);
    row("SM_Exit", "&Exit", QKeySequence(QStringLiteral("Ctrl+Q")));
    row("SM_Cut", "Cu&t", QKeySequence(QStringLiteral("Ctrl+X")));
    row("SM_Copy", "&Copy", QKeySequence(QStringLiteral("Ctrl+C")));
    row("SM_Paste", "&Paste", QKeySequence(QStringLiteral("Ctrl+V")));
    row("SM_Clear", "&Delete", QKeySequence(QStringLiteral("Del")));
    row("M_RideSet", "&Ride Settings", {}, false, false, false, true);
    row("SM_RideOp", "&Ride Operation");
    row("SM_Color", "&Color", {}, true, false, false, true);
    row("SM_ClrScheme", "Color Scheme", {}, true, false, false, true);
    row("SM_CS_Same", "All Vechicles The Same Color");
    row("SM_CS_Train", "Trains Have Different Colors");
    row("SM_CS_Car", "Each Car Has Different Colors");
    row("SM_CS_NotUsed", "Not Used");
    row("SM_Track", "Track", {}, true, false, false, true);
    row("SM_TSC", "Track Spine Color", {}, true, false, false, true);
    row("SM_TRC", "Track Rail Color", {}, true, false, false, true);
    row("SM_SC", "Support Colors", {}, true, false, false, true);
    row("SM_Body_Color", "Body Color", {}, true, false, false, true);
    row("SM_Trim_Color", "Trim Color", {}, true, false, false, true);
    row("SM_Type", "&Type", {}, true, false, false, true);
    row("SM_RC", "&Ride", {}, true, false, false, true);
    row("SM_VT", "C&ars", {}, true, false, false, true);
    row("SM_OM", "M&ode", {}, true, false, false, true);
    row("M_Options", "&Options", {}, true, false, false, true);
    row("SM_RCT_Ver", "RCT Version", {}, true, false, false, true);
    row("SM_RCT_Org", "Orignal", {}, true, true, true);
    row("SM_RCT_CF", "Corkscrew Follies", {}, true, true, false);
    row("SM_RCT_LL", "Loopy Landscapes", {}, true, true, false);
    row("SM_SkipZero", "&Skip Zero's", {}, true, true, true);
    row("M_About", "&About");
}

void TestMainWindow::menuItems()
{
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    QFETCH(bool, submenu);

    const QByteArray name = QTest::currentDataTag();
    QAction* item = m_window->action(name.constData());
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), shortcut);
    QCOMPARE(item->isEnabled(), enabled);
    QCOMPARE(item->isCheckable(), checkable);
    QCOMPARE(item->isChecked(), checked);
    QCOMPARE(item->menu() != nullptr, submenu);
    if (submenu) {
        QMenu* menu = m_window->menu(name.constData());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->menuAction(), item);
    }
}

void TestMainWindow::menuOrder_data()
{
    QTest::addColumn<QStringList>("children");
    const auto row = [](const char* menu, const char* children) {
        QTest::newRow(menu) << QString::fromLatin1(children).split(QLatin1Char(' '));
    };
    row("M_File", "SM_Open Break7 SM_Save SM_SaveAs Break4 SM_Export Break1 SM_Exit");
    row("SM_Export", "SM_NoLimts SM_UltraCoaster");
    row("M_Edit", "SM_Cut SM_Copy SM_Paste Break3 SM_Clear");
    row("M_RideSet", "SM_RideOp SM_Color SM_Type");
    row("SM_Color", "SM_ClrScheme SM_Track SM_Body_Color SM_Trim_Color");
    row("SM_ClrScheme", "SM_CS_Same SM_CS_Train SM_CS_Car SM_CS_NotUsed");
    row("SM_Track", "SM_TSC SM_TRC SM_SC");
    row("SM_Type", "SM_RC SM_VT SM_OM");
    row("M_Options", "SM_RCT_Ver SM_SkipZero");
    row("SM_RCT_Ver", "SM_RCT_Org SM_RCT_CF SM_RCT_LL");
}

void TestMainWindow::menuOrder()
{
    QFETCH(QStringList, children);
    QMenu* menu = m_window->menu(QTest::currentDataTag());
    QVERIFY(menu != nullptr);
    QStringList names;
    const auto items = menu->actions();
    for (const QAction* item : items) {
        names << item->objectName();
        if (item->objectName().startsWith(QStringLiteral("Break"))) {
            QVERIFY(item->isSeparator());
        }
    }
    QCOMPARE(names, children);
}

void TestMainWindow::toolbarButtons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const auto row = [](int index, const char* text) {
        QTest::addRow("%d", index) << index << QString::fromLatin1(text);
    };
    row(1, "Open File");
    row(2, "Save File");
    row(3, "");
    row(4, "Cut");
    row(5, "Copy");
    row(6, "Paste");
    row(7, "");
    row(8, "Delete");
    row(9, "");
    row(10, "Ride Info");
    row(11, "");
    row(12, "Decode");
    row(13, "Encode");
}

void TestMainWindow::toolbarButtons()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QToolBar* bar = m_window->toolbar();
    QCOMPARE(bar->objectName(), QStringLiteral("Toolbar"));
    QCOMPARE(bar->actions().size(), 13);
    const QAction* button = bar->actions().at(index - 1);
    QCOMPARE(button->isSeparator(), text.isEmpty());
    QVERIFY(!button->objectName().isEmpty());
    if (!text.isEmpty()) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->toolTip().isEmpty());
        const QIcon icon = button->icon();
        QVERIFY(!icon.isNull());
        // A picture that is really drawn, not a blank square.
        const QImage image = icon.pixmap(24, 24).toImage();
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        QVERIFY2(drawn > 40, qPrintable(text));
    }
}

void TestMainWindow::toolbarSharesFileCommands()
{
    m_prompts->openPaths.enqueue(QString()); // cancelled
    trigger("Toolbar_OpenFile");
    QCOMPARE(m_prompts->openFilters, QStringList{Filter});

    m_prompts->savePaths.enqueue(QString()); // cancelled
    trigger("Toolbar_SaveFile");
    QCOMPARE(m_prompts->saveFilters, QStringList{Filter});
    QVERIFY(m_prompts->allUsed());
}

void TestMainWindow::toolbarAndMenuShareEditCommands()
{
    QLineEdit* box = m_window->gridEditor()->dataString();
    QApplication::clipboard()->clear();

    for (const char* cut : {"SM_Cut", "Toolbar_Cut"}) {
        box->setMaxLength(32);
        box->setText(QStringLiteral("42"));
        box->setSelection(0, 1);
        trigger(cut);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("4"));
        QCOMPARE(box->text(), QString());
        QApplication::clipboard()->clear();
    }
    for (const auto& [copy, del] :
         {std::pair{"SM_Copy", "SM_Clear"}, std::pair{"Toolbar_Copy", "Toolbar_Delete"}}) {
        box->setText(QStringLiteral("42"));
        box->setSelection(0, 1);
        trigger(copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("4"));
        trigger(del);
        QCOMPARE(box->text(), QStringLiteral("2"));
    }
    for (const char* paste : {"SM_Paste", "Toolbar_Paste"}) {
        box->clear();
        QApplication::clipboard()->setText(QStringLiteral("A"));
        trigger(paste);
        QCOMPARE(box->text(), QStringLiteral("A"));
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
    box->setText(QStringLiteral("42"));
    box->setSelection(1, 1);
    QTest::keyClick(m_window->gridEditor()->grid(), Qt::Key_Delete);
    QCOMPARE(box->text(), QStringLiteral("4"));

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
    QCOMPARE(m_window->objectName(), QStringLiteral("Main"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [Untitled]"));
    QCOMPARE(m_window->statusBar()->objectName(), QStringLiteral("StatusBar"));
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
        if (label->objectName().startsWith(QStringLiteral("StatusPanel"))) {
            panels << label->text();
        }
    }
    QCOMPARE(panels, (QStringList{QStringLiteral("Adress: 0"), QStringLiteral("Hex: 0"),
                                  QStringLiteral("Dec: 0"), QStringLiteral("Chr: 0"), QString()}));
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

    const QString first = writeFile(QStringLiteral("a.TD4"), asBytes(encodedFile(sampleRecord(1))));
    const QString second =
        writeFile(QStringLiteral("b.TD4"), asBytes(encodedFile(sampleRecord(2))));

    open(first);
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(expectState(false, false, true, false));

    trigger("Toolbar_Decode");
    QCOMPARE(m_window->documentState(), State::Decoded);
    QVERIFY(expectState(true, true, false, true));
    trigger("Toolbar_RideInfo");
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.constFirst().caption, QStringLiteral("Ride Info"));
    QVERIFY(m_prompts->messages.constFirst().text.startsWith(QStringLiteral("RCT Version: ")));
    m_prompts->messages.clear();

    m_window->document().setChanged(false);
    trigger("Toolbar_Encode");
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(expectState(false, false, true, false));
    QVERIFY(m_window->document().changed()); // an encode alone counts as a change

    trigger("Toolbar_Decode");
    m_prompts->answers.enqueue(Answer::No);
    open(second);
    QCOMPARE(m_window->documentState(), State::Raw);
    QVERIFY(expectState(false, false, true, false));

    // Saving changes no state, not even while decoded.
    trigger("Toolbar_Decode");
    m_prompts->savePaths.enqueue(m_dir->filePath(QStringLiteral("c.TD4")));
    trigger("SM_SaveAs");
    QVERIFY(expectState(true, true, false, true));
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
}

// --- Decode and encode -------------------------------------------------------------

void TestMainWindow::usersRoad()
{
    const ByteBuffer record = sampleRecord(2);
    const ByteBuffer file = encodedFile(record);
    const QString path = writeFile(QStringLiteral("ride.TD4"), asBytes(file));

    open(path);
    QCOMPARE(bytes(), file);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [ride.TD4]"));
    QVERIFY(!m_window->document().changed());
    const QAbstractItemModel* model = m_window->gridEditor()->grid()->model();
    QVERIFY(model->rowCount() > 0);
    QCOMPARE(model->index(0, 1).data().toString(),
             QStringLiteral("%1").arg(file[0], 2, 16, QLatin1Char('0')).toUpper());

    trigger("Toolbar_Decode");
    QCOMPARE(bytes(), record);
    QVERIFY(m_window->document().changed());
    QCOMPARE(model->index(0, 2).data().toString(),
             QStringLiteral("%1").arg(record[1], 2, 16, QLatin1Char('0')).toUpper());

    // Byte 0 is the one the edit box writes before any cell was clicked.
    QLineEdit* box = m_window->gridEditor()->dataString();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("ab"));
    QTest::keyClick(box, Qt::Key_Return);
    ByteBuffer edited = record;
    edited[0] = 0xAB;
    QCOMPARE(bytes(), edited);

    trigger("Toolbar_Encode");
    const ByteBuffer expected = encodedFile(edited, GameVersion::Original);
    QCOMPARE(bytes(), expected);

    trigger("SM_Save");
    QCOMPARE(readFile(path), asBytes(expected));
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [ride.TD4]"));
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestMainWindow::decodeEncodeDecodeGivesSameRecord()
{
    const ByteBuffer record = sampleRecord(3, 700);
    openAndDecode(writeFile(QStringLiteral("r.TD4"), asBytes(encodedFile(record))));
    QCOMPARE(bytes(), record);
    trigger("Toolbar_Encode");
    trigger("Toolbar_Decode");
    QCOMPARE(bytes(), record);
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
    openAndDecode(writeFile(QStringLiteral("v.TD4"),
                            asBytes(encodedFile(sampleRecord(std::uint8_t(byte7))))));
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
    openAndDecode(writeFile(QStringLiteral("e.TD4"), asBytes(encodedFile(record))));
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
    openAndDecode(writeFile(QStringLiteral("c.TD4"), asBytes(encodedFile(record))));
    trigger(item.constData());
    trigger("Toolbar_Encode");
    QCOMPARE(bytes(), encodedFile(record, version));
    QVERIFY(encodedFile(record, GameVersion::Original) !=
            encodedFile(record, GameVersion::LoopyLandscapes));
}

void TestMainWindow::damagedDecodeChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("messageStart");
    // A literal block of 128 bytes in a file of 10.
    QTest::newRow("damaged") << QByteArray("\x7f\x01\x02\x03\x04\x05\x06\x07\x08\x09", 10)
                             << QStringLiteral("This file cannot be decoded: ");
    // Five bytes or fewer hold no block at all.
    QTest::newRow("empty result") << QByteArray("\x01\x02\x03\x04\x05", 5)
                                  << QStringLiteral("This file holds no track design");
}

void TestMainWindow::damagedDecodeChangesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, messageStart);
    const QString path = writeFile(QStringLiteral("bad.TD4"), file);
    open(path);
    QSignalSpy replaced(&m_window->document(), &TrackDesignDocument::contentsReplaced);
    trigger("Toolbar_Decode");

    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY2(m_prompts->messages.at(0).text.startsWith(messageStart),
             qPrintable(m_prompts->messages.at(0).text));
    QCOMPARE(m_prompts->messages.at(0).caption, QStringLiteral("Railwright"));
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
    openAndDecode(writeFile(QStringLiteral("s.TD4"), asBytes(encodedFile(record))));
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
    const ByteBuffer fileA = encodedFile(sampleRecord(1));
    const ByteBuffer fileB = encodedFile(sampleRecord(2, 50));
    const QString pathA = writeFile(QStringLiteral("a.TD4"), asBytes(fileA));
    const QString pathB = writeFile(QStringLiteral("b.TD4"), asBytes(fileB));
    openAndDecode(pathA);
    const ByteBuffer decoded = bytes();

    m_prompts->answers.enqueue(answer);
    if (answer != Answer::Cancel) {
        m_prompts->openPaths.enqueue(pathB);
    }
    trigger("SM_Open");

    QCOMPARE(m_prompts->questions.size(), 1);
    QCOMPARE(m_prompts->questions.at(0).text, QStringLiteral("Save Changes To Current File?"));
    QCOMPARE(m_prompts->questions.at(0).caption, QStringLiteral("Railwright"));
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
    // Yes saved the decoded record to the file's own path, No and Cancel wrote nothing.
    QCOMPARE(readFile(pathA), asBytes(answer == Answer::Yes ? decoded : fileA));
    if (answer == Answer::Cancel) {
        QCOMPARE(bytes(), decoded);
        QVERIFY(m_window->document().changed());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [a.TD4]"));
        QCOMPARE(m_window->documentState(), State::Decoded);
        QCOMPARE(m_window->currentPath(), pathA);
    } else {
        QCOMPARE(bytes(), fileB);
        QVERIFY(!m_window->document().changed());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [b.TD4]"));
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
    const QString pathA = writeFile(QStringLiteral("a.TD4"), asBytes(encodedFile(sampleRecord(1))));
    openAndDecode(pathA);
    // A cancelled Save As leaves no current path, so the next save asks for one.
    m_prompts->savePaths.enqueue(QString());
    trigger("SM_SaveAs");
    const ByteBuffer decoded = bytes();

    const QString badPath = m_dir->filePath(QStringLiteral("no-such-folder/x.TD4"));
    m_prompts->answers.enqueue(Answer::Yes);
    m_prompts->savePaths.enqueue(cancelSave ? QString() : badPath);
    trigger("SM_Open");

    QVERIFY(m_prompts->openFilters.size() == 1); // only the first open
    QVERIFY(m_prompts->allUsed());
    QCOMPARE(bytes(), decoded);
    QVERIFY(m_window->document().changed());
    QCOMPARE(m_window->documentState(), State::Decoded);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [a.TD4]"));
    if (cancelSave) {
        QVERIFY(m_prompts->messages.isEmpty());
    } else {
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages.at(0).text, QStringLiteral("Can't open file: ") + badPath);
        QVERIFY(!QFile::exists(badPath));
    }
}

void TestMainWindow::cancelledOpenKeepsDocument()
{
    const QString pathA = writeFile(QStringLiteral("a.TD4"), asBytes(encodedFile(sampleRecord(1))));
    openAndDecode(pathA);
    const ByteBuffer decoded = bytes();

    m_prompts->answers.enqueue(Answer::No);
    m_prompts->openPaths.enqueue(QString());
    trigger("SM_Open");
    QCOMPARE(bytes(), decoded);
    QVERIFY(m_window->document().changed());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [a.TD4]"));
    QCOMPARE(m_window->documentState(), State::Decoded);
    QCOMPARE(m_window->currentPath(), QString());

    // The next Save asks for a path instead of writing over a.TD4.
    const QString pathC = m_dir->filePath(QStringLiteral("c.TD4"));
    m_prompts->savePaths.enqueue(pathC);
    trigger("SM_Save");
    QCOMPARE(m_prompts->saveFilters.size(), 1);
    QCOMPARE(readFile(pathC), asBytes(decoded));
    QCOMPARE(readFile(pathA), asBytes(encodedFile(sampleRecord(1))));
    QVERIFY(m_prompts->allUsed());
}

void TestMainWindow::refusedOpenKeepsDocument_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>" for a missing file
    QTest::addColumn<QString>("message");    // "%1" stands for the path
    QTest::newRow("too large") << QByteArray(65001, '\x07')
                               << QStringLiteral("The file is too large to open.");
    QTest::newRow("missing") << QByteArray("<none>") << QStringLiteral("Can't open file: %1");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestMainWindow::refusedOpenKeepsDocument()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString pathA = writeFile(QStringLiteral("a.TD4"), asBytes(encodedFile(sampleRecord(1))));
    open(pathA);
    trigger("Toolbar_Decode");
    const ByteBuffer decoded = bytes();

    const QString refused = content == "<none>" ? m_dir->filePath(QStringLiteral("missing.TD4"))
                                                : writeFile(QStringLiteral("refused.TD4"), content);
    m_prompts->answers.enqueue(Answer::No);
    m_prompts->openPaths.enqueue(refused);
    trigger("SM_Open");

    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.at(0).caption, QStringLiteral("Railwright"));
    if (!message.isEmpty()) {
        QCOMPARE(m_prompts->messages.at(0).text,
                 message.contains(QStringLiteral("%1")) ? message.arg(refused) : message);
    } else {
        QVERIFY(!m_prompts->messages.at(0).text.isEmpty());
    }
    QCOMPARE(bytes(), decoded);
    QVERIFY(m_window->document().changed());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [a.TD4]"));
    QCOMPARE(m_window->documentState(), State::Decoded);
    QCOMPARE(m_window->currentPath(), QString());

    // "&Save" now asks for a path and never writes over the refused file.
    m_prompts->savePaths.enqueue(QString());
    trigger("SM_Save");
    QCOMPARE(m_prompts->saveFilters.size(), 1);
    if (content != "<none>") {
        QCOMPARE(readFile(refused), content);
    }
    QVERIFY(m_window->document().changed());
}

void TestMainWindow::largestFileOpens()
{
    QByteArray content(65000, '\0');
    for (int i = 0; i < content.size(); ++i) {
        content[i] = char(i % 256);
    }
    open(writeFile(QStringLiteral("big.txt"), content));
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(asBytes(bytes()), content);
    QCOMPARE(m_window->documentState(), State::Raw);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [big.txt]"));
}

// --- Save ------------------------------------------------------------------------------

void TestMainWindow::saveCommands()
{
    // A text file with both kinds of line end comes back byte for byte.
    const QByteArray text("line one\r\nline two\nline three\r\x00\xff", 33);
    const QString pathA = writeFile(QStringLiteral("a.txt"), text);
    open(pathA);
    QCOMPARE(asBytes(bytes()), text);

    // Save with a current path writes there without asking.
    QFile::remove(pathA);
    trigger("SM_Save");
    QVERIFY(m_prompts->saveFilters.isEmpty());
    QCOMPARE(readFile(pathA), text);

    // Save As always asks, and the chosen path becomes the current one.
    const QString pathB = m_dir->filePath(QStringLiteral("b.TD4"));
    m_prompts->savePaths.enqueue(pathB);
    trigger("SM_SaveAs");
    QCOMPARE(m_prompts->saveFilters, QStringList{Filter});
    QCOMPARE(readFile(pathB), text);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [b.TD4]"));
    QCOMPARE(m_window->currentPath(), pathB);

    // A cancelled Save As writes nothing and keeps the changed mark.
    QVERIFY(m_window->document().setByte(0, 'X'));
    QVERIFY(m_window->document().changed());
    m_prompts->savePaths.enqueue(QString());
    trigger("SM_SaveAs");
    QVERIFY(m_window->document().changed());
    QCOMPARE(readFile(pathB), text);
    QVERIFY(m_prompts->allUsed());
}

void TestMainWindow::saveWritesStartUpAndDecodedBytes()
{
    const QString empty = m_dir->filePath(QStringLiteral("empty.TD4"));
    m_prompts->savePaths.enqueue(empty);
    trigger("SM_Save");
    QCOMPARE(readFile(empty), QByteArray());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [empty.TD4]"));

    // Saving between Decode and Encode writes the record, without a checksum; the
    // new content is shorter than the old file, whose tail must not survive.
    const ByteBuffer record = sampleRecord(1, 40);
    ByteBuffer longFile = encodedFile(record);
    longFile.resize(longFile.size() + 500, 0x33);
    const QString path = writeFile(QStringLiteral("r.TD4"), asBytes(encodedFile(record)));
    openAndDecode(path);
    const QString target = writeFile(QStringLiteral("long.TD4"), asBytes(longFile));
    m_prompts->savePaths.enqueue(target);
    trigger("SM_SaveAs");
    QCOMPARE(readFile(target), asBytes(record));
    QVERIFY(!m_window->document().changed());
    QVERIFY(m_prompts->allUsed());
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestMainWindow::failedSaveKeepsChanged_data()
{
    QTest::addColumn<QString>("target"); // relative to the test folder
    QTest::newRow("missing folder") << QStringLiteral("no-such-folder/x.TD4");
    QTest::newRow("target is a folder") << QStringLiteral("folder.TD4");
}

void TestMainWindow::failedSaveKeepsChanged()
{
    QFETCH(QString, target);
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("folder.TD4")));
    const QString pathA = writeFile(QStringLiteral("a.TD4"), asBytes(encodedFile(sampleRecord(1))));
    openAndDecode(pathA);
    const QString path = m_dir->filePath(target);

    m_prompts->savePaths.enqueue(path);
    trigger("SM_SaveAs");
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.at(0).caption, QStringLiteral("Railwright"));
    QVERIFY2(m_prompts->messages.at(0).text.contains(path),
             qPrintable(m_prompts->messages.at(0).text));
    QVERIFY(m_window->document().changed());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [a.TD4]"));
    QCOMPARE(readFile(pathA), asBytes(encodedFile(sampleRecord(1))));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("folder.TD4"))).isDir());
    // Nothing half-written is left beside the target.
    const QStringList left = QDir(m_dir->path()).entryList(QDir::Files);
    QCOMPARE(left, QStringList{QStringLiteral("a.TD4")});
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
    const QString path = writeFile(QStringLiteral("a.TD4"), asBytes(file));
    open(path);
    if (changed) {
        trigger("Toolbar_Decode");
        m_prompts->answers.enqueue(answer);
        if (answer == Answer::Yes) {
            // The Save As here empties the current path, so the close's save asks.
            m_prompts->savePaths.enqueue(QString());
            trigger("SM_SaveAs");
            m_prompts->savePaths.enqueue(
                save == 0 ? path
                          : (save == 1 ? QString() : m_dir->filePath(QStringLiteral("x/y.TD4"))));
        }
    }
    const ByteBuffer before = bytes();

    QCOMPARE(m_window->close(), closes);
    QCOMPARE(m_window->isVisible(), !closes);
    QVERIFY(m_prompts->allUsed());
    if (changed) {
        QCOMPARE(m_prompts->questions.size(), 1);
        QCOMPARE(m_prompts->questions.at(0).text, QStringLiteral("Save Changes Before Exit?"));
        QCOMPARE(m_prompts->questions.at(0).caption, QStringLiteral("Railwright"));
    } else {
        QVERIFY(m_prompts->questions.isEmpty());
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
    open(writeFile(QStringLiteral("a.TD4"), asBytes(encodedFile(sampleRecord(1)))));
    trigger("Toolbar_Decode");
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
    QCOMPARE(shown.caption, QStringLiteral("Help"));
    QCOMPARE(shown.icon, UserPrompts::Icon::None);
    QVERIFY(!shown.text.endsWith(QLatin1Char('\n')));
    const QStringList lines = shown.text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 14);
    for (const QString& line : lines) {
        QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    }
    const QStringList fixed = {
        QStringLiteral("Thank You For Using Railwright v1.0"),
        QStringLiteral("*"),
        QString(),
        QStringLiteral("Help:"),
        QStringLiteral("1: Open File In Railwright."),
        QStringLiteral("2: Press The Decode Toolbar Button."),
        QStringLiteral("3: Make Desired Changes To RCT Ride."),
        QStringLiteral("4: Press The Encode Toolbar Button. (Checksum is Automatically Added)"),
        QStringLiteral("5: Save The Changed File."),
        QString(),
        QStringLiteral("*"),
        QStringLiteral("*"),
        QString(),
        QStringLiteral("*"),
    };
    for (qsizetype i = 0; i < fixed.size(); ++i) {
        if (fixed.at(i) == QStringLiteral("*")) {
            QVERIFY2(!lines.at(i).trimmed().isEmpty(), qPrintable(QString::number(i + 1)));
        } else {
            QCOMPARE(lines.at(i), fixed.at(i));
        }
    }
    QCOMPARE(shown.text, AboutText());
}

void TestMainWindow::versionMenuIsExclusive_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<GameVersion>("version");
    QTest::newRow("CF") << QByteArray("SM_RCT_CF") << GameVersion::CorkscrewFollies;
    QTest::newRow("LL") << QByteArray("SM_RCT_LL") << GameVersion::LoopyLandscapes;
    QTest::newRow("Org") << QByteArray("SM_RCT_Org") << GameVersion::Original;
}

void TestMainWindow::versionMenuIsExclusive()
{
    QFETCH(QByteArray, item);
    QFETCH(GameVersion, version);
    const char* names[] = {"SM_RCT_Org", "SM_RCT_CF", "SM_RCT_LL"};
    // From every starting version, and twice in a row (a click on the checked item
    // keeps it checked).
    for (const char* start : names) {
        trigger(start);
        for (int click = 0; click < 2; ++click) {
            trigger(item.constData());
            QCOMPARE(m_window->gameVersion(), version);
            for (const char* name : names) {
                QCOMPARE(m_window->action(name)->isChecked(), item == name);
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
    trigger("SM_SkipZero");
    QVERIFY(!skip->isChecked());
    QVERIFY(!m_window->gridEditor()->skipZeros());
    QCOMPARE(model->rowCount(), 1);
    trigger("SM_SkipZero");
    QVERIFY(skip->isChecked());
    QVERIFY(m_window->gridEditor()->skipZeros());
    QCOMPARE(model->rowCount(), 0);
}

void TestMainWindow::statusBarFollowsGrid()
{
    const QStringList texts = {QStringLiteral("Adress: 1A"), QStringLiteral("Hex: 0A"),
                               QStringLiteral("Dec: 10"), QStringLiteral("Chr: \n")};
    emit m_window->gridEditor()->statusTextsChanged(texts);
    QStringList shown;
    for (int i = 1; i <= 5; ++i) {
        const auto* label =
            m_window->statusBar()->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
        QVERIFY(label != nullptr);
        shown << label->text();
    }
    QCOMPARE(shown, texts + QStringList{QString()});
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
