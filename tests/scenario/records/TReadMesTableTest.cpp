// TReadMesTable: range merging and insertion, stamps, a full map, and the checks on a stored map.
#include "scenario/records/TReadMesTable.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;
using Ranges = std::vector<std::pair<int, int>>;

constexpr std::uint32_t Key(std::uint32_t script, std::uint32_t message) { return script << 16 | message; }

std::uint32_t Load32(const unsigned char* p)
{
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// The ranges of the map's first record.
Ranges FirstRanges(const TReadMesTable& map)
{
    const auto bytes = map.GetBuffer();
    Ranges ranges;
    const std::uint32_t size = Load32(bytes.data() + 8);
    for (std::uint32_t at = 20; at < 20 + size; at += 4)
        ranges.emplace_back(bytes[at] | bytes[at + 1] << 8, bytes[at + 2] | bytes[at + 3] << 8);
    return ranges;
}

void Put32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A stored map: records of {script, stamp, ranges}; the header's length and count as given, or
// right when negative.
Bytes StoredMap(std::initializer_list<std::pair<std::uint32_t, Ranges>> records, long length = -1, long count = -1)
{
    Bytes body;
    for (const auto& [script, ranges] : records) {
        Put32(body, static_cast<std::uint32_t>(ranges.size() * 4));
        Put32(body, script);
        Put32(body, 1);
        for (const auto& [first, last] : ranges)
            Put32(body, static_cast<std::uint32_t>(first | last << 16));
    }
    Bytes map;
    Put32(map, static_cast<std::uint32_t>(length < 0 ? body.size() + 8 : length));
    Put32(map, static_cast<std::uint32_t>(count < 0 ? records.size() : count));
    map.insert(map.end(), body.begin(), body.end());
    return map;
}

} // namespace

TEST(TReadMesTable, RangesMergeExtendAndInsert)
{
    const struct {
        const char* name;
        std::vector<int> messages;
        Ranges ranges;
    } cases[] = {
        {"gap filled merges", {5, 7, 6}, {{5, 7}}},
        {"extend then extend in front", {3, 4, 2}, {{2, 4}}},
        {"insert in front", {10, 3}, {{3, 3}, {10, 10}}},
        {"insert between", {1, 9, 5}, {{1, 1}, {5, 5}, {9, 9}}},
        {"repeat is nothing", {8, 8, 8}, {{8, 8}}},
        {"extend without merge", {1, 5, 2}, {{1, 2}, {5, 5}}},
        {"full chain", {1, 3, 5, 2, 4}, {{1, 5}}},
        {"message 0 and 65535", {65535, 0, 65534}, {{0, 0}, {65534, 65535}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TReadMesTable map;
        map.SetScriptStamp(7, 1);
        for (int m : c.messages)
            map.SetTextRead(Key(7, static_cast<std::uint32_t>(m)));
        EXPECT_EQ(FirstRanges(map), c.ranges);
        EXPECT_TRUE(TReadMesTable::IsValid(map.GetBuffer()));
        for (const auto& [first, last] : c.ranges) {
            EXPECT_TRUE(map.IsTextRead(Key(7, static_cast<std::uint32_t>(first))));
            EXPECT_TRUE(map.IsTextRead(Key(7, static_cast<std::uint32_t>(last))));
        }
    }
}

TEST(TReadMesTable, ScriptsAboveSignedRangeAndUnknownScripts)
{
    TReadMesTable map;
    map.SetScriptStamp(40000, 5);
    map.SetTextRead(Key(40000, 12));
    EXPECT_TRUE(map.IsTextRead(Key(40000, 12)));
    EXPECT_FALSE(map.IsTextRead(Key(40000, 13)));
    map.SetTextRead(Key(3, 12)); // no record for script 3: nothing
    EXPECT_FALSE(map.IsTextRead(Key(3, 12)));
    EXPECT_EQ(map.GetLength(), 8u + 12 + 4);
}

TEST(TReadMesTable, NewStampDropsOnlyThatScriptsRanges)
{
    TReadMesTable map;
    for (std::uint32_t script : {1u, 2u, 3u}) {
        map.SetScriptStamp(script, 10);
        for (std::uint32_t m : {1u, 5u, 9u})
            map.SetTextRead(Key(script, m));
    }
    const std::uint32_t full = map.GetLength();
    map.SetScriptStamp(2, 10); // same stamp: nothing
    EXPECT_EQ(map.GetLength(), full);
    map.SetScriptStamp(2, 11);
    EXPECT_EQ(map.GetLength(), full - 12);
    for (std::uint32_t m : {1u, 5u, 9u}) {
        EXPECT_TRUE(map.IsTextRead(Key(1, m)));
        EXPECT_FALSE(map.IsTextRead(Key(2, m)));
        EXPECT_TRUE(map.IsTextRead(Key(3, m)));
    }
    map.SetTextRead(Key(2, 4));
    EXPECT_TRUE(map.IsTextRead(Key(2, 4)));
    EXPECT_TRUE(TReadMesTable::IsValid(map.GetBuffer()));
}

TEST(TReadMesTable, AFullMapStopsRecordingSilently)
{
    // Every even message of script 1, and of script 2 as many as leave 4 bytes free.
    Ranges evens;
    for (int m = 0; m <= 65534; m += 2)
        evens.emplace_back(m, m);
    Ranges some(evens.begin(), evens.begin() + 32759);
    TReadMesTable map;
    ASSERT_TRUE(map.SetBuffer(StoredMap({{1, evens}, {2, some}})));
    const std::uint32_t length = map.GetLength();
    ASSERT_EQ(length, TReadMesTable::BufferSize - 4);

    map.SetTextRead(Key(2, 65530));
    map.SetScriptStamp(3, 1);
    EXPECT_EQ(map.GetLength(), length);
    EXPECT_FALSE(map.IsTextRead(Key(2, 65530)));
    EXPECT_TRUE(map.IsTextRead(Key(2, 65516)));
    map.SetTextRead(Key(2, 1)); // a merge needs no room
    EXPECT_EQ(map.GetLength(), length - 4);
    EXPECT_TRUE(map.IsTextRead(Key(2, 1)));
    EXPECT_TRUE(TReadMesTable::IsValid(map.GetBuffer()));
}

TEST(TReadMesTable, SetBufferChecksTheStructure)
{
    const Ranges ok = {{1, 3}, {6, 6}};
    const struct {
        const char* name;
        Bytes bytes;
        bool valid;
    } cases[] = {
        {"good", StoredMap({{1, ok}, {2, {}}}), true},
        {"empty", StoredMap({}), true},
        {"too short", Bytes{8, 0, 0, 0}, false},
        {"length field differs", StoredMap({{1, ok}}, 30), false},
        {"count too high", StoredMap({{1, ok}}, -1, 2), false},
        {"count too low", StoredMap({{1, ok}, {2, ok}}, -1, 1), false},
        {"descending ranges", StoredMap({{1, {{6, 6}, {1, 3}}}}), false},
        {"adjacent ranges", StoredMap({{1, {{1, 3}, {4, 6}}}}), false},
        {"first above last", StoredMap({{1, {{5, 4}}}}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TReadMesTable map;
        map.SetScriptStamp(9, 9);
        EXPECT_EQ(map.SetBuffer(c.bytes), c.valid);
        if (c.valid)
            EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), map.GetBuffer().begin(), map.GetBuffer().end()));
        else
            EXPECT_EQ(map.GetLength(), TReadMesTable::EmptyLength);
    }

    Bytes oddSize = StoredMap({{1, ok}});
    oddSize[8] = 6; // range bytes not a multiple of 4
    Bytes overrun = StoredMap({{1, ok}});
    overrun[8] = 0xF0;
    Bytes huge(TReadMesTable::BufferSize, 0);
    huge[0] = 0;
    huge[2] = 4; // length 0x40000
    for (const Bytes* bad : {&oddSize, &overrun, &huge}) {
        TReadMesTable map;
        EXPECT_FALSE(map.SetBuffer(*bad));
        EXPECT_EQ(map.GetLength(), TReadMesTable::EmptyLength);
    }
}

TEST(TReadMesTable, ReleasedMapReadsEmpty)
{
    TReadMesTable map;
    map.SetScriptStamp(1, 1);
    map.SetTextRead(Key(1, 1));
    map.Release();
    EXPECT_FALSE(map.IsTextRead(Key(1, 1)));
    map.SetScriptStamp(1, 1);
    map.SetTextRead(Key(1, 1));
    EXPECT_EQ(map.GetLength(), TReadMesTable::EmptyLength);
    EXPECT_EQ(map.GetBuffer().size(), TReadMesTable::EmptyLength);
}
