// One edit of a decoded 8,198-byte record, from the places an edit comes from (the
// document as the grid and the menus write it, the design panel, undo), and the work
// every slot does to show it in the grid and the panel, without painting (offscreen
// unless QT_QPA_PLATFORM says otherwise). Target: under 1 ms, median. Also the cost of
// building the panel, which the window pays once, when the panel is first shown.

#include "codec/design_inspection.h"
#include "codec/record_fields.h"
#include "document/user_prompts.h"
#include "run_benchmarks.h"
#include "silent_prompts.h"
#include "ui/design/design_panel.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QSpinBox>
#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using railwright::ByteBuffer;
using railwright::ContentKind;
using railwright::GameVersion;
using railwright::MainWindow;
using railwright::TrackDesignDocument;
using railwright::bench::SilentPrompts;

// A decoded expansion record with its header filled and 150 track pieces.
ByteBuffer sampleRecord()
{
    ByteBuffer record(railwright::ExpansionRecordLength, 0);
    const std::pair<std::size_t, int> bytes[] = {
        {0, 0x36},  {1, 0x0E},  {6, 0x01},  {7, 0x05},  {8, 24},          {35, 0x8B},
        {36, 2},    {37, 4},    {38, 10},   {39, 60},   {40, 1},          {41, 20},
        {43, 0x30}, {44, 0x01}, {51, 0x44}, {54, 0x90}, {196 + 300, 0xFF}};
    for (const auto& [offset, value] : bytes) {
        record[offset] = std::uint8_t(value);
    }
    for (std::size_t piece = 0; piece < 150; ++piece) {
        record[196 + 2 * piece] = 0x01;
    }
    return record;
}

// The real window, shown, with the record decoded and the design panel on screen.
struct Setup
{
    Setup() : window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR))
    {
        // The history is capped so that a long run does not grow it without end.
        document().undoStack()->setUndoLimit(1000);
        window.resize(1280, 800);
        window.show();
        (void)document().replaceContents(u"Decode"_s, sampleRecord(), ContentKind::Decoded,
                                         GameVersion::CorkscrewFollies);
        QApplication::processEvents();
    }
    TrackDesignDocument& document() { return window.document(); }

    // Paints what the last edit left to repaint, outside the timing.
    void settle(benchmark::State& state)
    {
        state.PauseTiming();
        QApplication::sendPostedEvents();
        state.ResumeTiming();
    }

    SilentPrompts prompts;
    MainWindow window;
};

// A byte set through the document, as the grid's keys, its edit box and the menus do.
// Offsets: 0 ride type (a searchable list), 8 a body colour, 35 the departure flags,
// 36 trains, 43 ride length (a statistic), 600 a byte of the track data.
void BM_EditFromDocument(benchmark::State& state)
{
    Setup setup;
    const auto offset = TrackDesignDocument::Index(state.range(0));
    std::uint8_t value = setup.document().valueAt(offset);
    for (auto _ : state) {
        value ^= 0x01;
        setup.document().setByte(offset, value);
        setup.settle(state);
    }
}
BENCHMARK(BM_EditFromDocument)
    ->ArgName("byte")
    ->Arg(0)
    ->Arg(8)
    ->Arg(35)
    ->Arg(36)
    ->Arg(43)
    ->Arg(600)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The trains box changed as a user changes it: the panel writes, and everything follows.
void BM_EditFromPanel(benchmark::State& state)
{
    Setup setup;
    auto* trains = setup.window.findChild<QSpinBox*>(u"Design_trains"_s);
    int value = trains->value();
    for (auto _ : state) {
        value = value == 3 ? 4 : 3;
        trains->setValue(value);
        setup.settle(state);
    }
}
BENCHMARK(BM_EditFromPanel)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Undoing and redoing a byte edit of the trains.
void BM_UndoRedo(benchmark::State& state)
{
    Setup setup;
    setup.document().setByte(36, 7);
    QUndoStack* stack = setup.document().undoStack();
    for (auto _ : state) {
        stack->undo();
        setup.settle(state);
        stack->redo();
        setup.settle(state);
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Building the panel's widgets, which the window does once, when its dock is first shown.
void BM_BuildPanel(benchmark::State& state)
{
    TrackDesignDocument document;
    railwright::CodeTables tables;
    for (auto _ : state) {
        railwright::DesignPanel panel(document, tables);
        benchmark::DoNotOptimize(&panel);
    }
}
BENCHMARK(BM_BuildPanel)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return railwright::bench::RunBenchmarks(argc, argv);
}
