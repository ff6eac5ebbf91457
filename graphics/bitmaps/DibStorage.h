// DibStorage: the row order, section and device-context handling that TXeRGBDib and TXeAlphaDib share.
#pragma once

#include "platform/font/DeviceContext.h"
#include "graphics/bitmaps/PixelFormat.h"
#include "platform/font/DibSection.h"

#include <cstdint>
#include <memory>
#include <span>

// Row order of a device-independent bitmap in memory.
enum TDIBDirection : std::uint8_t { ddBottomUp = 0, ddTopDown = 1 };

// The red, green and blue masks of a section in the format's layout; empty for BI_RGB (24 bits and
// 8-bit or unknown layouts).
std::span<const std::uint32_t> DibMasksOf(TPixFormat format);

// A zeroed w x h section (top-down when topDown) with its top-row pointer and signed row pitch;
// false (outputs untouched) for a size that does not fit or without memory.
bool MakeDibSection(int bitCount, int w, int h, bool topDown, std::span<const std::uint32_t> masks,
                    std::span<const std::uint32_t> colours, int* pitch, void** bits, std::unique_ptr<DibSection>* handle);

// One outstanding device context over a section.
class DibContext {
public:
    // A new context with the section selected into it; false while one is out.
    bool Get(DibSection* section, void** dc);
    // True when none is out; false for a context that is not this one; else the context is closed.
    bool Release(void* dc);
    // Closes an outstanding context whoever holds it (the section is going away).
    void Close() { Release(dc_.get()); }
    bool Out() const { return dc_ != nullptr; }
    // Selects a replacement section into an outstanding context.
    void Reselect(DibSection* section);

private:
    std::unique_ptr<DeviceContext> dc_;
    DibSection* oldObject_ = nullptr;
};
