// DibSection: a device-independent bitmap in our own memory, or over memory another object keeps.
#include "platform/font/DibSection.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

constexpr int kMaxColours = 256;
// Masks of sections made without BI_BITFIELDS.
constexpr std::uint32_t kMasks555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr std::uint32_t kMasks888[3] = {0xFF0000, 0xFF00, 0xFF};

// Row stride (4-byte aligned) and block size; false when they do not fit.
bool SectionSize(int width, int height, int bitCount, int& stride, std::size_t& bytes)
{
    long long bits = 0;
    if (__builtin_mul_overflow(static_cast<long long>(width), bitCount, &bits))
        return false;
    const long long rowBytes = (bits + 31) / 32 * 4;
    if (rowBytes > INT_MAX)
        return false;
    stride = static_cast<int>(rowBytes);
    return !__builtin_mul_overflow(static_cast<std::size_t>(stride), static_cast<std::size_t>(height), &bytes) &&
           bytes <= static_cast<std::size_t>(PTRDIFF_MAX);
}

} // namespace

std::unique_ptr<DibSection> DibSection::Describe(const BitmapInfoHeader& header, std::span<const std::uint32_t> masks,
                                                 std::span<const std::uint32_t> colours, std::size_t& bytes)
{
    const int bitCount = header.biBitCount;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT_MIN)
        return nullptr;
    if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;
    const bool bitFields = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !bitFields)
        return nullptr;
    if (bitFields && (masks.size() < 3 || bitCount == 8 || bitCount == 24))
        return nullptr;
    std::unique_ptr<DibSection> dib(new DibSection());
    dib->header_ = header;
    dib->height_ = std::abs(header.biHeight);
    if (!SectionSize(header.biWidth, dib->height_, bitCount, dib->stride_, bytes))
        return nullptr;
    std::uint32_t imageSize = 0;
    dib->header_.biSizeImage =
        __builtin_mul_overflow(static_cast<std::uint32_t>(dib->stride_), static_cast<std::uint32_t>(dib->height_), &imageSize)
            ? 0
            : imageSize;
    if (bitFields)
        std::copy_n(masks.begin(), 3, dib->masks_);
    else if (bitCount == 16)
        std::copy_n(kMasks555, 3, dib->masks_);
    else if (bitCount != 8)
        std::copy_n(kMasks888, 3, dib->masks_);
    if (bitCount == 8) {
        dib->colours_.assign(kMaxColours, 0);
        std::copy_n(colours.begin(), std::min<std::size_t>(colours.size(), kMaxColours), dib->colours_.begin());
    }
    return dib;
}

std::unique_ptr<DibSection> DibSection::Create(const BitmapInfoHeader& header, std::span<const std::uint32_t> masks,
                                               std::span<const std::uint32_t> colours)
{
    std::size_t bytes = 0;
    std::unique_ptr<DibSection> dib = Describe(header, masks, colours, bytes);
    if (!dib)
        return nullptr;
    try {
        dib->memory_ = std::make_unique<std::uint8_t[]>(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    dib->start_ = dib->memory_.get();
    return dib;
}

std::unique_ptr<DibSection> DibSection::Over(const BitmapInfoHeader& header, std::span<const std::uint32_t> masks,
                                             std::span<const std::uint32_t> colours, std::uint8_t* start, int stride)
{
    std::size_t bytes = 0;
    std::unique_ptr<DibSection> dib = Describe(header, masks, colours, bytes);
    if (!dib || start == nullptr || stride < dib->stride_)
        return nullptr;
    dib->stride_ = stride;
    dib->start_ = start;
    return dib;
}

std::uint8_t* DibSection::Row0() const
{
    if (TopDown())
        return start_;
    return start_ + static_cast<std::ptrdiff_t>(height_ - 1) * stride_;
}
