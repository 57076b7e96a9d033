#include "platform/os/core/child_process.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

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
    // xclip leaves such a helper behind. It writes its pid and then waits
    // for a stop file (at most 20 s), holding the output pipe open.
    pirn_test::TempDir dir;
    const std::string script =
        "echo first; (echo $$ > \"$0/pid\"; exec sh -c 'echo $$ > \"$0/pid\"; i=0; "
        "while [ ! -f \"$0/stop\" ] && [ $i -lt 200 ]; do sleep 0.1; i=$((i+1)); done' \"$0\") & "
        "while [ ! -s \"$0/pid\" ]; do sleep 0.01; done; exit 0";
    ChildProcessResult result;
    ASSERT_TRUE(RunChildProcess({"sh", "-c", script, dir.path()}, nullptr, &result));
    EXPECT_EQ(result.output, "first\n");
    const std::vector<uint8_t> pid_text = pirn_test::ReadAll(dir.file("pid"));
    const pid_t helper = static_cast<pid_t>(std::atol(std::string(pid_text.begin(), pid_text.end()).c_str()));
    ASSERT_GT(helper, 0);
    // Still running: the wait did not sit until the pipe closed.
    EXPECT_EQ(kill(helper, 0), 0);
    pirn_test::WriteAll(dir.file("stop"), std::string("x"));
    // Let it see the stop file before the folder goes.
    for (int i = 0; i < 500 && kill(helper, 0) == 0; ++i) usleep(10000);
}

}  // namespace
}  // namespace pirn
