// The Tovanu LZ codec: hash chains, encoder and decoder.
#include "base/codecs/TTovanu.h"

#include "base/codecs/CommonLength.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr int Window = TTovanuEncode::Window;
constexpr int Nodes = Window - 1;       // the hash holds exactly the positions a match may reach
constexpr int Step = 16384;             // input between refills, and the output write threshold
constexpr int Ahead = 2 * Step;         // the encoder's look-ahead after a refill
constexpr int GoodEnough = 1024;        // a match this long ends the chain walk
constexpr int PacketItems = 32;
constexpr int Slack = 64;               // room for the decoder's wide copies past the end
constexpr int DecodeInSize = Step + 256;
// History, a step's pending output, and the longest match a token can describe.
constexpr int DecodeOutSize = Window + Step + 65536;
// Output of at most Step + MaxMatch input bytes (each literal costs 1 1/8 bytes with its flag
// bit) plus the open packet that a write keeps back.
constexpr int EncodeOutSize = 65536;

std::uint32_t LoadU32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }

void StoreU32(unsigned char* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Bytes a match token takes: the token, the length bytes, the distance byte.
int MatchCost(int length, int distance) { return 1 + (length > 255 ? 2 : length > 14 ? 1 : 0) + (distance > 10 ? 1 : 0); }

} // namespace

// ---- Hash chains ---------------------------------------------------------------------------------

bool TTovanuHash::Create(int nodes)
{
    heads_.assign(Keys, -1);
    nodes_.assign(static_cast<std::size_t>(std::max(nodes, 1)), Node{});
    next_ = 0;
    return true;
}

void TTovanuHash::Release()
{
    heads_ = {};
    nodes_ = {};
    next_ = 0;
}

void TTovanuHash::Unlink(int index)
{
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    if (node.newer >= 0)
        nodes_[static_cast<std::size_t>(node.newer)].older = node.older;
    else
        heads_[static_cast<std::size_t>(node.key)] = node.older;
    if (node.older >= 0)
        nodes_[static_cast<std::size_t>(node.older)].newer = node.newer;
}

void TTovanuHash::Insert(unsigned key, std::uint32_t position)
{
    const int index = next_;
    if (nodes_[static_cast<std::size_t>(index)].key >= 0)
        Unlink(index);
    const int head = heads_[key];
    nodes_[static_cast<std::size_t>(index)] = {static_cast<std::int32_t>(key), position, -1, head};
    if (head >= 0)
        nodes_[static_cast<std::size_t>(head)].newer = index;
    heads_[key] = index;
    next_ = next_ + 1 == static_cast<int>(nodes_.size()) ? 0 : next_ + 1;
}

// ---- Encoder -------------------------------------------------------------------------------------

bool TTovanuEncode::CreateBuffer()
{
    // Eight spare bytes: the key of the very last position reads one byte past the input.
    in_.assign(Window + Ahead + 8, 0);
    out_.assign(EncodeOutSize, 0);
    return hash_.Create(Nodes);
}

void TTovanuEncode::ReleaseBuffer()
{
    in_ = {};
    out_ = {};
    hash_.Release();
}

bool TTovanuEncode::Initialize()
{
    ReleaseBuffer();
    if (!CreateBuffer())
        return false;
    pos_ = dataEnd_ = Window;
    consumed_ = readTotal_ = 0;
    outCount_ = 0;
    flagPos_ = -1;
    written_ = 0;
    return true;
}

void TTovanuEncode::HashSearch(unsigned short& length, unsigned short& distance)
{
    length = distance = 0;
    const int max = std::min(inSize_ - consumed_, MaxMatch);
    if (max < 2)
        return;
    const unsigned char* current = in_.data() + pos_;
    int best = 0;
    for (int node = hash_.First(KeyAt(pos_)); node >= 0; node = hash_.Next(node)) {
        const int back = consumed_ - static_cast<int>(hash_.Position(node));
        if (back >= Window)
            break;
        const int found = 2 + CommonLength(current + 2, current - back + 2, max - 2);
        if (found > best) {
            best = found;
            distance = static_cast<unsigned short>(back);
            if (best > GoodEnough)
                break;
        }
    }
    length = static_cast<unsigned short>(best);
}

void TTovanuEncode::InsertCurrent()
{
    hash_.Insert(KeyAt(pos_), static_cast<std::uint32_t>(consumed_));
    ++pos_;
    ++consumed_;
}

void TTovanuEncode::EmitMatch(int length, int distance)
{
    unsigned char* token = &out_[static_cast<std::size_t>(outCount_++)];
    int high;
    if (length <= 14) {
        high = length - 1;
    } else if (length <= 255) {
        high = 14;
        out_[static_cast<std::size_t>(outCount_++)] = static_cast<unsigned char>(length);
    } else {
        high = 15;
        out_[static_cast<std::size_t>(outCount_++)] = static_cast<unsigned char>(length);
        out_[static_cast<std::size_t>(outCount_++)] = static_cast<unsigned char>(length >> 8);
    }
    int low;
    if (distance <= 10) {
        low = distance - 1;
    } else {
        low = 10 + (distance >> 8);
        out_[static_cast<std::size_t>(outCount_++)] = static_cast<unsigned char>(distance);
    }
    *token = static_cast<unsigned char>(high << 4 | low);
}

void TTovanuEncode::OpenPacket()
{
    flagPos_ = outCount_;
    outCount_ += 4;
    flags_ = 0;
    mask_ = 0x80000000u;
    items_ = 0;
}

void TTovanuEncode::ClosePacket()
{
    StoreU32(&out_[static_cast<std::size_t>(flagPos_)], flags_);
    flagPos_ = -1;
}

// Drops the oldest step of input, keeping the window and the look-ahead, and reads the next step.
bool TTovanuEncode::ReadInBuffer(const TCodecRead& read)
{
    std::memmove(in_.data(), in_.data() + Step, static_cast<std::size_t>(Window + Ahead - Step));
    pos_ -= Step;
    dataEnd_ -= Step;
    const int n = std::min(Step, inSize_ - readTotal_);
    if (n > 0 && !read(in_.data() + dataEnd_, n))
        return false;
    dataEnd_ += n;
    readTotal_ += n;
    return true;
}

// Writes every finished packet and keeps the open one at the front.
bool TTovanuEncode::WriteOutBuffer(const TCodecWrite& write)
{
    const int done = flagPos_ >= 0 ? flagPos_ : outCount_;
    if (done > 0 && !write(out_.data(), done))
        return false;
    written_ += done;
    outSize_ = static_cast<int>(written_);
    std::memmove(out_.data(), out_.data() + done, static_cast<std::size_t>(outCount_ - done));
    outCount_ -= done;
    if (flagPos_ >= 0)
        flagPos_ = 0;
    return true;
}

bool TTovanuEncode::EncodeAll(const TCodecRead& read, const TCodecWrite& write, const TCodecProgress& progress)
{
    const int first = std::min(inSize_, Ahead);
    if (!read(in_.data() + Window, first))
        return false;
    dataEnd_ = Window + first;
    readTotal_ = first;
    int nextStep = Step;
    OpenPacket();
    while (consumed_ < inSize_) {
        unsigned short length, distance;
        HashSearch(length, distance);
        if (length > 0 && MatchCost(length, distance) <= length) {
            flags_ |= mask_;
            EmitMatch(length, distance);
            for (int i = 0; i < length; ++i)
                InsertCurrent();
        } else {
            out_[static_cast<std::size_t>(outCount_++)] = in_[static_cast<std::size_t>(pos_)];
            InsertCurrent();
        }
        mask_ >>= 1;
        if (++items_ == PacketItems || consumed_ == inSize_) {
            ClosePacket();
            if (consumed_ < inSize_)
                OpenPacket();
        }
        if (written_ + outCount_ > outLimit_)
            return false;
        if (consumed_ >= nextStep) {
            if (!ReadInBuffer(read) || !WriteOutBuffer(write))
                return false;
            if (progress)
                progress(CodecPercent(consumed_, inSize_));
            nextStep += Step;
        }
    }
    if (!WriteOutBuffer(write))
        return false;
    if (progress)
        progress(100);
    return true;
}

bool TTovanuEncode::Encode(int inSize, int outLimit, TCodecRead read, TCodecWrite write, TCodecProgress progress)
{
    outSize_ = 0;
    if (inSize == 0)
        return true;
    if (inSize < 0)
        return false;
    const auto pass = [&] {
        if (!Initialize())
            return false;
        inSize_ = inSize;
        outLimit_ = outLimit;
        return EncodeAll(read, write, progress);
    };
    return RunCodecCall(busy_, pass, [this] { Finish(); });
}

// ---- Decoder -------------------------------------------------------------------------------------

bool TTovanuDecode::CreateBuffer()
{
    in_.assign(DecodeInSize + Slack, 0);
    out_.assign(DecodeOutSize + Slack, 0);
    return true;
}

void TTovanuDecode::ReleaseBuffer()
{
    in_ = {};
    out_ = {};
}

bool TTovanuDecode::Initialize()
{
    ReleaseBuffer();
    if (!CreateBuffer())
        return false;
    inPos_ = inEnd_ = readTotal_ = 0;
    outPos_ = flushFrom_ = Window;
    produced_ = 0;
    return true;
}

// Moves the unread bytes to the front and reads up to a step more.
bool TTovanuDecode::ReadInBuffer(const TCodecRead& read)
{
    const int unread = inEnd_ - inPos_;
    std::memmove(in_.data(), in_.data() + inPos_, static_cast<std::size_t>(unread));
    inPos_ = 0;
    inEnd_ = unread;
    const int n = std::min(Step, inSize_ - readTotal_);
    if (!read(in_.data() + inEnd_, n))
        return false;
    inEnd_ += n;
    readTotal_ += n;
    return true;
}

// Writes the pending output and keeps the last window of it as history.
bool TTovanuDecode::WriteOutBuffer(const TCodecWrite& write)
{
    if (outPos_ > flushFrom_ && !write(out_.data() + flushFrom_, outPos_ - flushFrom_))
        return false;
    outSize_ = produced_;
    std::memmove(out_.data(), out_.data() + outPos_ - Window, Window);
    outPos_ = flushFrom_ = Window;
    return true;
}

// Decodes one packet from the input buffer, which holds either a whole packet's worth or all the
// input that is left. Stops early once the output is complete. False for a malformed item. The
// positions live in locals while bytes are stored, so that the stores cannot be taken to change them.
bool TTovanuDecode::DecodePacket(const TCodecWrite& write)
{
    const unsigned char* ip = in_.data() + inPos_;
    const unsigned char* const inEnd = in_.data() + inEnd_;
    unsigned char* op = out_.data() + outPos_;
    unsigned char* const flushAt = out_.data() + Window + Step;
    int left = plainSize_ - produced_;
    const auto save = [&] {
        inPos_ = static_cast<int>(ip - in_.data());
        outPos_ = static_cast<int>(op - out_.data());
        produced_ = plainSize_ - left;
    };
    if (inEnd - ip < 4)
        return false;
    std::uint32_t flags = LoadU32(ip);
    ip += 4;
    int items = PacketItems;
    while (items > 0 && left > 0) {
        // Past a step of pending output, write it: the buffer then always has room for one item.
        if (op > flushAt) {
            save();
            if (!WriteOutBuffer(write))
                return false;
            op = out_.data() + outPos_;
        }
        if ((flags & 0x80000000u) == 0) {
            // A run of literals, copied at once.
            const int run = std::min({flags == 0 ? items : std::countl_zero(flags), items, left});
            if (inEnd - ip < run)
                return false;
            std::memcpy(op, ip, PacketItems); // the buffers' slack takes the excess
            ip += run;
            op += run;
            left -= run;
            items -= run;
            flags = run >= 32 ? 0 : flags << run;
            continue;
        }
        if (inEnd - ip < 1)
            return false;
        const int high = *ip >> 4, low = *ip & 15;
        ++ip;
        const int extra = (high == 14 ? 1 : high == 15 ? 2 : 0) + (low >= 10 ? 1 : 0);
        if (inEnd - ip < extra)
            return false;
        int length = high + 1;
        if (high == 14)
            length = *ip++;
        else if (high == 15)
            length = ip[0] | ip[1] << 8, ip += 2;
        int distance = low + 1;
        if (low >= 10)
            distance = (low - 10) << 8 | *ip++;
        const int produced = plainSize_ - left;
        if (length == 0 || distance == 0 || distance > produced)
            return false;
        length = std::min(length, left); // the last match is cut at the output's end
        const unsigned char* src = op - distance;
        if (distance >= 16) {
            for (int i = 0; i < length; i += 16) // overlapping only by whole pieces already written
                std::memcpy(op + i, src + i, 16);
        } else if (distance >= 8) {
            for (int i = 0; i < length; i += 8)
                std::memcpy(op + i, src + i, 8);
        } else if (distance == 1) {
            std::memset(op, *src, static_cast<std::size_t>(length));
        } else {
            for (int i = 0; i < length; ++i)
                op[i] = src[i];
        }
        op += length;
        left -= length;
        --items;
        flags <<= 1;
    }
    save();
    return true;
}

bool TTovanuDecode::DecodeAll(const TCodecRead& read, const TCodecWrite& write, const TCodecProgress& progress)
{
    if (!ReadInBuffer(read))
        return false;
    while (produced_ < plainSize_) {
        if (inEnd_ - inPos_ < 256 && readTotal_ < inSize_) {
            if (!ReadInBuffer(read))
                return false;
            if (progress)
                progress(CodecPercent(readTotal_, inSize_));
        }
        if (!DecodePacket(write))
            return false;
    }
    // The output is complete: whatever input follows is not looked at.
    if (!WriteOutBuffer(write))
        return false;
    if (progress)
        progress(100);
    return true;
}

bool TTovanuDecode::Decode(int inSize, int outSize, TCodecRead read, TCodecWrite write, TCodecProgress progress)
{
    outSize_ = 0;
    if (inSize == 0)
        return outSize == 0;
    if (inSize < 0 || outSize < 0)
        return false;
    const auto pass = [&] {
        if (!Initialize())
            return false;
        inSize_ = inSize;
        plainSize_ = outSize;
        return DecodeAll(read, write, progress);
    };
    return RunCodecCall(busy_, pass, [this] { Finish(); });
}
