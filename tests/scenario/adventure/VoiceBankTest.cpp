// VoiceBank: pack and file names from a voice number, binding only when the pack changes, and
// missing packs or voices.
#include "scenario/adventure/VoiceBank.h"

#include "base/PackFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(VoiceBank, NamesFromTheVoiceNumber)
{
    EXPECT_EQ(VoiceBank::PackOf(1234567), 12);
    EXPECT_EQ(VoiceBank::PackName(12), "Voice\\ev00012.pak");
    EXPECT_EQ(VoiceBank::FileName(1234567), "0001234567.ogg");
    EXPECT_EQ(VoiceBank::PackOf(99999), 0);
}

TEST(VoiceBank, BindsOnlyWhenThePackChanges)
{
    PackFixture::ScratchFolder folder;
    folder.Write("Voice/x", {});
    ASSERT_TRUE(PackFixture::BuildPack(folder, folder.Name("Voice\\ev00012.pak"),
                                       {{"0001234567.ogg", {1, 2}}, {"0001200001.ogg", {3}}}, 0));
    VoiceBank bank(folder.Name());
    EXPECT_EQ(bank.Find(1234567), AnsiString("0001234567.ogg"));
    EXPECT_EQ(bank.Find(1200001), AnsiString("0001200001.ogg"));
    EXPECT_EQ(bank.Binds(), 1) << "a second voice of pack 12 does not rebind";
    EXPECT_EQ(bank.Find(1200002), std::nullopt) << "a voice missing from its pack";
    EXPECT_EQ(bank.Binds(), 1);

    EXPECT_EQ(bank.Find(1300000), std::nullopt) << "pack 13 does not exist";
    EXPECT_FALSE(bank.Files().ChkIsPack());
    EXPECT_EQ(bank.Find(1300001), std::nullopt);
    EXPECT_EQ(bank.Binds(), 3) << "a missing pack is tried again";
    EXPECT_EQ(bank.Find(1234567), AnsiString("0001234567.ogg"));

    // A folder of loose voice files is not read.
    folder.Write("Voice/ev00014.pak/0001400000.ogg", {1});
    EXPECT_EQ(bank.Find(1400000), std::nullopt);
}

} // namespace
