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

// The storage of a DIB bitmap: its row order, its section and the one device context over it.
// The bitmap keeps its own Bits and Pitch; Replace hands it those of each new section.
class DibStore {
public:
    TDIBDirection Direction() const { return direction_; }
    void SetDirection(TDIBDirection direction) { direction_ = direction; }
    bool TopDown() const { return direction_ == ddTopDown; }
    DibSection* Handle() const { return section_.get(); }

    // Makes a w x h section with bitmap.CreateDIB and puts it in place of the old one, selected into
    // an outstanding context; bits and pitch become the new section's. False, with everything as it
    // was, when the section cannot be made.
    template <typename Bitmap> bool Replace(const Bitmap& bitmap, int w, int h, std::uint8_t*& bits, int& pitch)
    {
        int newPitch = 0;
        void* newBits = nullptr;
        std::unique_ptr<DibSection> section;
        if (!bitmap.CreateDIB(w, h, &newPitch, &newBits, &section))
            return false;
        context_.Reselect(section.get());
        section_ = std::move(section);
        bits = static_cast<std::uint8_t*>(newBits);
        pitch = newPitch;
        return true;
    }
    // Closes an outstanding context and drops the section.
    void Drop()
    {
        context_.Close();
        section_.reset();
    }
    // The context over the section, as DibContext::Get; false without a section.
    bool GetDC(void** dc) { return section_ && context_.Get(section_.get(), dc); }
    bool ReleaseDC(void* dc) { return context_.Release(dc); }

private:
    TDIBDirection direction_ = ddBottomUp;
    std::unique_ptr<DibSection> section_;
    DibContext context_;
};
