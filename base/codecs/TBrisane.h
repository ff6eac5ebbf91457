// The Brisane block-sorting codec: three encoders that differ only in block size (TBrisaneEncode
// 32,768 bytes, TBrisaneLEEncode 8,192, TBrisaneMiniEncode 1,024) and one decoder for all three.
//
// A stream is a sequence of blocks without stream header or trailer; the caller keeps both lengths.
// Each block is u16 S (block bytes, these 4 header bytes included), u16 n (1 to 32,768 plain bytes)
// and a payload holding n + 2 codes: the move-to-front form of the primary index (2 bytes) and of
// the block's last column. When S = n + 6 the codes are stored as they are, otherwise they are one
// range-coded stream. The move-to-front list runs on through the whole stream; the range model runs
// on from coded block to coded block and starts afresh after a stored one.
#pragma once

#include "base/codecs/TBlockSort.h"
#include "base/codecs/TRangeCoder.h"
#include "base/codecs/XeCodec.h"

#include <array>
#include <vector>

class TBrisaneEncodeBase : public TObject {
public:
    // Codes inSize bytes pulled through `read`. True when all input was coded and no more than
    // outLimit bytes were handed to `write`; the block that would cross outLimit is not written.
    // inSize 0: true without calling anything.
    bool Encode(int inSize, int outLimit, TCodecRead read, TCodecWrite write, TCodecProgress progress);
    // Bytes handed to `write` by the last Encode.
    int OutSize() const { return outSize_; }

    // Fresh stages for a new stream; the buffers are kept from call to call until ReleaseBuffer.
    bool CreateBuffer();
    void ReleaseBuffer();
    bool Initialize();
    void Finish() { ReleaseBuffer(); }

protected:
    explicit TBrisaneEncodeBase(int blockSize) : blockSize_(blockSize) {}

private:
    bool EncodeBlocks(int inSize, int outLimit, const TCodecRead& read, const TCodecWrite& write,
                      const TCodecProgress& progress);
    int CodeBlock(int n);

    const int blockSize_;
    bool busy_ = false;
    int outSize_ = 0;
    std::vector<unsigned char> in_;
    std::vector<unsigned char> work_;
    std::vector<unsigned char> out_;
    TBWTEncode bwt_;
    TMTFEncode mtf_;
    TRangeEncode range_;
};

class TBrisaneEncode : public TBrisaneEncodeBase {
public:
    TBrisaneEncode() : TBrisaneEncodeBase(32768) {}
};

class TBrisaneLEEncode : public TBrisaneEncodeBase {
public:
    TBrisaneLEEncode() : TBrisaneEncodeBase(8192) {}
};

class TBrisaneMiniEncode : public TBrisaneEncodeBase {
public:
    TBrisaneMiniEncode() : TBrisaneEncodeBase(1024) {}
};

class TBrisaneDecode : public TObject {
public:
    static constexpr int MaxBlock = 32768;

    // Decodes inSize stored bytes into outSize plain bytes. True once every block read was well
    // formed and outSize bytes came out: the block that reaches outSize is cut there, and stored
    // bytes after it are left unread. Running out of input first is a failure. inSize 0 is true
    // only for outSize 0.
    bool Decode(int inSize, int outSize, TCodecRead read, TCodecWrite write, TCodecProgress progress);
    int OutSize() const { return outSize_; }

    bool CreateBuffer();
    void ReleaseBuffer();
    bool Initialize();
    void Finish() { ReleaseBuffer(); }

private:
    struct Block {
        int size = 0; // stored, header included
        int n = 0;    // plain
    };
    bool DecodeBlocks(int inSize, int outSize, const TCodecRead& read, const TCodecWrite& write,
                      const TCodecProgress& progress);
    bool ReadBlock(const TCodecRead& read, int inLeft, int slot, Block& block);
    bool UnpackCodes(int size, int n, unsigned char* codes);

    bool busy_ = false;
    int outSize_ = 0;
    std::vector<unsigned char> in_;
    // A ring of slots for a block's codes and its plain bytes (see DecodeBlocks).
    static constexpr int Slots = 4;
    std::array<std::vector<unsigned char>, Slots> codes_;
    std::array<std::vector<unsigned char>, Slots> plain_;
    TBWTDecode bwt_;
    TMTFDecode mtf_;
    TRangeDecode range_;
};
