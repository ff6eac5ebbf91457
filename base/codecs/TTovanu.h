// The Tovanu LZ codec: an LZ77 coder with a 1,536-byte window (TTovanuEncode, TTovanuDecode) and
// the encoder's hash chains (TTovanuHash).
//
// A stream has no header: it is a sequence of packets, each a u32 flag word (little-endian) and up
// to 32 items, the flag bits taken from the most significant down (0 literal, 1 match). A literal is
// one byte. A match is a token byte, high nibble h for the length (0-13: h + 1; 14: one more byte
// holds it; 15: two more bytes, little-endian), low nibble d for the distance (0-9: d + 1; 10-15:
// one more byte b, distance (d - 10) × 256 + b), length bytes before the distance byte. Matches
// copy byte by byte and may overlap their own output. Only the last packet may hold fewer items.
#pragma once

#include "base/codecs/XeCodec.h"
#include "platform/classes/Component.h"

#include <cstdint>
#include <vector>

// Chains of input positions by the 16-bit key of the two bytes there, newest first, over a ring of
// nodes that recycles the oldest: the hash always holds the last `nodes` positions inserted.
class TTovanuHash : public TObject {
public:
    static constexpr int Keys = 65536;

    // Clears every chain and makes a ring of `nodes` free nodes.
    bool Create(int nodes);
    void Release();
    void Insert(unsigned key, std::uint32_t position);
    // The newest node of a key's chain, or -1.
    int First(unsigned key) const { return heads_[key]; }
    // The next older node of the same chain, or -1.
    int Next(int node) const { return nodes_[static_cast<std::size_t>(node)].older; }
    std::uint32_t Position(int node) const { return nodes_[static_cast<std::size_t>(node)].position; }

private:
    struct Node {
        std::int32_t key = -1; // -1 while free
        std::uint32_t position = 0;
        std::int32_t newer = -1;
        std::int32_t older = -1;
    };
    void Unlink(int index);

    std::vector<std::int32_t> heads_;
    std::vector<Node> nodes_;
    int next_ = 0;
};

class TTovanuEncode : public TObject {
public:
    static constexpr int Window = 1536;
    static constexpr int MaxMatch = 8192;

    // Codes inSize bytes pulled through `read`. True when all input was coded and the output never
    // went above outLimit bytes. inSize 0: true without calling anything.
    bool Encode(int inSize, int outLimit, TCodecRead read, TCodecWrite write, TCodecProgress progress);
    int OutSize() const { return outSize_; }

    bool CreateBuffer();
    void ReleaseBuffer();
    bool Initialize();
    void Finish() { ReleaseBuffer(); }

    // The longest match for the current position: the nearest of the longest, and the walk ends
    // early once one is longer than 1,024 bytes. length 0 when there is none.
    void HashSearch(unsigned short& length, unsigned short& distance);

private:
    bool EncodeAll(const TCodecRead& read, const TCodecWrite& write, const TCodecProgress& progress);
    bool ReadInBuffer(const TCodecRead& read);
    bool WriteOutBuffer(const TCodecWrite& write);
    unsigned KeyAt(int index) const { return in_[index] | in_[index + 1] << 8; }
    void InsertCurrent();
    void EmitMatch(int length, int distance);
    void OpenPacket();
    void ClosePacket();

    bool busy_ = false;
    int outSize_ = 0;
    int inSize_ = 0;
    int outLimit_ = 0;
    long long written_ = 0;
    std::vector<unsigned char> in_;
    int pos_ = 0;      // index of the current position in in_
    int dataEnd_ = 0;  // end of the valid bytes in in_
    int consumed_ = 0; // input position of pos_
    int readTotal_ = 0;
    std::vector<unsigned char> out_;
    int outCount_ = 0;
    int flagPos_ = -1; // place of the open packet's flag word in out_, -1 when none is open
    std::uint32_t flags_ = 0;
    std::uint32_t mask_ = 0;
    int items_ = 0;
    TTovanuHash hash_;
};

class TTovanuDecode : public TObject {
public:
    // Decodes inSize stored bytes into exactly outSize plain bytes. True only when the stream yields
    // outSize bytes, every match lies inside the output and the stream ends exactly at inSize.
    // inSize 0 is true only for outSize 0.
    bool Decode(int inSize, int outSize, TCodecRead read, TCodecWrite write, TCodecProgress progress);
    int OutSize() const { return outSize_; }

    bool CreateBuffer();
    void ReleaseBuffer();
    bool Initialize();
    void Finish() { ReleaseBuffer(); }

private:
    bool DecodeAll(const TCodecRead& read, const TCodecWrite& write, const TCodecProgress& progress);
    bool DecodePacket(const TCodecWrite& write);
    bool ReadInBuffer(const TCodecRead& read);
    bool WriteOutBuffer(const TCodecWrite& write);

    bool busy_ = false;
    int outSize_ = 0;
    int inSize_ = 0;
    int plainSize_ = 0;
    std::vector<unsigned char> in_;
    int inPos_ = 0;
    int inEnd_ = 0;
    int readTotal_ = 0;
    std::vector<unsigned char> out_;
    int outPos_ = 0;
    int flushFrom_ = 0;
    int produced_ = 0;
};
