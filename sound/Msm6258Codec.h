// Msm6258Codec: the 4-bit ADPCM decoder of the MSM6258 (OKI) kind, scaled to 16-bit PCM.
#pragma once

#include <cstdint>

// One decode request: codes in, 16-bit samples out.
struct Msm6258Block {
    int channels = 1;                         // 1: mono, two codes per byte; otherwise stereo, one frame per byte
    const std::uint8_t* source = nullptr;     // codes
    std::uint32_t sourceBytes = 0;
    std::uint32_t sourceUsed = 0;             // output
    std::uint8_t* destination = nullptr;      // 16-bit little-endian samples
    std::uint32_t destinationBytes = 0;       // capacity
    std::uint32_t destinationProduced = 0;    // output
};

class Msm6258Codec {
public:
    Msm6258Codec() { Reset(); }

    // Both channels back to sample 0, step index 0.
    void Reset();
    // Decodes nibbleCount / 2 bytes with channel 0, two samples per byte (low nibble first).
    void DecodeMono(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t nibbleCount);
    // Decodes byteCount bytes: the low nibble is the left sample, the high nibble the right one.
    void DecodeStereo(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t byteCount);
    // As many whole bytes as the destination holds (4 output bytes per code byte).
    void Decode(Msm6258Block& block);

    std::int16_t Sample(int channel) const { return static_cast<std::int16_t>(state_[channel].sample); }
    int StepIndex(int channel) const { return state_[channel].index; }

private:
    struct Channel {
        int sample;
        int index;
    };

    Channel state_[2];
};
