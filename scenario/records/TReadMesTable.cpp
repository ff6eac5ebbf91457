// TReadMesTable: script records of read-message ranges in one buffer.
#include "scenario/records/TReadMesTable.h"

#include <cstring>

namespace {

constexpr std::uint32_t RecordHeader = 12;
constexpr std::uint32_t RangeSize = 4;
constexpr unsigned char EmptyMap[TReadMesTable::EmptyLength] = {TReadMesTable::EmptyLength, 0, 0, 0, 0, 0, 0, 0};

std::uint32_t Load32(const unsigned char* p)
{
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint16_t Load16(const unsigned char* p)
{
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

} // namespace

TReadMesTable::TReadMesTable() { Reset(); }

void TReadMesTable::Reset()
{
    FBuffer.assign(BufferSize, 0);
    std::memcpy(FBuffer.data(), EmptyMap, sizeof EmptyMap);
    FLastFound = 0;
}

void TReadMesTable::Release()
{
    FBuffer.clear();
    FBuffer.shrink_to_fit();
    FLastFound = 0;
}

std::uint32_t TReadMesTable::Get32(std::uint32_t offset) const { return Load32(FBuffer.data() + offset); }

void TReadMesTable::Put32(std::uint32_t offset, std::uint32_t value) { std::memcpy(FBuffer.data() + offset, &value, sizeof value); }

std::uint16_t TReadMesTable::Get16(std::uint32_t offset) const { return Load16(FBuffer.data() + offset); }

void TReadMesTable::Put16(std::uint32_t offset, std::uint16_t value) { std::memcpy(FBuffer.data() + offset, &value, sizeof value); }

std::uint32_t TReadMesTable::GetLength() const { return FBuffer.empty() ? EmptyLength : Get32(0); }

std::span<const unsigned char> TReadMesTable::GetBuffer() const
{
    if (FBuffer.empty())
        return EmptyMap;
    return {FBuffer.data(), GetLength()};
}

bool TReadMesTable::IsValid(std::span<const unsigned char> bytes)
{
    if (bytes.size() < EmptyLength || bytes.size() >= BufferSize || Load32(bytes.data()) != bytes.size())
        return false;
    const std::uint32_t count = Load32(bytes.data() + 4);
    std::uint32_t offset = EmptyLength;
    for (std::uint32_t record = 0; record < count; ++record) {
        if (bytes.size() - offset < RecordHeader)
            return false;
        const std::uint32_t size = Load32(bytes.data() + offset);
        offset += RecordHeader;
        if (size % RangeSize != 0 || size > bytes.size() - offset)
            return false;
        int previousLast = -2;
        for (std::uint32_t at = offset; at < offset + size; at += RangeSize) {
            const int first = Load16(bytes.data() + at);
            const int last = Load16(bytes.data() + at + 2);
            if (first > last || first <= previousLast + 1)
                return false;
            previousLast = last;
        }
        offset += size;
    }
    return offset == bytes.size();
}

bool TReadMesTable::SetBuffer(std::span<const unsigned char> bytes)
{
    Reset();
    if (!IsValid(bytes))
        return false;
    std::memcpy(FBuffer.data(), bytes.data(), bytes.size());
    return true;
}

std::uint32_t TReadMesTable::FindRecord(std::uint32_t script) const
{
    if (FBuffer.empty())
        return 0;
    if (FLastFound != 0 && FLastFound < GetLength() && Get32(FLastFound + 4) == script)
        return FLastFound;
    std::uint32_t offset = EmptyLength;
    for (std::uint32_t record = 0, count = Get32(4); record < count; ++record) {
        if (Get32(offset + 4) == script)
            return FLastFound = offset;
        offset += RecordHeader + Get32(offset);
    }
    return 0;
}

void TReadMesTable::Shift(std::uint32_t offset, std::int32_t count)
{
    const std::uint32_t length = GetLength();
    unsigned char* data = FBuffer.data();
    if (count > 0) {
        std::memmove(data + offset + count, data + offset, length - offset);
    } else {
        const std::uint32_t gap = static_cast<std::uint32_t>(-count);
        std::memmove(data + offset, data + offset + gap, length - offset - gap);
        std::memset(data + length - gap, 0, gap);
    }
    Put32(0, length + count);
}

void TReadMesTable::SetScriptStamp(std::uint32_t script, std::uint32_t stamp)
{
    if (FBuffer.empty())
        return;
    if (const std::uint32_t record = FindRecord(script); record != 0) {
        if (Get32(record + 8) == stamp)
            return;
        Shift(record + RecordHeader, -static_cast<std::int32_t>(Get32(record)));
        Put32(record, 0);
        Put32(record + 8, stamp);
        return;
    }
    const std::uint32_t length = GetLength();
    if (length + RecordHeader >= BufferSize)
        return;
    Put32(length, 0);
    Put32(length + 4, script);
    Put32(length + 8, stamp);
    Put32(0, length + RecordHeader);
    Put32(4, Get32(4) + 1);
}

void TReadMesTable::InsertRange(std::uint32_t record, std::uint32_t at, std::uint16_t message)
{
    if (GetLength() + RangeSize >= BufferSize)
        return;
    Shift(at, RangeSize);
    Put16(at, message);
    Put16(at + 2, message);
    Put32(record, Get32(record) + RangeSize);
}

void TReadMesTable::SetTextRead(std::uint32_t key)
{
    const std::uint32_t record = FindRecord(key >> 16);
    if (record == 0)
        return;
    const int message = static_cast<int>(key & 0xFFFF);
    const std::uint32_t ranges = record + RecordHeader;
    const std::uint32_t end = ranges + Get32(record);
    bool extended = false;
    for (std::uint32_t at = ranges; at < end; at += RangeSize) {
        const int first = Get16(at);
        const int last = Get16(at + 2);
        if (message >= first && message <= last)
            return;
        if (message == last + 1) {
            Put16(at + 2, static_cast<std::uint16_t>(message));
            extended = true;
            continue;
        }
        if (message == first - 1) {
            if (extended) {
                // The range before now reaches this one: they become one.
                Put16(at - RangeSize + 2, static_cast<std::uint16_t>(last));
                Shift(at, -static_cast<std::int32_t>(RangeSize));
                Put32(record, Get32(record) - RangeSize);
            } else {
                Put16(at, static_cast<std::uint16_t>(message));
            }
            return;
        }
        if (message < first) {
            if (!extended)
                InsertRange(record, at, static_cast<std::uint16_t>(message));
            return;
        }
    }
    if (!extended)
        InsertRange(record, end, static_cast<std::uint16_t>(message));
}

bool TReadMesTable::IsTextRead(std::uint32_t key) const
{
    const std::uint32_t record = FindRecord(key >> 16);
    if (record == 0)
        return false;
    const int message = static_cast<int>(key & 0xFFFF);
    const std::uint32_t ranges = record + RecordHeader;
    for (std::uint32_t at = ranges; at < ranges + Get32(record); at += RangeSize) {
        if (message < Get16(at))
            return false;
        if (message <= Get16(at + 2))
            return true;
    }
    return false;
}
