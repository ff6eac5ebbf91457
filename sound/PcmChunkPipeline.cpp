// PcmChunkPipeline: the one-second chunk pipeline shared by the converting WAVE decoder and the
// ADP1 decoder.
#include "sound/PcmChunkPipeline.h"

#include <new>

bool PcmChunkPipeline::Allocate(std::size_t sourceCapacity, std::size_t destinationCapacity)
{
    try {
        source_.assign(sourceCapacity, 0);
        destination_.assign(destinationCapacity, 0);
        return true;
    } catch (const std::bad_alloc&) {
        Free();
        return false;
    }
}

void PcmChunkPipeline::Free()
{
    source_ = {};
    destination_ = {};
    sourceLength_ = used_ = produced_ = pending_ = 0;
}

void PcmChunkPipeline::Start(ZTStream& source, std::uint32_t sourceTotal)
{
    sourceTotal_ = sourceTotal;
    sourceRead_ = 0;
    sourceLength_ = used_ = produced_ = pending_ = 0;
    Fill(source, 0);
}

void PcmChunkPipeline::Fill(ZTStream& source, std::size_t keep)
{
    sourceLength_ = std::min(keep, source_.size());
    if (keep >= source_.size())
        return;
    const std::size_t n = std::min<std::size_t>(source_.size() - keep, sourceTotal_ - sourceRead_);
    const int got = n == 0 ? 0 : source.Read(source_.data() + keep, static_cast<int>(n));
    const std::size_t read = got > 0 ? std::min(static_cast<std::size_t>(got), n) : 0;
    sourceRead_ += static_cast<std::uint32_t>(read);
    if (read < n)
        sourceTotal_ = sourceRead_;  // the source ended early
    sourceLength_ = keep + read;
}
