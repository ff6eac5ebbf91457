// DirectX::TDDraw: the library's screen: creation with its fallbacks, release, presenting, surfaces and queries.
#include "graphics/display/TDDraw.h"

#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "platform/classes/Application.h"

#include <algorithm>
#include <new>

namespace DirectX {

namespace {

using video::Result;

video::Rect ToVideo(const TXeRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// The bits of a full-screen mode for a depth.
int ModeBits(TBitDepth depth)
{
    return depth == bd16 ? 16 : depth == bd24 ? 24 : 32;
}

} // namespace

TDDraw::TDDraw(TComponent* owner) : TComponent(owner), FWindow(dynamic_cast<TWinControl*>(owner)) {}

TDDraw::~TDDraw()
{
    if (FEnabled)
        DDrawRelease();
    // Surfaces still owned as components (made while disabled and forgotten by the next enabling)
    // are destroyed by the component base after this display's fields: they must not come back.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* surface = dynamic_cast<TDSurface*>(Components(i)); surface != nullptr && surface->DDraw() == this)
            surface->ForgetDisplay();
    FSurfaceList.clear();
}

// ---- properties ----

void TDDraw::SetFullScreen(bool fullScreen)
{
    if (!FEnabled)
        FFullScreen = fullScreen;
}

void TDDraw::SetRefreshRate(int rate)
{
    if (!FEnabled)
        FRefreshRate = rate;
}

void TDDraw::SetTripleBuffer(bool triple)
{
    if (!FEnabled)
        FTripleBuffer = triple;
}

void TDDraw::SetBitDepth(TBitDepth depth)
{
    if (!FEnabled && (depth == bd16 || depth == bd24 || depth == bd32))
        FBitDepth = depth;
}

void TDDraw::SetScreenSize(TScreenSize size)
{
    if (FEnabled)
        return;
    FScreenSize = size;
    ScreenSizeDimensions(size, FScreenWidth, FScreenHeight);
    FSpriteWidth = std::min(FSpriteWidth, FScreenWidth);
    FSpriteHeight = std::min(FSpriteHeight, FScreenHeight);
}

void TDDraw::SetSpWidth(int w)
{
    if (!FEnabled && w >= 1 && w <= FScreenWidth)
        FSpriteWidth = w;
}

void TDDraw::SetSpHeight(int h)
{
    if (!FEnabled && h >= 1 && h <= FScreenHeight)
        FSpriteHeight = h;
}

void TDDraw::SetBackType(TBackType type)
{
    if (type == FBackType)
        return;
    FBackType = type;
    if (FEnabled)
        CreateBackSurface();
}

void TDDraw::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    if (enabled) {
        DDrawCreate();
        Clear();
        Flip();
    } else {
        DDrawRelease();
    }
}

// ---- creation and release ----

video::VideoWindow* TDDraw::Handle() const
{
    return FWindow != nullptr ? FWindow->Handle() : nullptr;
}

video::BackEnd& TDDraw::BackEndOf() const
{
    video::VideoWindow* handle = Handle();
    return handle != nullptr ? handle->Back() : video::DefaultBackEnd();
}

video::Point TDDraw::ClientOrigin() const
{
    return FWindow != nullptr ? FWindow->ClientToScreen({0, 0}) : video::Point{};
}

bool TDDraw::CreatePrimarySurface(int backBuffers, std::shared_ptr<video::Surface>& primary)
{
    return FDirectDraw->CreatePrimary(backBuffers, primary) == Result::Ok;
}

void TDDraw::DestroyDisplaySurfaces()
{
    ReleaseBackSurface();
    delete FFlipSurface;
    FFlipSurface = nullptr;
    delete FPrimarySurface;
    FPrimarySurface = nullptr;
    FDrawSurface = nullptr;
}

bool TDDraw::DDrawCreate()
{
    if (FWindow == nullptr)
        return false;
    if (FEnabled)
        return true;
    // Surfaces constructed while disabled are forgotten: neither restored nor destroyed by the display.
    FSurfaceList.clear();
    if (FBitDepth == bd8 || FBitDepth == bdNone)
        return false;
    if (!FFullScreen && (DesktopBitDepth() == bd8 || DesktopBitDepth() == bdNone))
        return false;
    try {
        if (!FPatternTable)
            FPatternTable = std::make_unique<TSpPatternTable>();
        if (!FSpriteTable)
            FSpriteTable = std::make_unique<TSpSpriteTable>();
    } catch (const std::bad_alloc&) {
        return false;
    }

    FDirectDraw = video::Device::Create(BackEndOf());
    if (!FDirectDraw)
        return false;
    if (FFullScreen) {
        if (FDirectDraw->SetCooperativeLevel(Handle(), true) != Result::Ok ||
            FDirectDraw->SetDisplayMode(FScreenWidth, FScreenHeight, ModeBits(FBitDepth), FRefreshRate) != Result::Ok) {
            FDirectDraw.reset();
            return false;
        }
    } else {
        FDirectDraw->SetCooperativeLevel(Handle(), false);
    }

    // The primary: two back buffers, else one, else none.
    std::shared_ptr<video::Surface> primary;
    if (FFullScreen) {
        FFlipping = true;
        FBufferCount = 1;
        if (FTripleBuffer && CreatePrimarySurface(2, primary))
            FBufferCount = 3;
        if (!primary && CreatePrimarySurface(1, primary))
            FBufferCount = 2;
        if (!primary) {
            FFlipping = false;
            CreatePrimarySurface(0, primary);
        }
    } else {
        FFlipping = false;
        FBufferCount = 0;
        CreatePrimarySurface(0, primary);
    }
    if (!primary) {
        FPatternTable.reset();
        FSpriteTable.reset();
        FDirectDraw.reset();
        return false;
    }

    FPrimarySurface = new TDSurface(this, std::move(primary));
    if (!FFullScreen) {
        auto clipper = FDirectDraw->CreateClipper();
        clipper->SetWindow(Handle());
        FPrimarySurface->SetClipper(clipper);
    }
    if (FFlipping) {
        std::shared_ptr<video::Surface> backBuffer;
        if (FPrimarySurface->Surface() && FPrimarySurface->Surface()->GetAttachedBackBuffer(backBuffer) == Result::Ok)
            FFlipSurface = new TDSurface(this, std::move(backBuffer));
    }
    CreateBackSurface();
    if (!FPrimarySurface->Created() || (FBackType != btNone && FBackSurface == nullptr)) {
        DestroyDisplaySurfaces();
        FDirectDraw.reset();
        return false;
    }

    FSpriteVisible = false;
    FPatternTable->fill({});
    FSpriteTable->fill({});
    FSpritePage = std::min(FSpritePage, kSpPageMax);
    if (!CreateSpritePages(0, FSpritePage)) {
        DestroyDisplaySurfaces();
        FDirectDraw.reset();
        return false;
    }

    for (TXeRectSet& set : FModifyRectSets)
        set.UnionRect(ScreenRect());
    FBufferIndex = 0;
    FPrimaryRestored = false;
    FEnabled = true;
    return true;
}

bool TDDraw::CreateBackSurface()
{
    if (FBackSurface != nullptr)
        ReleaseBackSurface();
    bool result = true;
    if (FBackType != btNone) {
        FBackSurface = new TDSurface(this);
        if (FBackType == btVideo)
            FBackSurface->Create(bdNone, pfNone, FScreenWidth, FScreenHeight, true);
        if (!FBackSurface->Created() && FBackSurface->Create(bdNone, pfNone, FScreenWidth, FScreenHeight, false))
            FBackType = btSystem;
        if (!FBackSurface->Created()) {
            delete FBackSurface;
            FBackSurface = nullptr;
            result = false;
        }
    }
    if (FBackSurface != nullptr)
        FBackSurface->SetClipRect(ScreenRect());
    // Without the back surface that was asked for, drawing goes where it would without one.
    FDrawSurface = FBackSurface != nullptr ? FBackSurface : FFlipping ? FFlipSurface : FPrimarySurface;
    return result;
}

void TDDraw::ReleaseBackSurface()
{
    delete FBackSurface;
    FBackSurface = nullptr;
    FDrawSurface = FFlipping ? FFlipSurface : FPrimarySurface;
}

void TDDraw::DDrawRelease()
{
    if (!FEnabled)
        return;
    FEnabled = false;
    DestroySpritePages(0, kSpPageMax);
    DestroyDisplaySurfaces();
    // Each surface's destructor takes it off the list.
    while (!FSurfaceList.empty()) {
        TDSurface* last = FSurfaceList.back();
        delete last;
        if (!FSurfaceList.empty() && FSurfaceList.back() == last)
            FSurfaceList.pop_back();
    }
    FDirectDraw.reset();
}

// ---- presenting ----

void TDDraw::RestorePrimaryIfLost()
{
    if (FPrimarySurface != nullptr && FPrimarySurface->IsLost()) {
        FPrimarySurface->IsLostAndRestore();
        FPrimaryRestored = true;
    }
}

// The surface a present copies into: the flip buffer, else the primary.
bool TDDraw::PresentTarget(TDSurface*& target) const
{
    target = FFlipping ? FFlipSurface : FPrimarySurface;
    return target != nullptr && target->Surface() != nullptr;
}

void TDDraw::AdvanceBuffer()
{
    if (++FBufferIndex >= FBufferCount)
        FBufferIndex = 0;
}

void TDDraw::PresentSprites()
{
    if (FFlipping) {
        if (FSpriteVisible)
            SpriteDraw(FFlipSurface);
        unsigned flags = DoNotWait ? video::kFlipDoNotWait : video::kFlipWait;
        if (NoVSync)
            flags |= video::kFlipNoVSync;
        FPrimarySurface->Surface()->Flip(flags);
    } else if (FSpriteVisible) {
        SpriteDraw(FPrimarySurface);
    }
}

void TDDraw::Flip()
{
    if (!FEnabled)
        return;
    RestorePrimaryIfLost();
    if (FBackSurface != nullptr) {
        FPrimaryRestored = false;
        FBackSurface->IsLostAndRestore();
        if (FBufferCount > 0) {
            for (int i = 0; i < FBufferCount; ++i) {
                TXeRectSet& set = FModifyRectSets[static_cast<std::size_t>(i)];
                if (i == FBufferIndex)
                    set.SetRectEmpty();
                else
                    set.UnionRect(ScreenRect());
            }
            AdvanceBuffer();
        }
        WriteDisplayFast(FBackSurface);
    }
    PresentSprites();
}

void TDDraw::FlipModifyRect(TXeRectSet rects)
{
    if (!FEnabled)
        return;
    RestorePrimaryIfLost();
    if (FBackSurface != nullptr) {
        if (FPrimaryRestored) {
            SetModifyRect(ScreenRect());
            FPrimaryRestored = false;
        }
        FBackSurface->IsLostAndRestore();
        if (FBufferCount > 0) {
            rects.IntersectRect(ScreenRect());
            for (int i = 0; i < FBufferCount; ++i)
                FModifyRectSets[static_cast<std::size_t>(i)].UnionRectSet(rects);
            // A failed copy stays pending and is retried at this buffer's next turn.
            if (WriteDisplayModify(FBackSurface))
                FModifyRectSets[static_cast<std::size_t>(FBufferIndex)].SetRectEmpty();
            AdvanceBuffer();
        } else {
            WriteDisplayFast(FBackSurface);
        }
    }
    PresentSprites();
}

void TDDraw::SetModifyRect(const TXeRect& r)
{
    if (!FEnabled || FBufferCount <= 0)
        return;
    TXeRect clipped;
    if (!clipped.IntersectRect(r, ScreenRect()))
        return;
    for (int i = 0; i < FBufferCount; ++i)
        FModifyRectSets[static_cast<std::size_t>(i)].UnionRect(clipped);
}

bool TDDraw::CanFlip()
{
    if (!FEnabled)
        return false;
    if (!FFlipping)
        return true;
    RestorePrimaryIfLost();
    return FPrimarySurface->Surface()->GetFlipStatus() == Result::Ok;
}

bool TDDraw::CanDraw()
{
    if (!FEnabled)
        return false;
    RestorePrimaryIfLost();
    if (FBackSurface != nullptr)
        FBackSurface->IsLostAndRestore();
    return FDrawSurface != nullptr && FDrawSurface->Surface() != nullptr &&
           FDrawSurface->Surface()->GetBltStatus() == Result::Ok;
}

void TDDraw::Write(TDSurface* src)
{
    if (!FEnabled || src == nullptr || src->Surface() == nullptr)
        return;
    if (FBackSurface == nullptr) {
        WriteDisplay(src);
        return;
    }
    FBackSurface->IsLostAndRestore();
    const video::Rect screen = ToVideo(ScreenRect());
    FBackSurface->Surface()->Blt(&screen, src->Surface().get(), &screen, video::kBltAsync);
}

bool TDDraw::WriteDisplay(TDSurface* src)
{
    RestorePrimaryIfLost();
    TDSurface* target = nullptr;
    if (!PresentTarget(target) || src == nullptr || src->Surface() == nullptr)
        return false;
    const video::Rect screen = ToVideo(ScreenRect());
    video::Rect to = screen;
    if (!FFlipping && !FFullScreen) {
        const video::Point origin = ClientOrigin();
        to = screen.Offset(origin.x, origin.y);
    }
    return target->Surface()->Blt(&to, src->Surface().get(), &screen, video::kBltAsync) == Result::Ok;
}

bool TDDraw::WriteDisplayFast(TDSurface* src)
{
    if (Blt4Div)
        return WriteDisplayFast4Div(src);
    if (!FFlipping && !FFullScreen)
        return WriteDisplay(src);
    RestorePrimaryIfLost();
    TDSurface* target = nullptr;
    if (!PresentTarget(target) || src == nullptr || src->Surface() == nullptr)
        return false;
    return target->Surface()->BltFast(0, 0, *src->Surface(), ToVideo(ScreenRect())) == Result::Ok;
}

// Copies one strip of the screen: BltFast into a flip buffer or the full-screen primary, a
// clipped Blt into the window.
bool TDDraw::CopyStrip(TDSurface* src, const TXeRect& strip)
{
    TDSurface* target = nullptr;
    if (!PresentTarget(target) || src == nullptr || src->Surface() == nullptr)
        return false;
    const video::Rect from = ToVideo(strip);
    if (FFlipping || FFullScreen)
        return target->Surface()->BltFast(strip.left, strip.top, *src->Surface(), from) == Result::Ok;
    const video::Point origin = ClientOrigin();
    const video::Rect to = from.Offset(origin.x, origin.y);
    return target->Surface()->Blt(&to, src->Surface().get(), &from, video::kBltAsync) == Result::Ok;
}

bool TDDraw::WriteDisplayFast4Div(TDSurface* src)
{
    RestorePrimaryIfLost();
    const int rows = FScreenHeight / 4;
    bool result = true;
    for (int i = 0; i < 4; ++i) {
        if (FPrimarySurface->IsLost())
            return false;
        if (!CopyStrip(src, XeRect(0, i * rows, FScreenWidth, (i + 1) * rows)))
            result = false;
    }
    return result;
}

// BltFast of each rectangle of `rects` into the flip buffer or the full-screen primary.
bool TDDraw::BltFastRects(TDSurface* src, const TXeRectSet& rects)
{
    TDSurface* target = nullptr;
    if (!PresentTarget(target) || src == nullptr || src->Surface() == nullptr)
        return false;
    bool result = true;
    for (const TXeRect& r : rects)
        if (target->Surface()->BltFast(r.left, r.top, *src->Surface(), ToVideo(r)) != Result::Ok)
            result = false;
    return result;
}

bool TDDraw::WriteDisplayModify(TDSurface* src)
{
    if (Blt4Div)
        return WriteDisplayModify4Div(src);
    if (FBufferCount == 0)
        return WriteDisplayFast(src);
    RestorePrimaryIfLost();
    TXeRectSet rects = FModifyRectSets[static_cast<std::size_t>(FBufferIndex)];
    if (rects.IsRectEmpty())
        return true;
    rects.IntersectRect(ScreenRect());
    return BltFastRects(src, rects);
}

bool TDDraw::WriteDisplayModify4Div(TDSurface* src)
{
    if (FBufferCount == 0)
        return WriteDisplayFast4Div(src);
    RestorePrimaryIfLost();
    const int rows = FScreenHeight / 4;
    bool result = true;
    for (int i = 0; i < 4; ++i) {
        if (FPrimarySurface->IsLost())
            return false;
        TXeRectSet rects = FModifyRectSets[static_cast<std::size_t>(FBufferIndex)];
        rects.IntersectRect(XeRect(0, i * rows, FScreenWidth, (i + 1) * rows));
        if (!BltFastRects(src, rects))
            result = false;
    }
    return result;
}

bool TDDraw::DrawPrimary(int x, int y, TDSurface* src, int sx, int sy, int w, int h)
{
    if (!FEnabled)
        return false;
    RestorePrimaryIfLost();
    if (src == nullptr || src->Surface() == nullptr)
        return true;
    const video::Rect from{sx, sy, sx + w, sy + h};
    video::Rect to{x, y, x + w, y + h};
    if (!FFullScreen) {
        const video::Point origin = ClientOrigin();
        to = to.Offset(origin.x, origin.y);
    }
    FPrimarySurface->Surface()->Blt(&to, src->Surface().get(), &from, video::kBltAsync);
    return true;
}

// ---- the drawing surface ----

void TDDraw::Clear()
{
    if (FEnabled && FDrawSurface != nullptr)
        FDrawSurface->Clear();
}

void TDDraw::Fill(TXeRGB c)
{
    if (FEnabled && FDrawSurface != nullptr)
        FDrawSurface->Fill(c);
}

bool TDDraw::GetDC(void** dc)
{
    return FEnabled && FDrawSurface != nullptr && FDrawSurface->GetDC(dc);
}

bool TDDraw::ReleaseDC(void* dc)
{
    return FEnabled && FDrawSurface != nullptr && FDrawSurface->ReleaseDC(dc);
}

bool TDDraw::Lock()
{
    ++FLockCount;
    if (FLockCount == 1 && !FLocked) {
        FLocked = true;
        return true;
    }
    --FLockCount;
    return false;
}

bool TDDraw::Unlock()
{
    if (!FLocked)
        return false;
    FLocked = false;
    FLockCount = 0;
    return true;
}

// ---- surfaces of the program ----

TDSurface* TDDraw::CreateSurface(TBitDepth bd, TPixFormat pf, int w, int h, bool videoMemory)
{
    if (!FEnabled)
        return nullptr;
    auto* surface = new TDSurface(this);
    if (!surface->Create(bd, pf, w, h, videoMemory)) {
        delete surface;
        return nullptr;
    }
    return surface;
}

TDSurface* TDDraw::CreateSurface(int w, int h, bool videoMemory)
{
    if (!FEnabled)
        return nullptr;
    return CreateSurface(FPrimarySurface->BitDepth(), FPrimarySurface->PixFormat(), w, h, videoMemory);
}

TDSurface* TDDraw::CreateSurfaceFromBitmap(TStream* stream, bool videoMemory)
{
    if (!FEnabled || stream == nullptr)
        return nullptr;
    const TPixFormat format = FPrimarySurface->PixFormat();
    unsigned char* raw = nullptr;
    int w = 0;
    int h = 0;
    if (!LoadBmp(stream, &raw, &w, &h, format) || raw == nullptr)
        return nullptr;
    const TPictureMemory block(raw);
    TDSurface* surface = CreateSurface(FPrimarySurface->BitDepth(), format, w, h, videoMemory);
    if (surface != nullptr)
        surface->PutPat(0, 0, w, h, block.get());
    return surface;
}

bool TDDraw::AddSurfaceList(TDSurface* surface)
{
    if (surface != nullptr)
        FSurfaceList.push_back(surface);
    return true;
}

bool TDDraw::DelSurfaceList(TDSurface* surface)
{
    const auto it = std::find(FSurfaceList.begin(), FSurfaceList.end(), surface);
    if (it == FSurfaceList.end())
        return false;
    FSurfaceList.erase(it);
    return true;
}

bool TDDraw::RestoreAllSurfaces()
{
    if (!FEnabled)
        return false;
    // A restore handler may add or destroy surfaces: walk a copy and skip those gone meanwhile. A
    // handler's failure is reported and the other surfaces are still restored.
    const std::vector<TDSurface*> surfaces = FSurfaceList;
    for (TDSurface* surface : surfaces) {
        if (std::find(FSurfaceList.begin(), FSurfaceList.end(), surface) == FSurfaceList.end())
            continue;
        try {
            surface->IsLostAndRestore();
        } catch (const std::exception& error) {
            Application().HandleException(surface, error);
        }
    }
    return true;
}

// ---- queries ----

std::unique_ptr<video::Device> TDDraw::TemporaryDevice() const
{
    return video::Device::Create(BackEndOf());
}

void TDDraw::ENumDisplayModes(std::vector<TDisplayMode>* list, bool)
{
    if (list == nullptr)
        return;
    list->clear();
    std::unique_ptr<video::Device> temporary;
    video::Device* device = FDirectDraw.get();
    if (!FEnabled || device == nullptr) {
        temporary = TemporaryDevice();
        device = temporary.get();
    }
    if (device == nullptr)
        return;
    for (const video::DisplayModeDesc& desc : device->EnumDisplayModes()) {
        TDisplayMode mode;
        const DDPIXELFORMAT pf = PixelFormatOf(desc.layout);
        mode.RMask = pf.dwRBitMask;
        mode.GMask = pf.dwGBitMask;
        mode.BMask = pf.dwBBitMask;
        mode.AMask = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
        DDPFToFormat(pf, mode.BitDepth, mode.PixFormat);
        if (mode.BitDepth == bdNone || !ScreenSizeOf(desc.width, desc.height, mode.ScreenSize))
            continue;
        list->push_back(mode);
    }
}

bool TDDraw::CheckDisplayMode(TBitDepth bd, TScreenSize ss)
{
    std::vector<TDisplayMode> modes;
    ENumDisplayModes(&modes, true);
    return std::any_of(modes.begin(), modes.end(),
                       [&](const TDisplayMode& m) { return m.BitDepth == bd && m.ScreenSize == ss; });
}

void TDDraw::GetAvailableVidMem(unsigned long& total, unsigned long& free)
{
    total = 0;
    free = 0;
    std::unique_ptr<video::Device> temporary;
    video::Device* device = FEnabled ? FDirectDraw.get() : (temporary = TemporaryDevice()).get();
    if (device == nullptr)
        return;
    std::uint64_t t = 0;
    std::uint64_t f = 0;
    device->GetAvailableVidMem(t, f);
    total = static_cast<unsigned long>(t);
    free = static_cast<unsigned long>(f);
}

bool TDDraw::GetCaps(video::DeviceCaps* driverCaps, video::DeviceCaps* helCaps)
{
    if (driverCaps != nullptr)
        *driverCaps = {};
    if (helCaps != nullptr)
        *helCaps = {};
    std::unique_ptr<video::Device> temporary;
    video::Device* device = FEnabled ? FDirectDraw.get() : (temporary = TemporaryDevice()).get();
    if (device == nullptr)
        return false;
    if (driverCaps != nullptr)
        *driverCaps = device->GetCaps();
    if (helCaps != nullptr)
        *helCaps = device->GetCaps();
    return true;
}

TBitDepth TDDraw::DesktopBitDepth()
{
    video::BackEnd& back = BackEndOf();
    if (!back.Start())
        return bdNone;
    switch (back.DesktopLayout().bitCount) {
    case 8: return bd8;
    case 16: return bd16;
    case 24: return bd24;
    case 32: return bd32;
    default: return bdNone;
    }
}

} // namespace DirectX
