// TXeAlphaDib: a TXeAlpha whose values live in an 8-bit device-independent bitmap with a grey
// colour table (value i shows grey i), so that a device context can draw text into the map.
//
// Rows are laid out as in TXeRGBDib (row 0 on top, negative Pitch for bottom-up storage). A new or
// resized section is zero (transparent), unlike the base class's maps. Used by one thread at a time.
#pragma once

#include "graphics/bitmaps/DibStorage.h"
#include "graphics/bitmaps/TXeAlpha.h"

#include <memory>
#include <span>

class TXeAlphaDib : public TXeAlpha {
public:
    explicit TXeAlphaDib(TComponent* owner);
    ~TXeAlphaDib() override;

    TDIBDirection Direction() const { return FDib.Direction(); }
    // Stored only while not created.
    void SetDirection(TDIBDirection direction);
    DibSection* Handle() const { return FDib.Handle(); }
    // The 256 grey colours the section is shown with (0x00RRGGBB); empty while not created.
    std::span<const std::uint32_t> Palette() const;

    // A zeroed w x h 8-bit section with the grey table, its top-row pointer and signed pitch.
    bool CreateDIB(int w, int h, int* pitch, void** bits, std::unique_ptr<DibSection>* handle) const;
    bool Create() override;
    void Release() override;
    bool Resize(int w, int h) override;

    // As in TXeRGBDib: one device context at a time, with the section selected.
    bool GetDC(void** dc) override;
    bool ReleaseDC(void* dc) override;

private:
    DibStore FDib;
};
