// Sorting the cyclic rotations of a string of bytes or of int32 symbols, in time linear in its
// length whatever it holds (long runs and repeated patterns included).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Fills `order` with the start of every rotation of `text`, in the order of the rotations (compared
// as unsigned values, cyclically). Rotations that are equal over their whole length (a text that
// repeats a pattern) come out in some order among themselves.
void SortRotations(std::span<const std::uint8_t> text, std::vector<std::int32_t>& order);
// The same for symbols 1 to alphabet - 1.
void SortRotations(std::span<const std::int32_t> text, int alphabet, std::vector<std::int32_t>& order);
