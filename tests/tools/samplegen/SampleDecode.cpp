#include "tools/samplegen/SampleDecode.h"

#include "platform/classes/Stream.h"
#include "sound/ZTAdpStream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTWaveStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace sampletest {

int Decoded::Peak() const
{
    int peak = 0;
    for (std::int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

Decoded DecodeSound(std::span<const std::uint8_t> bytes)
{
    TMemoryStream memory;
    memory.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    T2ZTStream source(&memory);
    std::unique_ptr<ZTPcmStream> decoder;
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "ADP1", 4) == 0)
        decoder = std::make_unique<ZTAdpStream>(&source);
    else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "RIFF", 4) == 0)
        decoder = std::make_unique<ZTWaveStream>(&source);
    else
        decoder = std::make_unique<ZTOggStream>(&source);
    Decoded decoded;
    if (!decoder->IsOpen() || decoder->GetBitsPerSample() != 16)
        return decoded;
    decoded.open = true;
    decoded.channels = decoder->GetChannels();
    decoded.rate = decoder->GetSamplesPerSec();
    std::vector<std::uint8_t> block(1 << 16);
    for (int got; (got = decoder->Read(block.data(), static_cast<int>(block.size()))) > 0;)
        for (int i = 0; i + 1 < got; i += 2)
            decoded.samples.push_back(static_cast<std::int16_t>(block[i] | block[i + 1] << 8));
    return decoded;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> FilesBelow(const std::filesystem::path& root)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.push_back(std::filesystem::relative(entry.path(), root));
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace sampletest
