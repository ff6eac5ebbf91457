// Sorting the cyclic rotations of a string of bytes or of int32 symbols, in time linear in its
// length whatever it holds (long runs and repeated patterns included).
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

// Keeps its working memory from one sort to the next, so that sorting block after block does not
// allocate.
class RotationSort {
public:
    // Fills `order` with the start of every rotation of `text`, in the order of the rotations
    // (compared as unsigned values, cyclically). Rotations that are equal over their whole length
    // (a text that repeats a pattern) come out in some order among themselves.
    void Sort(std::span<const std::uint8_t> text, std::vector<std::int32_t>& order);
    // The same for symbols 1 to alphabet - 1.
    void Sort(std::span<const std::int32_t> text, int alphabet, std::vector<std::int32_t>& order);

    // The working memory; each vector only grows.
    struct Memory {
        struct Level { // one depth of the suffix sort's recursion
            std::vector<std::uint8_t> type;
            std::vector<int> counts;
            std::vector<int> bucket;
        };
        std::deque<Level> levels; // a deque: a deeper level added keeps the others in place
        std::vector<std::uint8_t> twiceBytes;
        std::vector<std::int32_t> twiceSymbols;
        std::vector<std::uint8_t> wordBytes;
        std::vector<std::uint16_t> wordShorts;
        std::vector<std::int32_t> wordSymbols;
        std::vector<std::int32_t> sa;
        std::vector<int> border;
    };

private:
    Memory memory_;
};
