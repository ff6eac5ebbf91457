// The adaptive range coder over 257 symbols (the byte values and an end symbol): TQSModel,
// TRangeEncode and TRangeDecode. Save files use it directly; the block-sorting codec uses it as its
// last stage. The stream has no header and ends with the coder's four closing bytes.
#pragma once

#include "platform/classes/Component.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// Frequency model over a fixed total of 4096. Symbols are coded with the cumulative table, which
// changes only when the model rescales; occurrences accumulate in working counts between rescales,
// on an interval that doubles from 18 up to 2000 symbols.
class TQSModel {
public:
    static constexpr int Symbols = 257;
    static constexpr int EndSymbol = 256;
    static constexpr int TotalShift = 12;
    static constexpr unsigned Total = 1u << TotalShift;

    // Starts from `counts` (one per symbol), or evenly when they are not 257 counts summing to
    // Total. `withSearch` builds the decoder's table from cumulative value to symbol.
    TQSModel(std::span<const std::uint16_t> counts, bool withSearch);

    unsigned Low(int symbol) const { return cf_[symbol]; }
    unsigned Width(int symbol) const { return cf_[symbol + 1] - cf_[symbol]; }
    // Counts one occurrence of `symbol` (never the end symbol), rescaling first when due.
    void Update(int symbol)
    {
        if (left_ <= 0)
            Rescale();
        --left_;
        newf_[symbol] = static_cast<std::uint16_t>(newf_[symbol] + incr_);
    }
    // How many more occurrences Update counts before the next rescale: until then the table, and
    // so every symbol's slot, stays as it is.
    int UntilRescale() const { return left_; }
    // Counts `count` occurrences of `symbol`, no more than UntilRescale(): the same as Update(symbol)
    // `count` times.
    void UpdateRun(int symbol, int count)
    {
        left_ -= count;
        newf_[symbol] = static_cast<std::uint16_t>(newf_[symbol] + count * incr_);
    }
    // Codes the bytes of `in` that come before the next rescale, or the first byte and the rescale
    // its count makes: code(low, width) for each, on the table as it stands, then counts them.
    // Returns how many it took, at least one; `in` must not be empty.
    template <typename Code>
    std::size_t CodeStretch(std::span<const unsigned char> in, Code&& code)
    {
        if (left_ <= 0) {
            code(Low(in[0]), Width(in[0]));
            Update(in[0]);
            return 1;
        }
        const std::size_t count = std::min(in.size(), static_cast<std::size_t>(left_));
        const int incr = incr_;
        for (std::size_t i = 0; i < count; ++i) {
            const int symbol = in[i];
            code(cf_[symbol], static_cast<unsigned>(cf_[symbol + 1] - cf_[symbol]));
            newf_[symbol] = static_cast<std::uint16_t>(newf_[symbol] + incr);
        }
        left_ -= static_cast<int>(count);
        return count;
    }
    // The symbol whose slot holds cumulative `value` (below Total); needs the search table.
    int Find(unsigned value) const;

    // The working counts a coder starts with: biased towards the small codes of move-to-front output.
    static const std::array<std::uint16_t, Symbols> InitialCounts;

private:
    static constexpr int SearchShift = TotalShift - 9;
    static constexpr int TargetInterval = 2000;

    void Rescale();

    std::array<std::uint16_t, Symbols + 1> cf_{};
    std::array<std::uint16_t, Symbols> newf_{};
    std::array<std::uint16_t, (1 << 9) + 1> search_{};
    bool withSearch_;
    int interval_ = (Symbols >> 4) | 2;
    int left_ = 0;
    int nextLeft_ = 0;
    int incr_ = 0;
};

// Codes whole buffers. The model carries over from one Encode to the next; Initialize returns it to
// its start. Not for use by two threads at once.
class TRangeEncode : public TObject {
public:
    // Builds the model if there is none; true when ready.
    bool CreateBuffer();
    void ReleaseBuffer();
    // A fresh model.
    bool Initialize();
    // Codes inSize bytes and the end symbol into out. True when the whole stream fitted in
    // outCapacity bytes; OutSize() is then its length, else 0. inSize below 1: true, nothing written.
    bool Encode(const unsigned char* in, unsigned char* out, int outCapacity, int inSize);
    int OutSize() const { return outSize_; }

private:
    std::unique_ptr<TQSModel> model_;
    bool busy_ = false;
    int outSize_ = 0;
};

// Decodes what TRangeEncode wrote, with the same sequence of calls on the same kind of model.
class TRangeDecode : public TObject {
public:
    bool CreateBuffer();
    void ReleaseBuffer();
    bool Initialize();
    // Decodes from inSize bytes until the end symbol or until outCapacity bytes are written. True
    // unless the input ran out or the stream is broken; OutSize() is then the bytes written, else 0.
    // inSize below 1: true, nothing written.
    bool Decode(const unsigned char* in, unsigned char* out, int outCapacity, int inSize);
    int OutSize() const { return outSize_; }
    // Input bytes the last Decode took: a whole stream is taken exactly, no more and no less.
    int InCount() const { return inCount_; }

private:
    std::unique_ptr<TQSModel> model_;
    bool busy_ = false;
    int outSize_ = 0;
    int inCount_ = 0;
};
