// Pictures for the ranking-name tests: an alphabet column whose every cell has its own colour and
// alpha, and plain PNGs of one colour.
#pragma once

#include <cstdint>
#include <vector>

namespace rankingtest {

using Bytes = std::vector<std::uint8_t>;

// Cell n's colour and alpha in the alphabet below.
std::uint32_t CellColour(int cell);
std::uint8_t CellAlpha(int cell);

// A 17-pixel-wide column of `cells` cells of 34 rows, with or without an alpha channel.
Bytes AlphabetPng(int cells, bool withAlpha = true);
// A PNG of one colour.
Bytes PngOfColour(int width, int height, std::uint32_t colour);

} // namespace rankingtest
