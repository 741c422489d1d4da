#pragma once

#include <benchmark/benchmark.h>

// Each registers one family of benchmarks, named "stage/implementation/WxH".
void registerStageBenchmarks();
void registerIterationBenchmarks();
void registerLiveBenchmarks();
void registerMonitorBenchmarks();
void registerRenderBenchmarks();

// Milliseconds of wall time; the closing table shows the median of the repetitions.
benchmark::internal::Benchmark* inMilliseconds(benchmark::internal::Benchmark* family);
