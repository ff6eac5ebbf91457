// Sorting cyclic rotations, for bytes and for int32 symbols, against a plain comparison sort.
#include "base/codecs/RotationSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

template <typename Symbol> std::vector<Symbol> Rotation(const std::vector<Symbol>& text, int start)
{
    std::vector<Symbol> rotation(text.begin() + start, text.end());
    rotation.insert(rotation.end(), text.begin(), text.begin() + start);
    return rotation;
}

// The order must list every start once, with the rotations in non-decreasing order.
template <typename Symbol> void ExpectSorted(const std::vector<Symbol>& text, const std::vector<std::int32_t>& order)
{
    ASSERT_EQ(order.size(), text.size());
    std::vector<std::int32_t> starts = order;
    std::sort(starts.begin(), starts.end());
    std::vector<std::int32_t> all(text.size());
    std::iota(all.begin(), all.end(), 0);
    ASSERT_EQ(starts, all);
    for (std::size_t k = 1; k < order.size(); ++k)
        ASSERT_LE(Rotation(text, order[k - 1]), Rotation(text, order[k])) << "row " << k;
}

} // namespace

TEST(RotationSort, OrdersByteRotations)
{
    std::mt19937 rng(5);
    RotationSort sort; // one sorter for every round: its memory must carry nothing over
    for (int round = 0; round < 300; ++round) {
        const std::size_t n = 1 + rng() % 200;
        const unsigned alphabet = round % 2 ? 2 : 256;
        std::vector<std::uint8_t> text(n);
        for (std::size_t i = 0; i < n; ++i)
            text[i] = static_cast<std::uint8_t>(round % 7 == 0 && i >= 3 ? text[i % 3] : rng() % alphabet);
        std::vector<std::int32_t> order;
        sort.Sort(text, order);
        ExpectSorted(text, order);
    }
}

TEST(RotationSort, OrdersSymbolRotations)
{
    std::mt19937 rng(6);
    RotationSort sort;
    for (int round = 0; round < 300; ++round) {
        const std::size_t n = 1 + rng() % 200;
        const int alphabet = 2 + static_cast<int>(rng() % 5);
        std::vector<std::int32_t> text(n);
        for (std::size_t i = 0; i < n; ++i)
            text[i] = round % 5 == 0 && i >= 4 ? text[i % 4] : 1 + static_cast<std::int32_t>(rng() % (alphabet - 1));
        std::vector<std::int32_t> order;
        sort.Sort(text, alphabet, order);
        ExpectSorted(text, order);
    }
}
