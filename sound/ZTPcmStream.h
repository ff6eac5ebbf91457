// ZTPcmStream: the decoded-PCM stream every sound decoder implements; itself a ZTStream whose
// bytes are the decoded PCM, so buffers and streaming read every format the same way.
//
// A decoder is used by one thread at a time: the streaming buffer reads, restarts and seeks it
// only under its own refill lock. A decoder never throws; failures read as 0 bytes or false.
#pragma once

#include "sound/ZTStream.h"

#include <cstdint>

class ZTPcmStream : public ZTStream {
public:
    ZTPcmStream() = default;

    bool IsOpen() override { return open_; }
    bool CanSeek() override { return seekable_; }
    int Read(void* buffer, int count) override { return ReadPcm(buffer, count); }
    int Write(const void*, int) override { return 0; }
    // Positions at the frame holding byte `offset` (from the origin) and returns the new position,
    // the target rounded down to a whole frame; -1 when the decoder cannot seek there.
    int Seek(int offset, int origin) override;
    int GetSize() override { return PcmSize(); }
    bool SetSize(int) override { return false; }
    int GetPosition() override { return PcmPosition(); }
    bool Rewind() override { return Restart(); }

    // Decoded size and position in bytes.
    virtual int PcmSize() = 0;
    virtual int PcmPosition() = 0;
    // Decoded bytes produced (0 when closed, at the end or on failure). Reads are cut to whole
    // sample frames only where a decoder says so; callers ask for whole frames.
    virtual int ReadPcm(void* buffer, int count) = 0;
    // Back to the first sample.
    virtual bool Restart() = 0;
    // Positions at a frame index.
    virtual bool SeekFrame(int frame) = 0;

    bool IsEOF() const { return endOfData_; }
    unsigned GetChannels() const { return channels_; }
    unsigned GetSamplesPerSec() const { return samplesPerSec_; }
    unsigned GetBitsPerSample() const { return bitsPerSample_; }

protected:
    // Bytes per sample frame (0 while the format is unknown).
    unsigned FrameBytes() const { return channels_ * bitsPerSample_ / 8; }
    // Reads and discards `count` source bytes; false when the source ends first.
    bool SkipSource(int count);
    // Moves the source to `pos`: a seek, or on an unseekable source a rewind and a skip.
    bool SetSourcePosition(int pos);

    ZTStream* source_ = nullptr;
    bool open_ = false;
    bool seekable_ = false;
    bool endOfData_ = true;
    unsigned channels_ = 0;
    unsigned samplesPerSec_ = 0;
    unsigned bitsPerSample_ = 0;
    std::uint32_t frames_ = 0;
};
