#pragma once

// The end of a bench's main(): Google Benchmark takes the arguments left
// after the bench's own, runs what they select and shuts down. False when an
// argument is not one of its own (it has said which).

#include <benchmark/benchmark.h>

#include <vector>

inline bool runBenchmarks(std::vector<char *> &arguments)
{
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return false;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return true;
}
