// The Track panel on a 4,000-piece design with two trains: a colour edit, and a chain-lift
// edit of one piece, each with the list, the picture (painted with its rails, supports and
// trains) and the grid following, in the real window (offscreen unless QT_QPA_PLATFORM
// says otherwise). Target: under 16 ms.

#include "codec/design_inspection.h"
#include "codec/record_layout.h"
#include "codec/track_pieces.h"
#include "document/piece_list_step.h"
#include "run_benchmarks.h"
#include "silent_prompts.h"
#include "ui/grid/grid_editor.h"
#include "ui/main/main_window.h"
#include "ui/track/track_commands.h"
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
    record[record::NumTrains] = 2;
    record[record::CarsPerTrain] = 6;
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

// The window with the long design decoded and its Track panel shown; nullptr (and the
// benchmark skipped) when the panel was not built.
TrackPanel* OpenLongDesign(MainWindow& window, benchmark::State& state)
{
    window.document().undoStack()->setUndoLimit(1000);
    window.resize(1280, 800);
    window.show();
    (void)window.document().replaceContents(u"Decode"_s, LongRecord(), ContentKind::Decoded,
                                            GameVersion::CorkscrewFollies);
    QApplication::processEvents();
    TrackPanel* panel = window.trackPanel();
    if (panel == nullptr) {
        state.SkipWithError("the Track panel was not built on Decode");
    }
    return panel;
}

void Repaint(MainWindow& window, TrackPanel& panel)
{
    panel.repaint();
    window.gridEditor()->repaint();
    QApplication::processEvents();
}

void BM_ColorEdit(benchmark::State& state)
{
    bench::SilentPrompts prompts;
    MainWindow window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR));
    TrackPanel* panel = OpenLongDesign(window, state);
    if (panel == nullptr) {
        return;
    }
    std::uint8_t colour = 2;
    for (auto _ : state) {
        // Scheme 0's rail colour, as the Design panel and the Colour menu write it.
        (void)window.document().setByte(record::TrackRailColors, colour);
        colour = colour == 2 ? 24 : 2;
        Repaint(window, *panel);
    }
}

void BM_ChainLiftEdit(benchmark::State& state)
{
    bench::SilentPrompts prompts;
    MainWindow window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR));
    TrackPanel* panel = OpenLongDesign(window, state);
    if (panel == nullptr) {
        return;
    }
    TrackCommands& commands = *window.trackCommands();
    commands.selectRows({2000});
    QApplication::processEvents();
    bool on = true;
    for (auto _ : state) {
        commands.setChainLift(on);
        on = !on;
        Repaint(window, *panel);
    }
}

// Piece 2,000 deleted and put back in turn, each one step through the document, with the
// list, the walk, the collisions, the picture and the grid following (target: under 16 ms).
void BM_InsertDelete(benchmark::State& state)
{
    bench::SilentPrompts prompts;
    MainWindow window(prompts, nullptr, QString::fromUtf8(RAILWRIGHT_BIN_DIR));
    TrackPanel* panel = OpenLongDesign(window, state);
    if (panel == nullptr) {
        return;
    }
    const std::uint8_t code = window.trackCommands()->list().pieces[2000].code;
    bool remove = true;
    for (auto _ : state) {
        const PieceListEdit edit =
            remove ? PieceListEdit{PieceListEdit::Kind::Delete, 2000, 1, {}}
                   : PieceListEdit{PieceListEdit::Kind::Insert, 2000, 0, {code}};
        if (!EditPieceList(window.document(), edit).isEmpty()) {
            state.SkipWithError("the edit was refused");
            return;
        }
        remove = !remove;
        Repaint(window, *panel);
    }
}

} // namespace

BENCHMARK(BM_InsertDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColorEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainLiftEdit)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return railwright::bench::RunBenchmarks(argc, argv);
}
