// ZTPcmStream: the decoded-PCM stream every sound decoder implements.
#include "sound/ZTPcmStream.h"

#include <algorithm>
#include <cstdint>

int ZTPcmStream::Seek(int offset, int origin)
{
    if (!seekable_ || FrameBytes() == 0)
        return -1;
    std::int64_t target = PcmPosition();
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target += offset;
    else if (origin == 2)
        target = std::int64_t{PcmSize()} + offset;
    // Signed division truncating toward zero, as the frame index of the target.
    const std::int64_t frame = target / static_cast<std::int64_t>(FrameBytes());
    if (frame < INT32_MIN || frame > INT32_MAX || !SeekFrame(static_cast<int>(frame)))
        return -1;
    return PcmPosition();
}

bool ZTPcmStream::SkipSource(int count)
{
    constexpr int kScratch = 4096;
    std::uint8_t scratch[kScratch];
    while (count > kScratch) {
        if (source_->Read(scratch, kScratch) != kScratch)
            return false;
        count -= kScratch;
    }
    return count <= 0 || source_->Read(scratch, count) == count;
}

bool ZTPcmStream::SetSourcePosition(int pos)
{
    if (source_->CanSeek())
        return source_->SetPosition(pos);
    const int current = source_->GetPosition();
    if (pos < current) {
        if (!source_->Rewind())
            return false;
        return SkipSource(pos);
    }
    return SkipSource(pos - current);
}
