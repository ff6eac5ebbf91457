// ZTAdpStream: the decoder of "ADP1" files (MSM6258 ADPCM behind a 16-byte header) into 16-bit PCM.
#pragma once

#include "sound/Msm6258Codec.h"
#include "sound/PcmChunkPipeline.h"
#include "sound/ZTPcmStream.h"

#include <cstdint>

class ZTAdpStream : public ZTPcmStream {
public:
    // Opens over `source` (not owned); a refused header leaves the stream closed.
    explicit ZTAdpStream(ZTStream* source);
    ~ZTAdpStream() override { Close(); }

    int PcmSize() override { return static_cast<int>(size_); }
    int PcmPosition() override { return static_cast<int>(position_); }
    int ReadPcm(void* buffer, int count) override;
    bool Restart() override;
    // ADPCM state runs from the first code to the last: no seeking.
    bool SeekFrame(int) override { return false; }

    void Close();

private:
    bool ReadHeader();

    Msm6258Codec codec_;
    bool first_ = true;
    PcmChunkPipeline pipeline_;
    std::uint32_t sourceTotal_ = 0;
    std::uint32_t position_ = 0;
    std::uint32_t size_ = 0;
    int dataStart_ = 0;
};
