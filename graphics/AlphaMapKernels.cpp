// Per-pixel alpha row kernels (OutChannel, InChannel, double alpha), plain and MMX forms.
#include "graphics/AlphaMapKernels.h"

#include "graphics/BlendLevel.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

enum class TWeighting { Plain, Mmx, Double };

// Where the alpha of pixel i comes from and which way the source runs.
template <int Bytes, bool InChannel, bool Mirror> struct TSourceRow {
    const Byte* src;
    const Byte* alpha;

    const Byte* Pixel(std::ptrdiff_t i) const { return src + (Mirror ? -i : i) * Bytes; }
    int Alpha(std::ptrdiff_t i) const
    {
        if constexpr (InChannel)
            return Pixel(i)[3];
        else
            return alpha[Mirror ? -i : i];
    }
};

// Bytes 0..2 of d become (d x (2^shift - w) + s x w) >> shift, which is d + floor((s - d) x w / 2^shift).
template <int Shift> inline void MixPixel(Byte* d, const Byte* s, int w)
{
    for (int k = 0; k < 3; ++k)
        d[k] = static_cast<Byte>((d[k] * ((1 << Shift) - w) + s[k] * w) >> Shift);
}

inline int PlainWeight(int a) { return (a + 1) >> 1; }
inline int MmxWeight(int a) { return a == 255 ? 256 : a; }

// The rule for pixels first..count-1 of a row: plain or double weights for every pixel; for the
// MMX rule, pixel pairs up to the last one or two pixels, which take the plain rule. `first` is
// even when the MMX rule starts part-way.
template <int Bytes, TWeighting Wt, typename Row>
void MixScalar(Byte* dst, const Row& row, unsigned count, unsigned first)
{
    unsigned i = first;
    if constexpr (Wt == TWeighting::Mmx) {
        const unsigned pairEnd = count == 0 ? 0 : (count - 1) / 2 * 2;
        for (; i < pairEnd; i += 2) {
            const int a0 = row.Alpha(i);
            const int a1 = row.Alpha(i + 1);
            if ((a0 | a1) == 0)
                continue;
            MixPixel<8>(dst + std::size_t{i} * Bytes, row.Pixel(i), MmxWeight(a0));
            MixPixel<8>(dst + std::size_t{i + 1} * Bytes, row.Pixel(i + 1), MmxWeight(a1));
        }
    }
    const std::uint8_t* table = Wt == TWeighting::Double ? DoubleAlphaTable() : nullptr;
    for (; i < count; ++i) {
        const int a = row.Alpha(i);
        MixPixel<7>(dst + std::size_t{i} * Bytes, row.Pixel(i), table ? table[a] : PlainWeight(a));
    }
}

#if defined(__SSE2__)

// Per-lane weights of four pixels with alphas a4 (byte k = pixel k), as 16-bit words:
// (w0, w0, w0, 0, w1, w1, w1, 0) and (w2, w2, w2, 0, w3, w3, w3, 0) for 4-byte pixels; for 3-byte
// pixels the twelve colour bytes (w0 x3, w1 x3, w2 x3, w3 x3) followed by four zero lanes.
template <int Bytes, TWeighting Wt>
inline void FourWeights(std::uint32_t a4, const std::uint8_t* table, __m128i& lo, __m128i& hi)
{
    if constexpr (Wt == TWeighting::Double) {
        a4 = table[a4 & 0xFF] | std::uint32_t{table[(a4 >> 8) & 0xFF]} << 8 |
             std::uint32_t{table[(a4 >> 16) & 0xFF]} << 16 | std::uint32_t{table[a4 >> 24]} << 24;
    }
    const __m128i zero = _mm_setzero_si128();
    __m128i w = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a4)), zero);
    if constexpr (Wt == TWeighting::Mmx)
        w = _mm_sub_epi16(w, _mm_cmpeq_epi16(w, _mm_set1_epi16(255)));  // 255 weighs 256
    if constexpr (Bytes == 4) {
        const __m128i pairs = _mm_unpacklo_epi16(w, w);
        const __m128i colour = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
        lo = _mm_and_si128(_mm_unpacklo_epi32(pairs, pairs), colour);
        hi = _mm_and_si128(_mm_unpackhi_epi32(pairs, pairs), colour);
    } else {
        const __m128i twice = _mm_unpacklo_epi64(w, w);  // w0 w1 w2 w3 w0 w1 w2 w3
        lo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(twice, _MM_SHUFFLE(1, 0, 0, 0)), _MM_SHUFFLE(2, 2, 1, 1));
        hi = _mm_move_epi64(_mm_shufflelo_epi16(w, _MM_SHUFFLE(3, 3, 3, 2)));
    }
}

// Mixes 16 destination bytes with 16 source bytes by 16-bit lane weights out of 2^Shift; lanes of
// weight 0 keep the destination exactly.
template <int Shift> inline __m128i Mix16(__m128i d, __m128i s, __m128i wlo, __m128i whi)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(1 << Shift);
    const __m128i dlo = _mm_unpacklo_epi8(d, zero);
    const __m128i dhi = _mm_unpackhi_epi8(d, zero);
    const __m128i slo = _mm_unpacklo_epi8(s, zero);
    const __m128i shi = _mm_unpackhi_epi8(s, zero);
    const __m128i rlo = _mm_add_epi16(_mm_mullo_epi16(dlo, _mm_sub_epi16(full, wlo)), _mm_mullo_epi16(slo, wlo));
    const __m128i rhi = _mm_add_epi16(_mm_mullo_epi16(dhi, _mm_sub_epi16(full, whi)), _mm_mullo_epi16(shi, whi));
    return _mm_packus_epi16(_mm_srli_epi16(rlo, Shift), _mm_srli_epi16(rhi, Shift));
}

// Four alphas of a 4-byte-pixel forward row: from the alpha row or from the source's byte 3.
template <bool InChannel> inline std::uint32_t FourAlphas(const Byte* alpha, const Byte* src)
{
    if constexpr (InChannel) {
        return std::uint32_t{src[3]} | std::uint32_t{src[7]} << 8 | std::uint32_t{src[11]} << 16 |
               std::uint32_t{src[15]} << 24;
    } else {
        std::uint32_t a;
        std::memcpy(&a, alpha, 4);
        return a;
    }
}

// Four pixels per step while they lie before `end` and 16 bytes can be read at the pixel; returns
// the first pixel not done. Groups whose alphas are all 0 are skipped (the MMX pair skip, and a
// no-op for the other rules); groups whose alphas are all 255 take the source's colour bytes.
template <int Bytes, bool InChannel, TWeighting Wt>
unsigned MixFast(Byte* dst, const Byte* src, const Byte* alpha, unsigned count, unsigned end)
{
    const std::size_t rowBytes = std::size_t{count} * Bytes;
    const std::uint8_t* table = Wt == TWeighting::Double ? DoubleAlphaTable() : nullptr;
    const bool fullIsCopy = Wt == TWeighting::Mmx || (table && table[255] == 128);
    const __m128i colour = Bytes == 4 ? _mm_set1_epi32(0x00FFFFFF) : _mm_setr_epi32(-1, -1, -1, 0);
    unsigned i = 0;
    for (; i + 4 <= end && std::size_t{i} * Bytes + 16 <= rowBytes; i += 4) {
        Byte* d = dst + std::size_t{i} * Bytes;
        const Byte* s = src + std::size_t{i} * Bytes;
        const std::uint32_t a4 = FourAlphas<InChannel>(InChannel ? nullptr : alpha + i, s);
        if (a4 == 0)
            continue;
        const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
        const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i r;
        if (a4 == 0xFFFFFFFFu && fullIsCopy) {
            r = _mm_or_si128(_mm_and_si128(vs, colour), _mm_andnot_si128(colour, vd));
        } else {
            __m128i wlo, whi;
            FourWeights<Bytes, Wt>(a4, table, wlo, whi);
            r = Wt == TWeighting::Mmx ? Mix16<8>(vd, vs, wlo, whi) : Mix16<7>(vd, vs, wlo, whi);
        }
        if constexpr (Bytes == 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), r);
        } else {
            // Twelve bytes only: the next group's load must not meet a store it overlaps in part.
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d), r);
            const auto tail = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(r, 8)));
            std::memcpy(d + 8, &tail, 4);
        }
    }
    return i;
}

#endif

template <int Bytes, bool InChannel, bool Mirror, TWeighting Wt>
void* MixRow(void* dst, const void* src, const void* alpha, unsigned count)
{
    static_assert(Bytes == 4 || !InChannel, "the source alpha lives in byte 3 of 32-bit pixels");
    auto* d = static_cast<Byte*>(dst);
    const TSourceRow<Bytes, InChannel, Mirror> row{static_cast<const Byte*>(src), static_cast<const Byte*>(alpha)};
    MixScalar<Bytes, Wt>(d, row, count, 0);
    return dst;
}

// The fast forward forms: SSE2 groups of four pixels, then the scalar rule from where they stop
// (an even pixel, so the MMX pairing carries on unchanged).
template <int Bytes, bool InChannel, TWeighting Wt>
void* MixRowFast(void* dst, const void* src, const void* alpha, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const auto* a = static_cast<const Byte*>(alpha);
    unsigned first = 0;
#if defined(__SSE2__)
    const unsigned end = Wt == TWeighting::Mmx ? (count == 0 ? 0 : (count - 1) / 2 * 2) : count;
    first = MixFast<Bytes, InChannel, Wt>(d, s, a, count, end);
#endif
    const TSourceRow<Bytes, InChannel, false> row{s, a};
    MixScalar<Bytes, Wt>(d, row, count, first);
    return dst;
}

template <bool InChannel, bool Mirror, TWeighting Wt> void* MixInRow(void* dst, const void* src, unsigned count)
{
    return MixRow<4, InChannel, Mirror, Wt>(dst, src, nullptr, count);
}

template <TWeighting Wt> void* MixInRowFast(void* dst, const void* src, unsigned count)
{
    return MixRowFast<4, true, Wt>(dst, src, nullptr, count);
}

constexpr auto Plain = TWeighting::Plain;
constexpr auto Mmx = TWeighting::Mmx;
constexpr auto Double = TWeighting::Double;

}  // namespace

void* RGBAlphaOutChannel(void* d, const void* s, const void* a, unsigned n) { return MixRow<3, false, false, Plain>(d, s, a, n); }
void* RGBAlphaOutChannel32(void* d, const void* s, const void* a, unsigned n) { return MixRow<4, false, false, Plain>(d, s, a, n); }
void* RGBAlphaOutChannelR(void* d, const void* s, const void* a, unsigned n) { return MixRow<3, false, true, Plain>(d, s, a, n); }
void* RGBAlphaOutChannelR32(void* d, const void* s, const void* a, unsigned n) { return MixRow<4, false, true, Plain>(d, s, a, n); }
void* RGBAlphaOutChannel_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRowFast<3, false, Mmx>(d, s, a, n); }
void* RGBAlphaOutChannel32_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRowFast<4, false, Mmx>(d, s, a, n); }
void* RGBAlphaOutChannelR_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRow<3, false, true, Mmx>(d, s, a, n); }
void* RGBAlphaOutChannelR32_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRow<4, false, true, Mmx>(d, s, a, n); }

void* RGBAlphaInChannel(void* d, const void* s, unsigned n) { return MixInRow<true, false, Plain>(d, s, n); }
void* RGBAlphaInChannelR(void* d, const void* s, unsigned n) { return MixInRow<true, true, Plain>(d, s, n); }
void* RGBAlphaInChannel_MMX(void* d, const void* s, unsigned n) { return MixInRowFast<Mmx>(d, s, n); }
void* RGBAlphaInChannelR_MMX(void* d, const void* s, unsigned n) { return MixInRow<true, true, Mmx>(d, s, n); }

void* RGBDoubleAlphaOutChannel(void* d, const void* s, const void* a, unsigned n) { return MixRow<3, false, false, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannel32(void* d, const void* s, const void* a, unsigned n) { return MixRow<4, false, false, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannelR(void* d, const void* s, const void* a, unsigned n) { return MixRow<3, false, true, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannelR32(void* d, const void* s, const void* a, unsigned n) { return MixRow<4, false, true, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannel_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRowFast<3, false, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannel32_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRowFast<4, false, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannelR_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRow<3, false, true, Double>(d, s, a, n); }
void* RGBDoubleAlphaOutChannelR32_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRow<4, false, true, Double>(d, s, a, n); }
void* RGBDoubleAlphaInChannel(void* d, const void* s, unsigned n) { return MixInRow<true, false, Double>(d, s, n); }
void* RGBDoubleAlphaInChannelR(void* d, const void* s, unsigned n) { return MixInRow<true, true, Double>(d, s, n); }
void* RGBDoubleAlphaInChannel_MMX(void* d, const void* s, unsigned n) { return MixInRowFast<Double>(d, s, n); }
void* RGBDoubleAlphaInChannelR_MMX(void* d, const void* s, unsigned n) { return MixInRow<true, true, Double>(d, s, n); }

const TPixFormatTable<TAlphaMapRow> RGBAlphaOutChannelTable = {
    nullptr, nullptr, nullptr, nullptr, nullptr, &RGBAlphaOutChannel, &RGBAlphaOutChannel32, &RGBAlphaOutChannel32};
const TPixFormatTable<TAlphaMapRow> RGBAlphaOutChannelTableMMX = {
    nullptr, nullptr, nullptr, nullptr, nullptr, &RGBAlphaOutChannel_MMX, &RGBAlphaOutChannel32_MMX,
    &RGBAlphaOutChannel32_MMX};
const TPixFormatTable<TAlphaMapRow> RGBDoubleAlphaOutChannelTable = {
    nullptr, nullptr, nullptr, nullptr, nullptr, &RGBDoubleAlphaOutChannel, &RGBDoubleAlphaOutChannel32,
    &RGBDoubleAlphaOutChannel32};
const TPixFormatTable<TAlphaMapRow> RGBDoubleAlphaOutChannelTableMMX = {
    nullptr, nullptr, nullptr, nullptr, nullptr, &RGBDoubleAlphaOutChannel_MMX, &RGBDoubleAlphaOutChannel32_MMX,
    &RGBDoubleAlphaOutChannel32_MMX};
