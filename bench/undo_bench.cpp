// The undo history: undo and redo of a Decode of a 65,000-byte file with the whole window
// following, and the memory the history holds after 1,000 byte edits and 100 Decode and
// Encode pairs of an 8,198-byte design (counted by this program's own operator new).

#include "codec/checksum.h"
#include "document/document_controller.h"
#include "document/track_design_document.h"
#include "run_benchmarks.h"
#include "silent_prompts.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<long long> g_liveBytes{0};

} // namespace

void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    g_liveBytes += static_cast<long long>(malloc_usable_size(block));
    return block;
}

void operator delete(void* block) noexcept
{
    if (block != nullptr) {
        g_liveBytes -= static_cast<long long>(malloc_usable_size(block));
        std::free(block);
    }
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

namespace {

using namespace railwright;
using Clock = std::chrono::steady_clock;

// A file of literal blocks of 128 bytes, no two neighbours equal: 65,000 bytes that
// decode to 64,492.
ByteBuffer largestFile()
{
    ByteBuffer file;
    std::size_t value = 0;
    while (file.size() + 129 + 4 <= 65000) {
        file.push_back(127);
        for (int i = 0; i < 128; ++i) {
            file.push_back(std::uint8_t(++value % 251));
        }
    }
    file.resize(65000 - 4, 0);
    file.insert(file.end(), {0, 0, 0, 0});
    return file;
}

// An expansion design: header, 500 track pieces, the end marker, zeros.
ByteBuffer expansionDesign()
{
    ByteBuffer record(8198, 0);
    for (std::size_t i = 0; i < 0x44; ++i) {
        record[i] = std::uint8_t(i * 7 % 32);
    }
    record[7] = 0x04;
    for (std::size_t i = 0; i < 500; ++i) {
        record[0xC4 + 2 * i] = std::uint8_t(i % 90);
        record[0xC5 + 2 * i] = std::uint8_t(i % 3);
    }
    record[0xC4 + 1000] = 0xFF;
    return record;
}

// Times only the step named by `undo`; the other one puts the document back.
void timeDecodeStep(benchmark::State& state, bool undo)
{
    bench::SilentPrompts prompts;
    MainWindow window(prompts);
    window.show();
    window.document().loadContents(largestFile());
    window.controller().decode();
    QApplication::processEvents();
    QUndoStack* stack = window.document().undoStack();
    for (auto _ : state) {
        if (!undo) {
            stack->undo();
        }
        const auto start = Clock::now();
        undo ? stack->undo() : stack->redo();
        const auto elapsed = std::chrono::duration<double>(Clock::now() - start);
        state.SetIterationTime(elapsed.count());
        if (undo) {
            stack->redo();
        }
    }
}

void BM_UndoDecode65000(benchmark::State& state)
{
    timeDecodeStep(state, true);
}
BENCHMARK(BM_UndoDecode65000)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_RedoDecode65000(benchmark::State& state)
{
    timeDecodeStep(state, false);
}
BENCHMARK(BM_RedoDecode65000)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_HistoryMemory(benchmark::State& state)
{
    for (auto _ : state) {
        bench::SilentPrompts prompts;
        TrackDesignDocument document;
        DocumentController controller(document, prompts);
        document.loadContents(EncodeDesign(expansionDesign(), GameVersion::Original));
        controller.decode();
        const long long before = g_liveBytes;
        for (int i = 0; i < 1000; ++i) {
            document.setByte(0xC4 + i % 1000, std::uint8_t(i % 200 + 1));
        }
        for (int i = 0; i < 100; ++i) {
            controller.encode();
            controller.decode();
        }
        state.counters["history_bytes"] = double(g_liveBytes - before);
        state.counters["steps"] = document.undoStack()->count();
    }
}
BENCHMARK(BM_HistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return bench::RunBenchmarks(argc, argv);
}
