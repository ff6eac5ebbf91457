// Sorting cyclic rotations: the least rotation of the text's primitive pattern is a Lyndon word,
// and the rotations of a Lyndon word sort exactly as its suffixes do, so one suffix sort (SA-IS)
// of that word orders every distinct rotation.
#include "base/codecs/RotationSort.h"

#include "base/codecs/CommonLength.h"

#include <algorithm>
#include <array>

namespace {

using Memory = RotationSort::Memory;

// v's storage, grown to hold at least n elements; what it held is left for the caller to overwrite.
template <typename T> T* AtLeast(std::vector<T>& v, std::size_t n)
{
    if (v.size() < n)
        v.resize(n);
    return v.data();
}

// Suffix sorting by induced sorting (SA-IS), linear in the length whatever the input: s holds n
// symbols below k and ends in a 0 that occurs nowhere else. The reduced problems are int32 strings.
using TypeArray = std::vector<std::uint8_t>; // 1 = S-type (smaller than the suffix after it)

// An S-type suffix right after an L-type one (leftmost S); never position 0.
bool IsLms(const TypeArray& type, int i)
{
    return i > 0 && (type[static_cast<std::size_t>(i)] & (type[static_cast<std::size_t>(i) - 1] ^ 1));
}

// The first place (ends false) or one past the last place (ends true) of each symbol's bucket.
void BucketBounds(const std::vector<int>& counts, std::vector<int>& bucket, bool ends)
{
    int sum = 0;
    for (std::size_t c = 0; c < counts.size(); ++c) {
        sum += counts[c];
        bucket[c] = ends ? sum : sum - counts[c];
    }
}

template <typename Symbol>
void InduceL(const TypeArray& type, std::int32_t* sa, const Symbol* s, int n, const std::vector<int>& counts,
             std::vector<int>& bucket)
{
    BucketBounds(counts, bucket, false);
    for (int i = 0; i < n; ++i) {
        const int j = sa[i] - 1;
        if (j >= 0 && !type[static_cast<std::size_t>(j)])
            sa[bucket[static_cast<std::size_t>(s[j])]++] = j;
    }
}

template <typename Symbol>
void InduceS(const TypeArray& type, std::int32_t* sa, const Symbol* s, int n, const std::vector<int>& counts,
             std::vector<int>& bucket)
{
    BucketBounds(counts, bucket, true);
    for (int i = n - 1; i >= 0; --i) {
        const int j = sa[i] - 1;
        if (j >= 0 && type[static_cast<std::size_t>(j)])
            sa[--bucket[static_cast<std::size_t>(s[j])]] = j;
    }
}

// True when the LMS substrings at a and b differ.
template <typename Symbol> bool LmsSubstringsDiffer(const Symbol* s, const TypeArray& type, int a, int b)
{
    for (int d = 0;; ++d) {
        if (s[a + d] != s[b + d] || type[static_cast<std::size_t>(a + d)] != type[static_cast<std::size_t>(b + d)])
            return true;
        if (d > 0 && (IsLms(type, a + d) || IsLms(type, b + d)))
            return false;
    }
}

template <typename Symbol> void SortSuffixes(const Symbol* s, std::int32_t* sa, int n, int k, Memory& memory, std::size_t depth)
{
    if (memory.levels.size() <= depth)
        memory.levels.emplace_back();
    Memory::Level& level = memory.levels[depth];
    TypeArray& type = level.type;
    AtLeast(type, static_cast<std::size_t>(n));
    std::uint8_t next = 1; // the closing symbol's suffix is S-type
    type[static_cast<std::size_t>(n) - 1] = next;
    for (int i = n - 2; i >= 0; --i) {
        next = static_cast<std::uint8_t>((s[i] < s[i + 1]) | ((s[i] == s[i + 1]) & next));
        type[static_cast<std::size_t>(i)] = next;
    }
    std::vector<int>& counts = level.counts;
    std::vector<int>& bucket = level.bucket;
    counts.assign(static_cast<std::size_t>(k), 0);
    bucket.resize(static_cast<std::size_t>(k));
    for (int i = 0; i < n; ++i)
        ++counts[static_cast<std::size_t>(s[i])];

    // Sort the LMS substrings by inducing from their unsorted places at the bucket ends.
    BucketBounds(counts, bucket, true);
    std::fill(sa, sa + n, -1);
    for (int i = 1; i < n; ++i)
        if (IsLms(type, i))
            sa[--bucket[static_cast<std::size_t>(s[i])]] = i;
    InduceL(type, sa, s, n, counts, bucket);
    InduceS(type, sa, s, n, counts, bucket);

    // Name them in sorted order; equal substrings share a name.
    int lmsCount = 0;
    for (int i = 0; i < n; ++i)
        if (IsLms(type, sa[i]))
            sa[lmsCount++] = sa[i];
    std::fill(sa + lmsCount, sa + n, -1);
    int names = 0;
    for (int i = 0, previous = -1; i < lmsCount; ++i) {
        const int at = sa[i];
        if (previous < 0 || LmsSubstringsDiffer(s, type, at, previous)) {
            ++names;
            previous = at;
        }
        sa[lmsCount + at / 2] = names - 1; // LMS positions are at least two apart
    }
    for (int i = n - 1, j = n - 1; i >= lmsCount; --i)
        if (sa[i] >= 0)
            sa[j--] = sa[i];

    // Order the LMS suffixes: directly when every name is distinct, else by recursion.
    std::int32_t* reduced = sa + n - lmsCount;
    if (names < lmsCount)
        SortSuffixes(reduced, sa, lmsCount, names, memory, depth + 1);
    else
        for (int i = 0; i < lmsCount; ++i)
            sa[reduced[i]] = i;

    // Induce the whole order from the sorted LMS suffixes.
    for (int i = 1, j = 0; i < n; ++i)
        if (IsLms(type, i))
            reduced[j++] = i;
    for (int i = 0; i < lmsCount; ++i)
        sa[i] = reduced[sa[i]];
    std::fill(sa + lmsCount, sa + n, -1);
    BucketBounds(counts, bucket, true);
    for (int i = lmsCount - 1; i >= 0; --i) {
        const int j = sa[i];
        sa[i] = -1;
        sa[--bucket[static_cast<std::size_t>(s[j])]] = j;
    }
    InduceL(type, sa, s, n, counts, bucket);
    InduceS(type, sa, s, n, counts, bucket);
}

using ::CommonLength; // the byte form, next to the symbol form below

// Number of equal leading symbols of a and b, at most limit.
int CommonLength(const std::int32_t* a, const std::int32_t* b, int limit)
{
    int i = 0;
    while (i < limit && a[i] == b[i])
        ++i;
    return i;
}

struct LeastRotationOf {
    int start;     // of the first least rotation
    bool periodic; // some other rotation equals it: the text repeats a pattern
};

// The least rotation of the n symbols in `twice` (the text written twice), by the two-candidate scan.
template <typename Symbol> LeastRotationOf LeastRotation(const Symbol* twice, int n)
{
    int i = 0, j = 1, k = 0;
    while (i < n && j < n) {
        k += CommonLength(twice + i + k, twice + j + k, n - k);
        if (k == n)
            break;
        (twice[i + k] > twice[j + k] ? i : j) += k + 1;
        if (i == j)
            ++j;
        k = 0;
    }
    return {std::min(i, j), k == n};
}

// Length of the shortest pattern whose repetition makes up the text (n when there is none).
template <typename Symbol> int PrimitivePeriod(const Symbol* text, int n, std::vector<int>& memory)
{
    int* border = AtLeast(memory, static_cast<std::size_t>(n));
    border[0] = 0;
    for (int i = 1, k = 0; i < n; ++i) {
        while (k > 0 && text[i] != text[k])
            k = border[k - 1];
        if (text[i] == text[k])
            ++k;
        border[i] = k;
    }
    const int period = n - border[n - 1];
    return n % period == 0 ? period : n;
}

// Suffix order of a Lyndon word, its symbols renumbered densely from 1 and closed by a 0; kept in
// bytes when they fit, so that the sort's working set stays small.
void SortLyndonSuffixes(const std::uint8_t* word, int length, Memory& memory)
{
    std::array<int, 256> code{};
    for (int i = 0; i < length; ++i)
        code[word[i]] = 1;
    int symbols = 1;
    for (int& c : code)
        c = c != 0 ? symbols++ : 0;
    std::int32_t* sa = AtLeast(memory.sa, static_cast<std::size_t>(length) + 1);
    const auto sortAs = [&]<typename Symbol>(std::vector<Symbol>& storage) {
        Symbol* text = AtLeast(storage, static_cast<std::size_t>(length) + 1);
        for (int i = 0; i < length; ++i)
            text[i] = static_cast<Symbol>(code[word[i]]);
        text[length] = 0;
        SortSuffixes(text, sa, length + 1, symbols, memory, 0);
    };
    if (symbols <= 256)
        sortAs(memory.wordBytes);
    else
        sortAs(memory.wordShorts);
}

void SortLyndonSuffixes(const std::int32_t* word, int length, int alphabet, Memory& memory)
{
    std::int32_t* text = AtLeast(memory.wordSymbols, static_cast<std::size_t>(length) + 1);
    std::copy(word, word + length, text);
    text[length] = 0;
    SortSuffixes(text, AtLeast(memory.sa, static_cast<std::size_t>(length) + 1), length + 1, alphabet, memory, 0);
}

template <typename Symbol, typename SortWord>
void SortRotationsOf(std::span<const Symbol> text, std::vector<std::int32_t>& order, std::vector<Symbol>& twiceMemory,
                     Memory& memory, SortWord sortWord)
{
    const int n = static_cast<int>(text.size());
    order.resize(text.size());
    if (n == 0)
        return;
    Symbol* twice = AtLeast(twiceMemory, 2 * text.size());
    std::copy(text.begin(), text.end(), twice);
    std::copy(text.begin(), text.end(), twice + n);
    const LeastRotationOf least = LeastRotation(twice, n);
    const int period = least.periodic ? PrimitivePeriod(text.data(), n, memory.border) : n;
    const int start = least.start % period;
    sortWord(twice + start, period);
    int row = 0;
    for (int k = 1; k <= period; ++k) { // entry 0 is the closing symbol
        const int first = start + memory.sa[static_cast<std::size_t>(k)];
        for (int at = first < period ? first : first - period; at < n; at += period)
            order[static_cast<std::size_t>(row++)] = at;
    }
}

} // namespace

void RotationSort::Sort(std::span<const std::uint8_t> text, std::vector<std::int32_t>& order)
{
    SortRotationsOf(text, order, memory_.twiceBytes, memory_,
                    [this](const std::uint8_t* word, int length) { SortLyndonSuffixes(word, length, memory_); });
}

void RotationSort::Sort(std::span<const std::int32_t> text, int alphabet, std::vector<std::int32_t>& order)
{
    SortRotationsOf(text, order, memory_.twiceSymbols, memory_, [this, alphabet](const std::int32_t* word, int length) {
        SortLyndonSuffixes(word, length, alphabet, memory_);
    });
}
