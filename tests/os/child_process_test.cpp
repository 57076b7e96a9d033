#include "platform/os/core/child_process.h"

#include <gtest/gtest.h>

namespace pirn {
namespace {

TEST(ChildProcessTest, CapturesOutputAndExitCode) {
    ChildProcessResult result;
    ASSERT_TRUE(RunChildProcess({"sh", "-c", "printf 'a b\\n'; exit 3"}, nullptr, &result));
    EXPECT_EQ(result.output, "a b\n");
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_FALSE(result.output_cut);
}

TEST(ChildProcessTest, CallsBackBetweenPollsWhileTheChildRuns) {
    int frames = 0;
    ChildProcessResult result;
    // Output larger than a pipe's buffer: the child can only finish if the
    // wait keeps reading.
    ASSERT_TRUE(RunChildProcess({"sh", "-c", "sleep 0.2; head -c 1000000 /dev/zero"},
                                [&] { ++frames; return false; }, &result));
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output.size(), 1000000u);
    EXPECT_GT(frames, 0);
}

TEST(ChildProcessTest, MissingProgramOrSignalIsReported) {
    ChildProcessResult result;
    EXPECT_FALSE(RunChildProcess({"/nonexistent/zenity"}, nullptr, &result));
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(RunChildProcess({}, nullptr, &result));

    ASSERT_TRUE(RunChildProcess({"sh", "-c", "kill -9 $$"}, nullptr, &result));
    EXPECT_EQ(result.exit_code, -1);
}

TEST(ChildProcessTest, AGrandchildHoldingThePipeDoesNotBlock) {
    ChildProcessResult result;
    ASSERT_TRUE(RunChildProcess({"sh", "-c", "echo first; (sleep 30 &) ; exit 0"}, nullptr, &result));
    EXPECT_EQ(result.output, "first\n");
}

}  // namespace
}  // namespace pirn
