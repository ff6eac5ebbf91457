// Row copy and fill primitives.
//
// Two forms of each loop: the portable one moves fixed-size blocks of units through small local
// arrays (a fixed trip count and arrays nothing else can alias let the compiler vectorise a block
// without a runtime overlap check) and finishes a row one unit at a time; where the processor has
// AVX2, the 1-, 2- and 4-byte forms first run the 256-bit loops of XeMemAvx2 over the whole vectors
// of the row and leave only the rest to the portable form.
#include "base/memory/XeMem.h"

#include "base/memory/XeMemAvx2.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <type_traits>

// Units are native values and 3-byte units little-endian; the word patterns below rely on both
// orders being the same.
static_assert(std::endian::native == std::endian::little);

namespace {

std::atomic<bool> wideVectors{XeMemAvx2::Supported()};

// Units in one 32-byte vector of the wide form, 0 for the widths it does not handle.
template <int W> constexpr std::size_t kVectorUnits = W == 3 ? 0 : 32 / W;

// How many leading units of an n-unit span the wide form takes: whole vectors only.
template <int W> std::size_t WideUnits(std::size_t n)
{
    if (kVectorUnits<W> == 0 || !wideVectors.load(std::memory_order_relaxed))
        return 0;
    return n / kVectorUnits<W> * kVectorUnits<W>;
}

// The value type of a W-byte unit (a 3-byte unit is held in 32 bits).
template <int W>
using Unit = std::conditional_t<W == 1, std::uint8_t, std::conditional_t<W == 2, std::uint16_t, std::uint32_t>>;

// Units per block of the keyed and mirrored copies, and mask bytes per block of the masked copies
// (8 units each). A block of more than 16 units stays a loop that the vectoriser takes whole; a
// shorter one would be unrolled into scalar code first. 3-byte units are not vectorised: their
// small blocks stay in registers as plain word operations.
template <int W> constexpr std::size_t kBlock = W == 3 ? 4 : W == 1 ? 64 : 32;
template <int W> constexpr std::size_t kMaskGroup = W == 3 ? 1 : W == 1 ? 8 : 4;

std::uint8_t* Bytes(void* p) { return static_cast<std::uint8_t*>(p); }
const std::uint8_t* Bytes(const void* p) { return static_cast<const std::uint8_t*>(p); }

template <int W> Unit<W> Load(const std::uint8_t* p)
{
    if constexpr (W == 3) {
        return static_cast<Unit<W>>(p[0] | p[1] << 8 | p[2] << 16);
    } else {
        Unit<W> v;
        std::memcpy(&v, p, W);
        return v;
    }
}

template <int W> void Store(std::uint8_t* p, Unit<W> v)
{
    if constexpr (W == 3) {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    } else {
        std::memcpy(p, &v, W);
    }
}

// Four 3-byte units from twelve bytes read as three words, and back: word moves instead of byte
// moves. Each word goes through its own 4-byte copy, so no wider access reads bytes just written
// (a store the processor could not forward).
std::uint32_t Word(const std::uint8_t* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

void PutWord(std::uint8_t* p, std::uint32_t w) { std::memcpy(p, &w, 4); }

void LoadFour(std::uint32_t* units, const std::uint8_t* p)
{
    const std::uint32_t w0 = Word(p);
    const std::uint32_t w1 = Word(p + 4);
    const std::uint32_t w2 = Word(p + 8);
    units[0] = w0 & 0xFFFFFF;
    units[1] = (w0 >> 24 | w1 << 8) & 0xFFFFFF;
    units[2] = (w1 >> 16 | w2 << 16) & 0xFFFFFF;
    units[3] = w2 >> 8;
}

void StoreFour(std::uint8_t* p, const std::uint32_t* units)
{
    PutWord(p, units[0] | units[1] << 24);
    PutWord(p + 4, units[1] >> 8 | units[2] << 16);
    PutWord(p + 8, units[2] >> 16 | units[3] << 8);
}

template <int W, std::size_t B> void LoadBlock(Unit<W> (&block)[B], const std::uint8_t* p)
{
    if constexpr (W == 3) {
        static_assert(B % 4 == 0);
        for (std::size_t k = 0; k < B; k += 4)
            LoadFour(block + k, p + 3 * k);
    } else {
        std::memcpy(block, p, sizeof block);
    }
}

template <int W, std::size_t B> void StoreBlock(std::uint8_t* p, const Unit<W> (&block)[B])
{
    if constexpr (W == 3) {
        for (std::size_t k = 0; k < B; k += 4)
            StoreFour(p + 3 * k, block + k);
    } else {
        std::memcpy(p, block, sizeof block);
    }
}

template <int W> void CopyReversed(std::uint8_t* d, const std::uint8_t* s, std::size_t n)
{
    constexpr std::size_t B = kBlock<W>;
    const std::uint8_t* end = s + n * W;
    for (; n >= B; n -= B, d += B * W) {
        end -= B * W;
        Unit<W> sv[B];
        Unit<W> dv[B];
        LoadBlock<W>(sv, end);
        for (std::size_t k = 0; k < B; ++k)
            dv[k] = sv[B - 1 - k];
        StoreBlock<W>(d, dv);
    }
    for (; n > 0; --n, d += W) {
        end -= W;
        Store<W>(d, Load<W>(end));
    }
}

// Copies the units that differ from the key; Reversed reads the source from its end.
template <int W, bool Reversed> void CopyKeyed(std::uint8_t* d, const std::uint8_t* s, std::size_t n, Unit<W> key)
{
    constexpr std::size_t B = kBlock<W>;
    const std::uint8_t* end = s + n * W;
    for (; n >= B; n -= B, d += B * W) {
        const std::uint8_t* from = Reversed ? (end -= B * W) : s;
        Unit<W> sv[B];
        Unit<W> dv[B];
        LoadBlock<W>(sv, from);
        LoadBlock<W>(dv, d);
        for (std::size_t k = 0; k < B; ++k) {
            const Unit<W> v = sv[Reversed ? B - 1 - k : k];
            dv[k] = v == key ? dv[k] : v;
        }
        StoreBlock<W>(d, dv);
        if (!Reversed)
            s += B * W;
    }
    for (; n > 0; --n, d += W) {
        const std::uint8_t* from = Reversed ? (end -= W) : s;
        const Unit<W> v = Load<W>(from);
        if (v != key)
            Store<W>(d, v);
        if (!Reversed)
            s += W;
    }
}

// Spreads the bits of a mask byte over 8 lane bytes, most significant bit first: 1 for a 1 bit, 0 for
// a 0 bit. Byte k of the result (counted from the low end) is lane k.
std::uint64_t SpreadBits(unsigned bits)
{
    const std::uint64_t picked = (bits * 0x0101010101010101ull) & 0x0102040810204080ull;
    // Each byte of `picked` holds at most one bit, so adding 0x7F sets its top bit without a carry
    // exactly when the byte is non-zero.
    const std::uint64_t tops = (picked + 0x7F7F7F7F7F7F7F7Full) & 0x8080808080808080ull;
    return tops >> 7;
}

// One block of G mask bytes (8 * G units). `d` is the lowest address of the destination block;
// Reversed places source unit k at destination unit 8G-1-k.
template <int W, std::size_t G, bool Reversed>
void CopyMaskedBlock(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* mask)
{
    constexpr std::size_t B = 8 * G;
    std::uint8_t lanes[B];
    for (std::size_t g = 0; g < G; ++g) {
        const std::uint64_t spread = SpreadBits(mask[g]);
        for (std::size_t k = 0; k < 8; ++k)
            lanes[g * 8 + k] = static_cast<std::uint8_t>(spread >> (8 * k));
    }
    Unit<W> sv[B];
    Unit<W> dv[B];
    LoadBlock<W>(sv, s);
    LoadBlock<W>(dv, d);
    for (std::size_t j = 0; j < B; ++j) {
        const std::size_t k = Reversed ? B - 1 - j : j;
        const auto on = static_cast<Unit<W>>(Unit<W>{0} - lanes[k]); // all ones or zero
        dv[j] = static_cast<Unit<W>>((sv[k] & on) | (dv[j] & ~on));
    }
    StoreBlock<W>(d, dv);
}

// Walks the row with the pattern position p. From a mask byte boundary, the units that both the row
// and the rest of the pattern hold go by whole vectors or blocks; everything else goes bit by bit.
template <int W, bool Reversed>
void CopyMasked(std::uint8_t* d, const std::uint8_t* s, std::size_t n, const std::uint8_t* mask, unsigned maskBits)
{
    if (maskBits == 0)
        return;
    constexpr std::size_t G = kMaskGroup<W>;
    std::uint8_t* end = d + n * W;
    std::size_t p = 0;
    // The destination of the next `units` units.
    auto target = [&](std::size_t units) {
        std::uint8_t* at = Reversed ? (end -= units * W) : d;
        if (!Reversed)
            d += units * W;
        return at;
    };
    while (n > 0) {
        const std::size_t room = p % 8 == 0 ? std::min<std::size_t>(n, maskBits - p) : 0;
        std::size_t step = WideUnits<W>(room);
        if (step > 0) {
            XeMemAvx2::Masked(W, Reversed, target(step), s, step, mask + p / 8);
        } else if (room >= 8 * G) {
            step = 8 * G;
            CopyMaskedBlock<W, G, Reversed>(target(step), s, mask + p / 8);
        } else if (room >= 8) {
            step = 8;
            CopyMaskedBlock<W, 1, Reversed>(target(step), s, mask + p / 8);
        } else {
            step = 1;
            std::uint8_t* at = target(1);
            if ((mask[p / 8] & (0x80u >> (p % 8))) != 0)
                Store<W>(at, Load<W>(s));
        }
        s += step * W;
        n -= step;
        p += step;
        if (p == maskBits)
            p = 0;
    }
}

// Writes `bytes` bytes of a repeated 12-byte period, starting at byte `phase` of it.
void FillPeriod(std::uint8_t* d, const std::uint32_t (&period)[3], std::size_t phase, std::size_t bytes)
{
    constexpr std::size_t kPeriod = sizeof period;
    constexpr std::size_t kChunk = 4 * kPeriod;
    std::uint8_t pattern[kChunk + kPeriod];
    for (std::size_t i = 0; i < sizeof pattern; i += kPeriod)
        std::memcpy(pattern + i, period, kPeriod);
    const std::uint8_t* from = pattern + phase;
    for (; bytes >= kChunk; bytes -= kChunk, d += kChunk)
        std::memcpy(d, from, kChunk);
    std::memcpy(d, from, bytes);
}

// Fills with a 12-byte period, which holds whole units of every width: the wide form writes the
// whole vectors, then the portable form the rest from the phase where the wide form stopped. The
// period is made as words (not unit by unit) so that reading it back never waits on byte stores.
template <int W> void Fill(std::uint8_t* d, std::uint32_t value, std::size_t n)
{
    std::uint32_t period[3];
    if constexpr (W == 3) {
        value &= 0xFFFFFF;
        period[0] = value | value << 24;
        period[1] = value >> 8 | value << 16;
        period[2] = value >> 16 | value << 8;
    } else {
        const std::uint32_t word = W == 1 ? (value & 0xFF) * 0x01010101u : W == 2 ? (value & 0xFFFF) * 0x00010001u : value;
        period[0] = period[1] = period[2] = word;
    }
    std::size_t bytes = n * W;
    std::size_t phase = 0;
    const bool wide = wideVectors.load(std::memory_order_relaxed);
    if (wide && W != 3 && bytes >= 32)
        return XeMemAvx2::FillWord(d, period[0], bytes); // the whole row in one call
    if (wide) {
        const std::size_t done = XeMemAvx2::Fill(d, period, bytes);
        if (done == bytes)
            return;
        d += done;
        bytes -= done;
        phase = done % sizeof period;
    }
    FillPeriod(d, period, phase, bytes);
}

template <int W> void Mirrored(std::uint8_t* d, const std::uint8_t* s, std::size_t n)
{
    const std::size_t wide = WideUnits<W>(n);
    if (wide > 0)
        XeMemAvx2::Reversed(W, d, s + (n - wide) * W, wide);
    CopyReversed<W>(d + wide * W, s, n - wide);
}

template <int W, bool Reversed> void Keyed(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint32_t key)
{
    const std::size_t wide = WideUnits<W>(n);
    if (wide > 0)
        XeMemAvx2::Keyed(W, Reversed, d, Reversed ? s + (n - wide) * W : s, wide, key);
    CopyKeyed<W, Reversed>(d + wide * W, Reversed ? s : s + wide * W, n - wide, static_cast<Unit<W>>(key));
}

} // namespace

void* XeMemcpy(void* dst, const void* src, std::size_t n) { return n == 0 ? dst : std::memmove(dst, src, n); }

void* XeMemcpyS(void* dst, const void* src, std::size_t n) { return n == 0 ? dst : std::memmove(dst, src, n); }

void* XeMemcpyB(void* dst, const void* src, std::size_t n) { return n == 0 ? dst : std::memmove(dst, src, n); }

#define XE_MIRRORED(name, w)                                                                                    \
    void* name(void* dst, const void* src, std::size_t n)                                                       \
    {                                                                                                           \
        Mirrored<w>(Bytes(dst), Bytes(src), n);                                                             \
        return dst;                                                                                             \
    }
#define XE_KEYED(name, w, reversed)                                                                             \
    void* name(void* dst, const void* src, std::size_t n, std::uint32_t key)                                   \
    {                                                                                                           \
        Keyed<w, reversed>(Bytes(dst), Bytes(src), n, key);                                         \
        return dst;                                                                                             \
    }
#define XE_MASKED(name, w, reversed)                                                                            \
    void* name(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits)         \
    {                                                                                                           \
        CopyMasked<w, reversed>(Bytes(dst), Bytes(src), n, mask, maskBits);                                     \
        return dst;                                                                                             \
    }

XE_MIRRORED(XeMemcpyR, 1)
XE_MIRRORED(XeMemcpy2R, 2)
XE_MIRRORED(XeMemcpy3R, 3)
XE_MIRRORED(XeMemcpy4R, 4)

XE_KEYED(XeMemcpyK, 1, false)
XE_KEYED(XeMemcpy2K, 2, false)
XE_KEYED(XeMemcpy3K, 3, false)
XE_KEYED(XeMemcpy4K, 4, false)
XE_KEYED(XeMemcpyRK, 1, true)
XE_KEYED(XeMemcpy2RK, 2, true)
XE_KEYED(XeMemcpy3RK, 3, true)
XE_KEYED(XeMemcpy4RK, 4, true)

XE_MASKED(XeMemcpyM, 1, false)
XE_MASKED(XeMemcpy2M, 2, false)
XE_MASKED(XeMemcpy3M, 3, false)
XE_MASKED(XeMemcpy4M, 4, false)
XE_MASKED(XeMemcpyRM, 1, true)
XE_MASKED(XeMemcpy2RM, 2, true)
XE_MASKED(XeMemcpy3RM, 3, true)
XE_MASKED(XeMemcpy4RM, 4, true)

#undef XE_MIRRORED
#undef XE_KEYED
#undef XE_MASKED

bool XeMemWideVectors() { return wideVectors.load(std::memory_order_relaxed); }

bool XeMemUseWideVectors(bool on)
{
    wideVectors.store(on && XeMemAvx2::Supported(), std::memory_order_relaxed);
    return XeMemWideVectors();
}

void* XeMemset(void* dst, std::uint32_t value, std::size_t n) { return std::memset(dst, value & 0xFF, n); }

void* XeMemset2(void* dst, std::uint32_t value, std::size_t n)
{
    Fill<2>(Bytes(dst), value, n);
    return dst;
}

void* XeMemset3(void* dst, std::uint32_t value, std::size_t n)
{
    Fill<3>(Bytes(dst), value, n);
    return dst;
}

void* XeMemset4(void* dst, std::uint32_t value, std::size_t n)
{
    Fill<4>(Bytes(dst), value, n);
    return dst;
}
