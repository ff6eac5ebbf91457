// TXeRGBBits: a Width x Height picture in one pixel layout, with its storage, lock protocol,
// modified-rectangle reporting (OnChange), and the pixel, line, box, pattern, conversion and blend
// primitives that draw into it.
//
// Row 0 is the top row; pixel (x, y) is at Bits() + y x Pitch() + x x BitDepth(). The base class
// keeps its pixels in one heap block with rows packed (Pitch = BitDepth x Width); subclasses put
// them elsewhere (a surface, a DIB) and may use any pitch, negative for bottom-up storage, so every
// operation steps rows by Pitch.
//
// Pixel values are in the bitmap's own layout (the low BitDepth bytes are stored); for pf24_888 and
// the 32-bit formats the packed colour 0x00RRGGBB is the value, 16-bit callers convert with
// TXeRGBtoPixel.
//
// Drawing protocol of every primitive: test Created, pick the row kernel (fail when missing), clip,
// return true on an empty area, Lock (fail when it fails), draw row by row, Unlock on every way
// out; an Exception raised while drawing makes the call return false. The Xe members record
// nothing; the wrappers without the prefix record the modified rectangle, which fires OnChange.
// The blend primitives read the process-wide levels of BlendLevel.h, so they run under the
// callers' redraw lock, one thread at a time. A bitmap is used by one thread at a time.
#pragma once

#include "base/util/CPUID.h"
#include "base/util/TXeRect.h"
#include "graphics/bitmaps/PixelFormat.h"
#include "graphics/kernels/SaturateKernels.h"
#include "graphics/bitmaps/TXeRGB.h"
#include "platform/classes/Component.h"
#include "platform/classes/Exception.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

// The processor identification shared by every bitmap, made once at start-up; each bitmap copies
// its MMX answer at construction.
const CPUID& XeCPUID();

class TStream;
class TXeAlpha;

class TXeRGBBits : public TComponent {
public:
    explicit TXeRGBBits(TComponent* owner);
    // Releases the storage. A subclass with storage of its own releases it in its own destructor:
    // from here only this class's Release is reached.
    ~TXeRGBBits() override;

    // Published properties.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TBitDepth BitDepth() const { return FBitDepth; }
    TPixFormat PixFormat() const { return FPixFormat; }
    bool Reverse() const { return FReverse; }
    void SetWidth(int w) { Resize(w, FHeight); }
    void SetHeight(int h) { Resize(FWidth, h); }
    // Ignored while created; a depth that does not agree with the format picks the format
    // (bd8 pfNone, bd16 pf16_565, bd24 pf24_888, bd32 pf32_888).
    virtual void SetBitDepth(TBitDepth depth);
    // Ignored while created; a format that does not agree with the depth picks the depth.
    virtual void SetPixFormat(TPixFormat format);
    // Mirrors every pattern put horizontally.
    void SetReverse(bool reverse) { FReverse = reverse; }
    TNotifyEvent OnChange;

    // Free identifier of 16 characters, zero-filled, not necessarily zero-terminated.
    const std::array<char, 16>& ID() const { return FID; }
    void SetID(const AnsiString& id);

    bool Created() const { return FCreated; }
    std::uint8_t Attached() const { return FAttached; }
    bool Locked() const { return FLocked; }
    int LockCount() const { return FLockCount; }
    // Valid between Lock and Unlock (a surface subclass sets them in Lock).
    std::uint8_t* Bits() const { return FBits; }
    int Pitch() const { return FPitch; }
    bool Modified() const { return FModified; }
    bool ModifiedSw() const { return FModifiedSw; }
    int ModifiedOffCount() const { return FModifiedOffCount; }
    // Selects the MMX row kernels; copied from XeCPUID() at construction, settable for tests.
    bool MMX() const { return FMMX; }
    void SetMMX(bool mmx) { FMMX = mmx; }

    // Storage. Create allocates a zeroed Width x Height picture (false when created already, for a
    // depth and format that do not agree, a non-positive size, pfNone or bd8, or no memory). Resize
    // replaces the storage by a zeroed one (only the size is stored while not created; false while
    // attached or locked, and for a non-positive size). Release unwinds every lock and frees.
    virtual bool Create();
    virtual void Release();
    virtual bool Resize(int w, int h);
    // Locks nest; Lock fails when not created, Unlock when not created or not locked.
    virtual bool Lock();
    virtual bool Unlock();
    // A GDI-style device context; the base class has none.
    virtual bool HaveDC();
    virtual bool GetDC(void** dc);
    virtual bool ReleaseDC(void* dc);

    // Modified-rectangle reporting. Immediate mode (ModifiedSw, the initial state) reports every
    // SetModified at once through ModifiedFlush; collected mode merges rectangles into one bounding
    // rectangle, clipped to the bitmap, until flushed. ModifiedOff/ModifiedOn pairs nest.
    virtual void ModifiedFlush();
    void Change();
    void SetModified(const TXeRect* r);
    // Two inclusive corner pixels in any order.
    void SetModified(int x1, int y1, int x2, int y2);
    void SetModified();
    void ModifiedOff();
    void ModifiedOn();
    void ChgModifiedSw(bool sw);
    void GetModifiedRect(TXeRect* out) const { *out = FModifiedRect; }

    // The pixel value of a colour in this bitmap's format (0 for pfNone), and back (black for pfNone).
    std::uint32_t TXeRGBtoPixel(TXeRGB colour) const;
    TXeRGB PixeltoTXeRGB(std::uint32_t pixel) const;

    // Pixel, line, box and pattern primitives. Lines and boxes take two inclusive corners, clamped
    // to -32768..32768; patterns take a top-left corner and a size and a block of pixels in this
    // bitmap's layout with its own row pitch.
    void Cls();
    bool XeLine(int x1, int y1, int x2, int y2, std::uint32_t value);
    bool Line(int x1, int y1, int x2, int y2, std::uint32_t value);
    bool Box(int x1, int y1, int x2, int y2, std::uint32_t value);
    bool XeBoxFill(int x1, int y1, int x2, int y2, std::uint32_t value);
    bool BoxFill(int x1, int y1, int x2, int y2, std::uint32_t value);
    bool PSet(int x, int y, std::uint32_t value);
    std::uint32_t PGet(int x, int y);
    std::uint32_t TopLeftGet();
    // A keyed put leaves the destination under source pixels equal to keyValue. Mirrored while Reverse.
    bool XePutPat(int x, int y, int w, int h, const void* src, int srcPitch, bool key, std::uint32_t keyValue);
    // The mirrored put (pattern column k lands on column x + w - 1 - k); false unless Reverse.
    bool XePutPatR(int x, int y, int w, int h, const void* src, int srcPitch, bool key, std::uint32_t keyValue);
    // A put through a repeating maskW x maskH 1-bit mask (rows of (maskW + 7) / 8 bytes, most
    // significant bit leftmost) whose phase starts at the pattern's top-left pixel.
    bool XePutPatM(int x, int y, int w, int h, const void* src, int srcPitch, const std::uint8_t* mask, int maskW,
                   int maskH);
    bool XePutPatMR(int x, int y, int w, int h, const void* src, int srcPitch, const std::uint8_t* mask, int maskW,
                    int maskH);
    bool PutPat(int x, int y, int w, int h, const void* src);
    bool PutPatPitch(int x, int y, int w, int h, const void* src, int srcPitch);
    bool PasPat(int x, int y, int w, int h, const void* src, std::uint32_t keyValue);
    bool PasPatPitch(int x, int y, int w, int h, const void* src, int srcPitch, std::uint32_t keyValue);
    bool PasMPat(int x, int y, int w, int h, const void* src, const std::uint8_t* mask, int maskW, int maskH);
    // Copies the rectangle out into dst, whose rows are w x BitDepth bytes apart; buffer pixels that
    // correspond to outside the bitmap are left as they were.
    bool XeGetPat(int x, int y, int w, int h, void* dst);
    bool GetPat(int x, int y, int w, int h, void* dst);
    // Raises each cut (never lowers it) by how far draw reaches past clip on that side.
    static void ClipRect(const TXeRect& draw, const TXeRect& clip, int& cutLeft, int& cutTop, int& cutRight,
                         int& cutBottom);

    // Conversion and blend primitives over the rectangle x, y, w, h of this bitmap; each source
    // block addresses the pixel that lands on (x, y) and has its own pitch. They record nothing.
    bool XeConvert(int x, int y, int w, int h, const void* src, TPixFormat srcFormat, int srcPitch);
    bool XeIndexColor(int x, int y, int w, int h, const std::uint8_t* indices, const tagRGBQUAD* palette,
                      int indexPitch);
    bool XeAlphaBlend(int x, int y, int w, int h, const void* srcA, int srcAPitch, const void* srcB, int srcBPitch,
                      int level);
    bool XeSaturationAdd(int x, int y, int w, int h, const void* src, int srcPitch);
    bool XeSaturationSub(int x, int y, int w, int h, const void* src, int srcPitch);
    // The source laid over the destination through an alpha map (255 takes the source).
    bool XeAlphaMask(int x, int y, int w, int h, const void* src, int srcPitch, TPixFormat srcFormat,
                     const std::uint8_t* alpha, int alphaPitch);
    // A pf32_8888 source laid over through its own alpha byte; any other format is XeConvert.
    bool XeAlphaMask(int x, int y, int w, int h, const void* src, int srcPitch, TPixFormat srcFormat);
    // srcA with srcB laid over it through the alpha map; the old destination is not used.
    bool XeAlphaMask(int x, int y, int w, int h, const void* srcA, int srcAPitch, const void* srcB, int srcBPitch,
                     TPixFormat srcFormat, const std::uint8_t* alpha, int alphaPitch);
    // As the alpha-map XeAlphaMask with every alpha scaled by level / 128 first.
    bool XeDoubleAlphaMask(int x, int y, int w, int h, const void* src, int srcPitch, TPixFormat srcFormat,
                           const std::uint8_t* alpha, int alphaPitch, int level);

    // Bitmap-to-bitmap drawing (TXeRGBBitsCopy.cpp, TXeRGBBitsMix.cpp). This bitmap is the
    // destination; arguments come as destination point, source(s) with their top-left corners,
    // size, extras. Sources are locked while read. Draw, DrawKey, DrawTLKey and DrawMask need the
    // source rectangle wholly inside the source and formats that pass ChkFormatCompatible; the
    // others clip it to the source (and alpha map), moving the destination point by the cut.
    // Levels run 0..128, alpha values 0..255. A successful call records its destination rectangle
    // (clipped to this bitmap by SetModified), which fires OnChange also when no part of it lies on
    // the bitmap; a source rectangle that clips to nothing succeeds and records nothing, and a
    // failed call records nothing.
    bool Draw(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    // Draw with the clip rule; false while Reverse.
    bool ClipDraw(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    // Source pixels equal to the key (as a pixel of this bitmap) leave the destination as it was.
    bool DrawKey(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, TXeRGB key);
    // The key is the source's pixel (0, 0).
    bool DrawTLKey(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    // Through a repeating 1-bit mask (XePutPatM); false for a null or empty mask.
    bool DrawMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, const std::uint8_t* mask, int maskW,
                  int maskH);
    // The source converted from its format to this bitmap's.
    bool ConvertCopy(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    // src1 + (src2 - src1) x level / 128; levels 0 and 128 are Draw of one source.
    bool AlphaBlend(int x, int y, TXeRGBBits* src1, int sx1, int sy1, TXeRGBBits* src2, int sx2, int sy2, int w,
                    int h, int level);
    // src blended over this bitmap's own pixels; level 0 succeeds at once, 128 is Draw.
    bool AlphaBlend(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, int level);
    bool SaturationAdd(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    bool SaturationSub(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    // The source laid over through the alpha map, which lies over the source pixel for pixel.
    bool DrawAlphaMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, const TXeAlpha* mask);
    // A pf32_8888 source laid over through its own alpha; any other source copied opaque, converted.
    bool DrawAlphaMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h);
    // src1 where the mask is 0, src2 where it is 255; the mask lies over src2, src2 is read in
    // src1's format, and sources of different pixel sizes are refused.
    bool DrawAlphaMask(int x, int y, TXeRGBBits* src1, int sx1, int sy1, TXeRGBBits* src2, int sx2, int sy2, int w,
                       int h, const TXeAlpha* mask);
    // DrawAlphaMask with every mask value scaled by level / 128 first; level 0 succeeds at once.
    bool DrawDoubleAlphaMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, const TXeAlpha* mask,
                             int level);
    // The palette colours of an index block read from byte sy x indexPitch + sx on, not clipped
    // against the block (which carries no size).
    bool IndexColorCopy(int x, int y, const std::uint8_t* indices, const tagRGBQUAD* palette, int sx, int sy, int w,
                        int h, int indexPitch);

    // Colour effects on the rectangle of two inclusive corners in any order, clamped to
    // -32768..32768 and clipped; the whole bitmap is recorded, so OnChange fires also when the
    // rectangle misses the bitmap (TXeRGBBitsEffect.cpp).
    // Tone: bits 0-7 of tone scale blue, 8-15 green, 16-23 red in 1/128 steps (ToneKernels.h).
    bool ToneChange(int x1, int y1, int x2, int y2, std::uint32_t tone);
    bool Monochrome(int x1, int y1, int x2, int y2);
    bool Sepia(int x1, int y1, int x2, int y2);
    bool Negative(int x1, int y1, int x2, int y2);

    // Decode and put (TXeRGBBitsDecode.cpp): a picture read from the stream's position, decoded in
    // this bitmap's format and put at (x, y). A bitmap (or alpha map) not yet created is first
    // created reaching from (0, 0) to the picture's far corner. True when the picture decoded, also
    // when none of it lands on the bitmap or the alpha map, or the bitmap could not be created;
    // false when it cannot be decoded or is empty.
    bool DrawBmpStream(TStream* stream, int x, int y);
    bool DrawJpegStream(TStream* stream, int x, int y);
    bool DrawPngStream(TStream* stream, int x, int y);
    // With an alpha map, the picture's alpha bytes go into it at (x, y) as well.
    bool DrawPngStream(TStream* stream, int x, int y, TXeAlpha* alpha);
    // The colours of alpha pixels are first taken back from their blend over white.
    bool DrawPngWMStream(TStream* stream, int x, int y);
    bool DrawPngWMStream(TStream* stream, int x, int y, TXeAlpha* alpha);
    // table: the 256 bytes the picture is scrambled with.
    bool DrawGnyStream(TStream* stream, int x, int y, const unsigned char* table);

protected:
    // True when the depth is 1..4 and the format 0..7 (the kernels exist).
    bool SetProcs() const;
    // What Create and Resize reset: no lock, immediate reporting with nothing pending, not attached.
    void ResetState();
    // The release and resize cycle of every storage. ReleaseStorage: nothing while not created;
    // else every lock is unwound, free() drops the storage, and Bits is null. ResizeStorage: false
    // for a non-positive size; while not created only the size is stored; else false while
    // attached or locked, and replace(w, h) puts a new storage in place (false keeps the old one),
    // after which the reporting state is reset and the size stored.
    template <typename Free> void ReleaseStorage(Free&& free);
    template <typename Replace> bool ResizeStorage(int w, int h, Replace&& replace);

    // Fields of the class; subclasses with their own storage set FBits, FPitch, FCreated, FAttached.
    std::array<char, 16> FID{};
    bool FCreated = false;
    std::uint8_t FAttached = 0;
    int FWidth = 640;
    int FHeight = 480;
    TBitDepth FBitDepth = bd24;
    TPixFormat FPixFormat = pf24_888;
    bool FReverse = false;
    bool FLocked = false;
    int FLockCount = 0;
    std::uint8_t* FBits = nullptr;
    int FPitch = 0;
    bool FModified = false;
    bool FModifiedSw = true;
    int FModifiedOffCount = 0;
    TXeRect FModifiedRect{};
    bool FMMX = false;

private:
    // A source block of a primitive: pointer to the pixel on (x, y), row pitch, bytes per pixel.
    struct TBlock {
        const std::uint8_t* p;
        std::ptrdiff_t pitch;
        int bytes;
    };

    std::uint8_t* PixelAt(int x, int y) const
    {
        return FBits + std::ptrdiff_t{y} * FPitch + std::ptrdiff_t{x} * FBitDepth;
    }
    // Edge clipping of the conversion and blend primitives: cuts the rectangle to the bitmap and
    // moves each block by the cut; false when nothing is left.
    bool ClipEdges(int& x, int& y, int& w, int& h, std::initializer_list<TBlock*> blocks) const;
    // Pattern clipping: cuts the rectangle to the bitmap; left/right are taken from the mirrored
    // pattern when `mirror`; moves the block; false when nothing is left.
    bool ClipPattern(int& x, int& y, int& w, int& h, const std::uint8_t*& src, std::ptrdiff_t srcPitch, bool mirror) const;
    // Lock, draw, Unlock; an Exception from draw makes the result false.
    template <typename Fn> bool WithLock(Fn&& draw);
    bool PutPatMasked(int x, int y, int w, int h, const void* src, int srcPitch, const std::uint8_t* mask, int maskW,
                      int maskH, bool mirror);
    bool SaturateRows(int x, int y, int w, int h, const void* src, int srcPitch,
                      const TPixFormatTable<TSaturateRow>& table);
    bool AlphaMapBlend(int x, int y, int w, int h, const void* srcA, int srcAPitch, const void* srcB, int srcBPitch,
                       TPixFormat srcFormat, const std::uint8_t* alpha, int alphaPitch, bool doubleAlpha);

    std::unique_ptr<std::uint8_t[]> FStorage;
};

template <typename Free> void TXeRGBBits::ReleaseStorage(Free&& free)
{
    if (!FCreated)
        return;
    while (FLocked)
        if (!Unlock())
            break;
    free();
    FBits = nullptr;
    FCreated = false;
}

template <typename Replace> bool TXeRGBBits::ResizeStorage(int w, int h, Replace&& replace)
{
    if (w <= 0 || h <= 0)
        return false;
    if (FCreated) {
        if (FAttached != 0 || FLocked || !replace(w, h))
            return false;
        ResetState();
    }
    FWidth = w;
    FHeight = h;
    return true;
}

template <typename Fn> bool TXeRGBBits::WithLock(Fn&& draw)
{
    if (!Lock())
        return false;
    bool result = false;
    try {
        result = draw();
    } catch (const Exception&) {
        result = false;
    }
    Unlock();
    return result;
}
