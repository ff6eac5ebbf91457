// DibSection: a device-independent bitmap in our own memory (or over memory another object keeps),
// described by the system's bitmap header, which a device context (DeviceContext.h) can draw text
// into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::uint32_t BI_BITFIELDS = 3;

// The 40-byte bitmap header in the system's field order. A positive height stores the rows
// bottom-up, a negative one top-down.
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = BI_RGB;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

class DibSection {
public:
    // A zeroed section for the header, whose image size it sets (0 when that does not fit in 32
    // bits). Rows are 4-byte aligned. 16- and 32-bit sections take their
    // red, green and blue masks from `masks` with BI_BITFIELDS, else 5-5-5 or 8-8-8; 24-bit ones
    // are BI_RGB; 8-bit ones take up to 256 colours (0x00RRGGBB) from `colours`. Null for a
    // non-positive width, a zero height, another bit count, BI_BITFIELDS with fewer than three
    // masks or at 8 or 24 bits, a size that does not fit, or no memory.
    static std::unique_ptr<DibSection> Create(const BitmapInfoHeader& header, std::span<const std::uint32_t> masks = {},
                                              std::span<const std::uint32_t> colours = {});
    // A section over memory that the caller keeps alive and mapped while the section lives (a
    // locked surface): `start` is the first stored row, `stride` the bytes from one stored row to
    // the next (at least the packed, 4-byte aligned row). The memory is not cleared. Null as for
    // Create, and for a null start or a stride that is too short.
    static std::unique_ptr<DibSection> Over(const BitmapInfoHeader& header, std::span<const std::uint32_t> masks,
                                            std::span<const std::uint32_t> colours, std::uint8_t* start, int stride);

    const BitmapInfoHeader& Header() const { return header_; }
    int Width() const { return header_.biWidth; }
    int Height() const { return height_; }
    int BitCount() const { return header_.biBitCount; }
    bool TopDown() const { return header_.biHeight < 0; }
    // Bytes from one stored row to the next.
    int Stride() const { return stride_; }
    // First byte of the memory block (the bottom row when bottom-up).
    std::uint8_t* Start() const { return start_; }
    // The top row, and the signed distance from a row to the one below it.
    std::uint8_t* Row0() const;
    std::ptrdiff_t RowPitch() const { return TopDown() ? stride_ : -static_cast<std::ptrdiff_t>(stride_); }

    std::uint32_t RedMask() const { return masks_[0]; }
    std::uint32_t GreenMask() const { return masks_[1]; }
    std::uint32_t BlueMask() const { return masks_[2]; }
    // The colour table of an 8-bit section (256 entries, 0x00RRGGBB); empty otherwise.
    std::span<const std::uint32_t> Colours() const { return colours_; }

private:
    DibSection() = default;
    // The checked description of a section and the bytes of its packed rows; null when refused.
    static std::unique_ptr<DibSection> Describe(const BitmapInfoHeader& header, std::span<const std::uint32_t> masks,
                                                std::span<const std::uint32_t> colours, std::size_t& bytes);

    BitmapInfoHeader header_{};
    int height_ = 0;
    int stride_ = 0;
    std::uint32_t masks_[3] = {0, 0, 0};
    std::vector<std::uint32_t> colours_;
    std::unique_ptr<std::uint8_t[]> memory_;
    std::uint8_t* start_ = nullptr;
};
