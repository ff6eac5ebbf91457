// The codecs bound to streams: the kind table (0 Tovanu, 1 Brisane, 2 Brisane LE, 3 and above
// Brisane Mini; every kind but 0 decodes with the one Brisane decoder), TXeCompStream for any pair
// of streams, and CrcStream, the CRC-16 of a stretch of a stream.
#pragma once

#include "base/codecs/XeCodec.h"
#include "platform/classes/Stream.h"

// Codes `size` bytes with the encoder of `kind`, output capacity twice the input. True on success,
// with the output length in *codedSize.
bool XeCodecEncode(int kind, int size, const TCodecRead& read, const TCodecWrite& write,
                   const TCodecProgress& progress, int* codedSize);
// Decodes storedSize bytes into decodedSize bytes with the decoder of `kind`.
bool XeCodecDecode(int kind, int storedSize, int decodedSize, const TCodecRead& read, const TCodecWrite& write,
                   const TCodecProgress& progress);

// Codes and decodes between two streams, each used from its current position.
class TXeCompStream {
public:
    virtual ~TXeCompStream() = default;

    // False for size 0 (nothing is touched). *codedSize (may be null) is zeroed, then set to the
    // coded length on success.
    bool EncodeBuffer(TStream* source, int size, TStream* target, int* codedSize, int kind);
    // False when either size is 0.
    bool DecodeBuffer(TStream* source, int storedSize, TStream* target, int decodedSize, int kind);

    // Read or write n bytes on the source or target; true when all n moved.
    bool CallBackRead(unsigned char* buffer, int n);
    bool CallBackWrite(const unsigned char* buffer, int n);

private:
    TStream* source_ = nullptr;
    TStream* target_ = nullptr;
};

// The CRC-16 (archive polynomial, from 0xFFFF) of n bytes from the stream's position, read in
// 32 KiB pieces. On a short read the result is false and *crc is left alone.
bool CrcStream(TStream* stream, int n, unsigned short* crc);
