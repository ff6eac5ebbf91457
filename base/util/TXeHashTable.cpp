// TXeHashTable: strings under small integer identifiers, each with a 32-bit parameter.
#include "base/util/TXeHashTable.h"

#include "platform/classes/Exception.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string>

namespace {

constexpr int kMaxIds = 65535;
constexpr std::size_t kMaxLength = 65535;
constexpr std::size_t kBuckets = 251;
constexpr std::size_t kPoolStep = 256;

std::size_t Bucket(const char* s, std::size_t length)
{
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < length; ++i)
        h = h * 137 + static_cast<unsigned char>(s[i]);
    return h % kBuckets;
}

// The string's length, or kMaxLength + 1 when it is longer than an entry can hold.
std::size_t BoundedLength(const char* s) { return strnlen(s, kMaxLength + 1); }

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

std::uint32_t Get16(const std::uint8_t* p) { return p[0] | static_cast<std::uint32_t>(p[1]) << 8; }
std::uint32_t Get32(const std::uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

[[noreturn]] void Corrupt() { throw Exception("TXeHashTable Data Incorrect"); }

} // namespace

TXeHashTable::TXeHashTable()
{
    buckets_.fill(kEnd);
    try {
        ResetPool();
    } catch (const std::bad_alloc&) {
        throw Exception("TXeHashTable Create Error");
    }
}

TXeHashTable::TXeHashTable(int n) : TXeHashTable() { Alloc(n); }

void TXeHashTable::ResetPool()
{
    pool_.assign(kPoolStep, 0);
    used_ = 0;
}

void TXeHashTable::Alloc(int n)
{
    const int wanted = std::min(n, kMaxIds);
    if (wanted <= GetSize())
        return;
    try {
        offsets_.resize(static_cast<std::size_t>(wanted), -1);
    } catch (const std::bad_alloc&) {
        throw Exception("TXeHashTable Alloc Error");
    }
}

std::uint16_t TXeHashTable::NextOf(std::size_t entry) const
{
    return static_cast<std::uint16_t>(Get16(pool_.data() + entry + 2));
}

void TXeHashTable::SetNextOf(std::size_t entry, std::uint16_t next) { Put16(pool_.data() + entry + 2, next); }

std::size_t TXeHashTable::LengthOf(std::size_t entry) const { return Get16(pool_.data() + entry + 8); }

bool TXeHashTable::IsValid(int id) const { return id >= 0 && id < GetSize() && offsets_[static_cast<std::size_t>(id)] >= 0; }

bool TXeHashTable::SetData(int id, const char* s, unsigned long param)
{
    if (id < 0 || id >= GetSize() || s == nullptr)
        return false;
    const std::size_t length = BoundedLength(s);
    if (length > kMaxLength)
        return false;
    // A string from GetString lives in the pool, which the clearing and growing below move.
    std::string own;
    const auto* pool = reinterpret_cast<const char*>(pool_.data());
    if (std::less_equal<>()(pool, s) && std::less<>()(s, pool + pool_.size())) {
        own.assign(s, length);
        s = own.c_str();
    }
    ClrData(id);
    const std::size_t need = kHeader + length + 1;
    if (used_ + need > static_cast<std::size_t>(INT32_MAX)) // offsets are 32-bit
        throw Exception("TXeHashTable SetData Error");
    if (used_ + need > pool_.size()) {
        try {
            pool_.resize((used_ + need + kPoolStep - 1) / kPoolStep * kPoolStep);
        } catch (const std::bad_alloc&) {
            throw Exception("TXeHashTable SetData Error");
        }
    }
    std::uint8_t* entry = pool_.data() + used_;
    Put16(entry, static_cast<std::uint32_t>(id));
    Put16(entry + 2, kEnd);
    Put32(entry + 4, static_cast<std::uint32_t>(param));
    Put16(entry + 8, static_cast<std::uint32_t>(length));
    std::memcpy(entry + kHeader, s, length + 1);
    offsets_[static_cast<std::size_t>(id)] = static_cast<std::int32_t>(used_);
    used_ += need;
    Link(id, Bucket(s, length));
    return true;
}

int TXeHashTable::AddData(const char* s, unsigned long param)
{
    const auto free = std::find(offsets_.begin(), offsets_.end(), -1);
    if (free == offsets_.end())
        return -1;
    const int id = static_cast<int>(free - offsets_.begin());
    return SetData(id, s, param) ? id : -1;
}

// Chains are walked at most GetSize() steps: a longer walk can only be a loop in a broken table.
void TXeHashTable::Link(int id, std::size_t bucket)
{
    if (buckets_[bucket] == kEnd) {
        buckets_[bucket] = static_cast<std::uint16_t>(id);
        return;
    }
    int current = buckets_[bucket];
    for (int steps = 0; steps < GetSize(); ++steps) {
        if (current == id || !IsValid(current))
            Corrupt();
        const std::size_t entry = EntryOffset(current);
        const std::uint16_t next = NextOf(entry);
        if (next == kEnd) {
            SetNextOf(entry, static_cast<std::uint16_t>(id));
            return;
        }
        current = next;
    }
    Corrupt();
}

void TXeHashTable::Unlink(int id, std::size_t bucket)
{
    const std::uint16_t after = NextOf(EntryOffset(id));
    if (buckets_[bucket] == id) {
        buckets_[bucket] = after;
        return;
    }
    int current = buckets_[bucket];
    for (int steps = 0; steps < GetSize() && current != kEnd; ++steps) {
        if (!IsValid(current))
            Corrupt();
        const std::size_t entry = EntryOffset(current);
        if (NextOf(entry) == id) {
            SetNextOf(entry, after);
            return;
        }
        current = NextOf(entry);
    }
    Corrupt();
}

void TXeHashTable::ClrData(int id)
{
    if (!IsValid(id))
        return;
    const std::size_t entry = EntryOffset(id);
    const std::size_t length = LengthOf(entry);
    Unlink(id, Bucket(reinterpret_cast<const char*>(pool_.data() + entry + kHeader), length));
    // Close the gap and move the later entries' offsets down with their bytes.
    const std::size_t size = kHeader + length + 1;
    std::memmove(pool_.data() + entry, pool_.data() + entry + size, used_ - entry - size);
    used_ -= size;
    for (std::int32_t& offset : offsets_)
        if (offset > static_cast<std::int32_t>(entry))
            offset -= static_cast<std::int32_t>(size);
    offsets_[static_cast<std::size_t>(id)] = -1;
}

void TXeHashTable::AllClear()
{
    std::fill(offsets_.begin(), offsets_.end(), -1);
    buckets_.fill(kEnd);
    try {
        ResetPool();
    } catch (const std::bad_alloc&) {
        throw Exception("TXeHashTable Create Error");
    }
}

int TXeHashTable::Search(const char* s) const
{
    if (s == nullptr)
        return -1;
    const std::size_t length = BoundedLength(s);
    if (length > kMaxLength)
        return -1;
    int current = buckets_[Bucket(s, length)];
    for (int steps = 0; steps < GetSize() && current != kEnd && IsValid(current); ++steps) {
        const std::size_t entry = EntryOffset(current);
        if (LengthOf(entry) == length && std::memcmp(pool_.data() + entry + kHeader, s, length) == 0)
            return current;
        current = NextOf(entry);
    }
    return -1;
}

const char* TXeHashTable::GetString(int id) const
{
    return IsValid(id) ? reinterpret_cast<const char*>(pool_.data() + EntryOffset(id) + kHeader) : nullptr;
}

unsigned long TXeHashTable::GetParam(int id) const { return IsValid(id) ? Get32(pool_.data() + EntryOffset(id) + 4) : 0; }

bool TXeHashTable::SetParam(int id, unsigned long param)
{
    if (!IsValid(id))
        return false;
    Put32(pool_.data() + EntryOffset(id) + 4, static_cast<std::uint32_t>(param));
    return true;
}
