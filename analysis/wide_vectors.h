#pragma once

// Marks a hot loop's function to be compiled twice, for AVX2 and for the baseline, the one the
// processor can run chosen when the program loads. Where the toolchain cannot choose at load
// time (Windows, other processors), only the baseline is compiled.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define VELMORA_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define VELMORA_WIDE_VECTORS
#endif
