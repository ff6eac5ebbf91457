#include "scenario/adventure/QuickSave.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "scenario/saves/SaveSlot.h"
#include "shell/helpers/RegistryHold.h"
#include "shell/helpers/SaveThumbnail.h"

#include <algorithm>
#include <cstddef>

std::vector<unsigned char> ThumbnailBytes(TXeRGBBits* screen)
{
    const RegistryHold<TXeRGBBits> thumbnail(MakeSaveThumbnail(screen));
    if (!thumbnail || !thumbnail.get()->Lock())
        return {};
    TXeRGBBits& bits = *thumbnail.get();
    const std::size_t row = static_cast<std::size_t>(kThumbnailWidth) * 3;
    std::vector<unsigned char> bytes(row * kThumbnailHeight);
    for (int y = 0; y < kThumbnailHeight; ++y) {
        const std::uint8_t* from = bits.Bits() + static_cast<std::ptrdiff_t>(y) * bits.Pitch();
        std::copy_n(from, row, bytes.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y)));
    }
    bits.Unlock();
    return bytes;
}

bool WriteQuickSave(const AnsiString& folder, const TScenarioRecords& records, TXeRGBBits* screen)
{
    const std::vector<unsigned char> thumbnail = ThumbnailBytes(screen);
    return SaveGameSlotEx(folder, kQuickSaveSlot, records, thumbnail);
}
