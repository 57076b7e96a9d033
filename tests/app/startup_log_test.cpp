// The start-up log: a fresh file per run, every line on disk at once, lines
// of any length, and the failure path when the file cannot be made.

#include "app/startup_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/test_support.h"

namespace pirn_test {
namespace {

using namespace pirn;

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(StartupLogTest, EachRunStartsAfreshAndLinesReachTheFileAtOnce) {
    TempDir dir;
    const std::string path = dir.file("pirn_log.txt");
    WriteAll(path, "In main\nan older run\n");

    StartupLog log(path);
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(ReadText(path), "In main\nan older run\n");  // untouched until the first line
    ASSERT_TRUE(log.Write("In main"));
    EXPECT_EQ(ReadText(path), "In main\n");
    ASSERT_TRUE(log.Write("%s %d%%", "step", 50));
    EXPECT_EQ(ReadText(path), "In main\nstep 50%\n");  // readable while the log is open

    const std::string longText(10000, 'x');
    ASSERT_TRUE(log.Write("%s", longText.c_str()));
    EXPECT_EQ(ReadText(path), "In main\nstep 50%\n" + longText + "\n");
}

TEST(StartupLogTest, AFileThatCannotBeMadeIsReported) {
    TempDir dir;
    StartupLog missingFolder(dir.file("no/such/folder/pirn_log.txt"));
    EXPECT_FALSE(missingFolder.Write("In main"));
    EXPECT_FALSE(missingFolder.IsOpen());

    // The program's own log in the working folder calls the failure handler.
    ASSERT_TRUE(pirn_test::MakeFolder(dir.file(kStartupLogFileName)));  // a folder in its place
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    static int failures;
    static std::string failedPath;
    failures = 0;
    SetStartupLogFailureHandler([](const std::string& path) {
        failures++;
        failedPath = path;
    });
    WriteLog("In main");
    SetStartupLogFailureHandler(nullptr);
    CloseStartupLog();
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(failedPath, "pirn_log.txt");
}

}  // namespace
}  // namespace pirn_test
