// Per-pixel alpha row kernels (OutChannel, InChannel, double alpha), plain and MMX forms.
#include "graphics/kernels/AlphaMapKernels.h"

#include "graphics/kernels/BlendLevel.h"
#include "graphics/kernels/VectorLoops.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(XE_HAVE_AVX2)
#include <immintrin.h>
#elif defined(__SSE2__)
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

// The double-alpha weight T[a] = floor(a x level / 255) without the table: for x = a x level
// (at most 255 x 128), floor(x / 255) = ((x + 1) x 257) >> 16, the high half of a 16-bit product.
constexpr int DoubleWeight(int a, int level)
{
    const int x = a * level;
    return ((x + 1) * 257) >> 16;
}

constexpr bool DoubleWeightsMatchTheTables()
{
    for (int level = 0; level <= 128; ++level)
        for (int a = 0; a < 256; ++a)
            if (DoubleWeight(a, level) != a * level / 255)
                return false;
    return true;
}
static_assert(DoubleWeightsMatchTheTables());

// The first pixel that the MMX rule hands to the plain rule: the last one of an odd count, the
// last two of an even count.
inline unsigned PairEnd(unsigned count)
{
    return count == 0 ? 0 : (count - 1) / 2 * 2;
}

// True when an alpha of 255 gives the source exactly under the rule (weight 128 of 128, or 256 of
// 256), so a group of such pixels is a copy.
template <TWeighting Wt> bool FullIsCopy(int doubleLevel)
{
    return Wt != TWeighting::Double || doubleLevel == 128;
}

// The rule for pixels first..count-1 of a row: plain or double weights for every pixel; for the
// MMX rule, pixel pairs up to the last one or two pixels, which take the plain rule. `first` is
// even when the MMX rule starts part-way.
template <int Bytes, TWeighting Wt, typename Row>
void MixScalar(Byte* dst, const Row& row, unsigned count, unsigned first)
{
    unsigned i = first;
    if constexpr (Wt == TWeighting::Mmx) {
        for (const unsigned pairEnd = PairEnd(count); i < pairEnd; i += 2) {
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

// Eight 16-bit weights (or four in the low half) from alphas in 16-bit lanes, by the rule.
template <TWeighting Wt> inline __m128i WeightsOf(__m128i a, __m128i level)
{
    if constexpr (Wt == TWeighting::Mmx) {
        return _mm_sub_epi16(a, _mm_cmpeq_epi16(a, _mm_set1_epi16(255)));  // 255 weighs 256
    } else if constexpr (Wt == TWeighting::Double) {
        const __m128i x = _mm_mullo_epi16(a, level);
        return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_set1_epi16(257));
    } else {
        return _mm_srli_epi16(_mm_add_epi16(a, _mm_set1_epi16(1)), 1);
    }
}

// Per-lane weights of four pixels with alphas a4 (byte k = pixel k), as 16-bit words:
// (w0, w0, w0, 0, w1, w1, w1, 0) and (w2, w2, w2, 0, w3, w3, w3, 0) for 4-byte pixels; for 3-byte
// pixels the twelve colour bytes (w0 x3, w1 x3, w2 x3, w3 x3) followed by four zero lanes.
template <int Bytes, TWeighting Wt>
inline void FourWeights(std::uint32_t a4, __m128i level, __m128i& lo, __m128i& hi)
{
    const __m128i w = WeightsOf<Wt>(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a4)), _mm_setzero_si128()), level);
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

// Four pixels per step from `first` while they lie before `end` and 16 bytes can be read at the
// pixel; returns the first pixel not done. Groups whose alphas are all 0 are skipped (the MMX pair
// skip, and a no-op for the other rules); groups whose alphas are all 255 take the source's colour
// bytes where that is the rule's result.
template <int Bytes, bool InChannel, TWeighting Wt>
unsigned MixFast(Byte* dst, const Byte* src, const Byte* alpha, unsigned count, unsigned first, unsigned end)
{
    const std::size_t rowBytes = std::size_t{count} * Bytes;
    const int doubleLevel = Wt == TWeighting::Double ? DoubleAlphaLevel() : 0;
    const __m128i level = _mm_set1_epi16(static_cast<short>(doubleLevel));
    const bool fullIsCopy = FullIsCopy<Wt>(doubleLevel);
    const __m128i colour = Bytes == 4 ? _mm_set1_epi32(0x00FFFFFF) : _mm_setr_epi32(-1, -1, -1, 0);
    unsigned i = first;
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
            FourWeights<Bytes, Wt>(a4, level, wlo, whi);
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

#if defined(XE_HAVE_AVX2)

// The 4-byte-pixel groups of MixFast eight pixels at a time in 256-bit vectors, from `first` while
// they lie before `end`; returns the first pixel not done.
template <bool InChannel, TWeighting Wt>
XE_AVX2 unsigned MixFastAvx2(Byte* dst, const Byte* src, const Byte* alpha, unsigned first, unsigned end)
{
    constexpr int shift = Wt == TWeighting::Mmx ? 8 : 7;
    const int doubleLevel = Wt == TWeighting::Double ? DoubleAlphaLevel() : 0;
    const __m128i level = _mm_set1_epi16(static_cast<short>(doubleLevel));
    const bool fullIsCopy = FullIsCopy<Wt>(doubleLevel);
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i full = _mm256_set1_epi16(1 << shift);
    const __m256i zero = _mm256_setzero_si256();
    // The weights of pixels 0, 1 (4, 5 in the upper half) and 2, 3 (6, 7) spread over their colour
    // lanes, as the byte unpacks lay the pixels out; byte 3 weighs 0.
    const __m256i spreadLo = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, -1, -1, 2, 3, 2, 3, 2, 3, -1, -1, 8, 9, 8, 9, 8, 9,
                                              -1, -1, 10, 11, 10, 11, 10, 11, -1, -1);
    const __m256i spreadHi = _mm256_setr_epi8(4, 5, 4, 5, 4, 5, -1, -1, 6, 7, 6, 7, 6, 7, -1, -1, 12, 13, 12, 13, 12,
                                              13, -1, -1, 14, 15, 14, 15, 14, 15, -1, -1);
    unsigned i = first;
    for (; i + 8 <= end; i += 8) {
        Byte* d = dst + std::size_t{i} * 4;
        const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + std::size_t{i} * 4));
        std::uint64_t a8;
        if constexpr (InChannel) {
            const __m256i a = _mm256_srli_epi32(vs, 24);
            const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(a, a), zero);
            a8 = static_cast<std::uint32_t>(_mm256_extract_epi32(bytes, 0)) |
                 std::uint64_t{static_cast<std::uint32_t>(_mm256_extract_epi32(bytes, 4))} << 32;
        } else {
            std::memcpy(&a8, alpha + i, 8);
        }
        if (a8 == 0)
            continue;
        const __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
        __m256i r;
        if (a8 == ~std::uint64_t{0} && fullIsCopy) {
            r = _mm256_blendv_epi8(vd, vs, colour);
        } else {
            const __m128i w = WeightsOf<Wt>(_mm_cvtepu8_epi16(_mm_cvtsi64_si128(static_cast<long long>(a8))), level);
            const __m256i both = _mm256_broadcastsi128_si256(w);
            const __m256i wlo = _mm256_shuffle_epi8(both, spreadLo);
            const __m256i whi = _mm256_shuffle_epi8(both, spreadHi);
            const __m256i dlo = _mm256_unpacklo_epi8(vd, zero), dhi = _mm256_unpackhi_epi8(vd, zero);
            const __m256i slo = _mm256_unpacklo_epi8(vs, zero), shi = _mm256_unpackhi_epi8(vs, zero);
            const __m256i rlo = _mm256_add_epi16(_mm256_mullo_epi16(dlo, _mm256_sub_epi16(full, wlo)),
                                                 _mm256_mullo_epi16(slo, wlo));
            const __m256i rhi = _mm256_add_epi16(_mm256_mullo_epi16(dhi, _mm256_sub_epi16(full, whi)),
                                                 _mm256_mullo_epi16(shi, whi));
            r = _mm256_packus_epi16(_mm256_srli_epi16(rlo, shift), _mm256_srli_epi16(rhi, shift));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), r);
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

// The fast forward forms: vector groups (AVX2 where the processor has it, then SSE2), then the
// scalar rule from where they stop (an even pixel, so the MMX pairing carries on unchanged).
template <int Bytes, bool InChannel, TWeighting Wt>
void* MixRowFast(void* dst, const void* src, const void* alpha, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const auto* a = static_cast<const Byte*>(alpha);
    const unsigned end = Wt == TWeighting::Mmx ? PairEnd(count) : count;
    unsigned first = 0;
#if defined(XE_HAVE_AVX2)
    if (Bytes == 4 && XeHasAvx2())
        first = MixFastAvx2<InChannel, Wt>(d, s, a, first, end);
#endif
#if defined(__SSE2__)
    first = MixFast<Bytes, InChannel, Wt>(d, s, a, count, first, end);
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

// 16-bit rows of one layout. Each colour field is widened to 8 bits, mixed by the rule's weight
// and narrowed back, which is what the route through quad rows (RGBQUADcpyFrom, the 32-bit kernel,
// RGBQUADcpyTo) gives; that route also writes bit 15 of 555/5551 as 0 and keeps the 4444 alpha
// nibble, so these rows do the same. All arithmetic stays in 16 bits for the vectoriser.
template <TPixFormat F> constexpr std::uint16_t ColourBits16()
{
    constexpr TLayout16 L = Layout16Of<F>();
    return static_cast<std::uint16_t>(((1 << L.rBits) - 1) << L.rShift | ((1 << L.gBits) - 1) << L.gShift |
                                      ((1 << L.bBits) - 1) << L.bShift);
}

template <TPixFormat F> constexpr std::uint16_t KeptBits16()
{
    return F == pf16_4444 ? 0xF000 : 0;
}

inline std::uint16_t Load16(const Byte* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(Byte* p, std::uint16_t v)
{
    std::memcpy(p, &v, 2);
}

// One field of d and s widened as RGBfrom does, mixed by w out of 2^WShift, narrowed as RGBto does.
template <int Shift, int Bits, int WShift> inline std::uint16_t MixField16(std::uint16_t d, std::uint16_t s, std::uint16_t w)
{
    const auto widen = [](std::uint16_t p) {
        const auto v = static_cast<std::uint16_t>((p >> Shift) & ((1 << Bits) - 1));
        if constexpr (Bits == 4)
            return static_cast<std::uint16_t>(v * 17);
        else
            return static_cast<std::uint16_t>(v << (8 - Bits) | v >> (2 * Bits - 8));
    };
    // At most 255 x 256: the sum fits 16 bits.
    const auto sum = static_cast<std::uint16_t>(widen(d) * ((1 << WShift) - w) + widen(s) * w);
    return static_cast<std::uint16_t>((sum >> (WShift + 8 - Bits)) << Shift);
}

template <TPixFormat F, int WShift> inline std::uint16_t MixPixel16(std::uint16_t d, std::uint16_t s, std::uint16_t w)
{
    constexpr TLayout16 L = Layout16Of<F>();
    return static_cast<std::uint16_t>(MixField16<L.rShift, L.rBits, WShift>(d, s, w) |
                                      MixField16<L.gShift, L.gBits, WShift>(d, s, w) |
                                      MixField16<L.bShift, L.bBits, WShift>(d, s, w) | (d & KeptBits16<F>()));
}

template <TWeighting Wt> inline std::uint16_t Weight16(std::uint8_t a, int doubleLevel)
{
    if constexpr (Wt == TWeighting::Mmx)
        return static_cast<std::uint16_t>(a + (a == 255));
    else if constexpr (Wt == TWeighting::Double)
        return static_cast<std::uint16_t>(DoubleWeight(a, doubleLevel));
    else
        return static_cast<std::uint16_t>((a + 1) >> 1);
}

// Groups of 16 pixels: all alphas 0 keep the destination's fields (a skip where nothing else
// changes), all 255 take the source's colour where that is the rule's result, anything else is
// mixed pixel by pixel in a loop the vectoriser turns into whole vectors.
template <TPixFormat F, TWeighting Wt>
XE_VECTOR_BODY void MixRow16(Byte* d, const Byte* s, const Byte* a, unsigned count, unsigned first, int doubleLevel)
{
    constexpr int wshift = Wt == TWeighting::Mmx ? 8 : 7;
    constexpr std::uint16_t colour = ColourBits16<F>(), kept = KeptBits16<F>();
    constexpr bool zeroKeeps = (colour | kept) == 0xFFFF;
    const unsigned end = Wt == TWeighting::Mmx ? PairEnd(count) : count;
    const bool fullIsCopy = FullIsCopy<Wt>(doubleLevel);
    std::size_t i = first;
    for (; i + 16 <= end; i += 16) {
        std::uint64_t lo, hi;
        std::memcpy(&lo, a + i, 8);
        std::memcpy(&hi, a + i + 8, 8);
        if ((lo | hi) == 0) {
            if constexpr (!zeroKeeps) {
                for (std::size_t k = i; k < i + 16; ++k)
                    Store16(d + 2 * k, static_cast<std::uint16_t>(Load16(d + 2 * k) & (colour | kept)));
            }
        } else if ((lo & hi) == ~std::uint64_t{0} && fullIsCopy) {
            XE_INDEPENDENT_ROWS
            for (std::size_t k = i; k < i + 16; ++k)
                Store16(d + 2 * k, static_cast<std::uint16_t>((Load16(s + 2 * k) & colour) | (Load16(d + 2 * k) & kept)));
        } else {
            XE_INDEPENDENT_ROWS
            for (std::size_t k = i; k < i + 16; ++k)
                Store16(d + 2 * k, MixPixel16<F, wshift>(Load16(d + 2 * k), Load16(s + 2 * k), Weight16<Wt>(a[k], doubleLevel)));
        }
    }
    for (; i < end; ++i)
        Store16(d + 2 * i, MixPixel16<F, wshift>(Load16(d + 2 * i), Load16(s + 2 * i), Weight16<Wt>(a[i], doubleLevel)));
    for (; i < count; ++i)  // the MMX rule's last one or two pixels
        Store16(d + 2 * i, MixPixel16<F, 7>(Load16(d + 2 * i), Load16(s + 2 * i), Weight16<TWeighting::Plain>(a[i], 0)));
}

#if defined(XE_HAVE_AVX2)

// Weights of 16 pixels from their alphas in 16-bit lanes, by the rule.
template <TWeighting Wt> XE_AVX2 inline __m256i WeightsOf16(__m256i a, int doubleLevel)
{
    if constexpr (Wt == TWeighting::Mmx) {
        return _mm256_sub_epi16(a, _mm256_cmpeq_epi16(a, _mm256_set1_epi16(255)));  // 255 weighs 256
    } else if constexpr (Wt == TWeighting::Double) {
        const __m256i x = _mm256_mullo_epi16(a, _mm256_set1_epi16(static_cast<short>(doubleLevel)));
        return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_set1_epi16(257));
    } else {
        return _mm256_srli_epi16(_mm256_add_epi16(a, _mm256_set1_epi16(1)), 1);
    }
}

// A field of 16 pixels widened to 8 bits as RGBfrom does: moved to the top of its lane, then the
// high half of a product with 264 (5 bits), 260 (6 bits) or 272 (4 bits) repeats its top bits.
template <int Shift, int Bits> XE_AVX2 inline __m256i WidenField16(__m256i p)
{
    constexpr int up = 16 - Shift - Bits;
    constexpr int factor = Bits == 4 ? 272 : Bits == 5 ? 264 : 260;
    __m256i top = up == 0 ? p : _mm256_slli_epi16(p, up);
    if constexpr (Shift != 0)
        top = _mm256_and_si256(top, _mm256_set1_epi16(static_cast<short>(((1 << Bits) - 1) << (16 - Bits))));
    return _mm256_mulhi_epu16(top, _mm256_set1_epi16(static_cast<short>(factor)));
}

template <int Shift, int Bits, int WShift>
XE_AVX2 inline __m256i MixField16(__m256i d, __m256i s, __m256i w, __m256i inv)
{
    const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(WidenField16<Shift, Bits>(d), inv),
                                         _mm256_mullo_epi16(WidenField16<Shift, Bits>(s), w));
    return _mm256_slli_epi16(_mm256_srli_epi16(sum, WShift + 8 - Bits), Shift);
}

// MixRow16's groups of 16 pixels, one 256-bit vector each, from `first` while they lie before
// `end`; returns the first pixel not done. Under the MMX rule, pixels from `plainFrom` on take the
// plain rule: its weight out of 128, doubled, is the same mix out of 256.
template <TPixFormat F, TWeighting Wt>
XE_AVX2 unsigned MixRow16Avx2(Byte* d, const Byte* s, const Byte* a, unsigned first, unsigned end, int doubleLevel,
                              unsigned plainFrom = ~0u)
{
    constexpr TLayout16 L = Layout16Of<F>();
    constexpr int wshift = Wt == TWeighting::Mmx ? 8 : 7;
    constexpr std::uint16_t colourBits = ColourBits16<F>(), keptBits = KeptBits16<F>();
    const __m256i colour = _mm256_set1_epi16(static_cast<short>(colourBits));
    const __m256i kept = _mm256_set1_epi16(static_cast<short>(keptBits));
    const __m256i full = _mm256_set1_epi16(1 << wshift);
    const bool fullIsCopy = FullIsCopy<Wt>(doubleLevel);
    unsigned i = first;
    for (; i + 16 <= end; i += 16) {
        __m256i* dp = reinterpret_cast<__m256i*>(d + std::size_t{i} * 2);
        const __m128i a16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        if (_mm_testz_si128(a16, a16)) {
            if constexpr ((colourBits | keptBits) != 0xFFFF)
                _mm256_storeu_si256(dp, _mm256_and_si256(_mm256_loadu_si256(dp), _mm256_or_si256(colour, kept)));
            continue;
        }
        const __m256i vd = _mm256_loadu_si256(dp);
        const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + std::size_t{i} * 2));
        const __m256i keep = _mm256_and_si256(vd, kept);
        if (fullIsCopy && _mm_movemask_epi8(_mm_cmpeq_epi8(a16, _mm_set1_epi8(-1))) == 0xFFFF) {
            _mm256_storeu_si256(dp, _mm256_or_si256(_mm256_and_si256(vs, colour), keep));
            continue;
        }
        const __m256i alphas = _mm256_cvtepu8_epi16(a16);
        __m256i w = WeightsOf16<Wt>(alphas, doubleLevel);
        if (Wt == TWeighting::Mmx && i + 16 > plainFrom) {
            const __m256i lanes = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
            const __m256i plain = _mm256_cmpgt_epi16(lanes, _mm256_set1_epi16(static_cast<short>(plainFrom - i - 1)));
            w = _mm256_blendv_epi8(w, _mm256_slli_epi16(WeightsOf16<TWeighting::Plain>(alphas, 0), 1), plain);
        }
        const __m256i inv = _mm256_sub_epi16(full, w);
        const __m256i r = _mm256_or_si256(_mm256_or_si256(MixField16<L.rShift, L.rBits, wshift>(vd, vs, w, inv),
                                                          MixField16<L.gShift, L.gBits, wshift>(vd, vs, w, inv)),
                                          _mm256_or_si256(MixField16<L.bShift, L.bBits, wshift>(vd, vs, w, inv), keep));
        _mm256_storeu_si256(dp, r);
    }
    return i;
}

// The last n < 16 pixels of a row as one group: mixed in a copy padded with alpha-0 pixels, of
// which only the n pixels go back; pixels from plainFrom on take the plain rule.
template <TPixFormat F, TWeighting Wt>
XE_AVX2 void MixTail16Avx2(Byte* d, const Byte* s, const Byte* a, unsigned n, int doubleLevel, unsigned plainFrom)
{
    Byte td[32] = {}, ts[32] = {}, ta[16] = {};
    std::memcpy(td, d, std::size_t{n} * 2);
    std::memcpy(ts, s, std::size_t{n} * 2);
    std::memcpy(ta, a, n);
    MixRow16Avx2<F, Wt>(td, ts, ta, 0, 16, doubleLevel, plainFrom);
    std::memcpy(d, td, std::size_t{n} * 2);
}

#endif

template <TPixFormat F, TWeighting Wt> void* MixRow16Of(void* dst, const void* src, const void* alpha, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const auto* a = static_cast<const Byte*>(alpha);
    const int doubleLevel = Wt == TWeighting::Double ? DoubleAlphaLevel() : 0;
#if defined(XE_HAVE_AVX2)
    if (XeHasAvx2()) {
        // Whole groups, then the rest as one padded group; under the MMX rule the pixels from
        // `end` on (the last one or two) take the plain rule inside whichever group holds them.
        const unsigned end = Wt == TWeighting::Mmx ? PairEnd(count) : count;
        const unsigned first = MixRow16Avx2<F, Wt>(d, s, a, 0, count, doubleLevel, end);
        if (first < count)
            MixTail16Avx2<F, Wt>(d + std::size_t{first} * 2, s + std::size_t{first} * 2, a + first, count - first,
                                 doubleLevel, end > first ? end - first : 0);
        return dst;
    }
#endif
    XeVectorRun<&MixRow16<F, Wt>>(d, s, a, count, 0u, doubleLevel);
    return dst;
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

template <TPixFormat F> void* RGBAlphaOutChannel16(void* d, const void* s, const void* a, unsigned n) { return MixRow16Of<F, Plain>(d, s, a, n); }
template <TPixFormat F> void* RGBAlphaOutChannel16_MMX(void* d, const void* s, const void* a, unsigned n) { return MixRow16Of<F, Mmx>(d, s, a, n); }
template <TPixFormat F> void* RGBDoubleAlphaOutChannel16(void* d, const void* s, const void* a, unsigned n) { return MixRow16Of<F, Double>(d, s, a, n); }

#define XE_ALPHA_ROWS_16(F)                                                                       \
    template void* RGBAlphaOutChannel16<F>(void*, const void*, const void*, unsigned);           \
    template void* RGBAlphaOutChannel16_MMX<F>(void*, const void*, const void*, unsigned);       \
    template void* RGBDoubleAlphaOutChannel16<F>(void*, const void*, const void*, unsigned);
XE_ALPHA_ROWS_16(pf16_565)
XE_ALPHA_ROWS_16(pf16_555)
XE_ALPHA_ROWS_16(pf16_5551)
XE_ALPHA_ROWS_16(pf16_4444)
#undef XE_ALPHA_ROWS_16

const TPixFormatTable<TAlphaMapRow> RGBAlphaOutChannelTable = {
    nullptr, &RGBAlphaOutChannel16<pf16_565>, &RGBAlphaOutChannel16<pf16_555>, &RGBAlphaOutChannel16<pf16_5551>,
    &RGBAlphaOutChannel16<pf16_4444>, &RGBAlphaOutChannel, &RGBAlphaOutChannel32, &RGBAlphaOutChannel32};
const TPixFormatTable<TAlphaMapRow> RGBAlphaOutChannelTableMMX = {
    nullptr, &RGBAlphaOutChannel16_MMX<pf16_565>, &RGBAlphaOutChannel16_MMX<pf16_555>,
    &RGBAlphaOutChannel16_MMX<pf16_5551>, &RGBAlphaOutChannel16_MMX<pf16_4444>, &RGBAlphaOutChannel_MMX,
    &RGBAlphaOutChannel32_MMX, &RGBAlphaOutChannel32_MMX};
const TPixFormatTable<TAlphaMapRow> RGBDoubleAlphaOutChannelTable = {
    nullptr, &RGBDoubleAlphaOutChannel16<pf16_565>, &RGBDoubleAlphaOutChannel16<pf16_555>,
    &RGBDoubleAlphaOutChannel16<pf16_5551>, &RGBDoubleAlphaOutChannel16<pf16_4444>, &RGBDoubleAlphaOutChannel,
    &RGBDoubleAlphaOutChannel32, &RGBDoubleAlphaOutChannel32};
const TPixFormatTable<TAlphaMapRow> RGBDoubleAlphaOutChannelTableMMX = {
    nullptr, &RGBDoubleAlphaOutChannel16<pf16_565>, &RGBDoubleAlphaOutChannel16<pf16_555>,
    &RGBDoubleAlphaOutChannel16<pf16_5551>, &RGBDoubleAlphaOutChannel16<pf16_4444>, &RGBDoubleAlphaOutChannel_MMX,
    &RGBDoubleAlphaOutChannel32_MMX, &RGBDoubleAlphaOutChannel32_MMX};
