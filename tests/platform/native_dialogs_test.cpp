#include "platform/native_dialogs.h"

#include <deque>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

// Answers from a queue and records what it was asked.
class QueueBackend : public NativeDialogBackend {
public:
    struct Reply {
        bool ok = true;
        FileDialogAnswer answer;
        ColorRgb color;
    };
    std::deque<Reply> replies;
    std::deque<bool> yes_no;
    std::vector<FileDialogRequest> requests;
    std::vector<std::string> questions;
    std::vector<std::string> errors;
    int mode_seen_during_dialog = -1;

    bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) override {
        requests.push_back(request);
        mode_seen_during_dialog = IsNativeDialogOpen() ? 1 : 0;
        if (replies.empty()) return false;
        Reply r = replies.front();
        replies.pop_front();
        *answer = r.answer;
        return r.ok;
    }
    bool RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) override {
        if (replies.empty()) return false;
        Reply r = replies.front();
        replies.pop_front();
        if (r.ok) RememberCustomColor(custom, r.color);
        *chosen = r.color;
        return r.ok;
    }
    bool AskYesNo(const std::string& title, const std::string& text) override {
        questions.push_back(text);
        bool answer = !yes_no.empty() && yes_no.front();
        if (!yes_no.empty()) yes_no.pop_front();
        return answer;
    }
    void ShowError(const std::string& title, const std::string& text) override { errors.push_back(text); }
};

class NativeDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetNativeDialogBackend(&backend_);
        SetNativeDialogModeHook([this](bool on) { modes_.push_back(on); });
        pirn_test::WriteAll(dir_.file("b10.bmp"), std::string("x"));
        pirn_test::WriteAll(dir_.file("b9.bmp"), std::string("x"));
        pirn_test::WriteAll(dir_.file("shot.png"), std::string("x"));
    }
    void TearDown() override {
        SetNativeDialogBackend(nullptr);
        SetNativeDialogModeHook(nullptr);
        SetNativeDialogFrameHook(nullptr);
        CustomColors white;
        white.fill(ColorRgb{255, 255, 255});
        OsSetCustomColors(white);
    }
    void Answer(std::vector<std::string> paths, int filter = -1, std::vector<u32> choices = {}) {
        QueueBackend::Reply r;
        r.answer = FileDialogAnswer{std::move(paths), filter, std::move(choices)};
        backend_.replies.push_back(r);
    }
    void Cancel() {
        QueueBackend::Reply r;
        r.ok = false;
        backend_.replies.push_back(r);
    }

    QueueBackend backend_;
    std::vector<bool> modes_;
    pirn_test::TempDir dir_;
    const FileDialogFilters filters_ = {{"BMP", "*.bmp"}, {"PNG", "*.png"}};
};

TEST_F(NativeDialogsTest, OpenRunsInNativeDialogModeAndWritesResultsBack) {
    Answer({dir_.file("shot.png")}, 2);
    u32 index = 0;
    std::string path = "start/name.bmp";
    FileDialogOptions options;
    AddFileDialogChoices(options, "Mode:", 0, {{"Full", 0}, {"Alpha Only", 1}});
    backend_.replies.back().answer.chosen_indices = {1};

    ASSERT_TRUE(OsOpenFile("Open", filters_, &index, &path, &options));
    EXPECT_EQ(path, dir_.file("shot.png"));
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(GetFileDialogChoice(options, 0), 1u);
    EXPECT_EQ(backend_.mode_seen_during_dialog, 1);
    EXPECT_EQ(modes_, (std::vector<bool>{true, false}));
    EXPECT_FALSE(IsNativeDialogOpen());
    EXPECT_EQ(backend_.requests[0].initial_folder, "start/");
}

TEST_F(NativeDialogsTest, CancelLeavesEverythingAsItWas) {
    Cancel();
    u32 index = 1;
    std::string path = "keep.png";
    FileDialogOptions options;
    AddFileDialogChoices(options, "Mode:", 1, {{"Full", 0}, {"Alpha Only", 1}});
    EXPECT_FALSE(OsSaveFile("Save", filters_, &index, &path, &options));
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(path, "keep.png");
    EXPECT_EQ(options.boxes[0].chosen_index, 1u);
    EXPECT_EQ(modes_, (std::vector<bool>{true, false}));

    SetNativeDialogBackend(nullptr);
    EXPECT_FALSE(OsChooseFolder("x", &path, nullptr));
    EXPECT_EQ(path, "keep.png");
}

TEST_F(NativeDialogsTest, SeveralFilesAreSortedNaturally) {
    Answer({dir_.file("b10.bmp"), dir_.file("b9.bmp")}, 0);
    std::vector<std::string> files;
    ASSERT_TRUE(OsOpenFiles("Select", "", filters_, nullptr, &files, nullptr));
    EXPECT_EQ(files, (std::vector<std::string>{dir_.file("b9.bmp"), dir_.file("b10.bmp")}));
}

TEST_F(NativeDialogsTest, SaveAsksBeforeTheAppendedExtensionReplacesAFile) {
    // "shot" becomes "shot.png", which exists; the user declines, is asked
    // again with that name, and then picks a new one.
    Answer({dir_.file("shot")}, 1);
    Answer({dir_.file("fresh")}, 1);
    backend_.yes_no = {false};
    std::string path;
    ASSERT_TRUE(OsSaveFile("Save", filters_, nullptr, &path, nullptr));
    EXPECT_EQ(path, dir_.file("fresh.png"));
    ASSERT_EQ(backend_.questions.size(), 1u);
    EXPECT_NE(backend_.questions[0].find("shot.png already exists"), std::string::npos);
    ASSERT_EQ(backend_.requests.size(), 2u);
    EXPECT_EQ(backend_.requests[1].initial_name, "shot.png");

    Answer({dir_.file("shot")}, 1);
    backend_.yes_no = {true};
    ASSERT_TRUE(OsSaveFile("Save", filters_, nullptr, &path, nullptr));
    EXPECT_EQ(path, dir_.file("shot.png"));
}

TEST_F(NativeDialogsTest, NoSecondDialogWhileOneIsOpen) {
    bool nested_result = true;
    SetNativeDialogModeHook([&](bool on) {
        std::string p;
        if (on) nested_result = OsChooseFolder("nested", &p, nullptr);
    });
    Answer({dir_.path()});
    std::string folder;
    ASSERT_TRUE(OsChooseFolder("Choose", &folder, nullptr));
    EXPECT_FALSE(nested_result);
    EXPECT_EQ(folder, dir_.path() + "/");
}

TEST_F(NativeDialogsTest, ColourChooserRemembersCustomColours) {
    QueueBackend::Reply red;
    red.color = ColorRgb{255, 0, 0};
    QueueBackend::Reply cancel;
    cancel.ok = false;
    cancel.color = ColorRgb{1, 2, 3};
    backend_.replies = {red, cancel};

    ColorRgb rgb{10, 20, 30};
    ASSERT_TRUE(OsChooseColor(&rgb));
    EXPECT_EQ(rgb, (ColorRgb{255, 0, 0}));
    EXPECT_EQ(OsCustomColors()[0], (ColorRgb{255, 0, 0}));
    EXPECT_FALSE(OsChooseColor(&rgb));
    EXPECT_EQ(rgb, (ColorRgb{255, 0, 0}));
}

TEST(CustomColorsTest, ChosenColourMovesToTheFrontWithoutDuplicates) {
    CustomColors colors;
    for (int i = 0; i < kCustomColorCount; ++i) colors[i] = ColorRgb{static_cast<u8>(i), 0, 0};
    RememberCustomColor(&colors, ColorRgb{5, 0, 0});
    EXPECT_EQ(colors[0], (ColorRgb{5, 0, 0}));
    EXPECT_EQ(colors[1], (ColorRgb{0, 0, 0}));
    EXPECT_EQ(colors[5], (ColorRgb{4, 0, 0}));
    EXPECT_EQ(colors[6], (ColorRgb{6, 0, 0}));
    EXPECT_EQ(colors[15], (ColorRgb{15, 0, 0}));
    RememberCustomColor(&colors, ColorRgb{99, 0, 0});
    EXPECT_EQ(colors[0], (ColorRgb{99, 0, 0}));
    EXPECT_EQ(colors[15], (ColorRgb{14, 0, 0}));  // the oldest fell off
}

}  // namespace
}  // namespace pirn
