#pragma once

#include <benchmark/benchmark.h>

namespace railwright::bench {

// Runs the benchmarks named on the command line, after the caller has made its Qt
// application object. Unknown arguments are an error.
inline int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace railwright::bench
