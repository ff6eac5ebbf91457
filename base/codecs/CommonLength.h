// CommonLength: how many leading bytes two runs share, eight at a time, for the codecs' match and
// rotation searches.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Number of equal leading bytes of a and b, at most limit.
inline int CommonLength(const std::uint8_t* a, const std::uint8_t* b, int limit)
{
    int i = 0;
    for (; i + 8 <= limit; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y)
            return i + std::countr_zero(x ^ y) / 8;
    }
    while (i < limit && a[i] == b[i])
        ++i;
    return i;
}
