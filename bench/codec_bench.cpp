// Throughput of the track-design codec on the two inputs that matter: a record the
// size of an expansion-pack design (mostly zero padding) and the largest document
// with no runs at all. Each is measured beside a plain memcpy of the same bytes.
#include "codec/checksum.h"
#include "codec/rle.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace railwright;

namespace {

constexpr std::size_t ExpansionRecordSize = 8198;
constexpr std::size_t LargestDocument = 65000;

// A few hundred bytes of ride data and track pieces, then zeros, as an expansion
// design is laid out.
ByteBuffer expansionRecord()
{
    std::mt19937 rng(8198);
    std::uniform_int_distribution<int> byte(0, 255);
    ByteBuffer record(ExpansionRecordSize, 0);
    for (std::size_t i = 0; i < 420; ++i) {
        record[i] = std::uint8_t(i % 9 == 0 ? 0 : byte(rng));
    }
    return record;
}

// Neighbours always differ, so the encoder writes only literal blocks.
ByteBuffer recordWithoutRuns()
{
    std::mt19937 rng(65000);
    std::uniform_int_distribution<int> byte(0, 254);
    ByteBuffer record(LargestDocument);
    std::uint8_t previous = 0;
    for (auto& b : record) {
        auto next = std::uint8_t(byte(rng));
        if (next >= previous) {
            ++next;
        }
        b = next;
        previous = next;
    }
    return record;
}

const ByteBuffer& input(int which)
{
    static const ByteBuffer expansion = expansionRecord();
    static const ByteBuffer noRuns = recordWithoutRuns();
    return which == 0 ? expansion : noRuns;
}

void setLabel(benchmark::State& state)
{
    state.SetLabel(state.range(0) == 0 ? "expansion 8198" : "no runs 65000");
}

void BM_Decode(benchmark::State& state)
{
    const ByteBuffer& record = input(int(state.range(0)));
    const ByteBuffer file = EncodeDesign(record, GameVersion::CorkscrewFollies);
    for (auto _ : state) {
        DecodeResult result = RLEDecode(file);
        benchmark::DoNotOptimize(result.record.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(record.size()));
    setLabel(state);
}

void BM_Encode(benchmark::State& state)
{
    const ByteBuffer& record = input(int(state.range(0)));
    for (auto _ : state) {
        ByteBuffer body = RLEEncode(record);
        benchmark::DoNotOptimize(body.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(record.size()));
    setLabel(state);
}

void BM_Checksum(benchmark::State& state)
{
    const ByteBuffer& record = input(int(state.range(0)));
    for (auto _ : state) {
        std::uint32_t value = ComputeChecksum(record, GameVersion::LoopyLandscapes);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(record.size()));
    setLabel(state);
}

// The floor: copying the record into a fresh buffer, as every decode and encode does.
void BM_Memcpy(benchmark::State& state)
{
    const ByteBuffer& record = input(int(state.range(0)));
    for (auto _ : state) {
        ByteBuffer copy;
        copy.reserve(record.size());
        copy.insert(copy.end(), record.begin(), record.end()); // one memcpy
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(record.size()));
    setLabel(state);
}

} // namespace

BENCHMARK(BM_Decode)->Arg(0)->Arg(1);
BENCHMARK(BM_Encode)->Arg(0)->Arg(1);
BENCHMARK(BM_Checksum)->Arg(0)->Arg(1);
BENCHMARK(BM_Memcpy)->Arg(0)->Arg(1);

BENCHMARK_MAIN();
