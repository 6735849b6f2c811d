// Code tables of up to 32,767 entries in the real window: a type menu of more than 256
// entries is split into submenus of 256 entries each, filled when first opened, while
// smaller tables keep their flat menu; every entry can still be chosen.

#include "codec/checksum.h"
#include "codec/code_table_format.h"
#include "codec/rle.h"
#include "settings/ride_settings_menus.h"
#include "support/scripted_prompts.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace railwright;
using railwright::test::ScriptedPrompts;

namespace {

// Entry i (0-based) has the code of i + 7 (two hex digits) and a name saying its number.
CodeRecord entryFor(std::size_t i)
{
    return {
        QStringLiteral("%1").arg((i + 7) % 256, 2, 16, QLatin1Char('0')).toUpper().toStdString(),
        "Entry " + std::to_string(i + 1)};
}

bool writeTables(const QString& folder, std::size_t entries)
{
    CodeTable table;
    for (std::size_t i = 0; i < entries; ++i) {
        table.push_back(entryFor(i));
    }
    const ByteBuffer bytes = SerializeCodeTable(table);
    for (const char* name : {"RCCODES.RCS", "VTCODES.RCS", "OMCODES.RCS"}) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
                qint64(bytes.size())) {
            return false;
        }
    }
    return true;
}

void openMenu(QMenu* menu)
{
    menu->popup(QPoint(10, 10));
    QCoreApplication::processEvents();
}

} // namespace

class TestLargeCodeTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typeMenuLayout_data();
    void typeMenuLayout();
};

void TestLargeCodeTables::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestLargeCodeTables::typeMenuLayout_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("blocks"); // 0 for a flat menu
    QTest::newRow("shipped size") << 46 << 0;
    QTest::newRow("256, still flat") << 256 << 0;
    QTest::newRow("257") << 257 << 2;
    QTest::newRow("32,767, the most") << 32767 << 128;
}

void TestLargeCodeTables::typeMenuLayout()
{
    QFETCH(int, entries);
    QFETCH(int, blocks);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeTables(dir.path(), std::size_t(entries)));

    ScriptedPrompts prompts;
    MainWindow window(prompts, nullptr, dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(window.codeTables().rideTypes.size(), std::size_t(entries));

    // A decoded record, so that the "&Ride Settings" menu can be used.
    ByteBuffer record(100, 0x30);
    const ByteBuffer file = AppendChecksum(RLEEncode(record), GameVersion::Original);
    const QString path = dir.filePath(QStringLiteral("a.TD4"));
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
    }
    QVERIFY(window.openPath(path));
    window.action("Toolbar_Decode")->trigger();
    QVERIFY(window.action("M_RideSet")->isEnabled());

    QMenu* rides = window.menu("SM_RC");
    QVERIFY(rides != nullptr);
    openMenu(rides);
    const QList<QAction*> shown = rides->actions();
    const int last = entries - 1;
    const auto entryNumber = [](int index) { return QString::number(index + 1); };
    if (blocks == 0) {
        // Flat, exactly as before: one item per entry, "code: name".
        QCOMPARE(shown.size(), entries);
        for (const int i : {0, last}) {
            QCOMPARE(shown.at(i)->objectName(), QStringLiteral("SM_RCTypes_") + entryNumber(i));
            QCOMPARE(shown.at(i)->text(),
                     QString::fromStdString(entryFor(std::size_t(i)).code + ": Entry " +
                                            std::to_string(i + 1)));
            QVERIFY(shown.at(i)->menu() == nullptr);
        }
    } else {
        QCOMPARE(shown.size(), blocks);
        for (int b = 0; b < blocks; ++b) {
            QMenu* block = shown.at(b)->menu();
            QVERIFY(block != nullptr);
            const int first = b * 256;
            const int end = std::min(first + 256, entries);
            QCOMPARE(shown.at(b)->text(), QStringLiteral("%1-%2").arg(first + 1).arg(end));
            QCOMPARE(block->objectName(), QStringLiteral("SM_RCTypes_Block%1").arg(b + 1));
        }
        // The last block, opened, holds its entries under their own numbers.
        QMenu* lastBlock = shown.constLast()->menu();
        QVERIFY(lastBlock->actions().isEmpty()); // nothing built before it is opened
        openMenu(lastBlock);
        const int firstInBlock = (blocks - 1) * 256;
        QCOMPARE(lastBlock->actions().size(), entries - firstInBlock);
        QAction* lastItem = lastBlock->actions().constLast();
        QCOMPARE(lastItem->objectName(), QStringLiteral("SM_RCTypes_") + entryNumber(last));
        QCOMPARE(lastItem->text(), QString::fromStdString(entryFor(std::size_t(last)).code +
                                                          ": Entry " + std::to_string(entries)));
        lastBlock->hide();
        // Opening it again adds nothing.
        openMenu(lastBlock);
        QCOMPARE(lastBlock->actions().size(), entries - firstInBlock);
        lastBlock->hide();
    }
    rides->hide();

    // Choosing the last entry writes its code into byte 0.
    QAction* item = window.findChild<QAction*>(QStringLiteral("SM_RCTypes_") + entryNumber(last));
    QVERIFY(item != nullptr);
    item->trigger();
    QCOMPARE(int(window.document().valueAt(0)), (last + 7) % 256);
    QVERIFY(window.document().changed());

    // Every entry can be reached in entry order, whether opened yet or not; the other
    // two type menus are built the same way.
    for (const CodeKind kind :
         {CodeKind::RideType, CodeKind::VehicleType, CodeKind::OperatingMode}) {
        const QList<QAction*> items = window.rideSettings()->typeItems(kind);
        QCOMPARE(items.size(), entries);
        for (const int i : {0, entries / 2, last}) {
            QVERIFY(items.at(i) != nullptr);
            QVERIFY(items.at(i)->objectName().endsWith(QLatin1Char('_') + entryNumber(i)));
        }
    }
    window.rideSettings()->typeItems(CodeKind::VehicleType).at(entries / 2)->trigger();
    QCOMPARE(int(window.document().valueAt(1)), (entries / 2 + 7) % 256);
    QVERIFY(prompts.messages.isEmpty());
    window.document().setChanged(false);
}

QTEST_MAIN(TestLargeCodeTables)
#include "tst_large_code_tables.moc"
