// ZTAcmStream: the decoder over data described by a wave format record.
#include "sound/ZTAcmStream.h"

#include <algorithm>
#include <climits>

namespace {

// Bounds of the source chunk: at least one MPEG frame of any rate fits, and a hostile average
// byte rate cannot ask for a huge block.
constexpr std::uint32_t kMinSourceChunk = 8192;
constexpr std::uint32_t kMaxSourceChunk = 4u << 20;

// The largest byte count a signed 32-bit size can hold, in whole frames.
std::uint32_t WholeFramesCap(std::uint64_t bytes, std::uint32_t frameBytes)
{
    const std::uint64_t capped = std::min<std::uint64_t>(bytes, INT_MAX);
    return static_cast<std::uint32_t>(capped - capped % frameBytes);
}

// One second of source data in whole blocks, within the bounds above.
std::uint32_t SourceChunkSize(const WaveFormat& format)
{
    const std::uint32_t block = format.blockAlign;
    const std::uint32_t chunk = format.avgBytesPerSec - format.avgBytesPerSec % block;
    const std::uint32_t minimum = (kMinSourceChunk + block - 1) / block * block;
    const std::uint32_t maximum = std::max(block, kMaxSourceChunk - kMaxSourceChunk % block);
    return std::clamp(chunk, std::min(minimum, maximum), maximum);
}

} // namespace

bool ZTAcmStream::Open(const WaveFormat& format, std::uint32_t dataBytes, bool /*realtime*/,
                       unsigned wantedChannels, unsigned wantedBits, unsigned wantedRate)
{
    Close();
    if (source_ == nullptr)
        return false;
    dataStart_ = source_->GetPosition();
    if (dataStart_ < 0)
        return false;
    const bool pcm = format.formatTag == kWaveFormatPcm && (wantedChannels == 0 || wantedChannels == format.channels) &&
                     (wantedBits == 0 || wantedBits == format.bitsPerSample) &&
                     (wantedRate == 0 || wantedRate == format.samplesPerSec);
    // Only the widths the buffers play (8 and 16 bits) pass through; wider PCM (24, 32 bits) is
    // converted to 16 bits as the same samples under an extensible header are, and widths that
    // are not whole bytes go to the converter too, which refuses them.
    if (pcm && (format.bitsPerSample == 8 || format.bitsPerSample == 16))
        return OpenPassThrough(format, dataBytes);
    return OpenConversion(format, dataBytes, wantedChannels, wantedBits, wantedRate);
}

bool ZTAcmStream::OpenPassThrough(const WaveFormat& format, std::uint32_t dataBytes)
{
    // A layout without channels, sample width or rate describes no sound (and no frame size).
    if (format.channels == 0 || format.bitsPerSample == 0 || format.samplesPerSec == 0)
        return false;
    outputFormat_ = WaveFormat::Pcm(format.channels, format.samplesPerSec, format.bitsPerSample);
    channels_ = format.channels;
    samplesPerSec_ = format.samplesPerSec;
    bitsPerSample_ = format.bitsPerSample;
    size_ = WholeFramesCap(dataBytes, FrameBytes());
    frames_ = size_ / FrameBytes();
    sourceTotal_ = dataBytes;
    sourceRead_ = position_ = 0;
    first_ = true;
    seekable_ = source_->CanSeek();
    endOfData_ = size_ == 0;
    open_ = true;
    return true;
}

bool ZTAcmStream::OpenConversion(const WaveFormat& format, std::uint32_t dataBytes, unsigned wantedChannels,
                                 unsigned wantedBits, unsigned wantedRate)
{
    if (format.blockAlign == 0 ||
        !AudioConvert::SuggestPcmFormat(format, wantedChannels, wantedBits, wantedRate, outputFormat_))
        return false;
    converter_ = AudioConvert::AudioConverter::Open(format, outputFormat_);
    if (converter_ == nullptr)
        return false;
    channels_ = outputFormat_.channels;
    samplesPerSec_ = outputFormat_.samplesPerSec;
    bitsPerSample_ = outputFormat_.bitsPerSample;
    size_ = WholeFramesCap(converter_->DestinationSize(dataBytes), FrameBytes());
    const std::uint32_t chunk = SourceChunkSize(format);
    const std::uint64_t destinationChunk = converter_->DestinationSize(chunk);
    if (size_ == 0 || destinationChunk == 0 || destinationChunk > INT_MAX ||
        !pipeline_.Allocate(chunk, static_cast<std::size_t>(destinationChunk))) {
        Close();
        return false;
    }
    frames_ = size_ / FrameBytes();
    sourceTotal_ = dataBytes;
    position_ = 0;
    first_ = true;
    pipeline_.Start(*source_, sourceTotal_);
    seekable_ = false;
    endOfData_ = false;
    open_ = true;
    return true;
}

void ZTAcmStream::Close()
{
    pipeline_.Free();
    converter_.reset();
    open_ = false;
    endOfData_ = true;
}

void ZTAcmStream::SetDecodedFrames(std::uint32_t frames)
{
    if (!open_ || FrameBytes() == 0)
        return;
    size_ = WholeFramesCap(std::uint64_t{frames} * FrameBytes(), FrameBytes());
    frames_ = size_ / FrameBytes();
    endOfData_ = position_ >= size_;
}

int ZTAcmStream::ReadPcm(void* buffer, int count)
{
    if (!open_ || count <= 0 || buffer == nullptr)
        return 0;
    const std::uint32_t left = size_ > position_ ? size_ - position_ : 0;
    const std::uint32_t n = std::min(static_cast<std::uint32_t>(count), left);
    if (n == 0) {
        endOfData_ = true;
        return 0;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    return converter_ ? ReadConverted(out, n) : ReadPassThrough(out, n);
}

int ZTAcmStream::ReadPassThrough(std::uint8_t* buffer, std::uint32_t count)
{
    const std::uint32_t k = std::min(count, sourceTotal_ - std::min(sourceRead_, sourceTotal_));
    int got = k == 0 ? 0 : source_->Read(buffer, static_cast<int>(k));
    got = std::clamp(got, 0, static_cast<int>(k));
    if (static_cast<std::uint32_t>(got) < k) {
        // The file ends before its data chunk says: keep the whole frames that came.
        got -= got % static_cast<int>(FrameBytes());
        sourceTotal_ = sourceRead_ + static_cast<std::uint32_t>(got);
    }
    sourceRead_ += static_cast<std::uint32_t>(got);
    position_ += static_cast<std::uint32_t>(got);
    first_ = false;
    endOfData_ = sourceRead_ >= sourceTotal_ || position_ >= size_;
    return got;
}

int ZTAcmStream::ReadConverted(std::uint8_t* buffer, std::uint32_t count)
{
    const std::size_t delivered = pipeline_.Read(*source_, buffer, count,
        [this](std::span<const std::uint8_t> source, std::span<std::uint8_t> destination, std::size_t& used,
               std::size_t& produced) {
            unsigned flags = pipeline_.AllSourceRead() ? AudioConvert::cfEnd : AudioConvert::cfBlockAlign;
            if (first_)
                flags |= AudioConvert::cfStart;
            first_ = false;
            return converter_->Convert(source, destination, flags, used, produced);
        });
    position_ += static_cast<std::uint32_t>(delivered);
    endOfData_ = pipeline_.Finished() || position_ >= size_;
    return static_cast<int>(delivered);
}

bool ZTAcmStream::Restart()
{
    if (!open_)
        return false;
    if (!SetSourcePosition(dataStart_)) {
        Close();
        return false;
    }
    sourceRead_ = position_ = 0;
    first_ = true;
    endOfData_ = false;
    if (converter_)
        pipeline_.Start(*source_, sourceTotal_);
    else
        endOfData_ = size_ == 0;
    return true;
}

bool ZTAcmStream::SeekFrame(int frame)
{
    if (!open_ || frame < 0 || static_cast<std::uint32_t>(frame) > frames_ || !seekable_ || converter_)
        return false;
    if (static_cast<std::uint32_t>(frame) == frames_) {
        position_ = size_;
        endOfData_ = true;
        return true;
    }
    const std::uint32_t bytes = static_cast<std::uint32_t>(frame) * FrameBytes();
    const std::int64_t target = std::int64_t{dataStart_} + bytes;
    if (target > INT_MAX || !SetSourcePosition(static_cast<int>(target)))
        return false;
    sourceRead_ = position_ = bytes;
    endOfData_ = false;
    first_ = false;
    return true;
}
