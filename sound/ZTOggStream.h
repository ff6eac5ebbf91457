// ZTOggStream: the decoder of Ogg Vorbis data into 16-bit signed little-endian PCM, through
// libvorbisfile reading the source by our callbacks.
#pragma once

#include "sound/ZTPcmStream.h"

#include <cstdint>
#include <memory>
#include <vector>

struct OggVorbis_File;

class ZTOggStream : public ZTPcmStream {
public:
    // Opens over `source` (not owned); a stream vorbisfile refuses leaves the decoder closed.
    explicit ZTOggStream(ZTStream* source);
    ~ZTOggStream() override;

    // Starts over from the source's beginning.
    bool Open();
    void Close();

    int PcmSize() override { return static_cast<int>(size_); }
    int PcmPosition() override { return static_cast<int>(position_); }
    int ReadPcm(void* buffer, int count) override;
    bool Restart() override;
    bool SeekFrame(int frame) override;

private:
    // Refills the block; false at the end of the Vorbis data.
    bool DecodeBlock();

    std::unique_ptr<OggVorbis_File> file_;
    bool fileOpen_ = false;
    int bitstream_ = 0;
    std::vector<std::uint8_t> block_;  // about one second of decoded PCM
    std::uint32_t position_ = 0;
    std::uint32_t size_ = 0;
    // Over an unseekable source the length is unknown and reads are not cut to it.
    bool sizeKnown_ = false;
    std::uint32_t blockOffset_ = 0;
    std::uint32_t pending_ = 0;
};
