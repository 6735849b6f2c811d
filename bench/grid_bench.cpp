// The grid's refresh and display-mode switch, each including the repaint of the
// visible cells, for a document of 100 bytes and one of 65,000. The grid is a view
// over the document, so both sizes should cost about the same.

#include "document/track_design_document.h"
#include "document/user_prompts.h"
#include "run_benchmarks.h"
#include "silent_prompts.h"
#include "ui/grid/grid_editor.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using railwright::DisplayMode;
using railwright::GridEditor;
using railwright::TrackDesignDocument;

using railwright::bench::SilentPrompts;

// A shown editor `width` x `height` pixels over `length` non-zero bytes.
struct Setup
{
    Setup(qsizetype length, int width, int height)
    {
        railwright::ByteBuffer bytes(static_cast<std::size_t>(length));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = std::uint8_t(i % 255 + 1);
        }
        (void)document.loadContents(bytes);
        editor = std::make_unique<GridEditor>(document, prompts);
        editor->resize(width, height);
        editor->show();
        QApplication::processEvents();
    }

    TrackDesignDocument document;
    SilentPrompts prompts;
    std::unique_ptr<GridEditor> editor;

    // Cells a repaint draws: the rows on screen, or fewer when the document ends.
    [[nodiscard]] double visibleCells() const
    {
        const QTableView* grid = editor->grid();
        const int rowHeight = grid->verticalHeader()->defaultSectionSize();
        const int screenRows = (grid->viewport()->height() + rowHeight - 1) / rowHeight;
        return double(std::min(screenRows, grid->model()->rowCount())) *
               grid->model()->columnCount();
    }
};

// Sizes: the editor at the main window's design client area (9450 x 5955 twips at
// 96 dpi, less the toolbar and status bar), and a strip a few rows high that 100
// bytes fill as well as 65,000 do.
void sizes(benchmark::internal::Benchmark* bench)
{
    for (const int height : {360, 130}) {
        for (const int length : {100, 65000}) {
            bench->Args({length, 630, height});
        }
    }
    bench->ArgNames({"bytes", "width", "height"});
    bench->Unit(benchmark::kMicrosecond);
}

// Paints what the last command left to repaint, as the window system would on screen:
// a refresh marks the grid's cells dirty, not its scroll bar or the editing row.
void paintPending(QWidget* window)
{
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
}

void BM_FullRefresh(benchmark::State& state)
{
    Setup setup(state.range(0), int(state.range(1)), int(state.range(2)));
    for (auto _ : state) {
        setup.editor->UpdateGridData();
        setup.editor->UpdateGridLabels();
        paintPending(setup.editor.get());
    }
    state.counters["rows"] = setup.editor->grid()->model()->rowCount();
    state.counters["cells"] = setup.visibleCells();
}
BENCHMARK(BM_FullRefresh)->Apply(sizes);

void BM_SwitchDisplayMode(benchmark::State& state)
{
    Setup setup(state.range(0), int(state.range(1)), int(state.range(2)));
    bool decimal = false;
    for (auto _ : state) {
        decimal = !decimal;
        setup.editor->setDisplayMode(decimal ? DisplayMode::Decimal : DisplayMode::Hexidecimal);
        paintPending(setup.editor.get());
    }
    state.counters["cells"] = setup.visibleCells();
}
BENCHMARK(BM_SwitchDisplayMode)->Apply(sizes);

// A refresh followed by painting the whole grid widget, scroll bar included (which only
// the long document has).
void BM_RefreshAndGrabGrid(benchmark::State& state)
{
    Setup setup(state.range(0), int(state.range(1)), int(state.range(2)));
    for (auto _ : state) {
        setup.editor->UpdateGridData();
        setup.editor->UpdateGridLabels();
        benchmark::DoNotOptimize(setup.editor->grid()->grab());
    }
}
BENCHMARK(BM_RefreshAndGrabGrid)->Apply(sizes);

// The refresh alone, without painting: what the model does per refresh.
void BM_RefreshWithoutPaint(benchmark::State& state)
{
    Setup setup(state.range(0), 630, 360);
    for (auto _ : state) {
        setup.editor->UpdateGridData();
        setup.editor->UpdateGridLabels();
    }
}
BENCHMARK(BM_RefreshWithoutPaint)->Arg(100)->Arg(65000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return railwright::bench::RunBenchmarks(argc, argv);
}
