// 256-bit (AVX2) forms of the row primitives' inner loops, used by XeMem.cpp where the processor
// has AVX2. Internal to the row primitives; nothing else includes this.
//
// Each function works on spans of whole 32-byte vectors: `units` must be a multiple of 32 / width.
// A mirrored span maps destination unit j to source unit units-1-j. Widths are 1, 2 or 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace XeMemAvx2 {

// True when this build has the AVX2 forms and the processor (and the system) can run them.
bool Supported();

// dst[j] = src[mirrored j].
void Reversed(int width, std::uint8_t* dst, const std::uint8_t* src, std::size_t units);
// dst[j] = src[k] unless src[k] equals key (k = j, or the mirrored j).
void Keyed(int width, bool mirrored, std::uint8_t* dst, const std::uint8_t* src, std::size_t units, std::uint32_t key);
// Source unit k goes to destination unit k (or units-1-k) where bit k of the mask bytes is 1,
// most significant bit first.
void Masked(int width, bool mirrored, std::uint8_t* dst, const std::uint8_t* src, std::size_t units,
            const std::uint8_t* mask);
// Repeats a 12-byte period, given as three words in memory order, over the whole 32-byte vectors of
// `bytes` bytes and returns how many bytes that was; the caller writes the rest, which starts at
// byte (result mod 12) of the period.
std::size_t Fill(std::uint8_t* dst, const std::uint32_t* period, std::size_t bytes);
// Fills all of `bytes` bytes (at least 32) with a repeated 4-byte word, from its first byte.
void FillWord(std::uint8_t* dst, std::uint32_t word, std::size_t bytes);

} // namespace XeMemAvx2
