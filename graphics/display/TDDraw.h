// DirectX::TDDraw: the library's screen: a window or full screen, a flip chain, a back surface to draw into,
// whole and changed-rectangle presents with per-buffer bookkeeping, surface loss, modes, and the sprite layer.
//
// Use: construct with the window control as owner; set ScreenSize, BitDepth, FullScreen,
// BackType, TripleBuffer; SetEnabled(true); each frame test CanDraw / CanFlip, draw into
// DrawSurface(), report changed rectangles (SetModifyRect or a TXeRectSet), then Flip or
// FlipModifyRect; SetEnabled(false) before the window goes away.
//
// With a flip chain of n buffers, ModifyRectSets[i] holds what buffer i still lacks: a rectangle
// reported in frame k reaches each buffer the next time that buffer is the target, and a buffer
// that missed a whole present (a Flip, a restored primary, creation) receives the whole screen at
// its next turn. In a window every present copies the whole back surface.
//
// Ownership: the display owns its primary, flip and back surfaces, the sprite pages, the sprite
// tables and every TDSurface made with it as owner (SurfaceList). Disabling destroys them all.
//
// Threads: no lock of its own; one thread at a time (the game's display lock serialises drawing
// and presenting). Lock/Unlock are a plain busy flag, no substitute for a thread lock.
#pragma once

#include "base/util/TXeRect.h"
#include "base/util/TXeRectSet.h"
#include "graphics/display/DisplayMode.h"
#include "graphics/display/TDSurface.h"
#include "platform/classes/Component.h"
#include "platform/classes/Stream.h"
#include "platform/classes/WinControl.h"
#include "platform/video/VideoDevice.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace DirectX {

// Where drawing goes before a present: straight into the flip buffer or the primary (btNone), or
// an off-screen back surface in system or video memory.
enum TBackType : std::uint8_t { btNone = 0, btSystem = 1, btVideo = 2 };

// A sprite image: a rectangle on a sprite page with a transparent colour.
struct TSpPattern {
    bool Used = false;
    std::int32_t Page = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    TXeRGB Key;
};

// A pattern placed on the screen; priority 0 is drawn last (on top).
struct TSpSprite {
    bool Used = false;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Pattern = 0;
    std::int32_t Priority = 0;
};

inline constexpr int kSpPatternCount = 1024;
inline constexpr int kSpSpriteCount = 1024;
inline constexpr int kSpPageMax = 16;
inline constexpr int kSpPriorityCount = 16;

using TSpPatternTable = std::array<TSpPattern, kSpPatternCount>;
using TSpSpriteTable = std::array<TSpSprite, kSpSpriteCount>;
// Fired for a sprite page whose surface was restored: the handler redraws page `num`.
using TSpriteRestoreEvent = std::function<void(TDSurface* sender, int num)>;

class TDDraw : public TComponent {
public:
    explicit TDDraw(TComponent* owner);
    ~TDDraw() override;

    // ---- published properties (the setters say when they take effect) ----
    bool FullScreen() const { return FFullScreen; }
    void SetFullScreen(bool fullScreen);
    int RefreshRate() const { return FRefreshRate; }
    void SetRefreshRate(int rate);
    bool TripleBuffer() const { return FTripleBuffer; }
    void SetTripleBuffer(bool triple);
    bool DoNotWait = false; // flip without waiting
    bool NoVSync = false;   // flip without waiting for the vertical retrace
    bool Blt4Div = false;   // present in four horizontal strips
    TBackType BackType() const { return FBackType; }
    void SetBackType(TBackType type);
    TBitDepth BitDepth() const { return FBitDepth; }
    void SetBitDepth(TBitDepth depth);
    TScreenSize ScreenSize() const { return FScreenSize; }
    void SetScreenSize(TScreenSize size);
    int SpriteWidth() const { return FSpriteWidth; }
    void SetSpWidth(int w);
    int SpriteHeight() const { return FSpriteHeight; }
    void SetSpHeight(int h);
    int SpritePage() const { return FSpritePage; }
    void SetSpritePage(int n);
    TSpriteRestoreEvent OnSpriteRestore;

    // ---- state ----
    TWinControl* Window() const { return FWindow; }
    int ScreenWidth() const { return FScreenWidth; }
    int ScreenHeight() const { return FScreenHeight; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    // The display's device (null while disabled).
    video::Device* DirectDraw() const { return FDirectDraw.get(); }
    TDSurface* PrimarySurface() const { return FPrimarySurface; }
    TDSurface* FlipSurface() const { return FFlipSurface; }
    TDSurface* BackSurface() const { return FBackSurface; }
    // Where drawing goes: the back surface if any, else the flip buffer when flipping, else the primary.
    TDSurface* DrawSurface() const { return FDrawSurface; }
    bool Flipping() const { return FFlipping; }
    bool Locked() const { return FLocked; }
    int BufferCount() const { return FBufferCount; }
    int BufferIndex() const { return FBufferIndex; }
    bool PrimaryRestored() const { return FPrimaryRestored; }
    bool SpriteVisible() const { return FSpriteVisible; }
    // What buffer i still lacks (tests and diagnostics).
    const TXeRectSet& ModifyRectSet(int i) const { return FModifyRectSets.at(static_cast<std::size_t>(i)); }
    const std::vector<TDSurface*>& SurfaceList() const { return FSurfaceList; }
    const TSpPatternTable* PatternTable() const { return FPatternTable.get(); }
    const TSpSpriteTable* SpriteTable() const { return FSpriteTable.get(); }

    // ---- creation and release ----
    bool DDrawCreate();
    void DDrawRelease();
    bool CreateBackSurface();
    void ReleaseBackSurface();

    // ---- presenting (nothing while disabled) ----
    void Flip();
    void FlipModifyRect(TXeRectSet rects);
    void SetModifyRect(const TXeRect& r);
    bool CanFlip();
    bool CanDraw();
    void Write(TDSurface* src);
    bool WriteDisplay(TDSurface* src);
    bool WriteDisplayFast(TDSurface* src);
    bool WriteDisplayFast4Div(TDSurface* src);
    bool WriteDisplayModify(TDSurface* src);
    bool WriteDisplayModify4Div(TDSurface* src);
    bool DrawPrimary(int x, int y, TDSurface* src, int sx, int sy, int w, int h);

    // ---- the drawing surface ----
    void Clear();
    void Fill(TXeRGB c);
    bool GetDC(void** dc);
    bool ReleaseDC(void* dc);
    // A busy flag: true for the first caller, false while it is held.
    bool Lock();
    bool Unlock();

    // ---- surfaces of the program ----
    TDSurface* CreateSurface(TBitDepth bd, TPixFormat pf, int w, int h, bool videoMemory);
    TDSurface* CreateSurface(int w, int h, bool videoMemory);
    // A surface in the display's format holding the BMP picture the stream holds; null when the
    // display is disabled or the picture cannot be decoded or held.
    TDSurface* CreateSurfaceFromBitmap(TStream* stream, bool videoMemory);
    bool AddSurfaceList(TDSurface* surface);
    bool DelSurfaceList(TDSurface* surface);
    bool RestoreAllSurfaces();

    // ---- queries (they work while disabled through a temporary device) ----
    void ENumDisplayModes(std::vector<TDisplayMode>* list, bool primaryOnly);
    bool CheckDisplayMode(TBitDepth bd, TScreenSize ss);
    void GetAvailableVidMem(unsigned long& total, unsigned long& free);
    bool GetCaps(video::DeviceCaps* driverCaps, video::DeviceCaps* helCaps);
    TBitDepth DesktopBitDepth();

    // ---- sprites ----
    TDSurface* GetSpSurface(int page);
    // A BMP picture decoded into a page at (x, y); a picture copied to a page's top-left corner
    // with format conversion.
    bool SpPatLoadBmp(int page, TStream* stream, int x, int y);
    bool SpPatCopy(int page, TXeRGBBits* src);
    bool SpSetPattern(int pattern, int page, int x, int y, int w, int h, TXeRGB key);
    bool SpSetPattern(int pattern, int page, int x, int y, int w, int h);
    // A BMP picture put on a page at (x, y) and made a pattern whose key is its top-left colour.
    bool SpSetPatternBmp(int pattern, int page, TStream* stream, int x, int y);
    bool SpClrPattern(int pattern);
    bool SpSetSprite(int sprite, int x, int y, int pattern, int priority);
    int SpAddSprite(int x, int y, int pattern, int priority);
    bool SpMoveSprite(int sprite, int x, int y);
    bool SpChangeSprite(int sprite, int pattern);
    bool SpClrSprite(int sprite);
    void SpSetModifySprite(int sprite);
    bool SpriteShow();
    bool SpriteHide();
    bool SpriteDraw(TDSurface* dest);
    bool SpritePatternWrite(TDSurface* dest, int pattern, int x, int y);
    // The same by software into a bitmap; pages holds a bitmap for each of the SpritePage pages.
    bool SpriteDraw(TXeRGBBits* dest, TXeRGBBits** pages);
    bool SpritePatternWrite(TXeRGBBits* dest, TXeRGBBits** pages, int pattern, int x, int y);

private:
    // The device a query uses: the display's own while enabled, else a temporary one.
    std::unique_ptr<video::Device> TemporaryDevice() const;
    video::BackEnd& BackEndOf() const;
    video::VideoWindow* Handle() const;
    TXeRect ScreenRect() const { return XeRect(0, 0, FScreenWidth, FScreenHeight); }
    // The screen position of the window's client area (0, 0).
    video::Point ClientOrigin() const;
    // Restores a lost primary and notes it; false when the primary stays lost.
    void RestorePrimaryIfLost();
    bool PresentTarget(TDSurface*& target) const;
    bool BltFastRects(TDSurface* src, const TXeRectSet& rects);
    bool CopyStrip(TDSurface* src, const TXeRect& strip);
    void PresentSprites();
    void AdvanceBuffer();
    bool CreatePrimarySurface(int backBuffers, std::shared_ptr<video::Surface>& primary);
    void DestroyDisplaySurfaces();
    bool CreateSpritePages(int from, int to);
    void DestroySpritePages(int from, int to);
    TSpPattern* UsedPattern(int pattern) const;
    void ReportSprite(int sprite);

    TWinControl* FWindow = nullptr;
    bool FFullScreen = true;
    int FRefreshRate = 0;
    bool FTripleBuffer = true;
    TBackType FBackType = btNone;
    TBitDepth FBitDepth = bd16;
    TScreenSize FScreenSize = ss640x480;
    int FScreenWidth = 640;
    int FScreenHeight = 480;
    int FSpriteWidth = 640;
    int FSpriteHeight = 480;
    bool FEnabled = false;
    std::unique_ptr<video::Device> FDirectDraw;
    TDSurface* FPrimarySurface = nullptr;
    TDSurface* FFlipSurface = nullptr;
    TDSurface* FBackSurface = nullptr;
    TDSurface* FDrawSurface = nullptr;
    bool FFlipping = false;
    bool FLocked = false;
    int FLockCount = 0;
    int FSpritePage = 0;
    bool FSpriteVisible = false;
    std::unique_ptr<TSpPatternTable> FPatternTable;
    std::unique_ptr<TSpSpriteTable> FSpriteTable;
    std::array<TDSurface*, kSpPageMax> FSpSurface{};
    std::vector<TDSurface*> FSurfaceList;
    std::array<TXeRectSet, 3> FModifyRectSets;
    int FBufferCount = 0;
    int FBufferIndex = 0;
    bool FPrimaryRestored = false;
};

} // namespace DirectX
