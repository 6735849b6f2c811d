// Start-up of the editor, as a whole process up to its first shown window, beside a
// bare QMainWindow program started the same way. Both run on the offscreen platform
// and quit as soon as the window is shown (--quit-after-show).
#include "run_benchmarks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QString BinDir = QString::fromUtf8(RAILWRIGHT_BIN_DIR);

// Runs one program to its end; the elapsed nanoseconds, or -1 when it failed.
qint64 runToFirstWindow(const QString& program)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(BinDir + QLatin1Char('/') + program, {u"--quit-after-show"_s});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return -1;
    }
    return timer.nsecsElapsed();
}

void BM_StartUp(benchmark::State& state, const char* program)
{
    const QString name = QString::fromLatin1(program);
    for (auto _ : state) {
        const qint64 elapsed = runToFirstWindow(name);
        if (elapsed < 0) {
            state.SkipWithError("the program did not start and quit cleanly");
            return;
        }
        state.SetIterationTime(double(elapsed) / 1e9);
    }
}
BENCHMARK_CAPTURE(BM_StartUp, railwright, "railwright")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(BM_StartUp, bare_window, "railwright_bare_window")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

// Both programs in turn, so drift in the machine's load hits both alike; the
// "ratio" counter is the editor's total time over the bare window's (target: at most 1.3).
void BM_StartUpRatio(benchmark::State& state)
{
    qint64 editor = 0;
    qint64 bare = 0;
    for (auto _ : state) {
        const qint64 a = runToFirstWindow(u"railwright"_s);
        const qint64 b = runToFirstWindow(u"railwright_bare_window"_s);
        if (a < 0 || b < 0) {
            state.SkipWithError("a program did not start and quit cleanly");
            return;
        }
        editor += a;
        bare += b;
        state.SetIterationTime(double(a + b) / 1e9);
    }
    state.counters["ratio"] = bare > 0 ? double(editor) / double(bare) : 0.0;
    state.counters["editor_ms"] = double(editor) / 1e6 / double(state.iterations());
    state.counters["bare_ms"] = double(bare) / 1e6 / double(state.iterations());
}
BENCHMARK(BM_StartUpRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return railwright::bench::RunBenchmarks(argc, argv);
}
