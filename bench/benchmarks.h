#pragma once

#include <benchmark/benchmark.h>

// Each registers one family of benchmarks, named "stage/implementation/WxH".
void registerStageBenchmarks();
void registerIterationBenchmarks();
void registerLiveBenchmarks();
void registerMonitorBenchmarks();

// Milliseconds of wall time, with the fastest repetition reported beside the mean and median:
// on machines shared with other work, the fastest run is the one least disturbed.
benchmark::internal::Benchmark* inMilliseconds(benchmark::internal::Benchmark* family);
