// Markers for the hot row loops that the compiler vectorises: XE_VECTOR_CLONES compiles a function
// for the baseline and for AVX2 and lets the processor pick one when the program loads (GCC only:
// clang cannot clone templates, and its builds serve the fuzzers, not speed);
// XE_INDEPENDENT_ROWS tells the vectoriser that a loop's rows overlap only element for element
// (a kernel may write the row it reads, never a shifted one).
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define XE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define XE_VECTOR_CLONES
#endif

#if defined(__clang__)
#define XE_INDEPENDENT_ROWS _Pragma("clang loop vectorize(assume_safety)")
#elif defined(__GNUC__)
#define XE_INDEPENDENT_ROWS _Pragma("GCC ivdep")
#else
#define XE_INDEPENDENT_ROWS
#endif
