#pragma once

// Each registers one family of benchmarks, named "stage/implementation/WxH".
void registerStageBenchmarks();
void registerIterationBenchmarks();
void registerLiveBenchmarks();
