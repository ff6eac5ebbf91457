// TXeRGBBits pixel, line, box and pattern primitives: clipping at the door, row kernels of the
// bitmap's depth for the spans.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/bitmaps/CornerPairs.h"
#include "graphics/bitmaps/DrawFrame.h"

#include "base/memory/XeMem.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <utility>

namespace {

using TFillRow = void*(void* dst, std::uint32_t value, std::size_t n);
using TCopyRow = void*(void* dst, const void* src, std::size_t n);
using TKeyRow = void*(void* dst, const void* src, std::size_t n, std::uint32_t key);
using TMaskRow = void*(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);

// Row kernels by TBitDepth (entry 0 empty).
constexpr std::array<TFillRow*, kBitDepthCount> kFill = {nullptr, XeMemset, XeMemset2, XeMemset3, XeMemset4};
constexpr std::array<TKeyRow*, kBitDepthCount> kKeyed = {nullptr, XeMemcpyK, XeMemcpy2K, XeMemcpy3K, XeMemcpy4K};
constexpr std::array<TCopyRow*, kBitDepthCount> kMirrored = {nullptr, XeMemcpyR, XeMemcpy2R, XeMemcpy3R, XeMemcpy4R};
constexpr std::array<TKeyRow*, kBitDepthCount> kMirroredKeyed = {nullptr, XeMemcpyRK, XeMemcpy2RK, XeMemcpy3RK,
                                                                 XeMemcpy4RK};
constexpr std::array<TMaskRow*, kBitDepthCount> kMasked = {nullptr, XeMemcpyM, XeMemcpy2M, XeMemcpy3M, XeMemcpy4M};
constexpr std::array<TMaskRow*, kBitDepthCount> kMirroredMasked = {nullptr, XeMemcpyRM, XeMemcpy2RM, XeMemcpy3RM,
                                                                   XeMemcpy4RM};

template <typename Fn, std::size_t N> Fn* ForDepth(const std::array<Fn*, N>& table, TBitDepth depth)
{
    return depth < N ? table[depth] : nullptr;
}

int ClampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

void TXeRGBBits::ClipRect(const TXeRect& draw, const TXeRect& clip, int& cutLeft, int& cutTop, int& cutRight,
                          int& cutBottom)
{
    const auto cut = [](int& c, std::int64_t over) { c = ClampToInt(std::max<std::int64_t>(c, over)); };
    cut(cutLeft, std::int64_t{clip.left} - draw.left);
    cut(cutTop, std::int64_t{clip.top} - draw.top);
    cut(cutRight, std::int64_t{draw.right} - clip.right);
    cut(cutBottom, std::int64_t{draw.bottom} - clip.bottom);
}

bool TXeRGBBits::ClipPattern(int& x, int& y, int& w, int& h, const std::uint8_t*& src, std::ptrdiff_t srcPitch,
                             bool mirror) const
{
    const std::int64_t cutLeft = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t cutTop = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t cutRight = std::max<std::int64_t>(0, std::int64_t{x} + w - FWidth);
    const std::int64_t cutBottom = std::max<std::int64_t>(0, std::int64_t{y} + h - FHeight);
    const std::int64_t visibleW = std::int64_t{w} - cutLeft - cutRight;
    const std::int64_t visibleH = std::int64_t{h} - cutTop - cutBottom;
    if (visibleW <= 0 || visibleH <= 0)
        return false;
    // A mirrored pattern loses its first columns on the right and its last ones on the left.
    src += (mirror ? cutRight : cutLeft) * FBitDepth + cutTop * srcPitch;
    x = static_cast<int>(x + cutLeft);
    y = static_cast<int>(y + cutTop);
    w = static_cast<int>(visibleW);
    h = static_cast<int>(visibleH);
    return true;
}

void TXeRGBBits::Cls()
{
    if (!FCreated)
        return;
    WithLock([&] {
        for (int y = 0; y < FHeight; ++y)
            XeMemset(PixelAt(0, y), 0, std::size_t{static_cast<unsigned>(FWidth)} * FBitDepth);
        SetModified();
        return true;
    });
}

bool TXeRGBBits::XeLine(int x1, int y1, int x2, int y2, std::uint32_t value)
{
    TPixelSet* set = FCreated ? ForDepth(XePixelSet, FBitDepth) : nullptr;
    if (!set)
        return false;
    return WithLock([&] {
        WalkLine(x1, y1, x2, y2, [&](int x, int y) {
            if (x >= 0 && x < FWidth && y >= 0 && y < FHeight)
                set(PixelAt(x, y), value);
        });
        return true;
    });
}

bool TXeRGBBits::Line(int x1, int y1, int x2, int y2, std::uint32_t value)
{
    const bool drawn = FCreated && XeLine(x1, y1, x2, y2, value);
    SetModified(x1, y1, x2, y2);
    return drawn;
}

bool TXeRGBBits::Box(int x1, int y1, int x2, int y2, std::uint32_t value)
{
    if (!FCreated || !Lock())
        return false;
    x1 = ClampCoord(x1), y1 = ClampCoord(y1), x2 = ClampCoord(x2), y2 = ClampCoord(y2);
    bool drawn;
    if (x1 == x2 || y1 == y2) {
        drawn = XeLine(x1, y1, x2, y2, value);
    } else {
        drawn = XeLine(x1, y1, x2, y1, value);
        drawn = XeLine(x1, y1, x1, y2, value) && drawn;
        drawn = XeLine(x1, y2, x2, y2, value) && drawn;
        drawn = XeLine(x2, y1, x2, y2, value) && drawn;
    }
    SetModified(x1, y1, x2, y2);
    Unlock();
    return drawn;
}

bool TXeRGBBits::XeBoxFill(int x1, int y1, int x2, int y2, std::uint32_t value)
{
    TFillRow* fill = FCreated ? ForDepth(kFill, FBitDepth) : nullptr;
    if (!fill)
        return false;
    return WithLock([&] {
        x1 = ClampCoord(x1), y1 = ClampCoord(y1), x2 = ClampCoord(x2), y2 = ClampCoord(y2);
        const int left = std::max(std::min(x1, x2), 0);
        const int right = std::min(std::max(x1, x2), FWidth - 1);
        const int top = std::max(std::min(y1, y2), 0);
        const int bottom = std::min(std::max(y1, y2), FHeight - 1);
        for (int y = top; right >= left && y <= bottom; ++y)
            fill(PixelAt(left, y), value, static_cast<std::size_t>(right - left + 1));
        return true;
    });
}

bool TXeRGBBits::BoxFill(int x1, int y1, int x2, int y2, std::uint32_t value)
{
    if (!XeBoxFill(x1, y1, x2, y2, value))
        return false;
    SetModified(x1, y1, x2, y2);
    return true;
}

bool TXeRGBBits::PSet(int x, int y, std::uint32_t value)
{
    TPixelSet* set = FCreated ? ForDepth(XePixelSet, FBitDepth) : nullptr;
    if (!set || x < 0 || x >= FWidth || y < 0 || y >= FHeight)
        return false;
    return WithLock([&] {
        set(PixelAt(x, y), value);
        SetModified(x, y, x, y);
        return true;
    });
}

std::uint32_t TXeRGBBits::PGet(int x, int y)
{
    TPixelGet* get = FCreated ? ForDepth(XePixelGet, FBitDepth) : nullptr;
    if (!get || x < 0 || x >= FWidth || y < 0 || y >= FHeight)
        return 0;
    std::uint32_t value = 0;
    WithLock([&] {
        value = get(PixelAt(x, y));
        return true;
    });
    return value;
}

std::uint32_t TXeRGBBits::TopLeftGet()
{
    return PGet(0, 0);
}

bool TXeRGBBits::XePutPat(int x, int y, int w, int h, const void* src, int srcPitch, bool key, std::uint32_t keyValue)
{
    if (FReverse)
        return XePutPatR(x, y, w, h, src, srcPitch, key, keyValue);
    TKeyRow* keyed = FCreated ? ForDepth(kKeyed, FBitDepth) : nullptr;
    if (!keyed)
        return false;
    const auto* s = static_cast<const std::uint8_t*>(src);
    if (!ClipPattern(x, y, w, h, s, srcPitch, false))
        return true;
    return WithLock([&] {
        const std::size_t rowBytes = std::size_t{static_cast<unsigned>(w)} * FBitDepth;
        for (int j = 0; j < h; ++j, s += srcPitch) {
            if (key)
                keyed(PixelAt(x, y + j), s, static_cast<std::size_t>(w), keyValue);
            else
                XeMemcpy(PixelAt(x, y + j), s, rowBytes);
        }
        return true;
    });
}

bool TXeRGBBits::XePutPatR(int x, int y, int w, int h, const void* src, int srcPitch, bool key, std::uint32_t keyValue)
{
    if (!FReverse)
        return false;
    TCopyRow* mirrored = FCreated ? ForDepth(kMirrored, FBitDepth) : nullptr;
    TKeyRow* mirroredKeyed = FCreated ? ForDepth(kMirroredKeyed, FBitDepth) : nullptr;
    if (!mirrored || !mirroredKeyed)
        return false;
    const auto* s = static_cast<const std::uint8_t*>(src);
    if (!ClipPattern(x, y, w, h, s, srcPitch, true))
        return true;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, s += srcPitch) {
            if (key)
                mirroredKeyed(PixelAt(x, y + j), s, static_cast<std::size_t>(w), keyValue);
            else
                mirrored(PixelAt(x, y + j), s, static_cast<std::size_t>(w));
        }
        return true;
    });
}

bool TXeRGBBits::XePutPatM(int x, int y, int w, int h, const void* src, int srcPitch, const std::uint8_t* mask,
                           int maskW, int maskH)
{
    return PutPatMasked(x, y, w, h, src, srcPitch, mask, maskW, maskH, FReverse);
}

bool TXeRGBBits::XePutPatMR(int x, int y, int w, int h, const void* src, int srcPitch, const std::uint8_t* mask,
                            int maskW, int maskH)
{
    return FReverse && PutPatMasked(x, y, w, h, src, srcPitch, mask, maskW, maskH, true);
}

bool TXeRGBBits::PutPatMasked(int x, int y, int w, int h, const void* src, int srcPitch, const std::uint8_t* mask,
                              int maskW, int maskH, bool mirror)
{
    // A mask without bits or rows has no pattern to repeat.
    if (!mask || maskW <= 0 || maskH <= 0 || !FCreated)
        return false;
    TMaskRow* masked = ForDepth(mirror ? kMirroredMasked : kMasked, FBitDepth);
    TPixelCpy* copy = ForDepth(XePixelCpy, FBitDepth);
    if (!masked || !copy)
        return false;
    return WithLock([&] {
        if (w <= 0 || h <= 0)
            return true;
        const auto* s = static_cast<const std::uint8_t*>(src);
        const std::size_t maskRowBytes = (static_cast<std::size_t>(maskW) + 7) / 8;
        const std::int64_t right = std::int64_t{x} + w, bottom = std::int64_t{y} + h;
        if (x >= 0 && right <= FWidth && y >= 0 && bottom <= FHeight) {
            for (int j = 0; j < h; ++j) {
                const std::uint8_t* maskRow = mask + static_cast<std::size_t>(j % maskH) * maskRowBytes;
                masked(PixelAt(x, y + j), s + std::ptrdiff_t{j} * srcPitch, static_cast<std::size_t>(w), maskRow,
                       static_cast<unsigned>(maskW));
            }
            return true;
        }
        // Clipped: only the visible pixels are walked, each with the mask bit of its pattern column
        // and row, so the mask keeps the pattern's phase.
        const std::int64_t firstRow = std::max<std::int64_t>(0, -std::int64_t{y});
        const std::int64_t endRow = std::min<std::int64_t>(h, FHeight - std::int64_t{y});
        // Pattern column k lands on x + k, or on x + w - 1 - k when mirrored.
        const std::int64_t lo = mirror ? right - FWidth : -std::int64_t{x};
        const std::int64_t hi = mirror ? right : FWidth - std::int64_t{x};
        const std::int64_t firstCol = std::max<std::int64_t>(0, lo);
        const std::int64_t endCol = std::min<std::int64_t>(w, hi);
        for (std::int64_t j = firstRow; j < endRow; ++j) {
            const std::uint8_t* maskRow = mask + static_cast<std::size_t>(j % maskH) * maskRowBytes;
            const std::uint8_t* srcRow = s + j * srcPitch;
            for (std::int64_t k = firstCol; k < endCol; ++k) {
                const std::int64_t bit = k % maskW;
                if (!(maskRow[bit >> 3] & (0x80 >> (bit & 7))))
                    continue;
                const std::int64_t col = mirror ? right - 1 - k : std::int64_t{x} + k;
                copy(PixelAt(static_cast<int>(col), static_cast<int>(y + j)), srcRow + k * FBitDepth);
            }
        }
        return true;
    });
}

bool TXeRGBBits::XeGetPat(int x, int y, int w, int h, void* dst)
{
    if (!FCreated || !ForDepth(XePixelGet, FBitDepth))
        return false;
    const std::ptrdiff_t dstPitch = std::ptrdiff_t{w} * FBitDepth;
    const auto* start = static_cast<const std::uint8_t*>(dst);
    const std::uint8_t* p = start;
    if (!ClipPattern(x, y, w, h, p, dstPitch, false))
        return true;
    auto* d = static_cast<std::uint8_t*>(dst) + (p - start);
    return WithLock([&] {
        for (int j = 0; j < h; ++j, d += dstPitch)
            XeMemcpy(d, PixelAt(x, y + j), std::size_t{static_cast<unsigned>(w)} * FBitDepth);
        return true;
    });
}

bool TXeRGBBits::GetPat(int x, int y, int w, int h, void* dst)
{
    return XeGetPat(x, y, w, h, dst);
}

namespace {

// The row pitch of a packed w-pixel pattern, or 0 when it does not fit an int.
int PackedPitch(int w, TBitDepth depth)
{
    int pitch = 0;
    return __builtin_mul_overflow(w, static_cast<int>(depth), &pitch) ? 0 : pitch;
}

}  // namespace

bool TXeRGBBits::PutPat(int x, int y, int w, int h, const void* src)
{
    return PutPatPitch(x, y, w, h, src, PackedPitch(w, FBitDepth));
}

bool TXeRGBBits::PutPatPitch(int x, int y, int w, int h, const void* src, int srcPitch)
{
    if (!XePutPat(x, y, w, h, src, srcPitch, false, 0))
        return false;
    RecordDrawn(*this, x, y, w, h);
    return true;
}

bool TXeRGBBits::PasPat(int x, int y, int w, int h, const void* src, std::uint32_t keyValue)
{
    return PasPatPitch(x, y, w, h, src, PackedPitch(w, FBitDepth), keyValue);
}

bool TXeRGBBits::PasPatPitch(int x, int y, int w, int h, const void* src, int srcPitch, std::uint32_t keyValue)
{
    if (!XePutPat(x, y, w, h, src, srcPitch, true, keyValue))
        return false;
    RecordDrawn(*this, x, y, w, h);
    return true;
}

bool TXeRGBBits::PasMPat(int x, int y, int w, int h, const void* src, const std::uint8_t* mask, int maskW, int maskH)
{
    if (!XePutPatM(x, y, w, h, src, PackedPitch(w, FBitDepth), mask, maskW, maskH))
        return false;
    RecordDrawn(*this, x, y, w, h);
    return true;
}
