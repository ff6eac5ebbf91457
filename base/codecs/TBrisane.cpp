// The Brisane block-sorting codec: block encoders and the decoder.
#include "base/codecs/TBrisane.h"

#include "base/codecs/JobPipeline.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>

namespace {

constexpr int HeaderSize = 4;

int LoadU16(const unsigned char* p) { return p[0] | p[1] << 8; }

void StoreU16(unsigned char* p, int value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

// Grows a buffer to at least `size` bytes; buffers are sized by the blocks met, never shrunk.
unsigned char* AtLeast(std::vector<unsigned char>& buffer, int size)
{
    if (buffer.size() < static_cast<std::size_t>(size))
        buffer.resize(static_cast<std::size_t>(size));
    return buffer.data();
}

} // namespace

// ---- Encoders ------------------------------------------------------------------------------------

// The stages start afresh; the buffers, kept from call to call, grow to the largest block met.
bool TBrisaneEncodeBase::CreateBuffer()
{
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

bool TBrisaneEncodeBase::Initialize() { return CreateBuffer(); }

// Transforms and codes the n bytes in in_ into out_ and returns the block size S. The range coder
// gets room for n + 1 bytes only: a stream that does not come out shorter than the n + 2 codes is
// stored instead, and giving up early spares the work.
int TBrisaneEncodeBase::CodeBlock(int n)
{
    AtLeast(work_, n + 2);
    AtLeast(out_, HeaderSize + 2 * (n + 2));
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
        if (!read(AtLeast(in_, n), n))
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
    if (inSize < 0)
        return false;
    return RunCodecCall(
        busy_, [&] { return Initialize() && EncodeBlocks(inSize, outLimit, read, write, progress); }, [] {});
}

// ---- Decoder -------------------------------------------------------------------------------------

// The stages start afresh; the buffers, kept from call to call, grow to the largest block met, so
// that a small stream costs what its blocks need.
bool TBrisaneDecode::CreateBuffer()
{
    return bwt_.CreateBuffer() && mtf_.CreateBuffer() && range_.Initialize();
}

void TBrisaneDecode::ReleaseBuffer()
{
    in_ = {};
    codes_ = {};
    plain_ = {};
    bwt_.ReleaseBuffer();
    mtf_.ReleaseBuffer();
    range_.ReleaseBuffer();
}

bool TBrisaneDecode::Initialize() { return CreateBuffer(); }

// Puts the n + 2 codes of a block of `size` bytes (header included) into `codes`. A coded payload
// must hold exactly one range-coder stream of exactly n + 2 codes: the decoder is given room for
// one more, so a stream that runs on past them is caught.
bool TBrisaneDecode::UnpackCodes(int size, int n, unsigned char* codes)
{
    const unsigned char* payload = in_.data() + HeaderSize;
    if (size == n + 6) {
        std::memcpy(codes, payload, static_cast<std::size_t>(n) + 2);
        return range_.Initialize();
    }
    const int payloadSize = size - HeaderSize;
    if (size > n + 6 || payloadSize < 2)
        return false;
    return range_.Decode(payload, codes, n + 3, payloadSize) && range_.OutSize() == n + 2 &&
           range_.InCount() == payloadSize;
}

// Reads the next block and leaves its primary index and last column in codes_[slot]. `block`
// gets its stored size and plain size. False for a block that is cut short or malformed.
bool TBrisaneDecode::ReadBlock(const TCodecRead& read, int inLeft, int slot, Block& block)
{
    if (inLeft < HeaderSize || !read(AtLeast(in_, HeaderSize), 2))
        return false;
    block.size = LoadU16(in_.data());
    if (block.size < HeaderSize || block.size > inLeft || !read(AtLeast(in_, block.size) + 2, block.size - 2))
        return false;
    block.n = LoadU16(in_.data() + 2);
    if (block.n < 1 || block.n > MaxBlock)
        return false;
    unsigned char* codes = AtLeast(codes_[static_cast<std::size_t>(slot)], block.n + 3);
    AtLeast(plain_[static_cast<std::size_t>(slot)], block.n);
    return UnpackCodes(block.size, block.n, codes) && mtf_.Decode(codes, block.n + 2);
}

// Blocks go through a ring of slots: a helper thread rebuilds blocks from their codes (the
// inverse transform) while the codes of the next ones are decoded here. The blocks are written in
// order on the caller's thread, at the latest when their slot is wanted again; a stream of one
// block is decoded without the helper. The plain size ends the stream: a block that runs past it
// is cut, and stored bytes after it are not read.
bool TBrisaneDecode::DecodeBlocks(int inSize, int outSize, const TCodecRead& read, const TCodecWrite& write,
                                  const TCodecProgress& progress)
{
    std::optional<JobPipeline> helper;
    struct Pending {
        int slot = 0;
        int n = 0;
        int consumed = 0; // stored bytes up to its end, for progress
    };
    std::deque<Pending> pending;
    const auto writeOldest = [&] {
        const Pending done = pending.front();
        pending.pop_front();
        if (!helper->Collect() || !write(plain_[static_cast<std::size_t>(done.slot)].data(), done.n))
            return false;
        outSize_ += done.n;
        if (progress)
            progress(CodecPercent(done.consumed, inSize));
        return true;
    };
    const auto writeAll = [&] {
        while (!pending.empty())
            if (!writeOldest())
                return false;
        return true;
    };
    int consumed = 0;
    int decoded = 0;
    for (int index = 0; consumed < inSize; ++index) {
        const int slot = index % Slots;
        if (pending.size() == Slots && !writeOldest()) // the block in this slot goes out first
            return false;
        Block block;
        if (!ReadBlock(read, inSize - consumed, slot, block)) {
            writeAll(); // the blocks before a bad one are handed out all the same
            return false;
        }
        consumed += block.size;
        const int n = block.n;
        const int count = std::min(n, outSize - decoded);
        decoded += count;
        unsigned char* codes = codes_[static_cast<std::size_t>(slot)].data();
        unsigned char* plain = plain_[static_cast<std::size_t>(slot)].data();
        if (!helper && decoded == outSize) { // the only block
            if (!bwt_.Decode(codes, plain, n + 2) || (count > 0 && !write(plain, count)))
                return false;
            outSize_ = count;
            if (progress)
                progress(CodecPercent(consumed, inSize));
            return true;
        }
        if (!helper)
            helper.emplace(1);
        helper->Submit([this, codes, plain, n] { return bwt_.Decode(codes, plain, n + 2); });
        pending.push_back({slot, count, consumed});
        if (decoded == outSize)
            return writeAll();
    }
    writeAll();
    return false;
}

bool TBrisaneDecode::Decode(int inSize, int outSize, TCodecRead read, TCodecWrite write, TCodecProgress progress)
{
    outSize_ = 0;
    if (inSize == 0)
        return outSize == 0;
    if (inSize < 0 || outSize < 0)
        return false;
    return RunCodecCall(
        busy_, [&] { return Initialize() && DecodeBlocks(inSize, outSize, read, write, progress); }, [] {});
}
