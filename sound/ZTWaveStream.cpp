// ZTWaveStream: the decoder of RIFF WAVE files.
#include "sound/ZTWaveStream.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <new>

namespace {

// The largest "fmt " record read.
constexpr std::uint32_t kFormatAreaSize = 256;

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

bool IsId(const std::uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

} // namespace

ZTWaveStream::ZTWaveStream(ZTStream* source, bool realtime) : ZTAcmStream(source), realtime_(realtime)
{
    if (source == nullptr)
        return;
    try {
        WaveFormat format;
        std::uint32_t dataSize = 0;
        int dataOffset = 0;
        if (!ReadHeader(format, dataSize, dataOffset) || !SetSourcePosition(dataOffset))
            return;
        // A file cut short holds less than its data chunk says: take what is there.
        const int sourceSize = source->GetSize();
        if (sourceSize >= dataOffset)
            dataSize = std::min<std::uint32_t>(dataSize, static_cast<std::uint32_t>(sourceSize - dataOffset));
        if (dataSize > 0)
            Open(format, dataSize, realtime_, 0, 0, 0);
    } catch (const std::bad_alloc&) {
        Close();  // no memory for the format record: the stream stays closed
    }
}

bool ZTWaveStream::ReadHeader(WaveFormat& format, std::uint32_t& dataSize, int& dataOffset)
{
    ZTStream& source = *source_;
    const int sourceSize = source.GetSize();
    if (sourceSize < 12 || !source.Rewind())
        return false;
    std::array<std::uint8_t, 12> riff;
    if (source.Read(riff.data(), 12) != 12 || !IsId(riff.data(), "RIFF") || !IsId(riff.data() + 8, "WAVE"))
        return false;
    const std::int64_t end = std::min<std::int64_t>(std::int64_t{Le32(riff.data() + 4)} + 8, sourceSize);
    bool haveFormat = false;
    dataSize = 0;
    dataOffset = 0;
    // Each step moves at least 8 bytes on, so the walk ends within the source.
    for (std::int64_t offset = 12; offset + 8 <= end;) {
        std::array<std::uint8_t, 8> chunk;
        if (!SetSourcePosition(static_cast<int>(offset)) || source.Read(chunk.data(), 8) != 8)
            break;
        const std::uint32_t size = Le32(chunk.data() + 4);
        if (IsId(chunk.data(), "fmt ")) {
            if (size < 14 || size > kFormatAreaSize)
                return false;
            std::array<std::uint8_t, kFormatAreaSize> area{};
            if (source.Read(area.data(), static_cast<int>(size)) != static_cast<int>(size) ||
                !WaveFormat::Parse(std::span(area.data(), size), format))
                return false;
            haveFormat = true;
        } else if (IsId(chunk.data(), "data")) {
            if (!haveFormat || offset + 8 > INT_MAX)
                return false;
            dataOffset = static_cast<int>(offset + 8);
            dataSize = size;
            break;
        }
        offset += 8 + std::int64_t{size} + (size & 1);
    }
    return haveFormat && dataOffset != 0 && dataSize != 0;
}
