// TXeRGBBits colour effects on a rectangle: tone, monochrome, sepia and negative. 24- and 32-bit
// bitmaps are treated in place; other layouts go through one 24-bit work row per call.
#include "graphics/bitmaps/DrawFrame.h"
#include "graphics/kernels/RowConvert.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/bitmaps/CornerPairs.h"
#include "graphics/kernels/ToneKernels.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Runs treat(pixels, count, stride) on the pixels of the rectangle of corners (x1, y1) and
// (x2, y2), row by row, where stride (3 or 4) is the distance between pixels whose blue, green and
// red are bytes 0, 1 and 2. Records the whole bitmap, also when the rectangle misses it.
template <typename Treat> bool Effect(TXeRGBBits& bmp, int x1, int y1, int x2, int y2, Treat&& treat)
{
    if (!bmp.Created())
        return false;
    TRowConvert* toTriples = KernelFor(RGBTRIPLEcpyFromTable, bmp.PixFormat());
    TRowConvert* fromTriples = KernelFor(RGBTRIPLEcpyToTable, bmp.PixFormat());
    if (!toTriples || !fromTriples)
        return false;
    const int depth = bmp.BitDepth();
    const bool inPlace = depth == 3 || depth == 4;
    std::vector<std::uint8_t> work;
    try {
        if (!inPlace)
            work.resize(static_cast<std::size_t>(bmp.Width()) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    TBitmapLocks lock({&bmp});
    if (!lock.Locked())
        return false;
    x1 = ClampCoord(x1), y1 = ClampCoord(y1), x2 = ClampCoord(x2), y2 = ClampCoord(y2);
    const int left = std::max(std::min(x1, x2), 0);
    const int right = std::min(std::max(x1, x2), bmp.Width() - 1);
    const int top = std::max(std::min(y1, y2), 0);
    const int bottom = std::min(std::max(y1, y2), bmp.Height() - 1);
    const auto n = static_cast<unsigned>(std::max(right - left + 1, 0));
    try {
        for (int y = top; y <= bottom && n > 0; ++y) {
            std::uint8_t* row = bmp.Bits() + std::ptrdiff_t{y} * bmp.Pitch() + std::ptrdiff_t{left} * depth;
            if (inPlace) {
                treat(row, n, depth);
            } else {
                treat(static_cast<std::uint8_t*>(toTriples(work.data(), row, n)), n, 3);
                fromTriples(row, work.data(), n);
            }
        }
        bmp.SetModified();
    } catch (const Exception&) {
        return false;
    }
    return true;
}

}  // namespace

bool TXeRGBBits::ToneChange(int x1, int y1, int x2, int y2, std::uint32_t tone)
{
    TToneRow* tone24 = FMMX ? RGBTone24_MMX : RGBTone24;
    TToneRow* tone32 = FMMX ? RGBTone32_MMX : RGBTone32;
    return Effect(*this, x1, y1, x2, y2, [&](std::uint8_t* p, unsigned n, int stride) {
        (stride == 4 ? tone32 : tone24)(p, p, tone, n);
    });
}

bool TXeRGBBits::Monochrome(int x1, int y1, int x2, int y2)
{
    return Effect(*this, x1, y1, x2, y2, [](std::uint8_t* p, unsigned n, int stride) {
        (stride == 4 ? RGBMonochrome32 : RGBMonochrome24)(p, p, n);
    });
}

bool TXeRGBBits::Sepia(int x1, int y1, int x2, int y2)
{
    return Effect(*this, x1, y1, x2, y2, [](std::uint8_t* p, unsigned n, int stride) {
        for (unsigned i = 0; i < n; ++i, p += stride) {
            const int sum = p[0] + p[1] + p[2];
            p[0] = static_cast<std::uint8_t>((sum + p[0]) / 8);
            p[1] = static_cast<std::uint8_t>((sum + p[1]) / 5);
            p[2] = static_cast<std::uint8_t>((sum + p[2]) / 4);
        }
    });
}

bool TXeRGBBits::Negative(int x1, int y1, int x2, int y2)
{
    return Effect(*this, x1, y1, x2, y2, [](std::uint8_t* p, unsigned n, int stride) {
        for (unsigned i = 0; i < n; ++i, p += stride) {
            p[0] = static_cast<std::uint8_t>(255 - p[0]);
            p[1] = static_cast<std::uint8_t>(255 - p[1]);
            p[2] = static_cast<std::uint8_t>(255 - p[2]);
        }
    });
}
