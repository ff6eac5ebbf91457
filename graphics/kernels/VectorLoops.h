// Markers for the hot row loops that the compiler vectorises: XE_VECTOR_CLONES compiles a function
// for the baseline and for AVX2 and lets the processor pick one when the program loads (GCC only:
// clang cannot clone templates, and its builds serve the fuzzers, not speed);
// XE_INDEPENDENT_ROWS tells the vectoriser that a loop's rows overlap only element for element
// (a kernel may write the row it reads, never a shifted one).
// XE_AVX2 marks a function written with 256-bit intrinsics (only where XE_HAVE_AVX2 is defined);
// such a function runs only after XeHasAvx2() said yes. Setting XE_NO_AVX2 in the environment
// makes it say no, so the baseline forms can be run and tested on any machine.
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

#if defined(__x86_64__) && defined(__GNUC__)
#include <cstdlib>

#define XE_HAVE_AVX2 1
#define XE_AVX2 __attribute__((target("avx2")))

// True when the processor (and the system) can run AVX2 code; asked once.
inline bool XeHasAvx2()
{
    static const bool yes = [] {
        __builtin_cpu_init();  // may run from a static initialiser, before the library's own set-up
        return __builtin_cpu_supports("avx2") != 0 && std::getenv("XE_NO_AVX2") == nullptr;
    }();
    return yes;
}
#endif
