// TXeAlpha: storage, byte drawing, block copies, blends and level operations of the alpha map.
#include "graphics/bitmaps/TXeAlpha.h"

#include "graphics/bitmaps/CornerPairs.h"

#include "base/memory/XeMem.h"
#include "graphics/kernels/BlendKernels.h"
#include "graphics/kernels/BlendLevel.h"
#include "graphics/bitmaps/TDrawArea.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Puts a block of w x h values (not cleared) in place of `storage`, with its bits and pitch; false,
// with nothing changed, when there is no memory.
bool InstallValues(int w, int h, std::unique_ptr<std::uint8_t[]>& storage, std::uint8_t*& bits, int& pitch)
{
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    try {
        storage = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bits = storage.get();
    pitch = w;
    return true;
}

// A block that moves with the clipping of the rectangle it lands on.
struct TByteBlock {
    const std::uint8_t* p;
    std::ptrdiff_t pitch;
};

}  // namespace

TXeAlpha::TXeAlpha(TComponent* owner) : TComponent(owner), FMMX(XeCPUID().IsMmxSupport()) {}

TXeAlpha::~TXeAlpha()
{
    if (FCreated)
        Release();
}

void TXeAlpha::SetID(const AnsiString& id)
{
    FID.fill(0);
    std::memcpy(FID.data(), id.data(), std::min(id.size(), FID.size()));
}

bool TXeAlpha::Create()
{
    if (FCreated || FWidth <= 0 || FHeight <= 0)
        return false;
    if (!InstallValues(FWidth, FHeight, FStorage, FBits, FPitch))
        return false;
    FCreated = true;
    Cls();
    return true;
}

void TXeAlpha::Release()
{
    ReleaseStorage([&] { FStorage.reset(); });
}

bool TXeAlpha::Resize(int w, int h)
{
    const bool resized = ResizeStorage(
        w, h, [&](int width, int height) { return InstallValues(width, height, FStorage, FBits, FPitch); });
    if (resized && FCreated)
        Cls();
    return resized;
}

bool TXeAlpha::GetDC(void** /*dc*/)
{
    return false;
}

bool TXeAlpha::ReleaseDC(void* /*dc*/)
{
    return true;
}

void TXeAlpha::Cls()
{
    Fill(255);
}

void TXeAlpha::Fill(std::uint8_t a)
{
    if (!FCreated)
        return;
    for (int y = 0; y < FHeight; ++y)
        XeMemset(ValueAt(0, y), a, static_cast<std::size_t>(FWidth));
}

bool TXeAlpha::PSet(int x, int y, std::uint8_t a)
{
    if (!FCreated || x < 0 || x >= FWidth || y < 0 || y >= FHeight)
        return false;
    *ValueAt(x, y) = a;
    return true;
}

std::uint8_t TXeAlpha::PGet(int x, int y) const
{
    if (!FCreated || x < 0 || x >= FWidth || y < 0 || y >= FHeight)
        return 0;
    return *ValueAt(x, y);
}

bool TXeAlpha::Line(int x1, int y1, int x2, int y2, std::uint8_t a)
{
    if (!FCreated)
        return false;
    WalkLine(x1, y1, x2, y2, [&](int x, int y) { PSet(x, y, a); });
    return true;
}

namespace {

// Two corners clamped, ordered and clipped to a width x height map; false when nothing is left.
bool ClipCorners(int& x1, int& y1, int& x2, int& y2, int width, int height)
{
    x1 = ClampCoord(x1), y1 = ClampCoord(y1), x2 = ClampCoord(x2), y2 = ClampCoord(y2);
    const int left = std::max(std::min(x1, x2), 0);
    const int right = std::min(std::max(x1, x2), width - 1);
    const int top = std::max(std::min(y1, y2), 0);
    const int bottom = std::min(std::max(y1, y2), height - 1);
    x1 = left, x2 = right, y1 = top, y2 = bottom;
    return right >= left && bottom >= top;
}

}  // namespace

bool TXeAlpha::BoxFill(int x1, int y1, int x2, int y2, std::uint8_t a)
{
    if (!FCreated)
        return false;
    if (ClipCorners(x1, y1, x2, y2, FWidth, FHeight)) {
        for (int y = y1; y <= y2; ++y)
            XeMemset(ValueAt(x1, y), a, static_cast<std::size_t>(x2 - x1 + 1));
    }
    return true;
}

bool TXeAlpha::ToneDown(int x1, int y1, int x2, int y2, int level)
{
    if (!FCreated || level < 0 || level > 128)
        return false;
    if (ClipCorners(x1, y1, x2, y2, FWidth, FHeight)) {
        for (int y = y1; y <= y2; ++y) {
            std::uint8_t* row = ValueAt(x1, y);
            for (int i = 0; i <= x2 - x1; ++i)
                row[i] = static_cast<std::uint8_t>((row[i] * level) >> 7);
        }
    }
    return true;
}

void TXeAlpha::ClipRect(const TXeRect& draw, const TXeRect& clip, int& cutLeft, int& cutTop, int& cutRight,
                        int& cutBottom)
{
    TXeRGBBits::ClipRect(draw, clip, cutLeft, cutTop, cutRight, cutBottom);
}

namespace {

// Clips the rectangle (x, y, w, h) to a width x height map and moves each block by the cuts;
// false when nothing is left.
bool ClipToMap(int& x, int& y, int& w, int& h, int width, int height, std::initializer_list<TByteBlock*> blocks)
{
    TDrawArea area(x, y, w, h);
    area.CutSource(x, y, width, height);
    if (!area.Apply())
        return false;
    for (TByteBlock* b : blocks)
        b->p += std::ptrdiff_t{area.X() - x} + std::ptrdiff_t{area.Y() - y} * b->pitch;
    x = area.X(), y = area.Y(), w = area.W(), h = area.H();
    return true;
}

}  // namespace

bool TXeAlpha::PutAlpha(int x, int y, int w, int h, const std::uint8_t* src)
{
    return PutAlphaPitch(x, y, w, h, src, w);
}

bool TXeAlpha::PutAlphaPitch(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch)
{
    if (!FCreated)
        return false;
    TByteBlock s{src, srcPitch};
    if (!ClipToMap(x, y, w, h, FWidth, FHeight, {&s}))
        return true;
    for (int j = 0; j < h; ++j, s.p += s.pitch)
        XeMemcpy(ValueAt(x, y + j), s.p, static_cast<std::size_t>(w));
    return true;
}

bool TXeAlpha::GetAlpha(int x, int y, int w, int h, std::uint8_t* dst) const
{
    if (!FCreated)
        return false;
    TByteBlock d{dst, w};
    if (!ClipToMap(x, y, w, h, FWidth, FHeight, {&d}))
        return true;
    auto* out = const_cast<std::uint8_t*>(d.p);
    for (int j = 0; j < h; ++j, out += d.pitch)
        XeMemcpy(out, ValueAt(x, y + j), static_cast<std::size_t>(w));
    return true;
}

bool TXeAlpha::Draw(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h)
{
    if (!src || !src->Created())
        return false;
    TDrawArea area(x, y, w, h);
    if (!area.Inside(area.AddSource(sx, sy), src->Width(), src->Height()))
        return false;
    return PutAlphaPitch(x, y, w, h, src->ValueAt(sx, sy), src->Pitch());
}

bool TXeAlpha::XeAlphaBlend(int x, int y, int w, int h, const std::uint8_t* srcA, int srcAPitch,
                            const std::uint8_t* srcB, int srcBPitch, int level)
{
    if (!FCreated)
        return false;
    // At level 64 the average equals the blend, without touching the shared level.
    TBlendRow* kernel = RGBHalf8;
    if (level != 64) {
        SetAlphaParam(level);
        kernel = FMMX ? RGBAlpha8_MMX : RGBAlpha8;
    }
    TByteBlock a{srcA, srcAPitch}, b{srcB, srcBPitch};
    if (!ClipToMap(x, y, w, h, FWidth, FHeight, {&a, &b}))
        return true;
    for (int j = 0; j < h; ++j, a.p += a.pitch, b.p += b.pitch)
        kernel(ValueAt(x, y + j), a.p, b.p, static_cast<unsigned>(w));
    return true;
}

bool TXeAlpha::AlphaBlend(int x, int y, const TXeAlpha* src1, int sx1, int sy1, const TXeAlpha* src2, int sx2,
                          int sy2, int w, int h, int level)
{
    if (!FCreated)
        return false;
    if (level == 0)
        return Draw(x, y, src1, sx1, sy1, w, h);
    if (level == 128)
        return Draw(x, y, src2, sx2, sy2, w, h);
    if (level < 0 || level > 128 || !src1 || !src1->Created() || !src2 || !src2->Created())
        return false;
    TDrawArea area(x, y, w, h);
    const int first = area.CutSource(sx1, sy1, src1->Width(), src1->Height());
    const int second = area.CutSource(sx2, sy2, src2->Width(), src2->Height());
    if (!area.Apply())
        return true;
    return XeAlphaBlend(area.X(), area.Y(), area.W(), area.H(), src1->ValueAt(area.SX(first), area.SY(first)),
                        src1->Pitch(), src2->ValueAt(area.SX(second), area.SY(second)), src2->Pitch(), level);
}

bool TXeAlpha::AlphaBlend(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int level)
{
    if (level == 0)
        return true;
    if (level == 128)
        return Draw(x, y, src, sx, sy, w, h);
    return AlphaBlend(x, y, this, x, y, src, sx, sy, w, h, level);
}

bool TXeAlpha::LevelRows(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value,
                         TAlphaLevelRow* kernel)
{
    if (!FCreated)
        return false;
    TByteBlock s{src, srcPitch};
    if (!ClipToMap(x, y, w, h, FWidth, FHeight, {&s}))
        return true;
    for (int j = 0; j < h; ++j, s.p += s.pitch)
        kernel(ValueAt(x, y + j), s.p, value, static_cast<unsigned>(w));
    return true;
}

bool TXeAlpha::XeExtract(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value)
{
    return LevelRows(x, y, w, h, src, srcPitch, value, FMMX ? RGBExtractAlpha_MMX : RGBExtractAlpha);
}

bool TXeAlpha::XeSAdd(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value)
{
    return LevelRows(x, y, w, h, src, srcPitch, value, FMMX ? RGBSAddAlpha_MMX : RGBSAddAlpha);
}

bool TXeAlpha::XeSSub(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value)
{
    return LevelRows(x, y, w, h, src, srcPitch, value, FMMX ? RGBSSubAlpha_MMX : RGBSSubAlpha);
}

namespace {

using TLevelMember = bool (TXeAlpha::*)(int, int, int, int, const std::uint8_t*, int, int);

// The map form of a level operation: the source rectangle must lie inside the source map.
bool FromMap(TXeAlpha& dst, TLevelMember op, int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h,
             int value)
{
    if (!src || !src->Created())
        return false;
    TDrawArea area(x, y, w, h);
    if (!area.Inside(area.AddSource(sx, sy), src->Width(), src->Height()))
        return false;
    const std::uint8_t* p = src->Bits() + std::ptrdiff_t{sy} * src->Pitch() + sx;
    return (dst.*op)(x, y, w, h, p, src->Pitch(), std::clamp(value, 0, 255));
}

}  // namespace

bool TXeAlpha::Extract(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int value)
{
    return FromMap(*this, &TXeAlpha::XeExtract, x, y, src, sx, sy, w, h, value);
}

bool TXeAlpha::SAdd(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int value)
{
    return FromMap(*this, &TXeAlpha::XeSAdd, x, y, src, sx, sy, w, h, value);
}

bool TXeAlpha::SSub(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int value)
{
    return FromMap(*this, &TXeAlpha::XeSSub, x, y, src, sx, sy, w, h, value);
}

namespace {

// The value at (x, y), or 0 outside the map.
int ValueOrZero(const TXeAlpha& map, std::int64_t x, std::int64_t y)
{
    if (x < 0 || x >= map.Width() || y < 0 || y >= map.Height())
        return 0;
    return map.Bits()[y * map.Pitch() + x];
}

}  // namespace

bool ComposeAlphaChannel(TXeAlpha* dst, int dx, int dy, TXeAlpha* weight, const TXeAlpha* from, int fromX, int fromY,
                         const TXeAlpha* to, int toX, int toY, int w, int h, int level)
{
    if (level < 0 || level > 128 || !dst || !weight || !from || !to)
        return false;
    if (!dst->Created() || !from->Created() || !to->Created() || !weight->Created())
        return false;
    if (to->Width() > weight->Width() || to->Height() > weight->Height())
        return false;
    // Clip against dst; the reading positions move with the cut.
    std::int64_t x0 = dx, y0 = dy, fx = fromX, fy = fromY, tx = toX, ty = toY, cw = w, ch = h;
    if (x0 < 0) {
        cw += x0, fx -= x0, tx -= x0, x0 = 0;
    }
    cw = std::min<std::int64_t>(cw, dst->Width() - x0);
    if (y0 < 0) {
        ch += y0, fy -= y0, ty -= y0, y0 = 0;
    }
    ch = std::min<std::int64_t>(ch, dst->Height() - y0);
    for (std::int64_t j = 0; j < ch; ++j) {
        std::uint8_t* out = dst->Bits() + (y0 + j) * dst->Pitch() + x0;
        for (std::int64_t i = 0; i < cw; ++i) {
            const int b = ValueOrZero(*from, fx + i, fy + j);
            const int c = ValueOrZero(*to, tx + i, ty + j);
            const int r = b + (c - b) * level / 128;
            out[i] = static_cast<std::uint8_t>(r);
            const std::int64_t wx = tx + i, wy = ty + j;
            if (wx >= 0 && wx < to->Width() && wy >= 0 && wy < to->Height())
                weight->Bits()[wy * weight->Pitch() + wx] = static_cast<std::uint8_t>(r > 0 ? c * level / r : 0);
        }
    }
    return true;
}
