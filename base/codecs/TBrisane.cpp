// The Brisane block-sorting codec: block encoders and the decoder.
#include "base/codecs/TBrisane.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace {

constexpr int HeaderSize = 4;

int LoadU16(const unsigned char* p) { return p[0] | p[1] << 8; }

void StoreU16(unsigned char* p, int value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

} // namespace

// ---- Encoders ------------------------------------------------------------------------------------

bool TBrisaneEncodeBase::CreateBuffer()
{
    in_.resize(static_cast<std::size_t>(blockSize_));
    work_.resize(static_cast<std::size_t>(blockSize_) + 2);
    out_.resize(HeaderSize + 2 * (static_cast<std::size_t>(blockSize_) + 2));
    return bwt_.CreateBuffer() && mtf_.CreateBuffer() && range_.Initialize();
}

void TBrisaneEncodeBase::ReleaseBuffer()
{
    in_ = {};
    work_ = {};
    out_ = {};
    bwt_.ReleaseBuffer();
    mtf_.ReleaseBuffer();
    range_.ReleaseBuffer();
}

bool TBrisaneEncodeBase::Initialize()
{
    ReleaseBuffer();
    return CreateBuffer();
}

// Transforms and codes the n bytes in in_ into out_ and returns the block size S. The range coder
// gets room for n + 1 bytes only: a stream that does not come out shorter than the n + 2 codes is
// stored instead, and giving up early spares the work.
int TBrisaneEncodeBase::CodeBlock(int n)
{
    bwt_.Encode(in_.data(), work_.data(), n);
    mtf_.Encode(work_.data(), n + 2);
    int size;
    if (range_.Encode(work_.data(), out_.data() + HeaderSize, n + 1, n + 2)) {
        size = range_.OutSize() + HeaderSize;
    } else {
        std::memcpy(out_.data() + HeaderSize, work_.data(), static_cast<std::size_t>(n) + 2);
        size = n + 6;
        range_.Initialize();
    }
    StoreU16(out_.data(), size);
    StoreU16(out_.data() + 2, n);
    return size;
}

bool TBrisaneEncodeBase::EncodeBlocks(int inSize, int outLimit, const TCodecRead& read, const TCodecWrite& write,
                                      const TCodecProgress& progress)
{
    int consumed = 0;
    long long produced = 0;
    while (consumed < inSize) {
        const int n = std::min(blockSize_, inSize - consumed);
        if (!read(in_.data(), n))
            return false;
        consumed += n;
        const int size = CodeBlock(n);
        produced += size;
        if (produced > outLimit || !write(out_.data(), size))
            return false;
        outSize_ = static_cast<int>(produced);
        if (progress)
            progress(CodecPercent(consumed, inSize));
    }
    return true;
}

bool TBrisaneEncodeBase::Encode(int inSize, int outLimit, TCodecRead read, TCodecWrite write,
                                TCodecProgress progress)
{
    outSize_ = 0;
    if (inSize == 0)
        return true;
    if (inSize < 0 || busy_)
        return false;
    busy_ = true;
    bool ok = false;
    try {
        ok = Initialize() && EncodeBlocks(inSize, outLimit, read, write, progress);
    } catch (const std::exception&) {
        ok = false; // a callback's own failure, or memory
    }
    Finish();
    busy_ = false;
    return ok;
}

// ---- Decoder -------------------------------------------------------------------------------------

bool TBrisaneDecode::CreateBuffer()
{
    in_.resize(HeaderSize + 2 * (MaxBlock + 2));
    work_.resize(MaxBlock + 3);
    out_.resize(MaxBlock);
    return bwt_.CreateBuffer() && mtf_.CreateBuffer() && range_.Initialize();
}

void TBrisaneDecode::ReleaseBuffer()
{
    in_ = {};
    work_ = {};
    out_ = {};
    bwt_.ReleaseBuffer();
    mtf_.ReleaseBuffer();
    range_.ReleaseBuffer();
}

bool TBrisaneDecode::Initialize()
{
    ReleaseBuffer();
    return CreateBuffer();
}

// Puts the n + 2 codes of a block of `size` bytes (header included) into work_. A coded payload
// must hold exactly one range-coder stream of exactly n + 2 codes: the decoder is given room for
// one more, so a stream that runs on past them is caught.
bool TBrisaneDecode::UnpackCodes(int size, int n)
{
    const unsigned char* payload = in_.data() + HeaderSize;
    if (size == n + 6) {
        std::memcpy(work_.data(), payload, static_cast<std::size_t>(n) + 2);
        return range_.Initialize();
    }
    const int payloadSize = size - HeaderSize;
    if (size > n + 6 || payloadSize < 2)
        return false;
    return range_.Decode(payload, work_.data(), n + 3, payloadSize) && range_.OutSize() == n + 2 &&
           range_.InCount() == payloadSize;
}

bool TBrisaneDecode::DecodeBlocks(int inSize, int outSize, const TCodecRead& read, const TCodecWrite& write,
                                  const TCodecProgress& progress)
{
    int consumed = 0;
    int produced = 0;
    while (consumed < inSize) {
        if (inSize - consumed < HeaderSize || !read(in_.data(), 2))
            return false;
        const int size = LoadU16(in_.data());
        if (size < HeaderSize || size > inSize - consumed || !read(in_.data() + 2, size - 2))
            return false;
        consumed += size;
        const int n = LoadU16(in_.data() + 2);
        if (n < 1 || n > MaxBlock || n > outSize - produced)
            return false;
        if (!UnpackCodes(size, n) || !mtf_.Decode(work_.data(), n + 2) || !bwt_.Decode(work_.data(), out_.data(), n + 2))
            return false;
        if (!write(out_.data(), n))
            return false;
        produced += n;
        outSize_ = produced;
        if (progress)
            progress(CodecPercent(consumed, inSize));
        if (produced == outSize)
            return consumed == inSize;
    }
    return false;
}

bool TBrisaneDecode::Decode(int inSize, int outSize, TCodecRead read, TCodecWrite write, TCodecProgress progress)
{
    outSize_ = 0;
    if (inSize == 0)
        return outSize == 0;
    if (inSize < 0 || outSize < 0 || busy_)
        return false;
    busy_ = true;
    bool ok = false;
    try {
        ok = Initialize() && DecodeBlocks(inSize, outSize, read, write, progress);
    } catch (const std::exception&) {
        ok = false;
    }
    Finish();
    busy_ = false;
    return ok;
}
