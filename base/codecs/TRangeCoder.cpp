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
    int missing = Total;
    for (int i = Symbols - 1; i > 0; --i) {
        acc -= newf_[i];
        cf_[i] = static_cast<std::uint16_t>(acc);
        newf_[i] = static_cast<std::uint16_t>((newf_[i] >> 1) | 1);
        missing -= newf_[i];
    }
    if (acc != newf_[0])
        throw EModelBroken(Format("rescaling left %d total frequency", acc));
    newf_[0] = static_cast<std::uint16_t>((newf_[0] >> 1) | 1);
    missing -= newf_[0];
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

void TRangeEncode::Emit(unsigned value)
{
    if (outCount_ >= outCapacity_) {
        overflow_ = true;
        return;
    }
    out_[outCount_++] = static_cast<unsigned char>(value);
}

// Shifts out settled top bytes. A byte that a later carry could still change is held in buffer_,
// followed by pending_ bytes of 0xFF that the carry would turn into 0x00.
void TRangeEncode::Normalize()
{
    while (range_ <= Bottom) {
        if (low_ < 0xFFu << Shift) {
            Emit(buffer_);
            for (; pending_ > 0; --pending_)
                Emit(0xFF);
            buffer_ = low_ >> Shift;
        } else if (low_ >= Top) {
            Emit(buffer_ + 1);
            for (; pending_ > 0; --pending_)
                Emit(0x00);
            buffer_ = low_ >> Shift;
        } else {
            ++pending_;
        }
        range_ <<= 8;
        low_ = (low_ << 8) & (Top - 1);
        ++bytecount_;
    }
}

void TRangeEncode::Code(unsigned low, unsigned width)
{
    Normalize();
    const std::uint32_t r = range_ >> TQSModel::TotalShift;
    low_ += r * low;
    if (low + width >= TQSModel::Total)
        range_ -= r * low;
    else
        range_ = r * width;
}

// Closes the stream: the last code byte, rounded so that the decoder's look-ahead cannot leave the
// final interval, then the stream length as a 24-bit big-endian number.
void TRangeEncode::Finish()
{
    Normalize();
    bytecount_ += 5;
    const std::uint32_t top = low_ >> Shift;
    const std::uint32_t last = (low_ & (Bottom - 1)) >= bytecount_ / 2 ? top + 1 : top;
    if (last > 0xFF) {
        Emit(buffer_ + 1);
        for (; pending_ > 0; --pending_)
            Emit(0x00);
    } else {
        Emit(buffer_);
        for (; pending_ > 0; --pending_)
            Emit(0xFF);
    }
    Emit(last);
    Emit(bytecount_ >> 16);
    Emit(bytecount_ >> 8);
    Emit(bytecount_);
}

bool TRangeEncode::Encode(const unsigned char* in, unsigned char* out, int outCapacity, int inSize)
{
    outSize_ = 0;
    if (!model_ || busy_)
        return false;
    if (inSize < 1)
        return true;
    busy_ = true;
    low_ = 0;
    range_ = Top;
    buffer_ = 0;
    pending_ = 0;
    bytecount_ = 0;
    out_ = out;
    outCount_ = 0;
    outCapacity_ = outCapacity;
    overflow_ = false;
    bool broken = false;
    try {
        for (int i = 0; i < inSize && !overflow_; ++i) {
            Code(model_->Low(in[i]), model_->Width(in[i]));
            model_->Update(in[i]);
        }
        if (!overflow_) {
            Code(model_->Low(TQSModel::EndSymbol), model_->Width(TQSModel::EndSymbol));
            Finish();
        }
    } catch (const EModelBroken&) {
        model_.reset();
        broken = true;
    }
    busy_ = false;
    if (overflow_ || broken)
        return false;
    outSize_ = outCount_;
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
            model.UpdateZeros(zeros);
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
