// ZTAcmStream: the decoder over data described by a wave format record. PCM passes straight
// through; anything else is converted to 16-bit PCM by the platform's conversion service, one
// second of source data at a time.
#pragma once

#include "platform/audioconvert/AudioConverter.h"
#include "platform/audioconvert/WaveFormat.h"
#include "sound/PcmChunkPipeline.h"
#include "sound/ZTPcmStream.h"

#include <cstdint>
#include <memory>

class ZTAcmStream : public ZTPcmStream {
public:
    // Closed until a subclass opens it. The source is not owned.
    explicit ZTAcmStream(ZTStream* source) { source_ = source; }
    ~ZTAcmStream() override { Close(); }

    // Opens over `dataBytes` of data starting at the source's position. Wanted values (0 = any)
    // ask for a layout; PCM in an acceptable layout passes through unconverted. `realtime` is
    // accepted for the streaming buffer's sake; the conversion service works alike either way.
    bool Open(const WaveFormat& format, std::uint32_t dataBytes, bool realtime, unsigned wantedChannels,
              unsigned wantedBits, unsigned wantedRate);
    void Close();

    int PcmSize() override { return static_cast<int>(size_); }
    int PcmPosition() override { return static_cast<int>(position_); }
    int ReadPcm(void* buffer, int count) override;
    bool Restart() override;
    bool SeekFrame(int frame) override;

protected:
    // Replaces the decoded length when the subclass knows it better than the converter's estimate.
    void SetDecodedFrames(std::uint32_t frames);

private:
    bool OpenPassThrough(const WaveFormat& format, std::uint32_t dataBytes);
    bool OpenConversion(const WaveFormat& format, std::uint32_t dataBytes, unsigned wantedChannels,
                        unsigned wantedBits, unsigned wantedRate);
    int ReadPassThrough(std::uint8_t* buffer, std::uint32_t count);
    int ReadConverted(std::uint8_t* buffer, std::uint32_t count);

    bool first_ = true;
    std::unique_ptr<AudioConvert::AudioConverter> converter_;
    PcmChunkPipeline pipeline_;
    WaveFormat outputFormat_;
    std::uint32_t sourceRead_ = 0;
    std::uint32_t sourceTotal_ = 0;
    std::uint32_t position_ = 0;
    std::uint32_t size_ = 0;
    int dataStart_ = 0;
};
