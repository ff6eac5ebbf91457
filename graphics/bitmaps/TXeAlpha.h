// TXeAlpha: the 8-bit alpha map (255 opaque, 0 transparent) that lies beside a TXeRGBBits picture,
// with its byte drawing set (fill, pixel, line, box, tone-down, block copies, constant-level
// blends, level operations, 8-bit BMP loading), and ComposeAlphaChannel, which combines two maps
// for a cross-fade.
//
// Value (x, y) is at Bits() + y x Pitch() + x. This class keeps its values in one heap block with
// Pitch = Width; a subclass may put them elsewhere with any pitch, so every operation steps rows by
// Pitch. A new or resized map holds 255 everywhere. There is no lock: the bytes are plain memory.
// Nothing is recorded and no event fires. The blends read the process-wide blend level of
// BlendLevel.h, so they run under the callers' redraw lock, one thread at a time.
#pragma once

#include "base/util/TXeRect.h"
#include "graphics/kernels/AlphaLevelKernels.h"
#include "platform/classes/Component.h"

#include <array>
#include <cstdint>
#include <memory>

class TStream;

class TXeAlpha : public TComponent {
public:
    explicit TXeAlpha(TComponent* owner);
    // Releases the storage. A subclass with storage of its own releases it in its own destructor:
    // from here only this class's Release is reached.
    ~TXeAlpha() override;

    // Published properties. While created, a new size reallocates and refills with 255.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int w) { Resize(w, FHeight); }
    void SetHeight(int h) { Resize(FWidth, h); }

    // Free identifier of 16 characters, zero-filled, not necessarily zero-terminated.
    const std::array<char, 16>& ID() const { return FID; }
    void SetID(const AnsiString& id);

    bool Created() const { return FCreated; }
    std::uint8_t* Bits() const { return FBits; }
    int Pitch() const { return FPitch; }
    // Selects the MMX row kernels; copied from the shared processor test at construction.
    bool MMX() const { return FMMX; }
    void SetMMX(bool mmx) { FMMX = mmx; }

    // Create allocates Width x Height values, all 255 (false when created already, for a
    // non-positive size, or without memory). Resize stores the size while not created; while
    // created it replaces the block by a new one of 255s (false for a non-positive size or without
    // memory, keeping the old block). Release frees.
    virtual bool Create();
    virtual void Release();
    virtual bool Resize(int w, int h);
    // A GDI-style device context; the base class has none.
    virtual bool GetDC(void** dc);
    virtual bool ReleaseDC(void* dc);

    // Each member below does nothing, or returns false (0 for PGet), while not created.
    void Cls();
    void Fill(std::uint8_t a);
    bool PSet(int x, int y, std::uint8_t a);
    std::uint8_t PGet(int x, int y) const;
    // Lines and boxes take two inclusive corners in any order, clamped to -32768..32768.
    bool Line(int x1, int y1, int x2, int y2, std::uint8_t a);
    bool BoxFill(int x1, int y1, int x2, int y2, std::uint8_t a);
    // Each value v of the rectangle becomes (v x level) >> 7; false for a level outside 0..128.
    bool ToneDown(int x1, int y1, int x2, int y2, int level);
    // The rule of TXeRGBBits::ClipRect: raises each cut by how far draw reaches past clip.
    static void ClipRect(const TXeRect& draw, const TXeRect& clip, int& cutLeft, int& cutTop, int& cutRight,
                         int& cutBottom);

    // Block copies, clipped to the map. GetAlpha's block has rows w bytes apart; its bytes that
    // correspond to outside the map are left as they were.
    bool PutAlpha(int x, int y, int w, int h, const std::uint8_t* src);
    bool PutAlphaPitch(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch);
    bool GetAlpha(int x, int y, int w, int h, std::uint8_t* dst) const;
    // Copies src's rectangle (sx, sy, w, h), which must lie wholly inside src, to (x, y).
    bool Draw(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h);

    // srcA + (srcB - srcA) x level / 128 per value into the rectangle at (x, y); the level is
    // clamped to 0..128. Each block addresses the value that lands on (x, y).
    bool XeAlphaBlend(int x, int y, int w, int h, const std::uint8_t* srcA, int srcAPitch, const std::uint8_t* srcB,
                      int srcBPitch, int level);
    // Blend of two maps' rectangles, clipped to both sources; level 0 and 128 are Draw of one of
    // them; a level outside 0..128 fails.
    bool AlphaBlend(int x, int y, const TXeAlpha* src1, int sx1, int sy1, const TXeAlpha* src2, int sx2, int sy2,
                    int w, int h, int level);
    // src's rectangle blended over this map's own values at (x, y); level 0 succeeds at once.
    bool AlphaBlend(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int level);

    // Level operations of a raw block into the map at (x, y), using the low 8 bits of value:
    // extraction ramp, saturating add, saturating subtract (AlphaLevelKernels.h).
    bool XeExtract(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value);
    bool XeSAdd(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value);
    bool XeSSub(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value);
    // The same from another map's rectangle, which must lie wholly inside it; value clamped to 0..255.
    bool Extract(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int value);
    bool SAdd(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int value);
    bool SSub(int x, int y, const TXeAlpha* src, int sx, int sy, int w, int h, int value);

    // An 8-bit BMP's grey values (LoadAlphaStream) or palette indices (LoadIndexStream) put at
    // (x, y) (TXeAlphaLoad.cpp). A map not yet created is first created reaching from (0, 0) to
    // the picture's far corner. True when the picture decoded, also when none of it lands on the
    // map; false when it cannot be decoded or is empty.
    bool LoadAlphaStream(TStream* stream, int x, int y);
    bool LoadIndexStream(TStream* stream, int x, int y);

protected:
    // The release and resize cycle of every storage, as in TXeRGBBits: ReleaseStorage drops it
    // through free() when created; ResizeStorage refuses a non-positive size, only stores the size
    // while not created, and else stores it once replace(w, h) put a new storage in place.
    template <typename Free> void ReleaseStorage(Free&& free)
    {
        if (!FCreated)
            return;
        free();
        FBits = nullptr;
        FCreated = false;
    }
    template <typename Replace> bool ResizeStorage(int w, int h, Replace&& replace)
    {
        if (w <= 0 || h <= 0 || (FCreated && !replace(w, h)))
            return false;
        FWidth = w;
        FHeight = h;
        return true;
    }

    // Fields of the class; subclasses with their own storage set FBits, FPitch and FCreated.
    std::array<char, 16> FID{};
    bool FCreated = false;
    int FWidth = 640;
    int FHeight = 480;
    std::uint8_t* FBits = nullptr;
    int FPitch = 0;
    bool FMMX = false;

private:
    std::uint8_t* ValueAt(int x, int y) const { return FBits + std::ptrdiff_t{y} * FPitch + x; }
    // Clips the block as PutAlphaPitch does and runs the level kernel on every row.
    bool LevelRows(int x, int y, int w, int h, const std::uint8_t* src, int srcPitch, int value, TAlphaLevelRow* kernel);

    std::unique_ptr<std::uint8_t[]> FStorage;
};

// Combines the alpha of two layers cross-faded at level (0 = only `from`, 128 = only `to`): dst at
// (dx, dy) receives the alpha of the mix, and weight, at the positions of `to`, the share (0..128
// scale) that the `to` layer's colour has in it. Positions outside `from` or `to` read 0. False for
// a level outside 0..128, a map not created, or a `to` larger than `weight`.
bool ComposeAlphaChannel(TXeAlpha* dst, int dx, int dy, TXeAlpha* weight, const TXeAlpha* from, int fromX, int fromY,
                         const TXeAlpha* to, int toX, int toY, int w, int h, int level);
