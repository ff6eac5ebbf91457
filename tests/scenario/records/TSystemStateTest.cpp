// TSystemState: stored layout, flags, values, seen bits and the sorted song table with its scores.
#include "scenario/records/TSystemState.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

TSongID Code(const char* text) { return TSongID::FromText(text); }

std::uint32_t Read32(const TSystemState& system, std::size_t offset)
{
    std::uint32_t value;
    std::memcpy(&value, system.Bytes().data() + offset, sizeof value);
    return value;
}

} // namespace

TEST(TSystemState, ConstructionAndStoredOffsets)
{
    auto system = std::make_unique<TSystemState>();
    for (int m = 0; m < TSystemState::RankModeCount; ++m)
        EXPECT_EQ(std::memcmp(system->Bytes().data() + 1104 + 4096 * m + 16 * 255 + 12, "    ", 4), 0);
    system->SetSystemFlag(10, true);
    system->SetSystemValue(7, 0x01020304);
    system->SetSystemBit(9);
    system->SetViewedItem(1);
    system->SetViewedItem(32);
    system->SetScoreEntry(2, Code("TV01"), 5000, "AB");
    const auto bytes = system->Bytes();
    EXPECT_EQ(bytes[1], 0x04);
    EXPECT_EQ(Read32(*system, 8 + 28), 0x01020304u);
    EXPECT_EQ(bytes[41], 0x02);
    EXPECT_EQ(std::memcmp(bytes.data() + 77, "TV01", 4), 0);
    EXPECT_EQ(Read32(*system, 1104 + 4096 * 2), 5000u);
    const std::uint32_t stamp = Read32(*system, 1104 + 4096 * 2 + 4);
    EXPECT_NE(stamp, 0u);
    EXPECT_EQ(Read32(*system, 1104 + 4096 * 2 + 8), 5000u ^ stamp);
    EXPECT_EQ(std::memcmp(bytes.data() + 1104 + 4096 * 2 + 12, "AB\0\0", 4), 0);
    EXPECT_EQ(bytes[13457], 1);
    EXPECT_EQ(bytes[13488], 1);
}

TEST(TSystemState, FlagsValuesAndBitsOutsideTheirRangeAreIgnored)
{
    auto system = std::make_unique<TSystemState>();
    auto clean = std::make_unique<TSystemState>();
    system->SetSystemFlag(64, true);
    system->SetSystemValue(8, 1);
    for (int bit : {296, 297, 299, 1000, -1})
        system->SetSystemBit(bit);
    system->SetViewedItem(0);
    system->SetViewedItem(33);
    EXPECT_EQ(std::memcmp(system->Bytes().data(), clean->Bytes().data(), sizeof(TSystemState)), 0);
    system->SetSystemBit(295);
    EXPECT_TRUE(system->GetSystemBit(295));
    EXPECT_FALSE(system->GetSystemBit(296));
    EXPECT_EQ(system->GetSongCode(0).FCode[0], 0); // bit 295 is the last of its bytes
}

TEST(TSystemState, AddingACodeInFrontMovesAllThreeRankTables)
{
    auto system = std::make_unique<TSystemState>();
    const char* codes[] = {"ZT01", "TV05", "WX02"};
    for (int i = 0; i < 3; ++i)
        for (int m = 0; m < 3; ++m)
            system->SetScoreEntry(m, Code(codes[i]), static_cast<std::uint32_t>(100 * i + m), std::string(1, static_cast<char>('a' + i)));
    EXPECT_EQ(SongIdCode(system->GetSongCode(0)), "TV05");
    EXPECT_EQ(SongIdCode(system->GetSongCode(1)), "WX02");
    EXPECT_EQ(SongIdCode(system->GetSongCode(2)), "ZT01");

    EXPECT_EQ(system->FindSongCode(Code("TV01"), true), 0);
    const char* sorted[] = {"TV01", "TV05", "WX02", "ZT01"};
    const std::uint32_t scores[] = {0, 100, 200, 0};
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(SongIdCode(system->GetSongCode(s)), sorted[s]);
        for (int m = 0; m < 3; ++m) {
            const TRankingData entry = system->GetScoreEntry(m, s);
            EXPECT_EQ(entry.FScore, s == 0 ? 0u : scores[s] + static_cast<std::uint32_t>(m)) << s << " " << m;
            EXPECT_EQ(entry.FCheck, s == 0 ? 0u : entry.FScore ^ entry.FStamp);
        }
    }
    EXPECT_EQ(system->GetScoreName(1, Code("TV01")), "    ");
    EXPECT_EQ(system->GetScoreName(1, Code("WX02")), "c");
    EXPECT_EQ(system->GetScoreValue(2, Code("ZT01")), 2u);
    EXPECT_EQ(system->FindSongCode(Code("TV05"), true), 1);
}

TEST(TSystemState, ScoreEntryRules)
{
    auto system = std::make_unique<TSystemState>();
    system->SetScoreEntry(0, Code("TV01"), 1, "");
    EXPECT_EQ(system->GetScoreName(0, Code("TV01")), "    ");
    system->SetScoreEntry(0, Code("TV01"), 2, "LONGNAME");
    EXPECT_EQ(system->GetScoreName(0, Code("TV01")), "LONG");
    EXPECT_EQ(system->GetScoreValue(0, Code("TV01")), 2u);
    for (int mode : {-1, 3}) {
        system->SetScoreEntry(mode, Code("TV02"), 9, "X");
        EXPECT_EQ(system->GetScoreValue(mode, Code("TV01")), 0u);
        EXPECT_EQ(system->GetScoreName(mode, Code("TV01")), "");
    }
    EXPECT_EQ(system->FindSongCode(Code("TV02"), false), -1);
    EXPECT_EQ(system->GetScoreValue(0, Code("TV09")), 0u);
    EXPECT_EQ(system->GetScoreName(0, Code("TV09")), "");
    EXPECT_EQ(system->FindSongCode(Code(""), true), -1);
}

TEST(TSystemState, AFullSongTableStoresNothingMore)
{
    auto system = std::make_unique<TSystemState>();
    for (int i = 0; i < TSystemState::SongCount; ++i) {
        const std::string code = std::string(1, static_cast<char>('A' + i / 100)) + "Q" + std::to_string(i / 10 % 10) + std::to_string(i % 10);
        ASSERT_GE(system->FindSongCode(Code(code.c_str()), true), 0) << code;
    }
    for (int i = 1; i < TSystemState::SongCount; ++i)
        EXPECT_LT(CompareSongId(system->GetSongCode(i - 1), system->GetSongCode(i)), 0);
    const auto before = std::vector<unsigned char>(system->Bytes().begin(), system->Bytes().end());
    EXPECT_EQ(system->FindSongCode(Code("TV01"), true), -1);
    system->SetScoreEntry(0, Code("TV01"), 7, "NEW");
    EXPECT_TRUE(std::equal(before.begin(), before.end(), system->Bytes().begin()));
}
