// TXeRGBParts: cuts one loaded sheet (and its alpha map) into separate part bitmaps, each part
// holding one or more patterns stacked below each other, ready to be shown by panels with NumBlock
// set to the part's pattern count.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Component.h"

#include <cstdint>
#include <vector>

// One part: the top-left corner of its first pattern in the sheet, the size of one pattern, and
// how many patterns lie directly below each other. A list without a count ends at a record whose
// x is negative.
struct TXePartsData {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
    std::int32_t patterns;
};
static_assert(sizeof(TXePartsData) == 20);

class TXeRGBParts : public TComponent {
public:
    explicit TXeRGBParts(TComponent* owner);
    ~TXeRGBParts() override;

    TBitDepth BitDepth() const { return FBitDepth; }
    TPixFormat PixFormat() const { return FPixFormat; }
    // Ignored while parts exist; a value that does not agree with the other one picks it.
    void SetBitDepth(TBitDepth depth);
    void SetPixFormat(TPixFormat format);

    // Cuts count parts from the sheet (and from alpha, when given and created). A record that is
    // empty or reaches past the sheet gives a null part with pattern count 0 without failing the
    // call. False for count < 1 or a sheet that is null or not created; parts cut before are then
    // kept, otherwise they are destroyed first (a panel showing one forgets it). A part that cannot
    // be made or copied (a part format that cannot be created, a sheet format the copy refuses)
    // stays null with pattern count 0, the others are cut, and the result is false.
    bool SetParts(TXeRGBBits* sheet, TXeAlpha* alpha, const TXePartsData* data, int count);
    bool SetParts(TXeRGBBits* sheet, TXeAlpha* alpha, const TXePartsData* data);
    bool SetParts(TXeRGBBits* sheet, const TXePartsData* data);
    void FreeParts();

    int GetSize() const { return FMade ? static_cast<int>(FImages.size()) : 0; }
    // Null (0) outside 0 .. size - 1 and for parts that were not cut.
    TXeRGBBits* GetImage(int index) const;
    TXeAlpha* GetAlpha(int index) const;
    int GetPattern(int index) const;

private:
    bool InRange(int index) const { return FMade && index >= 0 && index < static_cast<int>(FImages.size()); }
    // Cuts one part into its entries; false (entries left null) when it cannot be made or copied.
    bool CutPart(TXeRGBBits* sheet, TXeAlpha* alpha, const TXePartsData& part, std::size_t index);

    bool FMade = false;
    TBitDepth FBitDepth = bd24;
    TPixFormat FPixFormat = pf24_888;
    std::vector<TXeRGBBits*> FImages;
    std::vector<TXeAlpha*> FAlphas;
    std::vector<int> FPatterns;
};
