// The main window's connections to the code tables, the ride settings, the operation
// dialog, the report and the ways a file reaches the editor from outside.
#include "codec/code_table_format.h"
#include "codec/record_layout.h"
#include "report/ride_info_report.h"
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "ui/main/main_window.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <functional>
#include <memory>

using namespace railwright;
using namespace railwright::test;
using Answer = UserPrompts::Answer;

namespace {

ByteBuffer recordWith(std::size_t size, std::uint8_t fill, std::uint8_t byte7)
{
    ByteBuffer record(size, fill);
    record[record::SchemeAndVersion] = byte7;
    return record;
}

CodeRecord entry(const char* code, const char* name)
{
    return {code, std::string(name)};
}

// Runs `action` on the next modal dialog once the event loop shows it.
void onNextModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        action(modal);
    });
}

} // namespace

class TestMainWindowWiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typeMenusComeFromTheTables();
    void typeCommandWritesItsByte();
    void unopenableTablesAreReportedInOrder();
    void decodeOfExpansionRecordEnablesTrackSchemes();
    void rideOperationOkWritesSixBytes();
    void rideOperationCloseBoxWritesNothing();
    void rideOperationRefusesShortRecord();
    void settingsCommandRefusesShortRecord();
    void rideInfoShowsTheReport();
    void fileFromCommandLine();
    void droppedFileAsksAboutChanges_data();
    void droppedFileAsksAboutChanges();

private:
    void makeWindow(const QString& tablesDirectory);
    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeFile(m_dir->path(), name, bytes);
    }
    void openAndDecode(const ByteBuffer& record);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindowWiring::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindowWiring::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const CodeTable rides = {entry("00", "Wooden Roller Coaster"), entry("1F", "  Steeplechase  "),
                             entry("0a", "Lower Case")};
    const CodeTable vehicles = {entry("03", "Wooden Cars")};
    const CodeTable modes = {entry("00", "Normal Mode"), entry("04", "Shuttle Mode")};
    write(QStringLiteral("RCCODES.RCS"), asBytes(SerializeCodeTable(rides)));
    write(QStringLiteral("VTCODES.RCS"), asBytes(SerializeCodeTable(vehicles)));
    write(QStringLiteral("OMCODES.RCS"), asBytes(SerializeCodeTable(modes)));
    makeWindow(m_dir->path());
}

void TestMainWindowWiring::cleanup()
{
    if (m_window) {
        m_window->document().setChanged(false);
    }
    m_window.reset();
    m_prompts.reset();
    m_dir.reset();
}

void TestMainWindowWiring::makeWindow(const QString& tablesDirectory)
{
    m_window.reset();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_window = std::make_unique<MainWindow>(*m_prompts, nullptr, tablesDirectory);
    m_window->show();
}

void TestMainWindowWiring::openAndDecode(const ByteBuffer& record)
{
    m_prompts->openPaths.enqueue(write(QStringLiteral("ride.TD4"), asBytes(encodedFile(record))));
    m_window->action("SM_Open")->trigger();
    m_window->action("Toolbar_Decode")->trigger();
    QCOMPARE(m_window->documentState(), MainWindow::DocumentState::Decoded);
    QCOMPARE(m_window->document().contents(), record);
}

void TestMainWindowWiring::typeMenusComeFromTheTables()
{
    const QList<QAction*> rides = m_window->menu("SM_RC")->actions();
    QCOMPARE(rides.size(), 3);
    QCOMPARE(rides.at(0)->text(), QStringLiteral("00: Wooden Roller Coaster"));
    QCOMPARE(rides.at(1)->text(), QStringLiteral("1F: Steeplechase"));
    QCOMPARE(rides.at(2)->text(), QStringLiteral("0a: Lower Case"));
    QCOMPARE(m_window->menu("SM_VT")->actions().size(), 1);
    QCOMPARE(m_window->menu("SM_OM")->actions().size(), 2);
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestMainWindowWiring::typeCommandWritesItsByte()
{
    ByteBuffer record = recordWith(100, 0x11, 2);
    openAndDecode(record);
    m_window->document().setChanged(false);

    m_window->action("SM_RCTypes_2")->trigger();
    m_window->action("SM_OMTypes_2")->trigger();
    record[record::RideType] = 0x1F;
    record[record::OperatingMode] = 0x04;
    QCOMPARE(m_window->document().contents(), record);
    QVERIFY(m_window->document().changed());

    // The grid shows the new value at once.
    const QAbstractItemModel* model =
        m_window->findChild<QAbstractItemView*>(QStringLiteral("Grid"))->model();
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("1F"));
}

void TestMainWindowWiring::unopenableTablesAreReportedInOrder()
{
    // A regular file where the folder should be: no table can be opened or created.
    const QString notAFolder = write(QStringLiteral("plain-file"), "x");
    makeWindow(notAFolder);
    QCOMPARE(m_prompts->messages.size(), 3);
    const QString message =
        QStringLiteral("Can't open file: %1/%2 (") + qt_error_string(ENOTDIR) + QStringLiteral(")");
    QCOMPARE(m_prompts->messages.at(0).text,
             message.arg(notAFolder, QStringLiteral("RCCODES.RCS")));
    QCOMPARE(m_prompts->messages.at(1).text,
             message.arg(notAFolder, QStringLiteral("OMCODES.RCS")));
    QCOMPARE(m_prompts->messages.at(2).text,
             message.arg(notAFolder, QStringLiteral("VTCODES.RCS")));
    QCOMPARE(m_prompts->messages.at(0).caption, QStringLiteral("Railwright"));
    // The type menus keep their captionless placeholder, which writes nothing.
    QCOMPARE(m_window->menu("SM_RC")->actions().size(), 1);
    QVERIFY(m_window->codeTables().rideTypes.empty());
}

void TestMainWindowWiring::decodeOfExpansionRecordEnablesTrackSchemes()
{
    m_window->action("SM_RCT_Org")->trigger();
    QVERIFY(!m_window->action("SM_TSC_Num_3")->isEnabled());

    openAndDecode(recordWith(100, 0, 5));
    QCOMPARE(m_window->gameVersion(), GameVersion::CorkscrewFollies);
    QVERIFY(m_window->action("SM_RCT_CF")->isChecked());
    QVERIFY(!m_window->action("SM_RCT_Org")->isChecked());
    QVERIFY(m_window->action("SM_TSC_Num_3")->isEnabled());
}

void TestMainWindowWiring::rideOperationOkWritesSixBytes()
{
    ByteBuffer record = recordWith(100, 0, 0);
    record[record::DepartureFlags] = 3; // a load amount without "Wait For Load"
    record[record::NumTrains] = 4;
    record[record::SpeedOrPeople] = 40;
    openAndDecode(record);
    m_window->document().setChanged(false);

    onNextModal([](QWidget* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("Number"));
        dialog->findChild<QCheckBox*>(QStringLiteral("chkMaxTime"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    });
    m_window->action("SM_RideOp")->trigger();

    record[record::DepartureFlags] = record::DepartUseMaximumTime; // load bits dropped
    record[record::CarsPerTrain] = 1; // a stored 0 is clamped into 1 to 12
    QCOMPARE(m_window->document().contents(), record);
    QVERIFY(m_window->document().changed());
}

void TestMainWindowWiring::rideOperationCloseBoxWritesNothing()
{
    const ByteBuffer record = recordWith(100, 9, 0);
    openAndDecode(record);
    m_window->document().setChanged(false);

    // Every control changed, then the title bar's close box.
    onNextModal([](QWidget* dialog) {
        const auto boxes = dialog->findChildren<QCheckBox*>();
        for (QCheckBox* box : boxes) {
            box->click();
        }
        const auto upDowns = dialog->findChildren<QAbstractSpinBox*>();
        for (QAbstractSpinBox* upDown : upDowns) {
            upDown->stepUp();
        }
        QVERIFY(dialog->close());
    });
    m_window->action("SM_RideOp")->trigger();
    QCOMPARE(m_window->document().contents(), record);
    QVERIFY(!m_window->document().changed());
}

void TestMainWindowWiring::rideOperationRefusesShortRecord()
{
    const ByteBuffer record = recordWith(40, 2, 0);
    openAndDecode(record);
    m_window->document().setChanged(false);

    onNextModal(
        [](QWidget* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click(); });
    m_window->action("SM_RideOp")->trigger();
    QCOMPARE(m_window->document().contents(), record);
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_prompts->messages.constFirst().text.contains(QStringLiteral("41")));
}

void TestMainWindowWiring::settingsCommandRefusesShortRecord()
{
    const ByteBuffer record(7, 2); // ends just before the colour-scheme byte
    openAndDecode(record);
    m_window->document().setChanged(false);

    m_window->action("SM_CS_Car")->trigger();
    QCOMPARE(m_window->document().contents(), record);
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.constFirst().caption, QStringLiteral("Railwright"));
    QVERIFY(m_prompts->messages.constFirst().text.contains(QStringLiteral("byte 7")));
}

void TestMainWindowWiring::rideInfoShowsTheReport()
{
    ByteBuffer record = recordWith(100, 0, 1);
    record[record::RideType] = 0x1F;
    openAndDecode(record);

    m_window->action("Toolbar_RideInfo")->trigger();
    QCOMPARE(m_prompts->messages.size(), 1);
    const auto& shown = m_prompts->messages.constFirst();
    QCOMPARE(shown.caption, QStringLiteral("Ride Info"));
    QCOMPARE(shown.text, BuildRideInfoReport(m_window->document(), m_window->codeTables(),
                                             GameVersion::Original));
    const QStringList lines = shown.text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines.at(1), QStringLiteral("Ride Type: Steeplechase"));
    QCOMPARE(lines.at(4), QStringLiteral("Color Scheme: Trains Have Different Colors"));
}

void TestMainWindowWiring::fileFromCommandLine()
{
    const QString good = write(QStringLiteral("good.TD4"), QByteArray(300, 'a'));
    const QString large = write(QStringLiteral("large.TD4"), QByteArray(65001, 'a'));

    QVERIFY(!m_window->openPath(large));
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(m_prompts->messages.constFirst().text,
             QStringLiteral("The file is too large to open."));
    QCOMPARE(m_window->documentState(), MainWindow::DocumentState::StartUp);

    QVERIFY(m_window->openPath(good));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [good.TD4]"));
    QCOMPARE(m_window->documentState(), MainWindow::DocumentState::Raw);
    QCOMPARE(m_window->document().length(), 300);
    QVERIFY(!m_window->document().changed());
    QCOMPARE(m_window->currentPath(), good);
}

void TestMainWindowWiring::droppedFileAsksAboutChanges_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("No") << Answer::No << true;
    QTest::newRow("Cancel") << Answer::Cancel << false;
}

void TestMainWindowWiring::droppedFileAsksAboutChanges()
{
    QFETCH(Answer, answer);
    QFETCH(bool, loaded);
    const QString first = write(QStringLiteral("first.TD4"), QByteArray(10, 'f'));
    const QString dropped = write(QStringLiteral("dropped.TD4"), QByteArray(20, 'd'));
    QVERIFY(m_window->openPath(first));
    QVERIFY(m_window->document().setByte(0, 'x'));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dropped)});
    const QPointF centre = QPointF(m_window->rect().center());
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &enter);
    QVERIFY(enter.isAccepted());

    m_prompts->answers.enqueue(answer);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    QTRY_COMPARE(m_prompts->questions.size(), 1);
    QCOMPARE(m_prompts->questions.constFirst().text,
             QStringLiteral("Save Changes To Current File?"));
    QCOMPARE(m_window->document().length(), loaded ? 20 : 10);
    QCOMPARE(m_window->document().changed(), !loaded);
}

QTEST_MAIN(TestMainWindowWiring)
#include "tst_main_window_wiring.moc"
