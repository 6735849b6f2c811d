// The Track panel: one chain-lift edit of a piece of a 4,000-piece design, and its undo,
// with the list, the picture (painted) and the grid following, in the real window
// (offscreen unless QT_QPA_PLATFORM says otherwise). Target: under 16 ms.

#include "codec/design_inspection.h"
#include "codec/track_pieces.h"
#include "run_benchmarks.h"
#include "silent_prompts.h"
#include "ui/grid/grid_editor.h"
#include "ui/main/main_window.h"
#include "ui/track/track_panel.h"

#include <QApplication>
#include <QDockWidget>
#include <QUndoStack>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

using namespace railwright;

// 4,000 pieces over a serpentine: rows of hills joined by U-turns.
ByteBuffer LongRecord()
{
    constexpr std::uint8_t Hill[] = {0x06, 0x04, 0x04, 0x09, 0x00, 0x0C,
                                     0x0A, 0x0A, 0x0F, 0x00, 0x00, 0x00};
    ByteBuffer record(ExpansionRecordLength, 0);
    record[0] = 0x13;
    record[6] = 0x01;
    record[7] = 0x04;
    std::vector<std::uint8_t> codes;
    for (int row = 0; codes.size() < MaxTrackPieces; ++row) {
        for (int p = 0; p < 5; ++p) {
            codes.insert(codes.end(), std::begin(Hill), std::end(Hill));
        }
        const std::uint8_t turn = row % 2 == 0 ? 0x2B : 0x2A;
        codes.insert(codes.end(), {turn, turn});
    }
    for (std::size_t i = 0; i < MaxTrackPieces; ++i) {
        record[ExpansionTrackDataStart + 2 * i] = codes[i];
    }
    record[ExpansionTrackDataStart + 2 * MaxTrackPieces] = TrackEndCode;
    return record;
}

void BM_ChainLiftEdit(benchmark::State& state)
{
    bench::SilentPrompts prompts;
    MainWindow window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR));
    window.document().undoStack()->setUndoLimit(1000);
    window.resize(1280, 800);
    window.show();
    (void)window.document().replaceContents(u"Decode"_s, LongRecord(), ContentKind::Decoded,
                                            GameVersion::CorkscrewFollies);
    QApplication::processEvents();
    TrackPanel* panel = window.trackPanel();
    if (panel == nullptr) {
        state.SkipWithError("the Track panel was not built on Decode");
        return;
    }
    panel->selectPieces({2000});
    QApplication::processEvents();
    bool on = true;
    for (auto _ : state) {
        panel->setChainLift(on);
        on = !on;
        // The list, the grid and the picture repaint now.
        panel->repaint();
        window.gridEditor()->repaint();
        QApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_ChainLiftEdit)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return railwright::bench::RunBenchmarks(argc, argv);
}
