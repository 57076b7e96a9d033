// What interrupted saves and killed plugin builds leave behind: the
// program's start-up clears every folder it writes into of the temporary
// files of processes that no longer run, and keeps those of a save still
// running in another process.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"

namespace pirn_test {
namespace {

TEST_F(PirnProgramTest, StartUpClearsLeftoversOfDeadSaves) {
    PrepareDemoGame();
    if (IsSkipped()) return;
    // Every folder the program writes temporary files into: plugins (add-on
    // builds), the local folder and its group folders (tag saves), tags
    // (read at start-up beside plugins) and res (preferences).
    const std::vector<std::string> folders = {game_ + "/plugins", game_ + "/tags", game_ + "/local",
                                              game_ + "/local/Text", dir_.file("res")};
    const std::string dead = "/.pirn-tmp-2147483647-1-Knight Addon";  // no process has that number
    const std::string running = "/.pirn-tmp-" + std::to_string(static_cast<long>(::getpid())) + "-1-Busy";
    for (const std::string& folder : folders) {
        WriteAll(folder + dead, std::string("left by a killed build"));
        WriteAll(folder + running, std::string("a save still running"));
    }
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    for (const std::string& folder : folders) {
        EXPECT_FALSE(Exists(folder + dead)) << folder;
        EXPECT_TRUE(Exists(folder + running)) << folder;
    }
    Quit(window);
    EXPECT_TRUE(Exists(dir_.file("res/prefs.txt")));
}

}  // namespace
}  // namespace pirn_test
