// TXeRGBParts: cuts one loaded sheet into separate part bitmaps.
#include "graphics/panels/TXeRGBParts.h"

#include <climits>
#include <memory>

namespace {

// Whether the record's patterns lie wholly inside a sheet of w x h.
bool FitsSheet(const TXePartsData& part, int w, int h)
{
    if (part.x < 0 || part.y < 0 || part.width <= 0 || part.height <= 0 || part.patterns <= 0)
        return false;
    const long long right = static_cast<long long>(part.x) + part.width;
    const long long bottom = part.y + static_cast<long long>(part.height) * part.patterns;
    return right <= w && bottom <= h;
}

} // namespace

TXeRGBParts::TXeRGBParts(TComponent* owner) : TComponent(owner) {}

TXeRGBParts::~TXeRGBParts()
{
    FreeParts();
}

void TXeRGBParts::SetBitDepth(TBitDepth depth)
{
    if (FMade)
        return;
    FBitDepth = depth;
    if (!ChkDepthAndFormat(depth, FPixFormat))
        FPixFormat = DefaultFormatOf(depth, FPixFormat);
}

void TXeRGBParts::SetPixFormat(TPixFormat format)
{
    if (FMade)
        return;
    FPixFormat = format;
    if (!ChkDepthAndFormat(FBitDepth, format))
        FBitDepth = DepthOf(format, FBitDepth);
}

bool TXeRGBParts::SetParts(TXeRGBBits* sheet, TXeAlpha* alpha, const TXePartsData* data, int count)
{
    if (count < 1 || data == nullptr || sheet == nullptr || !sheet->Created())
        return false;
    FreeParts();
    const auto size = static_cast<std::size_t>(count);
    FImages.assign(size, nullptr);
    FAlphas.assign(size, nullptr);
    FPatterns.assign(size, 0);
    bool result = true;
    for (std::size_t i = 0; i < size; ++i)
        if (FitsSheet(data[i], sheet->Width(), sheet->Height()) && !CutPart(sheet, alpha, data[i], i))
            result = false;
    FMade = true;
    return result;
}

bool TXeRGBParts::CutPart(TXeRGBBits* sheet, TXeAlpha* alpha, const TXePartsData& part, std::size_t index)
{
    const int height = part.height * part.patterns; // fits: it lies inside the sheet
    auto image = std::make_unique<TXeRGBBits>(this);
    image->SetPixFormat(FPixFormat);
    image->Resize(part.width, height);
    if (!image->Create() || !image->Draw(0, 0, sheet, part.x, part.y, part.width, height))
        return false;
    std::unique_ptr<TXeAlpha> map;
    if (alpha != nullptr && alpha->Created()) {
        map = std::make_unique<TXeAlpha>(this);
        map->Resize(part.width, height);
        if (!map->Create() || !map->Draw(0, 0, alpha, part.x, part.y, part.width, height))
            return false;
    }
    FImages[index] = image.release();
    FAlphas[index] = map.release();
    FPatterns[index] = part.patterns;
    return true;
}

bool TXeRGBParts::SetParts(TXeRGBBits* sheet, TXeAlpha* alpha, const TXePartsData* data)
{
    int count = 0;
    while (data != nullptr && count < INT_MAX && data[count].x >= 0)
        ++count;
    return SetParts(sheet, alpha, data, count);
}

bool TXeRGBParts::SetParts(TXeRGBBits* sheet, const TXePartsData* data)
{
    return SetParts(sheet, nullptr, data);
}

void TXeRGBParts::FreeParts()
{
    for (TXeRGBBits* image : FImages)
        delete image;
    for (TXeAlpha* map : FAlphas)
        delete map;
    FImages.clear();
    FAlphas.clear();
    FPatterns.clear();
    FMade = false;
}

TXeRGBBits* TXeRGBParts::GetImage(int index) const
{
    return InRange(index) ? FImages[static_cast<std::size_t>(index)] : nullptr;
}

TXeAlpha* TXeRGBParts::GetAlpha(int index) const
{
    return InRange(index) ? FAlphas[static_cast<std::size_t>(index)] : nullptr;
}

int TXeRGBParts::GetPattern(int index) const
{
    return InRange(index) ? FPatterns[static_cast<std::size_t>(index)] : 0;
}
