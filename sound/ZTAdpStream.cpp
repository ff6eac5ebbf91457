// ZTAdpStream: the decoder of "ADP1" files into 16-bit PCM.
#include "sound/ZTAdpStream.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace {

constexpr int kHeaderSize = 16;
// A hostile rate cannot ask for a huge chunk; ordinary rates get their one second.
constexpr std::uint32_t kMaxSourceChunk = 1u << 20;

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

ZTAdpStream::ZTAdpStream(ZTStream* source)
{
    source_ = source;
    ReadHeader();
}

void ZTAdpStream::Close()
{
    pipeline_.Free();
    open_ = false;
    endOfData_ = true;
}

bool ZTAdpStream::ReadHeader()
{
    Close();
    if (source_ == nullptr || !source_->Rewind())
        return false;
    std::array<std::uint8_t, kHeaderSize> header;
    if (source_->Read(header.data(), kHeaderSize) != kHeaderSize || std::memcmp(header.data(), "ADP1", 4) != 0)
        return false;
    dataStart_ = source_->GetPosition();
    const std::uint32_t frames = Le32(header.data() + 4);
    const std::uint32_t rate = Le32(header.data() + 8);
    // Any channel count but 1 is decoded as stereo; 0 channels or a rate of 0 is no sound.
    const std::uint32_t channelsField = Le32(header.data() + 12);
    if (channelsField == 0 || rate == 0 || dataStart_ < 0)
        return false;
    channels_ = channelsField == 1 ? 1 : 2;
    samplesPerSec_ = rate;
    bitsPerSample_ = 16;
    // Each code byte gives 4 bytes of PCM; the codes are cut to what the source holds and what a
    // 32-bit size can describe.
    std::uint64_t codes = std::uint64_t{channels_} * frames / 2;
    const int sourceSize = source_->GetSize();
    if (sourceSize >= dataStart_)
        codes = std::min<std::uint64_t>(codes, static_cast<std::uint64_t>(sourceSize - dataStart_));
    codes = std::min<std::uint64_t>(codes, INT_MAX / 4);
    sourceTotal_ = static_cast<std::uint32_t>(codes);
    size_ = sourceTotal_ * 4;
    frames_ = size_ / FrameBytes();
    const std::uint32_t chunk = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(std::uint64_t{channels_} * rate / 2, 1, kMaxSourceChunk));
    if (!pipeline_.Allocate(chunk, std::size_t{chunk} * 4))
        return false;
    position_ = 0;
    first_ = true;
    pipeline_.Start(*source_, sourceTotal_);
    seekable_ = false;
    endOfData_ = size_ == 0;
    open_ = true;
    return true;
}

int ZTAdpStream::ReadPcm(void* buffer, int count)
{
    if (!open_ || count <= 0 || buffer == nullptr)
        return 0;
    const std::uint32_t n = std::min(static_cast<std::uint32_t>(count), size_ - position_);
    if (n == 0) {
        endOfData_ = true;
        return 0;
    }
    const std::size_t delivered = pipeline_.Read(*source_, static_cast<std::uint8_t*>(buffer), n,
        [this](std::span<const std::uint8_t> source, std::span<std::uint8_t> destination, std::size_t& used,
               std::size_t& produced) {
            if (first_) {
                codec_.Reset();
                first_ = false;
            }
            Msm6258Block block;
            block.channels = static_cast<int>(channels_);
            block.source = source.data();
            block.sourceBytes = static_cast<std::uint32_t>(source.size());
            block.destination = destination.data();
            block.destinationBytes = static_cast<std::uint32_t>(destination.size());
            codec_.Decode(block);
            used = block.sourceUsed;
            produced = block.destinationProduced;
            return true;
        });
    position_ += static_cast<std::uint32_t>(delivered);
    endOfData_ = pipeline_.Finished() || position_ >= size_;
    return static_cast<int>(delivered);
}

bool ZTAdpStream::Restart()
{
    if (!open_)
        return false;
    if (!SetSourcePosition(dataStart_)) {
        Close();
        return false;
    }
    position_ = 0;
    first_ = true;
    endOfData_ = size_ == 0;
    pipeline_.Start(*source_, sourceTotal_);
    return true;
}
