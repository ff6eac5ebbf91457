// TReadMesTable: the read-text map, which records per script the message numbers the player has
// already read, as ascending ranges, in one 262,144-byte buffer that the system save stores.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Buffer layout, little-endian: u32 length in use (from the buffer's start, 8 when empty), u32
// record count, then records {u32 range bytes, u32 script number, u32 stamp, ranges {u16 first,
// u16 last}...}, ranges ascending, disjoint and not adjacent. A full map stops recording silently.
// Logic thread only.
class TReadMesTable {
public:
    static constexpr std::uint32_t BufferSize = 0x40000;
    static constexpr std::uint32_t EmptyLength = 8;

    TReadMesTable();

    // Called on every script load: a script seen with another stamp was rebuilt and loses its ranges;
    // a new script gets an empty record when there is room.
    void SetScriptStamp(std::uint32_t script, std::uint32_t stamp);
    // key = script number * 65536 + message number.
    void SetTextRead(std::uint32_t key);
    bool IsTextRead(std::uint32_t key) const;

    // The bytes in use, as the system save stores them.
    std::uint32_t GetLength() const;
    std::span<const unsigned char> GetBuffer() const;
    // Takes a stored map. A length of 262,144 or more, or bytes whose structure does not hold
    // (lengths, record sizes, ascending ranges, record count), leave the map empty: false.
    bool SetBuffer(std::span<const unsigned char> bytes);
    static bool IsValid(std::span<const unsigned char> bytes);
    // Frees the buffer; the map then reads as empty and records nothing.
    void Release();

private:
    // Offset of the script's record, or 0 when it has none.
    std::uint32_t FindRecord(std::uint32_t script) const;
    void Reset();
    std::uint32_t Get32(std::uint32_t offset) const;
    void Put32(std::uint32_t offset, std::uint32_t value);
    std::uint16_t Get16(std::uint32_t offset) const;
    void Put16(std::uint32_t offset, std::uint16_t value);
    // Opens (count > 0) or closes (count < 0) a gap at `offset` in the bytes in use.
    void Shift(std::uint32_t offset, std::int32_t count);
    void InsertRange(std::uint32_t record, std::uint32_t at, std::uint16_t message);

    std::vector<unsigned char> FBuffer;
    mutable std::uint32_t FLastFound = 0; // the record found last, to speed up repeated lookups
};
