// TXeRGBBits core: properties, storage, lock protocol and modified-rectangle reporting.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/kernels/PixelConvert.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

const CPUID& XeCPUID()
{
    static const CPUID cpu;
    return cpu;
}

namespace {

// The processor test runs once, when the program starts.
[[maybe_unused]] const CPUID& startupCpu = XeCPUID();

// Bytes of a packed depth x w x h block and its row pitch; false when either does not fit.
bool StorageSize(int depth, int w, int h, std::size_t& bytes, int& pitch)
{
    std::size_t total = 0;
    return !__builtin_mul_overflow(depth, w, &pitch) &&
           !__builtin_mul_overflow(static_cast<std::size_t>(pitch), static_cast<std::size_t>(h), &total) &&
           total <= static_cast<std::size_t>(PTRDIFF_MAX) && (bytes = total, true);
}

// Puts a zeroed packed block of depth x w x h bytes in place of `storage`, with its bits and pitch;
// false, with nothing changed, when it does not fit or there is no memory.
bool InstallStorage(int depth, int w, int h, std::unique_ptr<std::uint8_t[]>& storage, std::uint8_t*& bits,
                    int& pitch)
{
    std::size_t bytes = 0;
    int rowPitch = 0;
    if (!StorageSize(depth, w, h, bytes, rowPitch))
        return false;
    try {
        storage = std::make_unique<std::uint8_t[]>(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bits = storage.get();
    pitch = rowPitch;
    return true;
}

}  // namespace

TXeRGBBits::TXeRGBBits(TComponent* owner) : TComponent(owner), FMMX(XeCPUID().IsMmxSupport()) {}

TXeRGBBits::~TXeRGBBits()
{
    if (FCreated)
        Release();
}

void TXeRGBBits::SetBitDepth(TBitDepth depth)
{
    if (FCreated)
        return;
    FBitDepth = depth;
    if (!ChkDepthAndFormat(depth, FPixFormat))
        FPixFormat = DefaultFormatOf(depth, FPixFormat);
}

void TXeRGBBits::SetPixFormat(TPixFormat format)
{
    if (FCreated)
        return;
    FPixFormat = format;
    if (!ChkDepthAndFormat(FBitDepth, format))
        FBitDepth = DepthOf(format, FBitDepth);
}

void TXeRGBBits::SetID(const AnsiString& id)
{
    FID.fill(0);
    std::memcpy(FID.data(), id.data(), std::min(id.size(), FID.size()));
}

bool TXeRGBBits::SetProcs() const
{
    return FBitDepth >= bd8 && FBitDepth <= bd32 && FPixFormat < kPixFormatCount;
}

void TXeRGBBits::ResetState()
{
    FLocked = false;
    FLockCount = 0;
    FModified = false;
    FModifiedSw = true;
    FModifiedOffCount = 0;
    FAttached = 0;
}

bool TXeRGBBits::Create()
{
    if (FCreated || !ChkDepthAndFormat(FBitDepth, FPixFormat))
        return false;
    if (FWidth <= 0 || FHeight <= 0 || FBitDepth < bd8 || FBitDepth > bd32 || FPixFormat < pf16_565 ||
        FPixFormat > pf32_8888)
        return false;
    if (!SetProcs() || !InstallStorage(FBitDepth, FWidth, FHeight, FStorage, FBits, FPitch))
        return false;
    ResetState();
    FCreated = true;
    return true;
}

void TXeRGBBits::Release()
{
    ReleaseStorage([&] { FStorage.reset(); });
}

bool TXeRGBBits::Resize(int w, int h)
{
    return ResizeStorage(w, h, [&](int width, int height) {
        return InstallStorage(FBitDepth, width, height, FStorage, FBits, FPitch);
    });
}

bool TXeRGBBits::Lock()
{
    if (!FCreated)
        return false;
    FLocked = true;
    ++FLockCount;
    return true;
}

bool TXeRGBBits::Unlock()
{
    if (!FCreated || !FLocked)
        return false;
    if (--FLockCount == 0)
        FLocked = false;
    return true;
}

bool TXeRGBBits::HaveDC()
{
    return false;
}

bool TXeRGBBits::GetDC(void** /*dc*/)
{
    return false;
}

bool TXeRGBBits::ReleaseDC(void* /*dc*/)
{
    return true;
}

void TXeRGBBits::Change()
{
    if (OnChange)
        OnChange(this);
}

void TXeRGBBits::ModifiedFlush()
{
    FModified = false;
    Change();
    FModifiedRect.SetRectEmpty();
}

void TXeRGBBits::SetModified(const TXeRect* r)
{
    if (!FCreated || !r)
        return;
    TXeRect work = *r;
    if (FModified)
        work.UnionRect(FModifiedRect, *r);
    FModifiedRect.IntersectRect(work, XeRect(0, 0, FWidth, FHeight));
    if (FModifiedSw)
        ModifiedFlush();
    else
        FModified = true;
}

void TXeRGBBits::SetModified(int x1, int y1, int x2, int y2)
{
    // One past the larger corner, kept inside int; SetModified clips to the bitmap anyway.
    const auto past = [](int a, int b) { return std::max(a, b) == INT_MAX ? INT_MAX : std::max(a, b) + 1; };
    const TXeRect r = XeRect(std::min(x1, x2), std::min(y1, y2), past(x1, x2), past(y1, y2));
    SetModified(&r);
}

void TXeRGBBits::SetModified()
{
    const TXeRect r = XeRect(0, 0, FWidth, FHeight);
    SetModified(&r);
}

void TXeRGBBits::ChgModifiedSw(bool sw)
{
    if (!FModifiedSw && sw) {
        if (FModified)
            ModifiedFlush();
        FModifiedOffCount = 0;
    } else if (!sw && FModifiedOffCount == 0) {
        FModifiedOffCount = 1;
    }
    FModifiedSw = sw;
}

void TXeRGBBits::ModifiedOff()
{
    ++FModifiedOffCount;
    if (FModifiedSw)
        ChgModifiedSw(false);
}

void TXeRGBBits::ModifiedOn()
{
    if (FModifiedOffCount > 0)
        --FModifiedOffCount;
    if (FModifiedOffCount == 0)
        ChgModifiedSw(true);
}

std::uint32_t TXeRGBBits::TXeRGBtoPixel(TXeRGB colour) const
{
    TPixelConvert* convert = KernelFor(RGBtoTable, FPixFormat);
    return convert ? convert(colour.ToDWORD()) : 0;
}

TXeRGB TXeRGBBits::PixeltoTXeRGB(std::uint32_t pixel) const
{
    TPixelConvert* convert = KernelFor(RGBfromTable, FPixFormat);
    return convert ? TXeRGB(convert(pixel)) : TXeRGB();
}
