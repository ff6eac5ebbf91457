// Helper threads for codec stages: results come back in the order the jobs were handed out.
#include "base/codecs/JobPipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>

// The first job holds every helper until all jobs are handed out, so later jobs finish first on
// the other helper; Collect still answers in the order handed out.
TEST(JobPipeline, CollectsResultsInTheOrderHandedOut)
{
    constexpr int Jobs = 12;
    std::latch handedOut(1);
    std::atomic<int> ran{0};
    JobPipeline pipeline(2);
    for (int i = 0; i < Jobs; ++i)
        pipeline.Submit([&, i] {
            if (i == 0)
                handedOut.wait();
            ++ran;
            return i % 3 == 0;
        });
    handedOut.count_down();
    for (int i = 0; i < Jobs; ++i)
        EXPECT_EQ(pipeline.Collect(), i % 3 == 0) << i;
    EXPECT_EQ(ran, Jobs);
}
