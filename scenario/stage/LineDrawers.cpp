#include "scenario/stage/LineDrawers.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kCoordLimit = 32768;

struct TColourBytes {
    int blue, green, red;
};

TColourBytes Split(std::uint32_t colour)
{
    return {static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF), static_cast<int>(colour >> 16 & 0xFF)};
}

std::uint8_t AddSat(std::uint8_t b, int c) { return static_cast<std::uint8_t>(std::min(255, b + c)); }
std::uint8_t SubSat(std::uint8_t b, int c) { return static_cast<std::uint8_t>(std::max(0, b - c)); }

// Unlocks the bitmap on every way out of the walk.
class TLockHold {
public:
    explicit TLockHold(TXeRGBBits* bits) : bits_(bits) {}
    ~TLockHold() { bits_->Unlock(); }
    TLockHold(const TLockHold&) = delete;
    TLockHold& operator=(const TLockHold&) = delete;

private:
    TXeRGBBits* bits_;
};

// The line's walk: Nx = |x2 - x1| + 1 and Ny = y2 - y1 + 1 pixels; one step along the longer axis
// per pixel, the error growing by the shorter count and stepping the other axis when it reaches
// the longer one. After i steps the other axis has moved floor(i x short / long) and the error is
// the remainder, so the walk can start at the first step inside the clip without walking there.
// All arithmetic is 64-bit: the counts reach 65,537 and their products 2^32.
template <typename PixelOp>
bool WalkLine(TXeRGBBits* dst, int x1, int y1, int x2, int y2, const TXeRect& clipIn, PixelOp&& pixel)
{
    if (dst == nullptr || !dst->Created() || (dst->BitDepth() != bd24 && dst->BitDepth() != bd32))
        return false;
    TXeRect clip;
    if (!clip.IntersectRect(clipIn, XeRect(0, 0, dst->Width(), dst->Height())))
        return true;
    x1 = std::clamp(x1, -kCoordLimit, kCoordLimit);
    y1 = std::clamp(y1, -kCoordLimit, kCoordLimit);
    x2 = std::clamp(x2, -kCoordLimit, kCoordLimit);
    y2 = std::clamp(y2, -kCoordLimit, kCoordLimit);
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const bool rightward = x1 < x2;
    if (y1 >= clip.bottom || y2 < clip.top)
        return true;
    if (rightward ? (x1 >= clip.right || x2 < clip.left) : (x2 >= clip.right || x1 < clip.left))
        return true;

    const int sx = x2 >= x1 ? 1 : -1;
    const long long nx = static_cast<long long>(x2 - x1) * sx + 1;
    const long long ny = static_cast<long long>(y2) - y1 + 1;
    const bool xMajor = nx >= ny;
    const long long nMajor = xMajor ? nx : ny;
    const long long nMinor = xMajor ? ny : nx;
    // Steps each axis needs to reach the clip's near side.
    const long long toX = std::max(0LL, sx > 0 ? static_cast<long long>(clip.left) - x1
                                               : static_cast<long long>(x1) - (clip.right - 1));
    const long long toY = std::max(0LL, static_cast<long long>(clip.top) - y1);
    const long long toMajor = xMajor ? toX : toY;
    const long long toMinor = xMajor ? toY : toX;
    const long long first = std::max(toMajor, (toMinor * nMajor + nMinor - 1) / nMinor);
    if (first >= nMajor)
        return true;

    if (!dst->Lock())
        return false;
    const TLockHold hold(dst);
    const long long minorDone = first * nMinor / nMajor;
    long long error = first * nMinor % nMajor;
    int x = static_cast<int>(x1 + sx * (xMajor ? first : minorDone));
    int y = static_cast<int>(y1 + (xMajor ? minorDone : first));
    const std::ptrdiff_t bpp = dst->BitDepth();
    const std::ptrdiff_t pitch = dst->Pitch();
    std::uint8_t* p = dst->Bits() + y * pitch + x * bpp;
    const int dxMajor = xMajor ? sx : 0;
    const int dyMajor = xMajor ? 0 : 1;
    const std::ptrdiff_t stepMajor = dxMajor * bpp + dyMajor * pitch;
    const std::ptrdiff_t stepMinor = xMajor ? pitch : sx * bpp;
    for (long long i = first; i < nMajor; ++i) {
        if (y >= clip.bottom || (sx > 0 ? x >= clip.right : x < clip.left))
            break;
        pixel(p, x, y);
        x += dxMajor;
        y += dyMajor;
        p += stepMajor;
        error += nMinor;
        if (error >= nMajor) {
            error -= nMajor;
            x += xMajor ? 0 : sx;
            y += xMajor ? 1 : 0;
            p += stepMinor;
        }
    }
    return true;
}

} // namespace

bool DrawLineAdd(TXeRGBBits* dst, int x1, int y1, int x2, int y2, std::uint32_t colour, const TXeRect& clip)
{
    const TColourBytes c = Split(colour);
    return WalkLine(dst, x1, y1, x2, y2, clip, [c](std::uint8_t* p, int, int) {
        p[0] = AddSat(p[0], c.blue);
        p[1] = AddSat(p[1], c.green);
        p[2] = AddSat(p[2], c.red);
    });
}

bool DrawLineSub(TXeRGBBits* dst, int x1, int y1, int x2, int y2, std::uint32_t colour, const TXeRect& clip)
{
    const TColourBytes c = Split(colour);
    return WalkLine(dst, x1, y1, x2, y2, clip, [c](std::uint8_t* p, int, int) {
        p[0] = SubSat(p[0], c.blue);
        p[1] = SubSat(p[1], c.green);
        p[2] = SubSat(p[2], c.red);
    });
}

bool DrawLineAddMasked(TXeRGBBits* dst, int x1, int y1, int x2, int y2, std::uint32_t colour, const TXeRect& clip,
                       const TXeAlpha* alpha)
{
    if (dst == nullptr || alpha == nullptr || !alpha->Created() || alpha->Width() < dst->Width() ||
        alpha->Height() < dst->Height())
        return DrawLineAdd(dst, x1, y1, x2, y2, colour, clip);
    const TColourBytes c = Split(colour);
    const std::uint8_t* plane = alpha->Bits();
    const std::ptrdiff_t planePitch = alpha->Pitch();
    return WalkLine(dst, x1, y1, x2, y2, clip, [c, plane, planePitch](std::uint8_t* p, int x, int y) {
        const int a = plane[y * planePitch + x];
        if (a == 0)
            return;
        p[0] = AddSat(p[0], c.blue * a >> 8);
        p[1] = AddSat(p[1], c.green * a >> 8);
        p[2] = AddSat(p[2], c.red * a >> 8);
    });
}
