// ZTMp3Stream: the decoder of raw MPEG audio.
#include "sound/ZTMp3Stream.h"

#include "platform/audioconvert/MpegFrameHeader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace {

// A file must hold more than a tag block's worth of bytes.
constexpr int kMinFileSize = 129;
constexpr int kTagSize = 128;
// Delay of the layer-3 codec in samples, as recorded in the layer-3 format record.
constexpr std::uint16_t kLayer3CodecDelay = 1393;

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

} // namespace

bool ZTMp3Stream::FormatFromHeader(const std::uint8_t* bytes, WaveFormat& format)
{
    MpegFrameHeader header;
    if (!MpegFrameHeader::Parse(std::span<const std::uint8_t, 4>(bytes, 4), header) || header.bitRateKbps == 0)
        return false;
    format = WaveFormat{};
    format.channels = static_cast<std::uint16_t>(header.channels);
    format.samplesPerSec = static_cast<std::uint32_t>(header.sampleRate);
    format.avgBytesPerSec = static_cast<std::uint32_t>(header.bitRateKbps) * 125;
    format.blockAlign = 1;
    format.bitsPerSample = 0;
    if (header.layer == 3) {
        format.formatTag = kWaveFormatMpegLayer3;
        Put16(format.extra, 1);  // ID: MPEG
        Put32(format.extra, 2);  // flags: padding off
        Put16(format.extra, static_cast<unsigned>(header.bitRateKbps * 144000 / header.sampleRate));  // block size
        Put16(format.extra, 1);  // frames per block
        Put16(format.extra, kLayer3CodecDelay);
    } else {
        format.formatTag = kWaveFormatMpeg;
        Put16(format.extra, header.layer == 1 ? 1 : 2);  // head layer
        Put32(format.extra, static_cast<std::uint32_t>(header.bitRateKbps) * 1000);
        Put16(format.extra, header.channels == 1 ? 8 : 1);  // head mode: mono or stereo
        Put16(format.extra, 0);                           // mode extension
        Put16(format.extra, 1);                           // emphasis: none
        Put16(format.extra, 0x10);                        // flags: MPEG-1 or later
        Put32(format.extra, 0);                           // PTS low
        Put32(format.extra, 0);                           // PTS high
    }
    return true;
}

ZTMp3Stream::ZTMp3Stream(ZTStream* source, bool realtime) : ZTAcmStream(source), realtime_(realtime)
{
    if (source == nullptr)
        return;
    try {
        int size = source->GetSize();
        std::array<std::uint8_t, 4> first;
        WaveFormat format;
        if (size < kMinFileSize || !source->Rewind() || source->Read(first.data(), 4) != 4 ||
            !FormatFromHeader(first.data(), format))
            return;
        if (source->CanSeek()) {
            std::array<std::uint8_t, 3> tag;
            if (source->SetPosition(size - kTagSize) && source->Read(tag.data(), 3) == 3 &&
                std::memcmp(tag.data(), "TAG", 3) == 0)
                size -= kTagSize;
        }
        // The converter gets the data from the first frame header on, so no frame is lost.
        std::uint64_t frames = 0;
        const bool counted = CountFrames(size, static_cast<int>(format.samplesPerSec), frames);
        if (!SetSourcePosition(0) || !Open(format, static_cast<std::uint32_t>(size), realtime_, 0, 0, 0))
            return;
        if (counted)
            SetDecodedFrames(static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, UINT32_MAX)));
    } catch (const std::bad_alloc&) {
        Close();  // no memory for the frame walk or the format record: the stream stays closed
    }
}

bool ZTMp3Stream::CountFrames(int size, int rate, std::uint64_t& frames)
{
    if (!source_->CanSeek() || !source_->SetPosition(0))
        return false;
    // Read the data through a window; a header that straddles the window's end is read again
    // at the start of the next one.
    constexpr int kWindow = 65536;
    std::vector<std::uint8_t> window(kWindow);
    int windowStart = 0;
    int windowLength = 0;
    frames = 0;
    for (std::int64_t at = 0; at + 4 <= size;) {
        if (at + 4 > windowStart + windowLength) {
            windowStart = static_cast<int>(at);
            const int want = static_cast<int>(std::min<std::int64_t>(kWindow, size - at));
            if (!source_->SetPosition(windowStart))
                return false;
            windowLength = std::max(source_->Read(window.data(), want), 0);
            if (windowLength < 4)
                break;
        }
        MpegFrameHeader header;
        const std::span<const std::uint8_t, 4> bytes(window.data() + (at - windowStart), 4);
        if (!MpegFrameHeader::Parse(bytes, header) || header.frameBytes == 0 || header.sampleRate != rate) {
            ++at;
            continue;
        }
        if (at + header.frameBytes > size)
            break;  // a cut last frame is not decoded
        frames += static_cast<std::uint64_t>(header.samplesPerFrame);
        at += header.frameBytes;
    }
    return true;
}
