// 256-bit (AVX2) forms of the row primitives' inner loops.
//
// The functions carry their own target attribute, so the rest of the build stays at the baseline
// instruction set; XeMem.cpp calls them only after Supported() said yes.
#include "base/memory/XeMemAvx2.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#define XE_AVX2 __attribute__((target("avx2")))

namespace {

XE_AVX2 __m256i Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

XE_AVX2 void Store(std::uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

template <int W> XE_AVX2 __m256i Splat(std::uint32_t v)
{
    if constexpr (W == 1)
        return _mm256_set1_epi8(static_cast<char>(v));
    else if constexpr (W == 2)
        return _mm256_set1_epi16(static_cast<short>(v));
    else
        return _mm256_set1_epi32(static_cast<int>(v));
}

template <int W> XE_AVX2 __m256i Equal(__m256i a, __m256i b)
{
    if constexpr (W == 1)
        return _mm256_cmpeq_epi8(a, b);
    else if constexpr (W == 2)
        return _mm256_cmpeq_epi16(a, b);
    else
        return _mm256_cmpeq_epi32(a, b);
}

// Reverses the order of the units in a vector, each unit keeping its bytes.
template <int W> XE_AVX2 __m256i Reverse(__m256i v)
{
    if constexpr (W == 4) {
        return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    } else {
        // Reverse within each 128-bit half, then swap the halves.
        const __m256i order = W == 1 ? _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 15, 14,
                                                        13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
                                     : _mm256_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1, 14, 15,
                                                        12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1);
        return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, order), 0x4E);
    }
}

// All ones in the units whose mask bit is 1: one vector holds 32 / W units, so 4 / W mask bytes.
template <int W> XE_AVX2 __m256i MaskLanes(const std::uint8_t* mask)
{
    __m256i spread;
    __m256i bit;
    if constexpr (W == 4) {
        spread = _mm256_set1_epi32(mask[0]);
        bit = _mm256_setr_epi32(0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01);
    } else if constexpr (W == 2) {
        spread = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_set1_epi16(mask[0])), _mm_set1_epi16(mask[1]), 1);
        bit = _mm256_setr_epi16(0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0x80, 0x40, 0x20, 0x10, 0x08, 0x04,
                                0x02, 0x01);
    } else {
        std::uint32_t four;
        std::memcpy(&four, mask, 4);
        // Every 32-bit element holds the four mask bytes; pick byte i / 8 for unit i.
        spread = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(four)),
                                     _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,
                                                      2, 2, 3, 3, 3, 3, 3, 3, 3, 3));
        bit = _mm256_set1_epi64x(0x0102040810204080);
    }
    return Equal<W>(_mm256_and_si256(spread, bit), bit);
}

template <int W> XE_AVX2 void ReversedSpan(std::uint8_t* d, const std::uint8_t* s, std::size_t units)
{
    const std::size_t vectors = units * W / 32;
    for (std::size_t v = 0; v < vectors; ++v)
        Store(d + 32 * v, Reverse<W>(Load(s + 32 * (vectors - 1 - v))));
}

template <int W>
XE_AVX2 void KeyedSpan(bool mirrored, std::uint8_t* d, const std::uint8_t* s, std::size_t units, std::uint32_t key)
{
    const __m256i k = Splat<W>(key);
    const std::size_t vectors = units * W / 32;
    for (std::size_t v = 0; v < vectors; ++v) {
        const __m256i from = mirrored ? Reverse<W>(Load(s + 32 * (vectors - 1 - v))) : Load(s + 32 * v);
        Store(d + 32 * v, _mm256_blendv_epi8(from, Load(d + 32 * v), Equal<W>(from, k)));
    }
}

template <int W>
XE_AVX2 void MaskedSpan(bool mirrored, std::uint8_t* d, const std::uint8_t* s, std::size_t units,
                        const std::uint8_t* mask)
{
    const std::size_t vectors = units * W / 32;
    for (std::size_t v = 0; v < vectors; ++v) {
        __m256i from = Load(s + 32 * v);
        __m256i on = MaskLanes<W>(mask + v * 4 / W);
        std::uint8_t* to = d + 32 * v;
        if (mirrored) {
            from = Reverse<W>(from);
            on = Reverse<W>(on);
            to = d + 32 * (vectors - 1 - v);
        }
        Store(to, _mm256_blendv_epi8(Load(to), from, on));
    }
}

// The word as seen from byte `shift` of it (little-endian: a right turn).
std::uint32_t TurnWord(std::uint32_t word, std::size_t shift)
{
    const unsigned turn = static_cast<unsigned>(shift % 4) * 8;
    return turn == 0 ? word : word >> turn | word << (32 - turn);
}

} // namespace

namespace XeMemAvx2 {

bool Supported()
{
    __builtin_cpu_init(); // may run from a static initialiser, before the library's own set-up
    return __builtin_cpu_supports("avx2");
}

void Reversed(int width, std::uint8_t* dst, const std::uint8_t* src, std::size_t units)
{
    switch (width) {
    case 1: return ReversedSpan<1>(dst, src, units);
    case 2: return ReversedSpan<2>(dst, src, units);
    default: return ReversedSpan<4>(dst, src, units);
    }
}

void Keyed(int width, bool mirrored, std::uint8_t* dst, const std::uint8_t* src, std::size_t units, std::uint32_t key)
{
    switch (width) {
    case 1: return KeyedSpan<1>(mirrored, dst, src, units, key);
    case 2: return KeyedSpan<2>(mirrored, dst, src, units, key);
    default: return KeyedSpan<4>(mirrored, dst, src, units, key);
    }
}

void Masked(int width, bool mirrored, std::uint8_t* dst, const std::uint8_t* src, std::size_t units,
            const std::uint8_t* mask)
{
    switch (width) {
    case 1: return MaskedSpan<1>(mirrored, dst, src, units, mask);
    case 2: return MaskedSpan<2>(mirrored, dst, src, units, mask);
    default: return MaskedSpan<4>(mirrored, dst, src, units, mask);
    }
}

XE_AVX2 std::size_t Fill(std::uint8_t* dst, const std::uint32_t* w, std::size_t bytes)
{
    // 96 bytes (eight periods) as three vectors.
    const __m256i a = _mm256_setr_epi32(w[0], w[1], w[2], w[0], w[1], w[2], w[0], w[1]);
    const __m256i b = _mm256_setr_epi32(w[2], w[0], w[1], w[2], w[0], w[1], w[2], w[0]);
    const __m256i c = _mm256_setr_epi32(w[1], w[2], w[0], w[1], w[2], w[0], w[1], w[2]);
    const std::size_t done = bytes / 32 * 32;
    std::size_t left = done;
    for (; left >= 96; left -= 96, dst += 96) {
        Store(dst, a);
        Store(dst + 32, b);
        Store(dst + 64, c);
    }
    if (left >= 32)
        Store(dst, a);
    if (left >= 64)
        Store(dst + 32, b);
    return done;
}

XE_AVX2 void FillWord(std::uint8_t* dst, std::uint32_t word, std::size_t bytes)
{
    // One unaligned vector at the start, aligned ones from the next 32-byte boundary on (the word
    // turned to the phase there), and an unaligned one that ends exactly at the end; the first
    // and the last overlap the aligned ones with the same bytes.
    Store(dst, _mm256_set1_epi32(static_cast<int>(word)));
    const std::size_t head = 32 - (reinterpret_cast<std::uintptr_t>(dst) & 31);
    const __m256i v = _mm256_set1_epi32(static_cast<int>(TurnWord(word, head)));
    std::uint8_t* at = dst + head;
    std::uint8_t* const end = dst + bytes;
    for (; at + 128 <= end; at += 128) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(at), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(at + 32), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(at + 64), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(at + 96), v);
    }
    for (; at + 32 <= end; at += 32)
        _mm256_store_si256(reinterpret_cast<__m256i*>(at), v);
    Store(end - 32, _mm256_set1_epi32(static_cast<int>(TurnWord(word, bytes - 32))));
}

} // namespace XeMemAvx2

#else

// Builds without the AVX2 forms: XeMem.cpp never calls past Supported().
namespace XeMemAvx2 {

bool Supported() { return false; }
void Reversed(int, std::uint8_t*, const std::uint8_t*, std::size_t) {}
void Keyed(int, bool, std::uint8_t*, const std::uint8_t*, std::size_t, std::uint32_t) {}
void Masked(int, bool, std::uint8_t*, const std::uint8_t*, std::size_t, const std::uint8_t*) {}
std::size_t Fill(std::uint8_t*, const std::uint32_t*, std::size_t) { return 0; }
void FillWord(std::uint8_t*, std::uint32_t, std::size_t) {}

} // namespace XeMemAvx2

#endif
