// TXeHashTable: strings under small integer identifiers, each with a 32-bit parameter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Identifiers run 0 .. GetSize()-1 (at most 65,535 of them). Entries lie back to back in one pool,
// in the order they were stored; each is a 12-byte little-endian header (identifier, next identifier
// in its bucket's chain, parameter, string length, 2 reserved bytes) and the string with its zero.
// Strings hash into 251 chains: h = h * 137 + byte over the string, chain h mod 251. Strings of
// 65,536 bytes or more do not fit the length field and are refused.
//
// Out-of-range or free identifiers are not errors (false, 0, null or -1). Allocation failures raise
// Exception ("TXeHashTable Create Error", "... Alloc Error", "... SetData Error"), and a broken chain
// "TXeHashTable Data Incorrect". Not thread-safe: one thread uses a table at a time.
class TXeHashTable {
public:
    TXeHashTable();
    explicit TXeHashTable(int n);

    // Grows the identifier range to min(n, 65535) slots; new slots are free. Never shrinks.
    void Alloc(int n);
    int GetSize() const { return static_cast<int>(offsets_.size()); }

    // Stores s and param under id, replacing what id held; false for an id out of range or a
    // string that is too long (then id keeps what it held).
    bool SetData(int id, const char* s, unsigned long param = 0);
    // Stores s under the lowest free identifier and returns it; -1 when none is free or s is too
    // long. An equal string already stored is not looked for.
    int AddData(const char* s, unsigned long param = 0);
    // Removes id's entry; nothing for a free or out-of-range id.
    void ClrData(int id);
    // Frees every identifier (the size is kept) and starts an empty pool.
    void AllClear();

    // The identifier whose string equals s byte for byte, or -1.
    int Search(const char* s) const;
    // id's string inside the pool, valid until the table next changes; null for a free id.
    const char* GetString(int id) const;
    unsigned long GetParam(int id) const;
    bool SetParam(int id, unsigned long param);
    bool IsValid(int id) const;

private:
    static constexpr std::uint16_t kEnd = 0xFFFF;
    static constexpr std::size_t kHeader = 12;

    void ResetPool();
    std::size_t EntryOffset(int id) const { return static_cast<std::size_t>(offsets_[static_cast<std::size_t>(id)]); }
    std::uint16_t NextOf(std::size_t entry) const;
    void SetNextOf(std::size_t entry, std::uint16_t next);
    std::size_t LengthOf(std::size_t entry) const;
    // Appends id to the tail of its bucket's chain, or takes it out of the chain.
    void Link(int id, std::size_t bucket);
    void Unlink(int id, std::size_t bucket);

    std::vector<std::int32_t> offsets_; // pool offset of each identifier's entry, -1 when free
    std::array<std::uint16_t, 256> buckets_; // chain heads; only the first 251 are used
    std::vector<std::uint8_t> pool_;         // its size is the capacity, a multiple of 256
    std::size_t used_ = 0;
};
