// Markers for the hot row loops that the compiler vectorises: XE_VECTOR_BODY marks a loop that
// XeVectorRun<&Loop>(args...) runs compiled for AVX2 or for the baseline, by the same run-time
// choice as the hand-written AVX2 paths; XE_INDEPENDENT_ROWS tells the vectoriser that a loop's
// rows overlap only element for element (a kernel may write the row it reads, never a shifted one).
// XE_AVX2 marks a function written with 256-bit intrinsics (only where XE_HAVE_AVX2 is defined);
// such a function runs only after XeHasAvx2() said yes. Setting XE_NO_AVX2 in the environment
// makes it say no, so the baseline forms can be run and tested on any machine.
#pragma once

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

// Always inlined, so that each form XeVectorRun compiles vectorises the loop for its own
// instruction set.
#define XE_VECTOR_BODY __attribute__((always_inline)) inline

template <auto Loop> struct TVectorForms;

template <typename R, typename... P, R (*Loop)(P...)> struct TVectorForms<Loop> {
#if defined(XE_HAVE_AVX2)
    XE_AVX2 static R Avx2(P... p) { return Loop(p...); }
    static R Baseline(P... p) { return Loop(p...); }
    static R Run(P... p) { return XeHasAvx2() ? Avx2(p...) : Baseline(p...); }
#else
    static R Run(P... p) { return Loop(p...); }
#endif
};

// Runs the XE_VECTOR_BODY loop in its AVX2 form when XeHasAvx2() says yes, else in its baseline form.
template <auto Loop, typename... A> inline auto XeVectorRun(A... args)
{
    return TVectorForms<Loop>::Run(args...);
}
