// Song codes: their order, text and folder name, and the identity file's version rule.
#include "scenario/records/TSongID.h"

#include <gtest/gtest.h>

namespace {

TSongID Code(const char* text) { return TSongID::FromText(text); }

} // namespace

TEST(TSongID, CompareSongIdOrder)
{
    const struct {
        const char *a, *b;
        int result;
    } cases[] = {
        {"TV99", "WX00", -1}, // the game's own prefix first
        {"WX05", "ZT01", -1},
        {"RZ01", "AA01", -1}, // an unknown prefix after every row
        {"AA01", "AB01", -1}, // unknown prefixes by their bytes
        {"TV02", "TV10", -1},
        {"TV10", "TV02", 1},
        {"ZT01", "ZT01", 0},
        {"TV1", "TV10", -1}, // a zero byte ends the comparison
        {"", "TV01", 1},     // an empty code is an unknown prefix
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareSongId(Code(c.a), Code(c.b)), c.result) << c.a << " " << c.b;
}

TEST(TSongID, TextAndFolderName)
{
    EXPECT_EQ(SongIdCode(Code("TV07")), "TV07");
    EXPECT_EQ(SongIdCode(Code("")), "");
    EXPECT_EQ(SongIdCode(Code("TV0")), "TV0");
    EXPECT_EQ(SongIdCode(Code("TV071")), "TV07");
    EXPECT_EQ(SongFolderName(Code("TV07")), "Song\\TV07");
    for (const char* unsafe : {"", "../x", "..", "A\\B", "A/B", "TV\x01"
                                                                 "2",
                               "T.01", "\x7F"
                                       "A01"})
        EXPECT_EQ(SongFolderName(Code(unsafe)), "") << unsafe;
}

TEST(TSongID, ParseVersionNumber)
{
    const struct {
        const char* line;
        int version;
    } cases[] = {
        {"VER1.11", 111}, {"VER2.00", 200}, {"xxx1x05", 105}, {"VER1.1", 0}, {"VER1.110", 0},
        {"VERa.11", 0},   {"VER1.1a", 0},   {"", 0},          {"VER1.-1", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseVersionNumber(c.line), c.version) << c.line;
}

TEST(TSongID, StringToTag4TakesExactlyFourCharactersInUpperCase)
{
    const struct {
        const char* text;
        const char* code; // four bytes
    } cases[] = {
        {"TV07", "TV07"}, {"tv07", "TV07"}, {"Ab1z", "AB1Z"},
        {"TV7", "\0\0\0\0"}, {"TV007", "\0\0\0\0"}, {"", "\0\0\0\0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(StringToTag4(c.text).FCode, 4), std::string(c.code, 4)) << c.text;
}
