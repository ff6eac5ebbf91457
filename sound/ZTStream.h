// ZTStream: the byte stream the sound decoders read from, and T2ZTStream, its adapter over a TStream.
#pragma once

class TStream;

// Sizes and positions are signed 32-bit. Origins: 0 from the beginning, 1 from the current
// position, 2 from the end.
class ZTStream {
public:
    virtual ~ZTStream() = default;

    virtual bool IsOpen() = 0;
    virtual bool CanSeek() = 0;
    // Bytes read, 0 at the end.
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    // The new position, negative on failure.
    virtual int Seek(int offset, int origin) = 0;
    virtual int GetSize() = 0;
    virtual bool SetSize(int size) = 0;
    virtual int GetPosition() = 0;
    virtual bool Rewind() = 0;

    bool SetPosition(int pos) { return Seek(pos, 0) >= 0; }
};

// Adapts a class-library stream; the TStream is not owned. A TStream that raises is answered
// as a failed transfer (0 bytes, -1 for a seek), so no exception leaves a decoder.
class T2ZTStream : public ZTStream {
public:
    explicit T2ZTStream(TStream* stream) : stream_(stream) {}

    bool IsOpen() override { return true; }
    bool CanSeek() override { return true; }
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int GetSize() override;
    bool SetSize(int size) override;
    int GetPosition() override;
    bool Rewind() override;

private:
    TStream* stream_;
};
