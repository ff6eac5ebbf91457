// TXeHashTable: identifiers, search by exact bytes, chain order, clearing, the entry record, and a
// long random run against a plain map.
#include "base/util/TXeHashTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>

namespace {

// The chain a string falls into, computed here from the definition: h = h * 137 + byte, mod 251.
unsigned ChainOf(const std::string& s)
{
    std::uint32_t h = 0;
    for (unsigned char c : s)
        h = h * 137u + c;
    return h % 251u;
}

// Two different short strings in the same chain.
std::pair<std::string, std::string> SameChain()
{
    std::map<unsigned, std::string> seen;
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b = 'a'; b <= 'z'; ++b) {
            const std::string s{a, b};
            const auto [it, added] = seen.emplace(ChainOf(s), s);
            if (!added)
                return {it->second, s};
        }
    return {};
}

TEST(TXeHashTable, AddDataTakesTheLowestFreeIdentifier)
{
    TXeHashTable none;
    EXPECT_EQ(none.GetSize(), 0);
    EXPECT_EQ(none.AddData("x"), -1);
    TXeHashTable table(3);
    EXPECT_EQ(table.AddData("a"), 0);
    EXPECT_EQ(table.AddData("a"), 1) << "no search for an equal string";
    EXPECT_EQ(table.AddData("c", 7), 2);
    EXPECT_EQ(table.AddData("d"), -1);
    table.ClrData(1);
    EXPECT_EQ(table.AddData("e"), 1);
    EXPECT_EQ(table.GetParam(2), 7u);
}

TEST(TXeHashTable, SearchMatchesExactBytes)
{
    TXeHashTable table(10);
    ASSERT_TRUE(table.SetData(5, "abc", 99));
    EXPECT_EQ(table.Search("abc"), 5);
    EXPECT_EQ(table.Search("ABC"), -1);
    EXPECT_EQ(table.Search("ab"), -1);
    EXPECT_EQ(table.Search(""), -1);
    EXPECT_STREQ(table.GetString(5), "abc");
    EXPECT_EQ(table.GetParam(5), 99u);
    ASSERT_TRUE(table.SetData(5, "xyz"));
    EXPECT_EQ(table.Search("abc"), -1) << "replaced";
    EXPECT_EQ(table.Search("xyz"), 5);
    EXPECT_EQ(table.GetParam(5), 0u);
    EXPECT_FALSE(table.SetData(10, "out"));
    EXPECT_FALSE(table.SetData(-1, "out"));
    ASSERT_TRUE(table.SetData(0, ""));
    EXPECT_EQ(table.Search(""), 0) << "the empty string is a string";
}

TEST(TXeHashTable, ChainsKeepTheOrderOfLinking)
{
    const auto [first, second] = SameChain();
    ASSERT_FALSE(first.empty());
    TXeHashTable table(4);
    table.SetData(0, first.c_str());
    table.SetData(1, second.c_str());
    EXPECT_EQ(table.Search(first.c_str()), 0);
    EXPECT_EQ(table.Search(second.c_str()), 1);
    table.ClrData(0);
    EXPECT_EQ(table.Search(second.c_str()), 1) << "clearing the chain head keeps the rest";
    EXPECT_EQ(table.Search(first.c_str()), -1);

    // Equal strings: the one linked first is found; storing again moves an entry to the tail.
    table.SetData(2, "same");
    table.SetData(3, "same");
    EXPECT_EQ(table.Search("same"), 2);
    table.SetData(2, "same");
    EXPECT_EQ(table.Search("same"), 3);
    table.ClrData(3);
    EXPECT_EQ(table.Search("same"), 2);
}

TEST(TXeHashTable, ClearingInTheMiddleKeepsTheOthers)
{
    TXeHashTable table(5);
    const char* names[] = {"zero", "one", "two", "three", "four"};
    for (int i = 0; i < 5; ++i)
        table.SetData(i, names[i], 100u + i);
    table.ClrData(2);
    table.ClrData(2); // already free
    table.ClrData(9); // out of range
    for (int i = 0; i < 5; ++i) {
        if (i == 2)
            continue;
        EXPECT_STREQ(table.GetString(i), names[i]);
        EXPECT_EQ(table.GetParam(i), 100u + i);
        EXPECT_EQ(table.Search(names[i]), i);
    }
    EXPECT_EQ(table.Search("two"), -1);
    EXPECT_FALSE(table.IsValid(2));
}

TEST(TXeHashTable, StoresAStringTakenFromItself)
{
    TXeHashTable table(3);
    table.SetData(0, "first");
    table.SetData(1, "second");
    ASSERT_TRUE(table.SetData(0, table.GetString(1))); // the source moves when entry 0 goes
    ASSERT_TRUE(table.SetData(2, std::string(300, 'y').c_str()));
    ASSERT_TRUE(table.SetData(1, table.GetString(2))); // and when the pool grows
    EXPECT_STREQ(table.GetString(0), "second");
    EXPECT_EQ(table.GetString(1), std::string(300, 'y'));
}

TEST(TXeHashTable, FreeAndOutOfRangeIdentifiers)
{
    TXeHashTable table(3);
    table.SetData(0, "a");
    for (int id : {-1, 1, 3}) {
        EXPECT_EQ(table.GetString(id), nullptr);
        EXPECT_EQ(table.GetParam(id), 0u);
        EXPECT_FALSE(table.SetParam(id, 5));
        EXPECT_FALSE(table.IsValid(id));
    }
    EXPECT_TRUE(table.SetParam(0, 0xFFFFFFFFu));
    EXPECT_EQ(table.GetParam(0), 0xFFFFFFFFu);
}

TEST(TXeHashTable, AllocGrowsUpToTheLimitAndNeverShrinks)
{
    TXeHashTable table(10);
    table.Alloc(4);
    EXPECT_EQ(table.GetSize(), 10);
    table.Alloc(70000);
    EXPECT_EQ(table.GetSize(), 65535);
    EXPECT_FALSE(table.IsValid(65534));
}

TEST(TXeHashTable, AllClearFreesEverythingAndKeepsTheSize)
{
    TXeHashTable table(3);
    table.AddData("a");
    table.AddData("b");
    table.AllClear();
    EXPECT_EQ(table.GetSize(), 3);
    EXPECT_EQ(table.Search("a"), -1);
    EXPECT_FALSE(table.IsValid(0));
    EXPECT_EQ(table.AddData("b"), 0);
    EXPECT_EQ(table.Search("b"), 0);
}

TEST(TXeHashTable, EntryRecordLayout)
{
    TXeHashTable table(300);
    const auto [first, second] = SameChain();
    table.SetData(258, first.c_str(), 0x11223344);
    table.SetData(7, second.c_str());
    const auto* header = reinterpret_cast<const unsigned char*>(table.GetString(258)) - 12;
    const unsigned char want[] = {0x02, 0x01, 0x07, 0x00, 0x44, 0x33, 0x22, 0x11, 0x02, 0x00};
    EXPECT_EQ(std::memcmp(header, want, sizeof want), 0) << "id, next in chain, parameter, length";
    EXPECT_EQ(header[12 + 2], 0) << "the terminating zero";
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(table.GetString(7)), header + 12 + 3 + 12)
        << "entries lie back to back";
}

TEST(TXeHashTable, RefusesStringsTooLongForTheLengthField)
{
    TXeHashTable table(2);
    const std::string longest(65535, 'x');
    const std::string tooLong(65536, 'x');
    ASSERT_TRUE(table.SetData(0, "keep"));
    EXPECT_FALSE(table.SetData(0, tooLong.c_str()));
    EXPECT_STREQ(table.GetString(0), "keep") << "a refused string leaves the entry alone";
    EXPECT_EQ(table.AddData(tooLong.c_str()), -1);
    EXPECT_EQ(table.Search(tooLong.c_str()), -1);
    EXPECT_TRUE(table.SetData(1, longest.c_str()));
    EXPECT_EQ(table.Search(longest.c_str()), 1);
}

TEST(TXeHashTable, RandomRunAgreesWithAMap)
{
    std::mt19937 rng(99);
    TXeHashTable table(400);
    std::map<int, std::pair<std::string, unsigned long>> model;
    for (int step = 0; step < 5000; ++step) {
        const int id = static_cast<int>(rng() % 400);
        if (rng() % 3 == 0) {
            table.ClrData(id);
            model.erase(id);
        } else {
            const std::string s = "n" + std::to_string(rng() % 700);
            const unsigned long param = rng();
            ASSERT_TRUE(table.SetData(id, s.c_str(), param));
            model[id] = {s, param};
        }
    }
    for (int id = 0; id < 400; ++id) {
        const auto found = model.find(id);
        ASSERT_EQ(table.IsValid(id), found != model.end());
        if (found == model.end())
            continue;
        EXPECT_STREQ(table.GetString(id), found->second.first.c_str());
        EXPECT_EQ(table.GetParam(id), found->second.second);
        const int hit = table.Search(found->second.first.c_str());
        ASSERT_GE(hit, 0);
        EXPECT_EQ(model[hit].first, found->second.first);
    }
}

} // namespace
