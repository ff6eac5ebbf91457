// Text output of outside text: scripts hand the text rasteriser arbitrary bytes. The first bytes
// choose the character set, height, quality, style, bitmap layout and position; the rest is the
// text, drawn into a small device-independent bitmap (every write must stay inside it).
#include "platform/font/DeviceContext.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::uint8_t kCharsets[] = {DEFAULT_CHARSET, SHIFTJIS_CHARSET, GB2312_CHARSET, 0};
constexpr std::uint16_t kBitCounts[] = {8, 16, 24, 32};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderBytes)
        return 0;
    LogicalFont font;
    font.charSet = kCharsets[data[0] & 3];
    font.height = static_cast<std::int8_t>(data[1]);
    font.quality = (data[2] & 1) != 0 ? kAntialiasedQuality : kNonAntialiasedQuality;
    font.weight = (data[2] & 2) != 0 ? 700 : 400;
    font.italic = (data[2] & 4) != 0;
    font.underline = (data[2] & 8) != 0;
    font.strikeOut = (data[2] & 16) != 0;
    font.pitchAndFamily = (data[2] & 32) != 0 ? kFixedPitch : kDefaultPitch;
    BitmapInfoHeader header;
    header.biWidth = 1 + (data[3] & 63);
    header.biHeight = (data[3] & 64) != 0 ? -24 : 24;
    header.biBitCount = kBitCounts[data[3] >> 6];
    const auto dib = DibSection::Create(header);
    if (!dib)
        return 0;
    DeviceContext dc;
    dc.SelectBitmap(dib.get());
    dc.SelectFont(&font);
    dc.SetBkMode((data[2] & 64) != 0 ? OPAQUE : TRANSPARENT);
    const char* text = reinterpret_cast<const char*>(data + kHeaderBytes);
    dc.TextOutA(static_cast<std::int8_t>(data[4]), static_cast<std::int8_t>(data[5]), text,
                static_cast<int>(size - kHeaderBytes));
    return 0;
}
