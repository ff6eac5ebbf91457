// sounddump: decodes a sound file (RIFF WAVE, MPEG audio, ADP1 or Ogg Vorbis) through the game's
// stream decoders and writes what they produce as a 16-bit PCM WAVE, for listening.
//
//   sounddump IN OUT.wav
#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"
#include "sound/ZTAdpStream.h"
#include "sound/ZTMp3Stream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTWaveStream.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The decoder for the file's first bytes; MPEG audio has no magic of its own.
std::unique_ptr<ZTPcmStream> OpenDecoder(ZTStream& source, const char*& kind)
{
    char magic[12] = {};
    source.Rewind();
    source.Read(magic, sizeof magic);
    source.Rewind();
    if (std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WAVE", 4) == 0) {
        kind = "RIFF WAVE";
        return std::make_unique<ZTWaveStream>(&source);
    }
    if (std::memcmp(magic, "ADP1", 4) == 0) {
        kind = "ADP1";
        return std::make_unique<ZTAdpStream>(&source);
    }
    if (std::memcmp(magic, "OggS", 4) == 0) {
        kind = "Ogg Vorbis";
        return std::make_unique<ZTOggStream>(&source);
    }
    kind = "MPEG audio";
    return std::make_unique<ZTMp3Stream>(&source);
}

// One decoded sample (8, 16, 24 or 32 bits, little-endian) as 16-bit.
std::int16_t ToSixteen(const std::uint8_t* p, unsigned bytes)
{
    if (bytes == 1)
        return static_cast<std::int16_t>((p[0] - 128) * 256);
    return static_cast<std::int16_t>(p[bytes - 2] | p[bytes - 1] << 8);
}

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::vector<std::uint8_t> WaveHeader(unsigned channels, unsigned rate, std::uint32_t dataBytes)
{
    std::vector<std::uint8_t> header;
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    Put32(header, 36 + dataBytes);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(header, 16);
    Put16(header, 1);
    Put16(header, channels);
    Put32(header, rate);
    Put32(header, rate * channels * 2);
    Put16(header, channels * 2);
    Put16(header, 16);
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    Put32(header, dataBytes);
    return header;
}

int Dump(const char* input, const char* output)
{
    TFileStream file(input, fmOpenRead);
    T2ZTStream source(&file);
    const char* kind = "";
    std::unique_ptr<ZTPcmStream> decoder = OpenDecoder(source, kind);
    if (!decoder->IsOpen()) {
        std::fprintf(stderr, "sounddump: %s: not a sound the decoders accept (tried %s)\n", input, kind);
        return 1;
    }
    const unsigned channels = decoder->GetChannels();
    const unsigned bytes = decoder->GetBitsPerSample() / 8;
    const unsigned frameBytes = channels * bytes;
    std::vector<std::uint8_t> pcm;
    std::vector<std::uint8_t> block(65536 - 65536 % frameBytes);
    for (int got; (got = decoder->Read(block.data(), static_cast<int>(block.size()))) > 0;)
        for (int i = 0; i + static_cast<int>(bytes) <= got; i += static_cast<int>(bytes)) {
            const std::int16_t sample = ToSixteen(block.data() + i, bytes);
            pcm.push_back(static_cast<std::uint8_t>(sample));
            pcm.push_back(static_cast<std::uint8_t>(sample >> 8));
        }
    const auto dataBytes = static_cast<std::uint32_t>(pcm.size());
    TFileStream out(output, fmCreate);
    const std::vector<std::uint8_t> header = WaveHeader(channels, decoder->GetSamplesPerSec(), dataBytes);
    out.WriteBuffer(header.data(), static_cast<int>(header.size()));
    out.WriteBuffer(pcm.data(), static_cast<int>(pcm.size()));
    std::printf("%s: %s, %u channel(s), %u Hz, %u-bit: %u frames (%.3f s) written to %s\n", input, kind, channels,
                decoder->GetSamplesPerSec(), bytes * 8, dataBytes / (channels * 2),
                dataBytes / (channels * 2.0) / decoder->GetSamplesPerSec(), output);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* usage = "usage: sounddump IN OUT.wav\n"
                        "Decodes IN (RIFF WAVE, MPEG audio, ADP1 or Ogg Vorbis) into a 16-bit PCM WAVE.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    try {
        return Dump(argv[1], argv[2]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "sounddump: %s\n", e.what());
        return 1;
    }
}
