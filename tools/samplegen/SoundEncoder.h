// SoundEncoder: the sample game's sounds as files: Ogg Vorbis (libvorbisenc), ADP1 ADPCM (our own
// MSM6258 encoder) and 16-bit PCM RIFF WAVE.
#pragma once

#include "tools/samplegen/SoundSynth.h"

#include <cstdint>
#include <vector>

namespace samplegen {

using Bytes = std::vector<std::uint8_t>;

// Ogg Vorbis at a VBR quality of -0.1 to 1; the stream's serial number is fixed so that the same
// PCM always gives the same bytes. Throws std::runtime_error when the encoder refuses the format.
Bytes EncodeOgg(const Pcm& pcm, float quality = 0.3f);
// "ADP1": the 16-byte header and 4-bit MSM6258 codes, each code the one whose decoded sample lies
// nearest the input (mono: two codes a byte, low nibble first; stereo: left low, right high).
Bytes EncodeAdp1(const Pcm& pcm);
// A RIFF WAVE file of 16-bit PCM.
Bytes EncodeWave(const Pcm& pcm);

} // namespace samplegen
