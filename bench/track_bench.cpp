// Track pieces: reading and walking a 4,000-piece list; drawing it with its rails,
// supports and trains into a 1,024-pixel picture in each view (without PNG encoding); and
// `railwright-cli render` of a folder of 1,000 generated designs at 256 pixels in one process, in
// designs (items) per second.
#include "cli/render_request.h"
#include "codec/checksum.h"
#include "codec/track_construction.h"
#include "codec/track_pieces.h"
#include "render/track_picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <random>

using namespace Qt::StringLiterals;

using namespace railwright;

namespace {

// Rows of a long serpentine: hills of slopes, and in every eighth row a right loop and a
// left one (which cancel each other's sideways step).
constexpr std::uint8_t HillPattern[] = {0x06, 0x04, 0x04, 0x09, 0x00, 0x0C,
                                        0x0A, 0x0A, 0x0F, 0x00, 0x00, 0x00};
constexpr std::uint8_t LoopPattern[] = {0x06, 0x04, 0x09, 0x29, 0x00, 0x28,
                                        0x0C, 0x0A, 0x0F, 0x00, 0x00, 0x00};
constexpr std::size_t PatternsPerRow = 5;
constexpr int LoopRowEvery = 8;
constexpr int DesignCount = 1000;

// An expansion record of 4,000 pieces spread over some 70 x 190 tiles: rows of the
// patterns joined by U-turns right and left in turn, schemes and chain lifts mixed, a
// station in the first row and four trains of eight cars, the cars in colours of their own.
ByteBuffer LongRecord()
{
    ByteBuffer record(ExpansionRecordLength, 0);
    record[0] = 0x13;
    record[7] = 0x04 | 0x02;
    for (std::size_t v = 0; v < 24; ++v) {
        record[8 + v] = std::uint8_t(v);
    }
    record[36] = 4;
    record[37] = 8;
    for (std::size_t s = 0; s < 4; ++s) {
        record[56 + s] = std::uint8_t(20 + s);
        record[60 + s] = std::uint8_t(24 - s);
        record[64 + s] = std::uint8_t(s);
    }
    std::vector<std::uint8_t> codes;
    for (int row = 0; codes.size() < MaxTrackPieces; ++row) {
        for (std::size_t p = 0; p < PatternsPerRow; ++p) {
            if (row % LoopRowEvery == 0 && p == PatternsPerRow / 2) {
                codes.insert(codes.end(), std::begin(LoopPattern), std::end(LoopPattern));
            } else {
                codes.insert(codes.end(), std::begin(HillPattern), std::end(HillPattern));
            }
        }
        const std::uint8_t turn = row % 2 == 0 ? 0x2B : 0x2A;
        codes.insert(codes.end(), {turn, turn});
    }
    // The first row's last three flats are the station.
    codes[9] = 0x02;
    codes[10] = 0x03;
    codes[11] = 0x01;
    for (std::size_t i = 0; i < MaxTrackPieces; ++i) {
        record[ExpansionTrackDataStart + 2 * i] = codes[i];
        record[ExpansionTrackDataStart + 2 * i + 1] =
            std::uint8_t((i / 100 % 4) << 4 | (i % 12 < 3 ? 0x80 : 0));
    }
    record[ExpansionTrackDataStart + 2 * MaxTrackPieces] = TrackEndCode;
    return record;
}

// A design of 50 to 250 pieces of this game chosen at random.
ByteBuffer RandomDesign(int index, std::mt19937& rng)
{
    std::vector<std::uint8_t> codes;
    for (int code = 0; code < 255; ++code) {
        const TrackPieceShape* shape = FindTrackPiece(std::uint8_t(code));
        if (shape != nullptr && shape->inGame) {
            codes.push_back(std::uint8_t(code));
        }
    }
    std::uniform_int_distribution<std::size_t> pick(0, codes.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    ByteBuffer record(ExpansionRecordLength, 0);
    record[0] = 0x13;
    record[7] = 0x04;
    for (std::size_t i = 56; i < 68; ++i) {
        record[i] = std::uint8_t(byte(rng) % 32);
    }
    record[36] = std::uint8_t(1 + index % 4);
    record[37] = std::uint8_t(1 + index % 8);
    const std::size_t pieces = 50 + std::size_t(index % 200);
    for (std::size_t i = 0; i < pieces; ++i) {
        record[ExpansionTrackDataStart + 2 * i] = codes[pick(rng)];
        record[ExpansionTrackDataStart + 2 * i + 1] = std::uint8_t(byte(rng) & 0xB0);
    }
    record[ExpansionTrackDataStart + 2 * pieces] = TrackEndCode;
    return EncodeDesign(record, GameVersion::LoopyLandscapes);
}

void BM_ReadAndWalk(benchmark::State& state)
{
    const ByteBuffer record = LongRecord();
    for (auto _ : state) {
        const TrackList list = ReadTrackList(record);
        const TrackWalk walk = WalkTrack(list);
        benchmark::DoNotOptimize(walk.complete);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(MaxTrackPieces));
}

// The pieces that fit after each piece of the list in turn, one offer an item (target: under
// 50 microseconds each).
void BM_FittingPieces(benchmark::State& state)
{
    const TrackList list = ReadTrackList(LongRecord());
    std::size_t index = 0;
    for (auto _ : state) {
        const auto offers = FittingPieces(list, index + 1, PieceChoice::Insert);
        benchmark::DoNotOptimize(offers.data());
        index = (index + 1) % list.pieces.size();
    }
    state.SetItemsProcessed(state.iterations());
}

// The collisions of the whole 4,000-piece walk (target: under 2 ms).
void BM_Collisions(benchmark::State& state)
{
    const TrackList list = ReadTrackList(LongRecord());
    const TrackWalk walk = WalkTrack(list);
    for (auto _ : state) {
        const TrackCollisions found = FindCollisions(list, walk, RideClearance(list.rideType));
        benchmark::DoNotOptimize(found.crossings.data());
    }
}

void BM_Draw(benchmark::State& state)
{
    const ByteBuffer record = LongRecord();
    const TrackList list = ReadTrackList(record);
    const TrackWalk walk = WalkTrack(list);
    const auto view = TrackView(state.range(0));
    for (auto _ : state) {
        const QImage image = DrawTrackPicture(list, walk, record, view, 1024);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(view == TrackView::Plan ? "plan" : view == TrackView::Side ? "side" : "iso");
}

void BM_RenderFolder(benchmark::State& state)
{
    QTemporaryDir input;
    QTemporaryDir output;
    std::mt19937 rng(DesignCount);
    for (int i = 0; i < DesignCount; ++i) {
        QFile file(QDir(input.path()).filePath(u"ride%1.TD4"_s.arg(i)));
        const ByteBuffer bytes = RandomDesign(i, rng);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
                qint64(bytes.size())) {
            state.SkipWithError("cannot write the design folder");
            return;
        }
    }
    cli::RenderRequest request;
    request.inputs = {input.path()};
    request.output = output.path();
    request.size = 256;
    QFile sink(u"/dev/null"_s);
    if (!sink.open(QIODevice::WriteOnly)) {
        state.SkipWithError("no /dev/null");
        return;
    }
    QTextStream err(&sink);
    for (auto _ : state) {
        const cli::CommandResult result = cli::RenderDesigns(request, err);
        if (result.exitCode != cli::ExitSuccess) {
            state.SkipWithError("render failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * DesignCount);
}

} // namespace

BENCHMARK(BM_ReadAndWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FittingPieces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Collisions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Draw)
    ->Arg(int(TrackView::Plan))
    ->Arg(int(TrackView::Side))
    ->Arg(int(TrackView::Iso))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFolder)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

BENCHMARK_MAIN();
