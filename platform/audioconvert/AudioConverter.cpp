// AudioConverter: the conversion service that turns non-PCM wave data and MPEG audio into 16-bit PCM.
#include "platform/audioconvert/AudioConverter.h"

#include "platform/audioconvert/ffmpeg/AvcodecConverter.h"
#include "platform/audioconvert/ImaAdpcmConverter.h"

namespace AudioConvert {

namespace {

bool IsIma(const WaveFormat& source) { return source.EffectiveTag() == kWaveFormatImaAdpcm; }

bool Wanted(unsigned wanted, unsigned actual) { return wanted == 0 || wanted == actual; }

} // namespace

bool SuggestPcmFormat(const WaveFormat& source, unsigned wantedChannels, unsigned wantedBits,
                      unsigned wantedRate, WaveFormat& pcm)
{
    const bool supported = IsIma(source) ? ImaAdpcmConverter::Accepts(source) && source.samplesPerSec > 0
                                         : AvcodecConverter::Accepts(source);
    if (!supported || !Wanted(wantedChannels, source.channels) || !Wanted(wantedBits, 16) ||
        !Wanted(wantedRate, source.samplesPerSec))
        return false;
    pcm = WaveFormat::Pcm(source.channels, source.samplesPerSec, 16);
    return true;
}

std::unique_ptr<AudioConverter> AudioConverter::Open(const WaveFormat& source, const WaveFormat& pcm)
{
    WaveFormat suggested;
    if (!SuggestPcmFormat(source, 0, 0, 0, suggested) || pcm.formatTag != kWaveFormatPcm ||
        pcm.channels != suggested.channels || pcm.samplesPerSec != suggested.samplesPerSec ||
        pcm.bitsPerSample != suggested.bitsPerSample)
        return nullptr;
    try {
        if (IsIma(source))
            return std::make_unique<ImaAdpcmConverter>(source);
        return AvcodecConverter::Create(source, pcm);
    } catch (...) {
        return nullptr;  // out of memory: no converter
    }
}

} // namespace AudioConvert
