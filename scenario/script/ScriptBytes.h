// Little-endian reads from the byte images of the scenario's script files, for offsets the caller
// has already checked against the image's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace ScriptBytes {

inline std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

inline std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
           | static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// Whether [offset, offset + size) lies inside a block of `total` bytes (no overflow on the way).
inline bool Fits(std::uint64_t offset, std::uint64_t size, std::uint64_t total) { return offset <= total && size <= total - offset; }

// Whether a zero byte ends a text inside [offset, end).
bool Terminated(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t end);

} // namespace ScriptBytes
