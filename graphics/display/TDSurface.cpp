// DirectX::TDSurface: a bitmap whose pixels live in a display surface, so every drawing operation works on it unchanged.
#include "graphics/display/TDSurface.h"

#include "graphics/display/DisplayMode.h"
#include "graphics/display/TDDraw.h"
#include "platform/video/VideoDevice.h"

#include <array>
#include <optional>

namespace DirectX {

namespace {

using video::Result;

// The 256 colours given to a new 8-bit surface: the system's first ten static colours, its last
// ten at the end, and its first colour in between.
std::array<std::uint32_t, 256> DefaultSurfacePalette()
{
    const auto stock = video::DefaultPaletteColors();
    std::array<std::uint32_t, 256> entries{};
    for (int i = 0; i < 256; ++i) {
        int from = 0;
        if (i < 10)
            from = i;
        else if (i >= 246)
            from = i - 236;
        entries[static_cast<std::size_t>(i)] = stock[static_cast<std::size_t>(from)];
    }
    return entries;
}

} // namespace

TDSurface::TDSurface(TComponent* owner) : TXeRGBBits(owner), FDDraw(dynamic_cast<TDDraw*>(owner))
{
    if (FDDraw != nullptr)
        FDDraw->AddSurfaceList(this);
}

TDSurface::TDSurface(TComponent* owner, TBitDepth bd, TPixFormat pf, int w, int h, bool videoMemory)
    : TDSurface(owner)
{
    FBitDepth = bd;
    FPixFormat = pf;
    FWidth = w;
    FHeight = h;
    FVideoMemory = videoMemory;
    Create();
}

TDSurface::TDSurface(TComponent* owner, std::shared_ptr<video::Surface> surface) : TDSurface(owner)
{
    Attach(std::move(surface));
}

TDSurface::~TDSurface()
{
    if (FDDraw != nullptr)
        FDDraw->DelSurfaceList(this);
    // The base destructor cannot reach this class's Release.
    Release();
}

void TDSurface::SetVideoMemory(bool videoMemory)
{
    if (!FCreated)
        FVideoMemory = videoMemory;
}

bool TDSurface::CreateSurface(int w, int h, std::shared_ptr<video::Surface>& surface,
                              std::shared_ptr<video::Palette>& palette, TBitDepth& bd, TPixFormat& pf,
                              bool& videoMemory)
{
    surface.reset();
    palette.reset();
    // A display that is disabled has no device to make surfaces with.
    if (FDDraw == nullptr || FDDraw->DirectDraw() == nullptr)
        return false;
    video::Device& device = *FDDraw->DirectDraw();
    std::optional<video::PixelLayout> layout;
    if (bd != bdNone) {
        DDPIXELFORMAT ddpf;
        FormatToDDPF(ddpf, bd, pf);
        layout = LayoutOf(ddpf);
    }
    if (device.CreateOffScreen(w, h, layout ? &*layout : nullptr, videoMemory, surface) != Result::Ok) {
        surface.reset();
        return false;
    }
    video::SurfaceDesc desc;
    if (surface->GetDesc(desc) != Result::Ok) {
        surface.reset();
        return false;
    }
    DDPFToFormat(PixelFormatOf(desc.layout), bd, pf);
    videoMemory = desc.videoMemory;
    if (bd == bd8) {
        palette = device.CreatePalette(DefaultSurfacePalette());
        if (surface->SetPalette(palette) != Result::Ok)
            palette.reset();
    }
    return true;
}

bool TDSurface::Create()
{
    if (FCreated || !ChkDepthAndFormat(FBitDepth, FPixFormat))
        return false;
    if (FWidth <= 0 || FHeight <= 0 || FBitDepth >= kBitDepthCount || FPixFormat >= kPixFormatCount)
        return false;
    if (!CreateSurface(FWidth, FHeight, FSurface, FPalette, FBitDepth, FPixFormat, FVideoMemory))
        return false;
    if (!SetProcs()) {
        if (FPalette)
            FSurface->SetPalette(nullptr);
        FPalette.reset();
        FSurface.reset();
        return false;
    }
    ResetCreatedState(0);
    return true;
}

bool TDSurface::Create(TBitDepth bd, TPixFormat pf, int w, int h, bool videoMemory)
{
    if (FCreated)
        return false;
    FBitDepth = bd;
    FPixFormat = pf;
    FWidth = w;
    FHeight = h;
    FVideoMemory = videoMemory;
    return Create();
}

void TDSurface::ResetCreatedState(std::uint8_t attached)
{
    ResetState();
    FAttached = attached;
    FBits = nullptr;
    FPitch = 0;
    FCreated = true;
}

bool TDSurface::Attach(std::shared_ptr<video::Surface> surface)
{
    if (FCreated || !surface)
        return false;
    FSurface = std::move(surface);
    video::SurfaceDesc desc;
    if (FSurface->GetDesc(desc) != Result::Ok) {
        FSurface.reset();
        return false;
    }
    FWidth = desc.width;
    FHeight = desc.height;
    DDPFToFormat(PixelFormatOf(desc.layout), FBitDepth, FPixFormat);
    FVideoMemory = desc.videoMemory;
    FPalette = FBitDepth == bd8 ? FSurface->GetPalette() : nullptr;
    FClipper = FSurface->GetClipper();
    if (!SetProcs()) {
        FPalette.reset();
        FClipper.reset();
        FSurface.reset();
        return false;
    }
    ResetCreatedState(1);
    return true;
}

void TDSurface::Release()
{
    if (FCreated)
        CloseDC();
    ReleaseStorage([&] {
        if (FPalette)
            FSurface->SetPalette(nullptr);
        FPalette.reset();
        if (FClipper)
            FSurface->SetClipper(nullptr);
        FClipper.reset();
        FSurface.reset();
    });
}

bool TDSurface::Resize(int w, int h)
{
    return ResizeStorage(w, h, [&](int width, int height) {
        IsLostAndRestore();
        std::shared_ptr<video::Surface> surface;
        std::shared_ptr<video::Palette> palette;
        TBitDepth bd = FBitDepth;
        TPixFormat pf = FPixFormat;
        bool videoMemory = FVideoMemory;
        if (!CreateSurface(width, height, surface, palette, bd, pf, videoMemory))
            return false;
        if (FPalette)
            FSurface->SetPalette(nullptr);
        if (FClipper) {
            FSurface->SetClipper(nullptr);
            surface->SetClipper(FClipper);
        }
        FSurface = std::move(surface);
        FPalette = std::move(palette);
        FBits = nullptr;
        return true;
    });
}

bool TDSurface::Lock()
{
    if (!FCreated)
        return false;
    IsLostAndRestore();
    // Blits of the video service finish before they return, so there is never one to wait for;
    // the status only tells whether the surface is usable.
    if (FSurface->GetBltStatus() != Result::Ok)
        return false;
    if (!FLocked) {
        video::LockedView view;
        if (FSurface->Lock(view) != Result::Ok)
            return false;
        FBits = view.bits;
        FPitch = static_cast<int>(view.pitch);
        FLocked = true;
    }
    ++FLockCount;
    return true;
}

bool TDSurface::Unlock()
{
    if (!FCreated)
        return false;
    IsLostAndRestore();
    if (!FLocked)
        return false;
    if (--FLockCount <= 0) {
        FLockCount = 0;
        FSurface->Unlock();
        FLocked = false;
    }
    return true;
}

bool TDSurface::HaveDC()
{
    return true;
}

std::unique_ptr<DibSection> TDSurface::SectionOverPixels() const
{
    BitmapInfoHeader header;
    header.biWidth = FWidth;
    // Rows run downwards from Bits when the pitch is positive; a negative pitch stores them
    // bottom-up from the last row.
    header.biHeight = FPitch > 0 ? -FHeight : FHeight;
    header.biBitCount = static_cast<std::uint16_t>(8 * FBitDepth);
    const std::span<const std::uint32_t> masks = DibMasksOf(FPixFormat);
    header.biCompression = masks.empty() ? BI_RGB : BI_BITFIELDS;
    std::span<const std::uint32_t> colours;
    if (FBitDepth == bd8 && FPalette)
        colours = FPalette->entries;
    std::uint8_t* start = FPitch > 0 ? FBits : FBits + std::ptrdiff_t{FHeight - 1} * FPitch;
    return DibSection::Over(header, masks, colours, start, FPitch > 0 ? FPitch : -FPitch);
}

bool TDSurface::GetDC(void** dc)
{
    if (!FCreated || dc == nullptr || FDC.Out())
        return false;
    IsLostAndRestore();
    if (!Lock())
        return false;
    std::unique_ptr<DibSection> section = SectionOverPixels();
    if (!section || !FDC.Get(section.get(), dc)) {
        Unlock();
        return false;
    }
    FDCSection = std::move(section);
    return true;
}

bool TDSurface::ReleaseDC(void* dc)
{
    if (!FCreated)
        return false;
    IsLostAndRestore();
    if (!FDC.Out() || !FDC.Release(dc))
        return false;
    FDCSection.reset();
    Unlock();
    return true;
}

void TDSurface::CloseDC()
{
    if (!FDC.Out())
        return;
    FDC.Close();
    FDCSection.reset();
    Unlock();
}

void TDSurface::Clear()
{
    if (!FCreated)
        return;
    IsLostAndRestore();
    FSurface->Blt(nullptr, nullptr, nullptr, video::kBltColorFill | video::kBltAsync, 0);
}

void TDSurface::Fill(TXeRGB c)
{
    if (!FCreated)
        return;
    IsLostAndRestore();
    FSurface->Blt(nullptr, nullptr, nullptr, video::kBltColorFill | video::kBltAsync, TXeRGBtoPixel(c));
}

bool TDSurface::SetPalette(std::shared_ptr<video::Palette> palette)
{
    if (!FCreated || FBitDepth != bd8)
        return false;
    FSurface->SetPalette(nullptr);
    FPalette.reset();
    if (palette) {
        FPalette = std::move(palette);
        FSurface->SetPalette(FPalette);
    }
    return true;
}

void TDSurface::ReleasePalette()
{
    if (!FCreated || !FPalette)
        return;
    FSurface->SetPalette(nullptr);
    FPalette.reset();
}

bool TDSurface::SetClipper(std::shared_ptr<video::Clipper> clipper)
{
    if (!FCreated)
        return false;
    FSurface->SetClipper(nullptr);
    FClipper.reset();
    if (clipper) {
        FClipper = std::move(clipper);
        FSurface->SetClipper(FClipper);
    }
    return true;
}

bool TDSurface::SetClipRect(const TXeRect& r)
{
    if (!FCreated || FDDraw == nullptr)
        return false;
    if (!FClipper) {
        if (FDDraw->DirectDraw() == nullptr)
            return false;
        FClipper = FDDraw->DirectDraw()->CreateClipper();
        FSurface->SetClipper(FClipper);
    }
    const video::Rect clip{r.left, r.top, r.right, r.bottom};
    FClipper->SetClipList(std::span(&clip, 1));
    return true;
}

void TDSurface::ReleaseClipper()
{
    if (!FCreated || !FClipper)
        return;
    FSurface->SetClipper(nullptr);
    FClipper.reset();
}

bool TDSurface::IsLost()
{
    return FCreated && FSurface->IsLost() == Result::SurfaceLost;
}

bool TDSurface::Restore()
{
    if (!FCreated || FSurface->Restore() != Result::Ok)
        return false;
    video::SurfaceDesc desc;
    if (FSurface->GetDesc(desc) != Result::Ok)
        return false;
    DDPFToFormat(PixelFormatOf(desc.layout), FBitDepth, FPixFormat);
    if (OnRestore)
        OnRestore(this);
    return true;
}

bool TDSurface::IsLostAndRestore()
{
    if (!FCreated)
        return false;
    return IsLost() ? Restore() : true;
}

} // namespace DirectX
