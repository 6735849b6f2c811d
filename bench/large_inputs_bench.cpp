// The editor at the sizes its inputs may reach, beside the sizes it usually sees, in
// one run: start-up with code tables of 32,767 entries against the shipped tables,
// opening the largest menu ("&Ride" of "&Type") with each, and a window resize over
// a 65,000-byte document against a 100-byte one (and a 5,000-byte one, which already
// fills the window: it tells the cost of drawing a full grid from the cost of the
// document's length). Offscreen unless QT_QPA_PLATFORM
// says otherwise.

#include "codec/code_table_format.h"
#include "document/user_prompts.h"
#include "run_benchmarks.h"
#include "silent_prompts.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using railwright::MainWindow;

using railwright::bench::SilentPrompts;

// A folder holding three code tables of the most entries a table may have.
class LargeTables
{
public:
    LargeTables()
    {
        railwright::CodeTable table;
        table.reserve(railwright::MaxCodeTableEntries);
        for (std::size_t i = 0; i < railwright::MaxCodeTableEntries; ++i) {
            char code[3];
            std::snprintf(code, sizeof code, "%02X", unsigned(i % 256));
            table.push_back({code, "Generated entry number " + std::to_string(i + 1)});
        }
        const railwright::ByteBuffer bytes = railwright::SerializeCodeTable(table);
        for (const char* name : {"RCCODES.RCS", "VTCODES.RCS", "OMCODES.RCS"}) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
                    qint64(bytes.size())) {
                qFatal("cannot write the large code tables");
            }
        }
    }

    [[nodiscard]] QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

LargeTables& largeTables()
{
    static LargeTables tables;
    return tables;
}

// Argument 0: the shipped tables beside the program; 1: the 32,767-entry ones.
QString tablesFor(const benchmark::State& state)
{
    return state.range(0) == 0 ? QString::fromUtf8(RAILWRIGHT_BIN_DIR) : largeTables().path();
}

void BM_StartUp(benchmark::State& state)
{
    const QString tables = tablesFor(state);
    SilentPrompts prompts;
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>(prompts, nullptr, tables);
        window->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.get());
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "shipped tables" : "32,767-entry tables");
}

void BM_OpenLargestMenu(benchmark::State& state)
{
    SilentPrompts prompts;
    const QString tables = tablesFor(state);
    for (auto _ : state) {
        // Each time the first opening in a fresh window: what the user waits for, with
        // whatever the menu still has to build, lay out and draw.
        state.PauseTiming();
        auto window = std::make_unique<MainWindow>(prompts, nullptr, tables);
        window->show();
        QApplication::processEvents();
        QMenu* menu = window->menu("SM_RC");
        state.ResumeTiming();
        menu->popup(window->mapToGlobal(QPoint(40, 40)));
        QApplication::processEvents();
        benchmark::DoNotOptimize(menu->grab());
        menu->hide();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "shipped tables" : "32,767-entry tables");
}

// With the large tables "&Ride" holds submenus of 256 entries; the user then opens one
// of them, whose items are made at that moment.
void BM_OpenRideBlock(benchmark::State& state)
{
    SilentPrompts prompts;
    const QString tables = largeTables().path();
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<MainWindow>(prompts, nullptr, tables);
        window->show();
        QApplication::processEvents();
        QMenu* rides = window->menu("SM_RC");
        rides->popup(window->mapToGlobal(QPoint(40, 40)));
        QApplication::processEvents();
        QMenu* block = rides->actions().constLast()->menu();
        state.ResumeTiming();
        block->popup(window->mapToGlobal(QPoint(80, 40)));
        QApplication::processEvents();
        benchmark::DoNotOptimize(block->grab());
        block->hide();
        QApplication::processEvents();
        state.PauseTiming();
        rides->hide();
        window.reset();
        state.ResumeTiming();
    }
    state.SetLabel("32,767-entry tables, one block");
}

void BM_Resize(benchmark::State& state)
{
    SilentPrompts prompts;
    MainWindow window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR));
    railwright::ByteBuffer bytes(std::size_t(state.range(0)));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::uint8_t(i % 255 + 1);
    }
    (void)window.document().loadContents(bytes);
    window.resize(640, 480);
    window.show();
    QApplication::processEvents();
    bool large = false;
    for (auto _ : state) {
        large = !large;
        window.resize(large ? QSize(800, 600) : QSize(640, 480));
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
    }
    state.SetLabel(std::to_string(state.range(0)) + " bytes");
}

} // namespace

BENCHMARK(BM_StartUp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLargestMenu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRideBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize)->Arg(100)->Arg(5000)->Arg(65000)->Unit(benchmark::kMillisecond);

// The offscreen platform says at every popup that it cannot raise or grab; that is
// noise in a benchmark's output.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg && type != QtWarningMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return railwright::bench::RunBenchmarks(argc, argv);
}
