// PcmChunkPipeline: the one-second chunk pipeline shared by the converting WAVE decoder and the
// ADP1 decoder: a chunk of source data is read, a converter turns it into a chunk of PCM, and
// the PCM is handed out in reads of any size.
#pragma once

#include "sound/ZTStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

class PcmChunkPipeline {
public:
    // Makes both chunks; false when the memory cannot be had.
    bool Allocate(std::size_t sourceCapacity, std::size_t destinationCapacity);
    void Free();

    // Starts over at the first source byte of `sourceTotal` (the source must be positioned there)
    // and fills the source chunk.
    void Start(ZTStream& source, std::uint32_t sourceTotal);

    // Reads the next source bytes after the first `keep` bytes of the chunk. A source that ends
    // early keeps what it gave and counts as all read.
    void Fill(ZTStream& source, std::size_t keep);

    // Delivers up to `count` bytes of PCM into `buffer`. `convert`(source span, destination span,
    // used&, produced&) -> bool converts one chunk. Returns the bytes delivered; stops early when
    // the source is exhausted, the converter fails or makes no progress.
    template <typename Convert> std::size_t Read(ZTStream& source, std::uint8_t* buffer, std::size_t count, Convert&& convert);

    bool AllSourceRead() const { return sourceRead_ >= sourceTotal_; }
    // All source read, the last chunk wholly converted and nothing left to hand out.
    bool Finished() const { return AllSourceRead() && used_ >= sourceLength_ && pending_ == 0; }
    std::size_t SourceCapacity() const { return source_.size(); }
    std::size_t DestinationCapacity() const { return destination_.size(); }

private:
    std::vector<std::uint8_t> source_;       // source chunk
    std::size_t sourceLength_ = 0;           // source bytes in the chunk
    std::uint32_t sourceRead_ = 0;           // source bytes read so far
    std::uint32_t sourceTotal_ = 0;          // source bytes of the sound
    std::size_t used_ = 0;                   // chunk bytes the converter consumed last time
    std::vector<std::uint8_t> destination_;  // PCM of the last conversion
    std::size_t produced_ = 0;               // PCM bytes of the last conversion
    std::size_t pending_ = 0;                // of those, not yet handed out
};

template <typename Convert>
std::size_t PcmChunkPipeline::Read(ZTStream& source, std::uint8_t* buffer, std::size_t count, Convert&& convert)
{
    std::size_t delivered = std::min(count, pending_);
    std::memcpy(buffer, destination_.data() + (produced_ - pending_), delivered);
    pending_ -= delivered;
    while (delivered < count) {
        if (used_ > 0) {
            const std::size_t rest = sourceLength_ - used_;
            std::memmove(source_.data(), source_.data() + used_, rest);
            used_ = 0;
            Fill(source, rest);
        }
        if (sourceLength_ == 0) {
            produced_ = 0;
            break;
        }
        std::size_t used = 0;
        std::size_t produced = 0;
        const bool ok = convert(std::span<const std::uint8_t>(source_.data(), sourceLength_),
                                std::span<std::uint8_t>(destination_), used, produced);
        used_ = std::min(used, sourceLength_);
        produced_ = std::min(produced, destination_.size());
        if (!ok || (used_ == 0 && produced_ == 0)) {
            produced_ = 0;
            break;
        }
        const std::size_t copied = std::min(produced_, count - delivered);
        std::memcpy(buffer + delivered, destination_.data(), copied);
        delivered += copied;
        pending_ = produced_ - copied;
    }
    return delivered;
}
