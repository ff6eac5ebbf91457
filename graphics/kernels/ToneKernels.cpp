// Colour effect row kernels: tone and monochrome.
#include "graphics/kernels/ToneKernels.h"

#include <algorithm>
#include <cstddef>

namespace {

using Byte = std::uint8_t;

// Channels scaled: the first `Scaled` bytes of each `Bytes`-byte pixel.
template <int Bytes, int Scaled> void* ToneRow(void* dst, const void* src, std::uint32_t factor, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const std::size_t n = std::size_t{count} * Bytes;
    for (std::size_t i = 0; i < n; i += Bytes) {
        for (int k = 0; k < Scaled; ++k) {
            const unsigned f = (factor >> (8 * k)) & 0xFF;
            d[i + k] = static_cast<Byte>(std::min((s[i + k] * f) >> 7, 255u));
        }
    }
    return dst;
}

template <int Bytes> void* MonochromeRow(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const std::size_t n = std::size_t{count} * Bytes;
    for (std::size_t i = 0; i < n; i += Bytes) {
        const auto v = static_cast<Byte>((s[i] + s[i + 1] + s[i + 2]) / 3);
        d[i] = d[i + 1] = d[i + 2] = v;
    }
    return dst;
}

}  // namespace

void* RGBTone24(void* d, const void* s, std::uint32_t f, unsigned n) { return ToneRow<3, 3>(d, s, f, n); }
void* RGBTone32(void* d, const void* s, std::uint32_t f, unsigned n) { return ToneRow<4, 3>(d, s, f, n); }
void* RGBTone24_MMX(void* d, const void* s, std::uint32_t f, unsigned n) { return ToneRow<3, 3>(d, s, f, n); }
void* RGBTone32_MMX(void* d, const void* s, std::uint32_t f, unsigned n) { return ToneRow<4, 4>(d, s, f, n); }

void* RGBMonochrome24(void* d, const void* s, unsigned n) { return MonochromeRow<3>(d, s, n); }
void* RGBMonochrome32(void* d, const void* s, unsigned n) { return MonochromeRow<4>(d, s, n); }
