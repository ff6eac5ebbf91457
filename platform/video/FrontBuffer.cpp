// FrontBuffer: the picture a host window shows, filled by the drawing thread and read by its presenter.
#include "platform/video/FrontBuffer.h"

#include <bit>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace video {

namespace {

// Widens the channel selected by `mask` to 8 bits.
std::uint32_t Channel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    std::uint32_t v = (value & mask) >> shift;
    if (bits >= 8)
        return v >> (bits - 8);
    std::uint32_t wide = 0;
    for (int have = 0; have < 8; have += bits)
        wide = (wide << bits) | v;
    const int total = ((8 + bits - 1) / bits) * bits;
    return wide >> (total - 8);
}

// The first byte from the start, and the last byte from the end, at which two rows differ;
// the rows must differ somewhere. Sixteen bytes a step: these scans run on every changed row
// a present copies.
std::size_t FirstDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n)
{
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16) {
        const __m128i equal = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(equal)) ^ 0xFFFFu;
        if (mask != 0)
            return i + static_cast<std::size_t>(std::countr_zero(mask));
    }
#endif
    while (a[i] == b[i])
        ++i;
    return i;
}

std::size_t LastDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n)
{
    std::size_t end = n;
#ifdef __SSE2__
    for (; end >= 16; end -= 16) {
        const __m128i equal = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + end - 16)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + end - 16)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(equal)) ^ 0xFFFFu;
        if (mask != 0)
            return end - 16 + 31 - static_cast<std::size_t>(std::countl_zero(mask));
    }
#endif
    while (a[end - 1] == b[end - 1])
        --end;
    return end - 1;
}

// The byte range [first, last) in which two rows differ; first == last when they are equal.
std::pair<std::size_t, std::size_t> ChangedBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t n)
{
    if (std::memcmp(a, b, n) == 0)
        return {0, 0};
    return {FirstDifference(a, b, n), LastDifference(a, b, n) + 1};
}

} // namespace

std::uint32_t ReadPixel(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

std::uint32_t PixelToRgb(std::uint32_t value, const PixelLayout& layout)
{
    if (layout.Palettised())
        return value * 0x010101u;
    return Channel(value, layout.red) << 16 | Channel(value, layout.green) << 8 | Channel(value, layout.blue);
}

std::uint32_t FrontBuffer::Picture::Pixel(int x, int y) const
{
    const int bytes = layout.BytesPerPixel();
    return ReadPixel(pixels.data() + (static_cast<std::size_t>(y) * width + x) * bytes, bytes);
}

std::uint32_t FrontBuffer::Picture::Rgb(int x, int y) const
{
    return PixelToRgb(Pixel(x, y), layout);
}

void FrontBuffer::Reset(int width, int height, const PixelLayout& layout)
{
    std::lock_guard guard(lock_);
    width_ = width;
    height_ = height;
    layout_ = layout;
    pitch_ = static_cast<std::ptrdiff_t>(width) * layout.BytesPerPixel();
    pixels_.assign(static_cast<std::size_t>(pitch_) * height, 0);
    pending_.Clear();
    pending_.Add({0, 0, width, height});
    ++generation_;
}

Rect FrontBuffer::Publish(const Rect& rect, const std::uint8_t* src, std::ptrdiff_t srcPitch)
{
    std::lock_guard guard(lock_);
    if (rect.Empty() || !Rect{0, 0, width_, height_}.Contains(rect))
        return {};
    const int bytes = layout_.BytesPerPixel();
    const std::size_t rowBytes = static_cast<std::size_t>(rect.Width()) * bytes;
    std::uint8_t* dst = pixels_.data() + rect.top * pitch_ + static_cast<std::ptrdiff_t>(rect.left) * bytes;
    // Only what differs is copied and becomes pending, so a whole-screen copy of a picture that
    // changed in one corner costs the presenter that corner only.
    Rect changed;
    for (int y = rect.top; y < rect.bottom; ++y, dst += pitch_, src += srcPitch) {
        const auto [first, last] = ChangedBytes(dst, src, rowBytes);
        if (first == last)
            continue;
        std::memcpy(dst + first, src + first, last - first);
        const int x0 = rect.left + static_cast<int>(first / bytes);
        const int x1 = rect.left + static_cast<int>((last + bytes - 1) / bytes);
        changed = Bound(changed, Rect{x0, y, x1, y + 1});
    }
    if (changed.Empty())
        return {};
    pending_.Add(changed);
    ++generation_;
    return changed;
}

bool FrontBuffer::TakePending(const std::function<void(const View&, std::span<const Rect>)>& present)
{
    std::lock_guard guard(lock_);
    if (pending_.Empty())
        return false;
    present(View{pixels_.data(), pitch_, width_, height_, layout_}, pending_.Rects());
    pending_.Clear();
    return true;
}

void FrontBuffer::MarkAllPending()
{
    std::lock_guard guard(lock_);
    pending_.Add({0, 0, width_, height_});
}

FrontBuffer::Picture FrontBuffer::Copy() const
{
    std::lock_guard guard(lock_);
    return Picture{width_, height_, layout_, pixels_};
}

Size FrontBuffer::PictureSize() const
{
    std::lock_guard guard(lock_);
    return {width_, height_};
}

std::uint64_t FrontBuffer::Generation() const
{
    std::lock_guard guard(lock_);
    return generation_;
}

} // namespace video
