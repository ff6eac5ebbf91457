// Msm6258Codec: the 4-bit ADPCM decoder of the MSM6258 (OKI) kind, scaled to 16-bit PCM.
#include "sound/Msm6258Codec.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kStepTable[49] = {16,  17,  19,  21,  23,  25,  28,  31,  34,  37,  41,   45,   50,   55,   60,   66,   73,
                                80,  88,  97,  107, 118, 130, 143, 157, 173, 190, 209,  230,  253,  279,  307,  337,
                                371, 408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552};
constexpr int kIndexChange[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

// The OKI recursion of 12-bit output scaled by 16: the multiplier is 2 x (2m + 1), negative for
// codes 8 to 15.
constexpr int Multiplier(int code) { return (code & 8 ? -2 : 2) * (2 * (code & 7) + 1); }

// Every (index, code) pair's sample change and next index, so decoding a code is two lookups.
struct Transition {
    std::int32_t delta;
    std::uint8_t next;
};

constexpr std::array<Transition, 49 * 16> MakeTransitions()
{
    std::array<Transition, 49 * 16> table{};
    for (int index = 0; index < 49; ++index)
        for (int code = 0; code < 16; ++code) {
            const int next = std::clamp(index + kIndexChange[code & 7], 0, 48);
            table[index * 16 + code] = {kStepTable[index] * Multiplier(code),
                                        static_cast<std::uint8_t>(next)};
        }
    return table;
}

constexpr std::array<Transition, 49 * 16> kTransitions = MakeTransitions();

inline void Step(int& sample, int& index, unsigned code, std::uint8_t* out)
{
    const Transition t = kTransitions[static_cast<unsigned>(index) * 16 + code];
    sample = std::clamp(sample + t.delta, -32768, 32767);
    index = t.next;
    out[0] = static_cast<std::uint8_t>(sample);
    out[1] = static_cast<std::uint8_t>(sample >> 8);
}

} // namespace

void Msm6258Codec::Reset()
{
    state_[0] = state_[1] = {0, 0};
}

void Msm6258Codec::DecodeMono(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t nibbleCount)
{
    int sample = state_[0].sample;
    int index = state_[0].index;
    for (std::uint32_t i = 0; i < nibbleCount / 2; ++i) {
        Step(sample, index, source[i] & 0x0F, destination + 4 * i);
        Step(sample, index, source[i] >> 4, destination + 4 * i + 2);
    }
    state_[0] = {sample, index};
}

void Msm6258Codec::DecodeStereo(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t byteCount)
{
    int left = state_[0].sample, leftIndex = state_[0].index;
    int right = state_[1].sample, rightIndex = state_[1].index;
    for (std::uint32_t i = 0; i < byteCount; ++i) {
        Step(left, leftIndex, source[i] & 0x0F, destination + 4 * i);
        Step(right, rightIndex, source[i] >> 4, destination + 4 * i + 2);
    }
    state_[0] = {left, leftIndex};
    state_[1] = {right, rightIndex};
}

void Msm6258Codec::Decode(Msm6258Block& block)
{
    const std::uint32_t n = std::min(block.sourceBytes, block.destinationBytes / 4);
    if (block.channels == 1)
        DecodeMono(block.source, block.destination, 2 * n);
    else
        DecodeStereo(block.source, block.destination, n);
    block.sourceUsed = n;
    block.destinationProduced = 4 * n;
}
