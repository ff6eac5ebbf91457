// The save files' common header and the exact decoding both kinds rely on.
#include "scenario/saves/SaveFile.h"

#include "scenario/saves/SaveSlot.h"

#include <memory>

#include <gtest/gtest.h>

TEST(SaveFile, HeaderTable)
{
    const auto state = std::make_unique<TGameState>();
    const auto file = EncodeSaveSlot(*state, *state, {});
    ASSERT_GT(file.size(), SaveHeaderSize);
    EXPECT_EQ(std::vector<unsigned char>(file.begin(), file.begin() + 8), (std::vector<unsigned char>{'T', 'V', 'Q', 'E', 0, 1, 0, 0}));
    const struct {
        std::size_t at;
        unsigned char value;
        bool accepted;
    } cases[] = {
        {0, 't', false}, {3, 'F', false}, {4, 1, false}, {5, 2, false}, {5, 0, false}, {6, 1, true}, {7, 0xFF, true},
    };
    for (const auto& c : cases) {
        auto changed = file;
        changed[c.at] = c.value;
        EXPECT_EQ(HasSaveHeader(changed), c.accepted) << c.at;
        std::size_t extraLength = 0;
        auto target = std::make_unique<TGameState>();
        EXPECT_EQ(DecodeSaveSlot(changed, target.get(), nullptr, extraLength, {}), c.accepted) << c.at;
    }
    EXPECT_FALSE(HasSaveHeader(std::vector<unsigned char>(file.begin(), file.begin() + 7)));
}

TEST(SaveFile, DecodeExactlyWantsTheWholeStreamAndNoMore)
{
    const std::vector<unsigned char> raw(1000, 7);
    std::vector<unsigned char> coded;
    ASSERT_TRUE(AppendEncoded(coded, raw));
    EXPECT_EQ(DecodeExactly(coded, raw.size()), raw);
    EXPECT_FALSE(DecodeExactly(coded, raw.size() - 1));
    EXPECT_FALSE(DecodeExactly(coded, raw.size() + 1));
    auto longer = coded;
    longer.push_back(0);
    EXPECT_FALSE(DecodeExactly(longer, raw.size()));
    EXPECT_FALSE(DecodeExactly(std::span(coded).first(coded.size() - 1), raw.size()));
    EXPECT_FALSE(DecodeExactly({}, raw.size()));
}

TEST(SaveFile, PathInTheSaveFolder)
{
    EXPECT_EQ(SaveFilePath("", "a.sav"), "a.sav");
    EXPECT_EQ(SaveFilePath("C:\\Game\\", "a.sav"), "C:\\Game\\a.sav");
    EXPECT_EQ(SaveFilePath("C:\\Game", "a.sav"), "C:\\Game\\a.sav");
    EXPECT_EQ(SaveSlotName(0), "TVQE00.sav");
    EXPECT_EQ(SaveSlotName(99), "TVQE99.sav");
}
