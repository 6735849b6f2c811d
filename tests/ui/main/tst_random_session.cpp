// A seeded random session against the real window: byte edits, Encode, Decode, Undo,
// Redo and saves, checked after every step against a model the test keeps itself (the
// record as plain bytes, and whether the window should hold it encoded). Saved files are
// checked by decoding them. RAILWRIGHT_SESSION_STEPS and RAILWRIGHT_SESSION_SEED choose a
// longer or another session by hand.
#include "support/sample_files.h"
#include "support/scripted_prompts.h"
#include "support/window_steps.h"
#include "ui/grid/grid_editor.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

struct ModelState
{
    ByteBuffer record;
    bool encoded = false;
};

int fromEnvironment(const char* name, int fallback)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
}

} // namespace

class TestRandomSession : public QObject
{
    Q_OBJECT

private slots:
    void session();
};

void TestRandomSession::session()
{
    const int steps = fromEnvironment("RAILWRIGHT_SESSION_STEPS", 300);
    std::mt19937 random(std::uint32_t(fromEnvironment("RAILWRIGHT_SESSION_SEED", 20261206)));
    const auto below = [&random](int bound) {
        return int(std::uniform_int_distribution<int>(0, bound - 1)(random));
    };

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MainWindow window(prompts);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto trigger = [&window](const char* name) { window.action(name)->trigger(); };

    // Every byte gets a cell, trailing zeros too.
    trigger("SM_SkipZero");
    const ByteBuffer start = sampleRecord(0x00, 200);
    const QString path = writeFile(dir.path(), u"session.TD4"_s, asBytes(encodedFile(start)));
    prompts.openPaths.enqueue(path);
    trigger("SM_Open");
    trigger("Toolbar_Decode");
    std::vector<ModelState> history{{start, true}, {start, false}};
    std::size_t position = 1;

    const auto push = [&](ModelState state) {
        history.resize(position + 1);
        history.push_back(std::move(state));
        ++position;
    };
    for (int step = 0; step < steps; ++step) {
        const ModelState now = history[position];
        switch (below(6)) {
        case 0: // one byte through the grid and "Data String"
        case 1: {
            if (now.encoded) {
                break;
            }
            const int index = below(int(now.record.size()));
            const auto value = std::uint8_t(below(256));
            clickByte(*window.gridEditor(), index);
            window.gridEditor()->dataString()->setText(
                QString::number(value, 16).toUpper().rightJustified(2, u'0'));
            QTest::keyClick(window.gridEditor()->dataString(), Qt::Key_Return);
            if (now.record[std::size_t(index)] != value) {
                ModelState next = now;
                next.record[std::size_t(index)] = value;
                push(next);
            }
            break;
        }
        case 2:
            if (!now.encoded) {
                prompts.choices.enqueue(0); // a record of unusual length: "Encode" anyway
            }
            trigger(now.encoded ? "Toolbar_Decode" : "Toolbar_Encode");
            push({now.record, !now.encoded});
            break;
        case 3:
            trigger("SM_Undo");
            position = position > 0 ? position - 1 : 0;
            break;
        case 4:
            trigger("SM_Redo");
            position = std::min(position + 1, history.size() - 1);
            break;
        case 5: {
            if (!now.encoded) {
                prompts.choices.enqueue(1); // "Save Decoded"
            }
            trigger("SM_Save");
            const QByteArray saved = readFile(path);
            const ByteBuffer savedBytes(saved.begin(), saved.end());
            QCOMPARE(now.encoded ? RLEDecode(savedBytes).record : savedBytes, now.record);
            QVERIFY(!window.document().changed());
            break;
        }
        }
        const ModelState& expected = history[position];
        const ByteBuffer contents = window.document().contents();
        QCOMPARE(expected.encoded ? RLEDecode(contents).record : contents, expected.record);
        QCOMPARE(window.document().kind() == ContentKind::Raw, expected.encoded);
        QCOMPARE(window.action("SM_Undo")->isEnabled(), position > 0);
        QCOMPARE(window.action("SM_Redo")->isEnabled(), position + 1 < history.size());
    }
    QVERIFY(prompts.allUsed());
    window.document().markSaved();
}

QTEST_MAIN(TestRandomSession)
#include "tst_random_session.moc"
