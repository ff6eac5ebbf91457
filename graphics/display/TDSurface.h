// DirectX::TDSurface: a bitmap whose pixels live in a display surface, so every drawing operation works on it unchanged.
//
// The surface is made off-screen by the owner display's device (Create), or wraps a surface the
// device made (the primary and the back buffer of a flip chain, Attach). It restores itself when
// the surface was lost (memory only: OnRestore tells the owner to redraw), hands out a device
// context, and can carry a palette (8-bit surfaces) and a clipper. A surface owned by a TDDraw is
// in that display's surface list from construction to destruction.
//
// Threads: none of its own; used by one thread at a time under the caller's display lock.
#pragma once

#include "base/util/TXeRect.h"
#include "graphics/bitmaps/DibStorage.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/video/VideoSurface.h"

#include <memory>

namespace DirectX {

class TDDraw;

class TDSurface : public TXeRGBBits {
public:
    explicit TDSurface(TComponent* owner);
    TDSurface(TComponent* owner, TBitDepth bd, TPixFormat pf, int w, int h, bool videoMemory);
    TDSurface(TComponent* owner, std::shared_ptr<video::Surface> surface);
    ~TDSurface() override;

    TDDraw* DDraw() const { return FDDraw; }
    const std::shared_ptr<video::Surface>& Surface() const { return FSurface; }
    const std::shared_ptr<video::Palette>& Palette() const { return FPalette; }
    const std::shared_ptr<video::Clipper>& Clipper() const { return FClipper; }

    // Published: where to create the surface (stored only while not created); after creation,
    // where it really is.
    bool VideoMemory() const { return FVideoMemory; }
    void SetVideoMemory(bool videoMemory);
    // Called with the surface as Sender after a lost surface was restored.
    TNotifyEvent OnRestore;

    // Creation. The argument form stores its arguments (false when created already) and calls
    // Create(). bdNone with pfNone takes the display's format; the fields then hold what the
    // display chose.
    bool Create() override;
    bool Create(TBitDepth bd, TPixFormat pf, int w, int h, bool videoMemory);
    // Wraps a surface the device made; such a surface cannot be resized.
    bool Attach(std::shared_ptr<video::Surface> surface);
    void Release() override;
    // A new surface of w x h (the old picture is not carried over); a clipper is kept.
    bool Resize(int w, int h) override;

    // Lock maps the surface once however often it nests; both restore a lost surface first.
    bool Lock() override;
    bool Unlock() override;
    // One device context of the text rasteriser (a DeviceContext) at a time, drawing into the
    // surface's own memory: GetDC locks the surface and selects a section over its pixels, and
    // fails while a context is out; ReleaseDC with that context closes it and unlocks, and is
    // false for any other context or when none is out. Release closes a context still out.
    bool HaveDC() override;
    bool GetDC(void** dc) override;
    bool ReleaseDC(void* dc) override;

    // Fills the whole surface with black, or with a colour.
    void Clear();
    void Fill(TXeRGB c);

    // Palette (8-bit surfaces only) and clipper; null drops the current one.
    bool SetPalette(std::shared_ptr<video::Palette> palette);
    void ReleasePalette();
    bool SetClipper(std::shared_ptr<video::Clipper> clipper);
    // Limits blits onto the surface to one rectangle (making a clipper when there is none).
    bool SetClipRect(const TXeRect& r);
    void ReleaseClipper();

    // Loss: IsLost tells, Restore gives the memory back (OnRestore fires), IsLostAndRestore does
    // both when needed.
    bool IsLost();
    bool Restore();
    bool IsLostAndRestore();

    // The video-service work shared by Create and Resize: makes an off-screen surface of w x h
    // and reports its real depth, format and memory.
    bool CreateSurface(int w, int h, std::shared_ptr<video::Surface>& surface,
                       std::shared_ptr<video::Palette>& palette, TBitDepth& bd, TPixFormat& pf, bool& videoMemory);

    // Used by TDDraw when it is destroyed while this surface, no longer in its list, still lives.
    void ForgetDisplay() { FDDraw = nullptr; }

private:
    void ResetCreatedState(std::uint8_t attached);
    // A section over the locked pixels, in the surface's layout (the palette's colours at 8 bits).
    std::unique_ptr<DibSection> SectionOverPixels() const;
    void CloseDC();

    TDDraw* FDDraw = nullptr;
    std::shared_ptr<video::Surface> FSurface;
    std::shared_ptr<video::Palette> FPalette;
    std::shared_ptr<video::Clipper> FClipper;
    bool FVideoMemory = false;
    std::unique_ptr<DibSection> FDCSection;
    DibContext FDC;
};

} // namespace DirectX
