// The codecs bound to streams: the kind table, TXeCompStream and CrcStream.
#include "base/codecs/TXeCompStream.h"

#include "base/codecs/TBrisane.h"
#include "base/packs/TCrcCheck.h"
#include "base/codecs/TTovanu.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

template <typename Encoder>
bool EncodeWith(int size, const TCodecRead& read, const TCodecWrite& write, const TCodecProgress& progress,
                int* codedSize)
{
    Encoder encoder;
    // Twice the input, kept within int for inputs above 1 GiB.
    const int limit = static_cast<int>(std::min<long long>(2LL * size, INT_MAX));
    if (!encoder.Encode(size, limit, read, write, progress))
        return false;
    *codedSize = encoder.OutSize();
    return true;
}

} // namespace

bool XeCodecEncode(int kind, int size, const TCodecRead& read, const TCodecWrite& write,
                   const TCodecProgress& progress, int* codedSize)
{
    switch (kind) {
    case 0:
        return EncodeWith<TTovanuEncode>(size, read, write, progress, codedSize);
    case 1:
        return EncodeWith<TBrisaneEncode>(size, read, write, progress, codedSize);
    case 2:
        return EncodeWith<TBrisaneLEEncode>(size, read, write, progress, codedSize);
    default:
        return EncodeWith<TBrisaneMiniEncode>(size, read, write, progress, codedSize);
    }
}

bool XeCodecDecode(int kind, int storedSize, int decodedSize, const TCodecRead& read, const TCodecWrite& write,
                   const TCodecProgress& progress)
{
    if (kind == 0)
        return TTovanuDecode().Decode(storedSize, decodedSize, read, write, progress);
    return TBrisaneDecode().Decode(storedSize, decodedSize, read, write, progress);
}

bool TXeCompStream::CallBackRead(unsigned char* buffer, int n) { return source_->Read(buffer, n) >= n; }

bool TXeCompStream::CallBackWrite(const unsigned char* buffer, int n) { return target_->Write(buffer, n) >= n; }

bool TXeCompStream::EncodeBuffer(TStream* source, int size, TStream* target, int* codedSize, int kind)
{
    if (size == 0)
        return false;
    source_ = source;
    target_ = target;
    int coded = 0;
    if (codedSize != nullptr)
        *codedSize = 0;
    const bool ok = XeCodecEncode(
        kind, size, [this](unsigned char* b, int n) { return CallBackRead(b, n); },
        [this](const unsigned char* b, int n) { return CallBackWrite(b, n); }, nullptr, &coded);
    if (ok && codedSize != nullptr)
        *codedSize = coded;
    return ok;
}

bool TXeCompStream::DecodeBuffer(TStream* source, int storedSize, TStream* target, int decodedSize, int kind)
{
    if (storedSize == 0 || decodedSize == 0)
        return false;
    source_ = source;
    target_ = target;
    return XeCodecDecode(
        kind, storedSize, decodedSize, [this](unsigned char* b, int n) { return CallBackRead(b, n); },
        [this](const unsigned char* b, int n) { return CallBackWrite(b, n); }, nullptr);
}

bool CrcStream(TStream* stream, int n, unsigned short* crc)
{
    constexpr int Piece = 32768;
    const TCrcCheck check;
    std::vector<unsigned char> buffer(Piece);
    unsigned short value = 0xFFFF;
    bool complete = true;
    for (int done = 0; done < n;) {
        const int piece = std::min(Piece, n - done);
        const int got = stream->Read(buffer.data(), piece);
        if (got < piece)
            complete = false;
        value = check.UpDateCrc(value, buffer.data(), got);
        done += piece;
    }
    if (complete)
        *crc = value;
    return complete;
}
