// TXeSafeFile: the target changes only by Commit; temporary names held by live writers are left
// alone, and those of writers that died are taken over, so killed writers never use up the names.
#include "base/packs/TXeSafeFile.h"

#include "tests/base/PackFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace PackFixture;

int Temporaries(const ScratchFolder& folder)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Native()))
        count += entry.path().filename().string().find(".~XeTmp") != std::string::npos;
    return count;
}

void WriteAndCommit(TXeSafeFile& file, const Bytes& bytes)
{
    file.Stream().WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(file.Commit());
}

TEST(TXeSafeFile, TheTargetChangesOnlyByCommit)
{
    const ScratchFolder folder;
    folder.Write("save.dat", {1, 2, 3});
    {
        TXeSafeFile abandoned(folder.Name("save.dat"));
        abandoned.Stream().WriteBuffer("xyz", 3);
    }
    EXPECT_EQ(folder.Read("save.dat"), (Bytes{1, 2, 3}));
    TXeSafeFile file(folder.Name("save.dat"));
    WriteAndCommit(file, {4, 5});
    EXPECT_EQ(folder.Read("save.dat"), (Bytes{4, 5}));
    EXPECT_EQ(Temporaries(folder), 0);
}

TEST(TXeSafeFile, TakesOverTheNamesOfWritersThatDied)
{
    const ScratchFolder folder;
    // What killed writers leave: every temporary name taken, none of them locked.
    for (int n = 0; n < 1000; ++n) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%03d", n);
        folder.Write(std::string("save.dat.~XeTmp") + suffix, {9, 9, 9, 9, 9, 9});
    }
    TXeSafeFile file(folder.Name("save.dat"));
    WriteAndCommit(file, {7});
    EXPECT_EQ(folder.Read("save.dat"), Bytes{7}) << "the claimed file was emptied first";
    EXPECT_EQ(Temporaries(folder), 999);
}

TEST(TXeSafeFile, LeavesTheNamesOfLiveWritersAlone)
{
    const ScratchFolder folder;
    TXeSafeFile first(folder.Name("save.dat"));
    first.Stream().WriteBuffer("first", 5);
    TXeSafeFile second(folder.Name("save.dat"));
    WriteAndCommit(second, {2});
    EXPECT_EQ(folder.Read("save.dat"), Bytes{2});
    // A writer starting now may not claim the name the second one renamed away, nor the first's.
    TXeSafeFile third(folder.Name("save.dat"));
    EXPECT_EQ(Temporaries(folder), 2);
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(folder.Read("save.dat"), (Bytes{'f', 'i', 'r', 's', 't'}));
}

} // namespace
