// Row copy and fill primitives: plain, backward, mirrored, colour-keyed and 1-bit-masked copies
// and fills of 1-, 2-, 3- and 4-byte units.
//
// Every copy takes (dst, src, n, extras...) and returns dst; n counts units of the function's width
// (no digit = bytes). A 2- or 4-byte unit is a native 16- or 32-bit value; a 3-byte unit is a
// little-endian 24-bit value (first byte lowest). Pointers need no alignment. None of these checks
// its arguments or allocates: callers clip first and hand over whole rows.
//
// Keys compare with the whole unit: the low 8 or 16 bits of the key for 1- and 2-byte units, the
// 24-bit unit value against the whole 32-bit key for 3-byte units (so a key with a non-zero top byte
// never matches), the full key for 4-byte units. A matching source unit leaves its destination unit
// as it was.
//
// A mask is a bit pattern read most significant bit first (pattern bit 0 is bit 7 of mask[0]),
// maskBits bits long and repeated along the row: unit i uses pattern bit (i mod maskBits). A 1 bit
// copies the unit. maskBits 0 copies nothing.
#pragma once

#include <cstddef>
#include <cstdint>

// Forward byte copy. Overlapping rows are copied correctly (the result equals a copy through a
// temporary buffer).
void* XeMemcpy(void* dst, const void* src, std::size_t n);
// The same copy, for callers that know both rows are aligned.
void* XeMemcpyS(void* dst, const void* src, std::size_t n);
// Byte copy that is correct when dst overlaps src from above (scrolling down or right).
void* XeMemcpyB(void* dst, const void* src, std::size_t n);

// Mirrored copies: dst[i] = src[n-1-i]; each unit keeps its own byte order.
void* XeMemcpyR(void* dst, const void* src, std::size_t n);
void* XeMemcpy2R(void* dst, const void* src, std::size_t n);
void* XeMemcpy3R(void* dst, const void* src, std::size_t n);
void* XeMemcpy4R(void* dst, const void* src, std::size_t n);

// Keyed copies: dst[i] = src[i] unless src[i] equals the key.
void* XeMemcpyK(void* dst, const void* src, std::size_t n, std::uint32_t key);
void* XeMemcpy2K(void* dst, const void* src, std::size_t n, std::uint32_t key);
void* XeMemcpy3K(void* dst, const void* src, std::size_t n, std::uint32_t key);
void* XeMemcpy4K(void* dst, const void* src, std::size_t n, std::uint32_t key);

// Mirrored keyed copies: dst[i] = src[n-1-i] unless that unit equals the key.
void* XeMemcpyRK(void* dst, const void* src, std::size_t n, std::uint32_t key);
void* XeMemcpy2RK(void* dst, const void* src, std::size_t n, std::uint32_t key);
void* XeMemcpy3RK(void* dst, const void* src, std::size_t n, std::uint32_t key);
void* XeMemcpy4RK(void* dst, const void* src, std::size_t n, std::uint32_t key);

// Masked copies: dst[i] = src[i] where pattern bit (i mod maskBits) is 1.
void* XeMemcpyM(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);
void* XeMemcpy2M(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);
void* XeMemcpy3M(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);
void* XeMemcpy4M(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);

// Mirrored masked copies: dst[n-1-i] = src[i] where pattern bit (i mod maskBits) is 1 (the bit
// follows the source unit).
void* XeMemcpyRM(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);
void* XeMemcpy2RM(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);
void* XeMemcpy3RM(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);
void* XeMemcpy4RM(void* dst, const void* src, std::size_t n, const std::uint8_t* mask, unsigned maskBits);

// Where the processor has AVX2, the primitives run 256-bit forms of their loops; both forms give the
// same bytes. XeMemUseWideVectors switches the wide forms on (only where they can run) or off, for
// tests and benchmarks that compare the two, and returns whether they are now in use.
bool XeMemWideVectors();
bool XeMemUseWideVectors(bool on);

// Fills n units with the low 8, 16, 24 or 32 bits of value; return dst.
void* XeMemset(void* dst, std::uint32_t value, std::size_t n);
void* XeMemset2(void* dst, std::uint32_t value, std::size_t n);
void* XeMemset3(void* dst, std::uint32_t value, std::size_t n);
void* XeMemset4(void* dst, std::uint32_t value, std::size_t n);
