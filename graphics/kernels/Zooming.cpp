// Nearest-neighbour scalers over 8-bit and TXeRGB pixels.
#include "graphics/kernels/Zooming.h"

#include <algorithm>
#include <cstddef>

namespace {

// Walks N = max(sw, dw) steps along each row and M = max(sh, dh) rows; each accumulator steps its
// pointer once it passes the larger size, so both blocks are crossed exactly once.
template <typename Pixel>
void ZoomBlock(const Pixel* src, int sw, int sh, int spitch, Pixel* dst, int dw, int dh, int dpitch)
{
    const int n = std::max(sw, dw);
    const int m = std::max(sh, dh);
    int ey = 0, fy = 0;
    std::ptrdiff_t sy = 0, dy = 0;
    for (int j = 0; j < m; ++j) {
        const Pixel* s = src + sy * spitch;
        Pixel* d = dst + dy * dpitch;
        int ex = 0, fx = 0;
        for (int i = 0; i < n; ++i) {
            *d = *s;
            ex += sw;
            if (ex >= n) {
                ex -= n;
                ++s;
            }
            fx += dw;
            if (fx >= n) {
                fx -= n;
                ++d;
            }
        }
        ey += sh;
        if (ey >= m) {
            ey -= m;
            ++sy;
        }
        fy += dh;
        if (fy >= m) {
            fy -= m;
            ++dy;
        }
    }
}

}  // namespace

void Zooming(unsigned char* src, int sw, int sh, int spitch, unsigned char* dst, int dw, int dh, int dpitch)
{
    ZoomBlock(src, sw, sh, spitch, dst, dw, dh, dpitch);
}

void Zooming24(TXeRGB* src, int sw, int sh, int spitch, TXeRGB* dst, int dw, int dh, int dpitch)
{
    ZoomBlock(src, sw, sh, spitch, dst, dw, dh, dpitch);
}
