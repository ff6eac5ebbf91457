#include "platform/system/InstanceLock.h"

#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {


TEST(InstanceLock, ASecondHolderFailsWhileTheFirstHoldsAndSucceedsAfter)
{
    const TestSupport::TempFolder folder;
    const auto path = folder.Path() / "instance.lock";
    auto first = InstanceLock::Acquire(path);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(std::filesystem::exists(path)) << "the file is made when missing";
    EXPECT_EQ(InstanceLock::Acquire(path), nullptr);
    first.reset();
    auto second = InstanceLock::Acquire(path);
    EXPECT_NE(second, nullptr);
    second.reset();
}

TEST(InstanceLock, AnotherProcessIsRefusedAndALeftOverFileLocksNothing)
{
    const TestSupport::TempFolder folder;
    const auto path = folder.Path() / "instance.lock";
    std::ofstream(path) << "left by a crashed holder";
    auto held = InstanceLock::Acquire(path);
    ASSERT_NE(held, nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(InstanceLock::Acquire(path) == nullptr ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process must be refused";
    held.reset();
}

TEST(InstanceLock, AFileThatCannotBeOpenedGivesNoLock)
{
    EXPECT_EQ(InstanceLock::Acquire("/nonexistent-folder/lock"), nullptr);
}

} // namespace
