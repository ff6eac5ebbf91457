// Thread priority: the calling thread gets one step above normal, or keeps normal when refused.
#include "platform/system/ThreadPriority.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <thread>

TEST(ThreadPriority, RaisesOnlyTheCallingThreadOneStepOrNothing)
{
    const int before = getpriority(PRIO_PROCESS, 0);
    int inside = 0, after = 0;
    bool raised = false;
    std::thread([&] {
        inside = getpriority(PRIO_PROCESS, 0);
        raised = ThreadPriority::RaiseCurrentThread();
        after = getpriority(PRIO_PROCESS, 0);
    }).join();
    EXPECT_EQ(inside, before);
    EXPECT_EQ(after, raised ? inside - 1 : inside);
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), before) << "the caller's thread only";
}
