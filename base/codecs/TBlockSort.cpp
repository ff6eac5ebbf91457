// The block-sorting stages: Burrows-Wheeler transform and move-to-front coding.
#include "base/codecs/TBlockSort.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <utility>

// ---- Burrows-Wheeler transform -------------------------------------------------------------------

namespace {

using Run = TBWTEncode::Run;

// The runs of a block that holds at least two values, from a run start on.
void CyclicRuns(const unsigned char* block, int n, std::vector<Run>& runs)
{
    int first = 0;
    while (block[first] == block[first == 0 ? n - 1 : first - 1])
        ++first;
    runs.clear();
    for (int i = 0; i < n;) {
        const int start = (first + i) % n;
        int length = 1;
        while (i + length < n && block[(first + i + length) % n] == block[start])
            ++length;
        runs.push_back({start, length, block[start], 0});
        i += length;
    }
    for (std::size_t m = 0; m < runs.size(); ++m)
        runs[m].side = runs[(m + 1) % runs.size()].value > runs[m].value ? 1 : 0;
}

// Where rotations that begin with part of a run go. Take a rotation made of `rest` bytes of a run of
// value v and then the next run (whose value is on `side` of v). It sorts first by v, then by side
// (a smaller next value sorts it before any run of v followed by a larger one), then by rest:
// ascending when the next value is smaller (it shows up sooner), descending when larger; only equal
// (v, side, rest) leave the order to the rotations that start at the next runs.
int RunKeyCompare(const Run& a, int restA, const Run& b, int restB)
{
    if (a.value != b.value)
        return a.value < b.value ? -1 : 1;
    if (a.side != b.side)
        return a.side < b.side ? -1 : 1;
    if (restA != restB)
        return (restA < restB) == (a.side == 0) ? -1 : 1;
    return 0;
}

} // namespace

bool TBWTEncode::CreateBuffer()
{
    created_ = true;
    return true;
}

void TBWTEncode::ReleaseBuffer()
{
    order_ = {};
    runs_ = {};
    byKey_ = {};
    keys_ = {};
    slots_ = {};
    sort_ = {};
    created_ = false;
}

bool TBWTEncode::Encode(const unsigned char* block, unsigned char* out, int n)
{
    if (!created_ || n < 1 || n > MaxBlock)
        return false;
    int runEnds = 0;
    for (int i = 0; i < n; ++i)
        runEnds += block[i] != block[i + 1 == n ? 0 : i + 1];
    if (runEnds == 0) { // one byte value: every rotation is the block itself
        out[0] = out[1] = 0;
        std::memcpy(out + 2, block, static_cast<std::size_t>(n));
        return true;
    }
    int primary = 0;
    const auto emit = [&](int row, int start) {
        if (start == 0)
            primary = row;
        out[2 + row] = block[start == 0 ? n - 1 : start - 1];
    };
    if (2 * runEnds > n) {
        sort_.Sort(std::span(block, static_cast<std::size_t>(n)), order_);
        for (int row = 0; row < n; ++row)
            emit(row, order_[static_cast<std::size_t>(row)]);
    } else {
        SortByRuns(block, n, emit);
    }
    out[0] = static_cast<unsigned char>(primary);
    out[1] = static_cast<unsigned char>(primary >> 8);
    return true;
}

// For blocks made of long runs: sort only the rotations that start runs, as rotations of the
// sequence of run keys (RunKeyCompare on whole runs), then place every rotation by its run key,
// each key's rotations in the order of the rotations at the runs that follow them.
void TBWTEncode::SortByRuns(const unsigned char* block, int n, const std::function<void(int row, int start)>& emit)
{
    std::vector<Run>& runs = runs_;
    CyclicRuns(block, n, runs);
    const int count = static_cast<int>(runs.size());

    // Dense keys of whole runs, 1 upwards.
    std::vector<std::int32_t>& byKey = byKey_;
    byKey.resize(runs.size());
    std::iota(byKey.begin(), byKey.end(), 0);
    const auto compareRuns = [&](int a, int b) {
        const Run& x = runs[static_cast<std::size_t>(a)];
        const Run& y = runs[static_cast<std::size_t>(b)];
        return RunKeyCompare(x, x.length, y, y.length);
    };
    std::sort(byKey.begin(), byKey.end(), [&](int a, int b) { return compareRuns(a, b) < 0; });
    std::vector<std::int32_t>& keys = keys_;
    keys.resize(runs.size());
    int key = 0;
    for (int i = 0; i < count; ++i) {
        if (i == 0 || compareRuns(byKey[static_cast<std::size_t>(i) - 1], byKey[static_cast<std::size_t>(i)]) != 0)
            ++key;
        keys[static_cast<std::size_t>(byKey[static_cast<std::size_t>(i)])] = key;
    }
    sort_.Sort(keys, key + 1, order_);

    // Rows of each (value, side, rest) bucket: groups value × 2 + side, rest ordered as the key says.
    constexpr int Groups = 512;
    std::array<int, Groups + 1> groupBase{};
    for (const Run& run : runs)
        groupBase[static_cast<std::size_t>(run.value * 2 + run.side) + 1] =
            std::max(groupBase[static_cast<std::size_t>(run.value * 2 + run.side) + 1], run.length);
    for (int g = 0; g < Groups; ++g)
        groupBase[static_cast<std::size_t>(g) + 1] += groupBase[static_cast<std::size_t>(g)];
    // next[base + rest - 1]: first counts of runs at least that long, then the next free row.
    std::vector<int>& next = slots_;
    next.assign(static_cast<std::size_t>(groupBase[Groups]), 0);
    const auto slot = [&](const Run& run, int rest) -> int& {
        return next[static_cast<std::size_t>(groupBase[static_cast<std::size_t>(run.value * 2 + run.side)] + rest - 1)];
    };
    for (const Run& run : runs)
        ++slot(run, run.length);
    int row = 0;
    for (int g = 0; g < Groups; ++g) {
        const int base = groupBase[static_cast<std::size_t>(g)], size = groupBase[static_cast<std::size_t>(g) + 1] - base;
        int atLeast = 0;
        for (int rest = size; rest >= 1; --rest) // runs at least `rest` long
            next[static_cast<std::size_t>(base + rest - 1)] = atLeast += next[static_cast<std::size_t>(base + rest - 1)];
        const bool ascending = g % 2 == 0;
        for (int i = 0; i < size; ++i) {
            int& entry = next[static_cast<std::size_t>(base + (ascending ? i : size - 1 - i))];
            row += std::exchange(entry, row);
        }
    }
    for (int i = 0; i < count; ++i) {
        const int following = order_[static_cast<std::size_t>(i)];
        const Run& run = runs[static_cast<std::size_t>(following == 0 ? count - 1 : following - 1)];
        for (int rest = 1; rest <= run.length; ++rest) {
            const int start = run.start + run.length - rest;
            emit(slot(run, rest)++, start < n ? start : start - n);
        }
    }
}

// The tables grow with the blocks decoded, so that a small block costs little.
bool TBWTDecode::CreateBuffer()
{
    created_ = true;
    return true;
}

void TBWTDecode::ReleaseBuffer()
{
    next_ = {};
    back_ = {};
    created_ = false;
}

// Rebuilds the block from both ends at once: two independent chains of loads run twice as fast as
// one. next_[row] holds the row of the rotation one further on and lastOf_[row] the row of the
// rotation one back, each with a byte in its top 8 bits: the row's first byte (for going forward)
// and its last byte (for going back), so each output byte costs one memory access.
bool TBWTDecode::Decode(const unsigned char* in, unsigned char* out, int len)
{
    if (!created_ || len < 3 || len > TBWTEncode::MaxBlock + 2)
        return false;
    const int n = len - 2;
    const int primary = in[0] | in[1] << 8;
    if (primary >= n)
        return false;
    const unsigned char* last = in + 2;
    if (next_.size() < static_cast<std::size_t>(n)) {
        next_.resize(static_cast<std::size_t>(n));
        back_.resize(static_cast<std::size_t>(n));
    }
    std::array<int, 256> ends{};
    for (int i = 0; i < n; ++i)
        ++ends[last[i]];
    std::partial_sum(ends.begin(), ends.end(), ends.begin());
    for (int i = n - 1; i >= 0; --i) {
        const std::uint32_t byte = static_cast<std::uint32_t>(last[i]) << 24;
        const int row = --ends[last[i]]; // the row whose rotation is row i's one back
        next_[static_cast<std::size_t>(row)] = static_cast<std::uint32_t>(i) | byte;
        back_[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(row) | byte;
    }
    constexpr std::uint32_t RowMask = 0xFFFFFF;
    std::uint32_t forward = next_[static_cast<std::size_t>(primary)];
    std::uint32_t backward = back_[static_cast<std::size_t>(primary)];
    const int half = n / 2;
    for (int k = 0; k < half; ++k) {
        out[k] = static_cast<unsigned char>(forward >> 24);
        forward = next_[forward & RowMask];
        out[n - 1 - k] = static_cast<unsigned char>(backward >> 24);
        backward = back_[backward & RowMask];
    }
    if (n % 2 != 0)
        out[half] = static_cast<unsigned char>(forward >> 24);
    return true;
}

// ---- Move-to-front -------------------------------------------------------------------------------

namespace {

// Moves list[place] (= value) to the front, the values before it one place back. Places below 8,
// the common case after the transform, are shifted within one 64-bit word.
void MoveToFront(std::array<unsigned char, 256>& list, int place, unsigned char value)
{
    if (place >= 8) {
        std::memmove(list.data() + 1, list.data(), static_cast<std::size_t>(place));
        list[0] = value;
        return;
    }
    std::uint64_t word;
    std::memcpy(&word, list.data(), 8);
    const std::uint64_t moved = place == 7 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (place + 1))) - 1;
    word = (((word << 8) | value) & moved) | (word & ~moved);
    std::memcpy(list.data(), &word, 8);
}

} // namespace

bool TMTFEncode::CreateBuffer()
{
    std::iota(list_.begin(), list_.end(), 0);
    created_ = true;
    return true;
}

bool TMTFEncode::Encode(unsigned char* buf, int len)
{
    if (len < 1)
        return true;
    if (!created_)
        return false;
    for (int i = 0; i < len; ++i) {
        const unsigned char value = buf[i];
        if (list_[0] == value) { // the usual case after the transform
            buf[i] = 0;
            continue;
        }
        const auto place = static_cast<int>(
            static_cast<const unsigned char*>(std::memchr(list_.data(), value, list_.size())) - list_.data());
        MoveToFront(list_, place, value);
        buf[i] = static_cast<unsigned char>(place);
    }
    return true;
}

bool TMTFDecode::CreateBuffer()
{
    std::iota(list_.begin(), list_.end(), 0);
    created_ = true;
    return true;
}

bool TMTFDecode::Decode(unsigned char* buf, int len)
{
    if (len < 1)
        return true;
    if (!created_)
        return false;
    for (int i = 0; i < len;) {
        const unsigned char place = buf[i];
        if (place != 0) {
            const unsigned char value = list_[place];
            MoveToFront(list_, place, value);
            buf[i++] = value;
            continue;
        }
        // A run of zeros, the usual case after the transform, is the front value repeated.
        const std::uint64_t front = list_[0] * 0x0101010101010101u;
        for (std::uint64_t word; i + 8 <= len && (std::memcpy(&word, buf + i, 8), word == 0); i += 8)
            std::memcpy(buf + i, &front, 8);
        for (; i < len && buf[i] == 0; ++i)
            buf[i] = list_[0];
    }
    return true;
}
