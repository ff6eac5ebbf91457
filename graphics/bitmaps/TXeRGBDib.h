// TXeRGBDib: a TXeRGBBits whose pixels live in a device-independent bitmap, so that a device
// context can draw text into them while the library's own operations keep working on the same
// memory through Bits and Pitch.
//
// Row 0 is the top row in either storage direction: for a top-down bitmap Bits is the first byte
// of the section and Pitch the row stride; for a bottom-up one Bits is the first byte of the last
// stored row and Pitch is minus the stride. The section is always mapped, so Lock and Unlock are
// those of TXeRGBBits. Used by one thread at a time (the drawing thread, under the redraw lock).
#pragma once

#include "graphics/bitmaps/DibStorage.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <memory>

class TXeRGBDib : public TXeRGBBits {
public:
    explicit TXeRGBDib(TComponent* owner);
    ~TXeRGBDib() override;

    TDIBDirection Direction() const { return FDib.Direction(); }
    // Stored only while not created.
    void SetDirection(TDIBDirection direction);
    // The section, null while not created.
    DibSection* Handle() const { return FDib.Handle(); }

    // bdNone and bd8 are ignored, as is pfNone; the others as in TXeRGBBits.
    void SetBitDepth(TBitDepth depth) override;
    void SetPixFormat(TPixFormat format) override;

    // A zeroed w x h section in the current depth and format (BI_BITFIELDS with the format's
    // colour masks, BI_RGB for 24 bits) with its top-row pointer and signed pitch.
    bool CreateDIB(int w, int h, int* pitch, void** bits, std::unique_ptr<DibSection>* handle) const;
    bool Create() override;
    void Release() override;
    // The new section is zero: the picture is not carried over.
    bool Resize(int w, int h) override;

    // One device context at a time, with the section selected; GetDC fails while one is out.
    // ReleaseDC is true when none is out, false for a context that is not this bitmap's.
    bool HaveDC() override { return true; }
    bool GetDC(void** dc) override;
    bool ReleaseDC(void* dc) override;

private:
    DibStore FDib;
};
