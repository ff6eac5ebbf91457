// The adaptive range coder over 257 symbols: model, encoder and decoder.
#include "base/codecs/TRangeCoder.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

constexpr std::uint32_t Top = 1u << 31;
constexpr std::uint32_t Bottom = 1u << 23;
constexpr int Shift = 23;
constexpr int ExtraBits = 7;

// An inconsistent model: the coder drops it, so later calls fail until it is built again.
class EModelBroken : public Exception {
    using Exception::Exception;
};

std::array<std::uint16_t, TQSModel::Symbols> MakeInitialCounts()
{
    std::array<std::uint16_t, TQSModel::Symbols> counts{};
    static constexpr std::uint16_t head[] = {1400, 640, 320, 240, 160, 120, 80, 64, 48, 40, 32, 24};
    struct Span {
        int first, last;
        std::uint16_t count;
    };
    static constexpr Span spans[] = {{12, 15, 20}, {16, 19, 16}, {20, 25, 12}, {26, 31, 8}, {32, 47, 6},
                                     {48, 63, 5},  {64, 95, 4},  {96, 133, 3}, {134, 256, 2}};
    for (int i = 0; i < 12; ++i)
        counts[i] = head[i];
    for (const Span& span : spans)
        for (int i = span.first; i <= span.last; ++i)
            counts[i] = span.count;
    return counts;
}

} // namespace

const std::array<std::uint16_t, TQSModel::Symbols> TQSModel::InitialCounts = MakeInitialCounts();

TQSModel::TQSModel(std::span<const std::uint16_t> counts, bool withSearch) : withSearch_(withSearch)
{
    cf_[Symbols] = Total;
    cf_[0] = 0;
    search_[1 << 9] = Symbols - 1;
    const bool usable = counts.size() == Symbols && std::accumulate(counts.begin(), counts.end(), 0u) == Total;
    for (int i = 0; i < Symbols; ++i)
        newf_[i] = usable ? counts[i] : static_cast<std::uint16_t>(Total / Symbols + (i < int(Total % Symbols) ? 1 : 0));
    Rescale();
}

// Either spreads the remainder of the last interval, or halves the working counts into a new
// cumulative table and works out how much each occurrence adds until the next rescale.
void TQSModel::Rescale()
{
    if (nextLeft_ > 0) {
        ++incr_;
        left_ = nextLeft_;
        nextLeft_ = 0;
        return;
    }
    if (interval_ < TargetInterval)
        interval_ = std::min(interval_ * 2, TargetInterval);
    int acc = Total;
    for (int i = Symbols - 1; i > 0; --i) {
        acc -= newf_[i];
        cf_[i] = static_cast<std::uint16_t>(acc);
    }
    if (acc != newf_[0])
        throw EModelBroken(Format("rescaling left %d total frequency", acc));
    // Halved and odd, so that no count reaches 0; a pass of its own, which the compiler vectorises.
    int missing = Total;
    for (std::uint16_t& count : newf_) {
        count = static_cast<std::uint16_t>((count >> 1) | 1);
        missing -= count;
    }
    incr_ = missing / interval_;
    nextLeft_ = missing % interval_;
    left_ = interval_ - nextLeft_;
    if (!withSearch_)
        return;
    for (int i = Symbols; i > 0; --i)
        for (int j = cf_[i - 1] >> SearchShift; j <= (cf_[i] - 1) >> SearchShift; ++j)
            search_[j] = static_cast<std::uint16_t>(i - 1);
}

int TQSModel::Find(unsigned value) const
{
    int lo = search_[value >> SearchShift];
    int hi = search_[(value >> SearchShift) + 1] + 1;
    while (lo + 1 < hi) {
        const int mid = (lo + hi) / 2;
        if (value < cf_[mid])
            hi = mid;
        else
            lo = mid;
    }
    return lo;
}

// ---- Encoder -------------------------------------------------------------------------------------

bool TRangeEncode::CreateBuffer()
{
    if (!model_)
        model_ = std::make_unique<TQSModel>(TQSModel::InitialCounts, false);
    return true;
}

void TRangeEncode::ReleaseBuffer() { model_.reset(); }

bool TRangeEncode::Initialize()
{
    ReleaseBuffer();
    return CreateBuffer();
}

namespace {

// The most bytes a stream of `inSize` bytes can take: the first byte, at most two bytes for each
// symbol (a slot is at least 1 wide, so a range above BOTTOM never drops below 2^11) and for the
// finish, and the four closing bytes.
constexpr std::int64_t LongestStream(int inSize) { return 2 * (std::int64_t{inSize} + 2) + 5; }

// Turns the 0xFF bytes before `at` to 0x00 and adds one to the byte before them: a carry into
// bytes already written.
void CarryInto(unsigned char* at)
{
    while (++*at == 0)
        --at;
}

// The encoder for output that cannot outgrow its room. Settled bytes go straight to the output
// and a carry is added to the bytes already there, which gives the same bytes as holding back a
// byte and its following 0xFF bytes until no carry can reach them. A carry waits in low's top bit
// and is added to the last byte at the next shift without a branch: carries come at random, and
// a branch on them is one the processor cannot foresee.
struct DirectWriter {
    unsigned char* out;
    unsigned char* at = out;
    std::uint32_t low = 0;
    std::uint32_t range = Top;

    void Normalize()
    {
        if (range > Bottom)
            return;
        const unsigned last = at[-1] + (low >> 31);
        at[-1] = static_cast<unsigned char>(last);
        if (last > 0xFF)
            CarryInto(at - 2);
        do {
            *at++ = static_cast<unsigned char>(low >> Shift);
            range <<= 8;
            low = (low << 8) & (Top - 1);
        } while (range <= Bottom);
    }
    // A byte's slot never reaches the top of the table: the end symbol's slot, at least 1 wide,
    // lies above every byte's.
    void CodeByte(unsigned slotLow, unsigned width)
    {
        Normalize();
        const std::uint32_t r = range >> TQSModel::TotalShift;
        low += r * slotLow;
        range = r * width;
    }
    // The end symbol, the last slot: it takes the rest of the range.
    void CodeEnd(unsigned slotLow)
    {
        Normalize();
        const std::uint32_t r = range >> TQSModel::TotalShift;
        low += r * slotLow;
        range -= r * slotLow;
    }
    // The last code byte, rounded so that the decoder's look-ahead stays in the final interval, and
    // the stream's length as a 24-bit big-endian number. Returns the length.
    int Finish()
    {
        Normalize();
        const auto length = static_cast<std::uint32_t>(at - out) + 4;
        std::uint32_t last = low >> Shift;
        if ((low & (Bottom - 1)) >= length / 2)
            ++last;
        if (last > 0xFF)
            CarryInto(at - 1);
        for (const std::uint32_t byte : {last, length >> 16, length >> 8, length})
            *at++ = static_cast<unsigned char>(byte);
        return static_cast<int>(at - out);
    }
};

int EncodeDirect(TQSModel& model, std::span<const unsigned char> in, unsigned char* out)
{
    DirectWriter writer{out};
    *writer.at++ = 0;
    const auto code = [&writer](unsigned slotLow, unsigned width) { writer.CodeByte(slotLow, width); };
    while (!in.empty())
        in = in.subspan(model.CodeStretch(in, code));
    writer.CodeEnd(model.Low(TQSModel::EndSymbol));
    return writer.Finish();
}

// The encoder for output that may outgrow its room. It holds back the last settled byte and the
// 0xFF bytes after it until a carry is ruled out, so a stream that does not fit stops exactly
// where the first byte past the room would be written: the model has then counted the bytes up
// to that one, and a later call goes on from there.
struct HeldWriter {
    unsigned char* out;
    int capacity;
    int count = 0;
    bool overflow = false;
    std::uint32_t low = 0;
    std::uint32_t range = Top;
    std::uint32_t buffer = 0;
    std::uint32_t pending = 0;
    std::uint32_t bytecount = 0;

    void Emit(unsigned value)
    {
        if (count >= capacity) {
            overflow = true;
            return;
        }
        out[count++] = static_cast<unsigned char>(value);
    }
    // Emits the held byte, plus one when a carry arrived, and the bytes after it, which the carry
    // turns from 0xFF into 0x00.
    void Release(bool carry)
    {
        Emit(buffer + (carry ? 1 : 0));
        for (; pending > 0; --pending)
            Emit(carry ? 0x00 : 0xFF);
    }
    void Normalize()
    {
        while (range <= Bottom) {
            if (low < 0xFFu << Shift || low >= Top) {
                Release(low >= Top);
                buffer = low >> Shift;
            } else {
                ++pending;
            }
            range <<= 8;
            low = (low << 8) & (Top - 1);
            ++bytecount;
        }
    }
    void Code(unsigned slotLow, unsigned width)
    {
        Normalize();
        const std::uint32_t r = range >> TQSModel::TotalShift;
        low += r * slotLow;
        if (slotLow + width >= TQSModel::Total)
            range -= r * slotLow;
        else
            range = r * width;
    }
    void Finish()
    {
        Normalize();
        bytecount += 5;
        std::uint32_t last = low >> Shift;
        if ((low & (Bottom - 1)) >= bytecount / 2)
            ++last;
        Release(last > 0xFF);
        for (const std::uint32_t byte : {last, bytecount >> 16, bytecount >> 8, bytecount})
            Emit(byte);
    }
};

// The stream's length, or -1 when it did not fit.
int EncodeHeld(TQSModel& model, std::span<const unsigned char> in, unsigned char* out, int capacity)
{
    HeldWriter writer{out, capacity};
    for (std::size_t i = 0; i < in.size() && !writer.overflow; ++i) {
        writer.Code(model.Low(in[i]), model.Width(in[i]));
        model.Update(in[i]);
    }
    if (!writer.overflow) {
        writer.Code(model.Low(TQSModel::EndSymbol), model.Width(TQSModel::EndSymbol));
        writer.Finish();
    }
    return writer.overflow ? -1 : writer.count;
}

} // namespace

bool TRangeEncode::Encode(const unsigned char* in, unsigned char* out, int outCapacity, int inSize)
{
    outSize_ = 0;
    if (!model_ || busy_)
        return false;
    if (inSize < 1)
        return true;
    busy_ = true;
    const std::span<const unsigned char> input(in, static_cast<std::size_t>(inSize));
    int written = -1;
    try {
        written = outCapacity >= LongestStream(inSize) ? EncodeDirect(*model_, input, out)
                                                       : EncodeHeld(*model_, input, out, outCapacity);
    } catch (const EModelBroken&) {
        model_.reset();
    }
    busy_ = false;
    if (written < 0)
        return false;
    outSize_ = written;
    return true;
}

// ---- Decoder -------------------------------------------------------------------------------------

bool TRangeDecode::CreateBuffer()
{
    if (!model_)
        model_ = std::make_unique<TQSModel>(TQSModel::InitialCounts, true);
    return true;
}

void TRangeDecode::ReleaseBuffer() { model_.reset(); }

bool TRangeDecode::Initialize()
{
    ReleaseBuffer();
    return CreateBuffer();
}

namespace {

// The decoder's running state, kept in a local object so that it stays in registers while output
// bytes are stored.
struct RangeReader {
    const unsigned char* in;
    int inSize;
    int inCount = 0;
    bool overflow = false;
    std::uint32_t low = 0;
    std::uint32_t range = 0;
    std::uint32_t buffer = 0;
    std::uint32_t help = 0;

    // Two bytes start the decoder: the first (the encoder's initial carry byte) holds nothing it
    // needs.
    void Start()
    {
        NextByte();
        buffer = NextByte();
        low = buffer >> (8 - ExtraBits);
        range = 1u << ExtraBits;
    }
    // Past the end of the input the decoder reads zeros and notes the overflow.
    unsigned NextByte()
    {
        if (inCount >= inSize) {
            overflow = true;
            return 0;
        }
        return in[inCount++];
    }
    void Normalize()
    {
        while (range <= Bottom) {
            low = (low << 8) | ((buffer << ExtraBits) & 0xFF);
            buffer = NextByte();
            low |= buffer >> (8 - ExtraBits);
            range <<= 8;
        }
    }
    // low / help < cf[1] exactly when low < help × cf[1]: symbol 0, by far the most frequent code
    // after move-to-front, is told without a division or a search.
    int DecodeSymbol(const TQSModel& model)
    {
        Normalize();
        help = range >> TQSModel::TotalShift;
        if (low < help * model.Low(1))
            return 0;
        const std::uint32_t value = low / help;
        return model.Find(value >= TQSModel::Total ? TQSModel::Total - 1 : value);
    }
    // Decodes the zeros that come next, up to `room` and no further than the model's next rescale,
    // and returns how many; the model is left to count them. Symbol 0's slot starts at 0 and ends
    // below Total, so taking it only narrows the range: one multiply and compare per zero, the
    // long runs of zeros that move-to-front makes of runs in the transform.
    int DecodeZeros(const TQSModel& model, unsigned char* out, int room)
    {
        const int limit = std::min(room, model.UntilRescale());
        const std::uint32_t zeroWidth = model.Width(0);
        int count = 0;
        while (count < limit) {
            Normalize();
            const std::uint32_t zeroRange = (range >> TQSModel::TotalShift) * zeroWidth;
            if (low >= zeroRange)
                break;
            range = zeroRange;
            ++count;
        }
        std::memset(out, 0, static_cast<std::size_t>(count));
        return count;
    }
    // Takes the slot of a symbol. The range never reaches 0: after Normalize help is at least
    // 2,048, and a slot is at least 1 wide.
    void Consume(unsigned slotLow, unsigned width)
    {
        low -= help * slotLow;
        if (slotLow + width >= TQSModel::Total)
            range -= help * slotLow;
        else
            range = help * width;
    }
};

} // namespace

bool TRangeDecode::Decode(const unsigned char* in, unsigned char* out, int outCapacity, int inSize)
{
    outSize_ = 0;
    inCount_ = 0;
    if (!model_ || busy_)
        return false;
    if (inSize < 1)
        return true;
    if (inSize < 2)
        return false; // too short to start: the coder's range would be 0 ("Range Is Zero")
    busy_ = true;
    RangeReader reader{in, inSize};
    TQSModel& model = *model_;
    int outCount = 0;
    bool broken = false;
    try {
        reader.Start();
        // Input that runs out reads as zeros, so the loop need not watch for it; it fails below.
        bool ended = false;
        while (outCount < outCapacity) {
            const int zeros = reader.DecodeZeros(model, out + outCount, outCapacity - outCount);
            model.UpdateRun(0, zeros);
            outCount += zeros;
            if (outCount == outCapacity)
                break;
            const int symbol = reader.DecodeSymbol(model);
            if (symbol == TQSModel::EndSymbol) {
                ended = true;
                break;
            }
            out[outCount++] = static_cast<unsigned char>(symbol);
            reader.Consume(model.Low(symbol), model.Width(symbol));
            model.Update(symbol);
        }
        // Step over the end symbol's slot so that the stream's closing bytes are taken as well.
        if (!ended && !reader.overflow) {
            reader.Normalize();
            reader.help = reader.range >> TQSModel::TotalShift;
        }
        reader.Consume(model.Low(TQSModel::EndSymbol), model.Width(TQSModel::EndSymbol));
        reader.Normalize();
    } catch (const EModelBroken&) {
        model_.reset();
        broken = true;
    }
    busy_ = false;
    inCount_ = reader.inCount;
    if (reader.overflow || broken)
        return false;
    outSize_ = outCount;
    return true;
}
