#include "platform/os/headless/scripted_dialogs.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/os/os_dialogs.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

class ScriptedDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::ResetScriptedDialogs();
        SetNativeDialogBackend(OsNativeDialogBackend());
        SetNativeDialogFrameHook([this] { ++frames_; });
    }
    void TearDown() override {
        SetNativeDialogBackend(nullptr);
        SetNativeDialogFrameHook(nullptr);
        headless::ResetScriptedDialogs();
    }
    int frames_ = 0;
    pirn_test::TempDir dir_;
};

TEST_F(ScriptedDialogsTest, AnswersInOrderAndCancelsWhenTheScriptRunsOut) {
    headless::QueueFileDialogAnswer({dir_.path()}, -1, {2});
    headless::QueueColorAnswer(ColorRgb{9, 8, 7});

    FileDialogOptions options;
    AddFileDialogChoices(options, "Target Format:", 0, {{"BMP", 6}, {"PNG", 7}, {"TIFF", 8}});
    std::string folder = "start";
    ASSERT_TRUE(OsChooseFolder("Choose a destination folder", &folder, &options));
    EXPECT_EQ(folder, dir_.path() + "/");
    EXPECT_EQ(GetFileDialogChoice(options, 0), 8u);

    ColorRgb rgb;
    ASSERT_TRUE(OsChooseColor(&rgb));
    EXPECT_EQ(rgb, (ColorRgb{9, 8, 7}));
    EXPECT_EQ(OsCustomColors()[0], (ColorRgb{9, 8, 7}));

    std::string path;
    EXPECT_FALSE(OsOpenFile("Open", {}, nullptr, &path, nullptr));

    ASSERT_EQ(headless::FileDialogRequests().size(), 2u);
    EXPECT_EQ(headless::FileDialogRequests()[0].title, "Choose a destination folder");
    EXPECT_EQ(headless::FileDialogRequests()[0].initial_folder, "start/");
    EXPECT_EQ(headless::ColorDialogCount(), 1);
    EXPECT_EQ(headless::PendingDialogAnswers(), 0u);
    EXPECT_EQ(frames_, 3);
}

TEST_F(ScriptedDialogsTest, ReadOnlyTargetIsRefusedWithAMessageAndAskedAgain) {
    pirn_test::WriteAll(dir_.file("locked.png"), std::string("x"));
    chmod(dir_.file("locked.png").c_str(), 0444);
    headless::QueueFileDialogAnswer({dir_.file("locked.png")}, 0);
    headless::QueueFileDialogAnswer({dir_.file("free")}, 0);
    std::string path;
    ASSERT_TRUE(OsSaveFile("Save", {{"PNG", "*.png"}}, nullptr, &path, nullptr));
    EXPECT_EQ(path, dir_.file("free.png"));
    ASSERT_EQ(headless::DialogErrors().size(), 1u);
    EXPECT_NE(headless::DialogErrors()[0].find("locked.png is read-only"), std::string::npos);
}

}  // namespace
}  // namespace pirn
