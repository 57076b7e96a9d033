#include "platform/native_dialog_request.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

const FileDialogFilters kBmpPng = {{"Windows Bitmap", "*.bmp"}, {"PNG Image", "*.png"}};

TEST(FileDialogChoicesTest, DefaultIndexIsClampedAndNegativeMeansFirst) {
    FileDialogOptions options;
    AddFileDialogChoices(options, "Mode:", 5, {{"Full", 10}, {"Alpha Only", 11}});
    AddFileDialogChoices(options, "Replace:", -3, {{"By Order", 0}, {"By Name", 1}});
    AddFileDialogChoices(options, "Empty:", 2, {});
    ASSERT_EQ(options.boxes.size(), 3u);
    EXPECT_EQ(options.boxes[0].default_index, 1u);
    EXPECT_EQ(options.boxes[0].chosen_index, 1u);
    EXPECT_EQ(options.boxes[1].default_index, 0u);
    EXPECT_EQ(options.boxes[1].chosen_index, 0u);
    EXPECT_EQ(GetFileDialogChoice(options, 0), 11u);
    EXPECT_EQ(GetFileDialogChoice(options, 1), 0u);
    EXPECT_EQ(GetFileDialogChoice(options, 2), 0u);  // no entries
    EXPECT_EQ(GetFileDialogChoice(options, 9), 0u);  // no such box
}

TEST(FileDialogFilterTest, ExtensionsAndMatching) {
    EXPECT_EQ(FilterExtension("*.bmp"), ".bmp");
    EXPECT_EQ(FilterExtension("*.tif;*.tiff"), ".tif");
    EXPECT_EQ(FilterExtension("*.*"), "");
    EXPECT_EQ(FilterExtension("*"), "");
    EXPECT_EQ(FilterExtension(""), "");
    EXPECT_EQ(FilterExtension("qqqqqqqqqqqqqqq.qqqqqqqqq"), "");

    EXPECT_TRUE(FilterMatchesName("*.png", "IMG.PNG"));
    EXPECT_TRUE(FilterMatchesName("*.bmp;*.png", "a.png"));
    EXPECT_TRUE(FilterMatchesName("b?.bmp", "b9.bmp"));
    EXPECT_FALSE(FilterMatchesName("b?.bmp", "b10.bmp"));
    EXPECT_FALSE(FilterMatchesName("*.png", "picture.png.bak"));
    EXPECT_TRUE(FilterMatchesName("*.*", "README"));  // "All Files" means every file
    EXPECT_TRUE(FilterMatchesName("*", ""));
}

TEST(FileDialogFilterTest, AppendingLooksAtTheFileNameOnlyIgnoringCase) {
    struct Case { const char* path; const char* extension; const char* expected; };
    const Case cases[] = {
        {"picture", ".png", "picture.png"},
        {"dir/picture.png.bak", ".png", "dir/picture.png.bak"},
        {"IMG.PNG", ".png", "IMG.PNG"},
        {"x.pngs/pic", ".png", "x.pngs/pic.png"},
        {"x.png/pic", ".png", "x.png/pic.png"},
        {"c:\\shots.png\\pic", ".png", "c:\\shots.png\\pic.png"},
        {"pic", "", "pic"},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        AppendDialogExtension(path, c.extension);
        EXPECT_EQ(path, c.expected) << c.path;
    }
}

TEST(FileDialogRequestTest, OpenDialogsOfferAnyAndStartFilterFallsBackToFirst) {
    const u32 stored = 1;
    FileDialogRequest open =
        MakeFileDialogRequest(FileDialogKind::kOpenFile, "Open", kBmpPng, &stored, "a/b/pic.png", nullptr);
    ASSERT_EQ(open.filters.size(), 3u);
    EXPECT_EQ(open.filters[2].name, "Any");
    EXPECT_EQ(open.filters[2].pattern, "*.bmp;*.png");
    EXPECT_EQ(open.given_filter_count, 2u);
    EXPECT_EQ(open.start_filter_index, 1u);
    EXPECT_EQ(open.initial_folder, "a/b/");
    EXPECT_EQ(open.initial_name, "pic.png");

    const u32 any = 2;
    EXPECT_EQ(MakeFileDialogRequest(FileDialogKind::kOpenFiles, "", kBmpPng, &any, "", nullptr).start_filter_index, 2u);
    // Saving offers no "Any", so index 2 is past the list.
    FileDialogRequest save = MakeFileDialogRequest(FileDialogKind::kSaveFile, "", kBmpPng, &any, "x\\y", nullptr);
    EXPECT_EQ(save.filters.size(), 2u);
    EXPECT_EQ(save.start_filter_index, 0u);
    EXPECT_EQ(save.initial_folder, "x/");
    EXPECT_EQ(save.initial_name, "y");

    const u32 far = 99;
    EXPECT_EQ(MakeFileDialogRequest(FileDialogKind::kOpenFile, "", kBmpPng, &far, "", nullptr).start_filter_index, 0u);

    FileDialogRequest bare = MakeFileDialogRequest(FileDialogKind::kOpenFile, "", {}, nullptr, "", nullptr);
    ASSERT_EQ(bare.filters.size(), 1u);
    EXPECT_EQ(bare.filters[0].name, "All Files");
    EXPECT_EQ(bare.filters[0].pattern, "*.*");
    EXPECT_EQ(bare.given_filter_count, 0u);

    FileDialogRequest single = MakeFileDialogRequest(FileDialogKind::kOpenFile, "", {{"ACT", "*.act"}}, nullptr, "", nullptr);
    EXPECT_EQ(single.filters.size(), 1u);  // "Any" only beside two or more

    FileDialogRequest folder = MakeFileDialogRequest(FileDialogKind::kChooseFolder, "", kBmpPng, nullptr, "a/b", nullptr);
    EXPECT_TRUE(folder.filters.empty());
    EXPECT_EQ(folder.initial_folder, "a/b/");
}

class FileDialogAnswerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b10.bmp", "b9.bmp", "B9.bmp", "IMG.PNG", "pic.png", "existing.png"}) {
            pirn_test::WriteAll(dir_.file(name), std::string("x"));
        }
    }
    FileDialogResult Finish(const FileDialogRequest& request, const FileDialogAnswer& answer,
                            FileDialogCheck expected = FileDialogCheck::kAccepted) {
        FileDialogResult result;
        EXPECT_EQ(FinishFileDialogAnswer(request, answer, &result), expected);
        return result;
    }
    pirn_test::TempDir dir_;
};

TEST_F(FileDialogAnswerTest, SaveAppendsTheSelectedFiltersExtension) {
    const u32 png = 1;
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kSaveFile, "Save", kBmpPng, &png, "", nullptr);

    FileDialogAnswer typed{{dir_.file("picture")}, 1, {}};
    EXPECT_EQ(Finish(request, typed).paths[0], dir_.file("picture.png"));

    FileDialogAnswer kept{{dir_.file("picture.png.bak")}, 1, {}};
    EXPECT_EQ(Finish(request, kept).paths[0], dir_.file("picture.png.bak"));

    // The backend cannot say which filter was selected: the typed name's own
    // extension decides, else the starting filter.
    FileDialogAnswer bmp{{dir_.file("shot.BMP")}, -1, {}};
    FileDialogResult r = Finish(request, bmp);
    EXPECT_EQ(r.filter_index, 0u);
    EXPECT_EQ(r.paths[0], dir_.file("shot.BMP"));
    FileDialogAnswer plain{{dir_.file("shot")}, -1, {}};
    r = Finish(request, plain);
    EXPECT_EQ(r.filter_index, 1u);
    EXPECT_EQ(r.paths[0], dir_.file("shot.png"));
}

TEST_F(FileDialogAnswerTest, SaveOntoAnExistingFileThroughTheExtensionNeedsConfirmation) {
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kSaveFile, "", kBmpPng, nullptr, "", nullptr);
    FileDialogAnswer answer{{dir_.file("existing")}, 1, {}};
    FileDialogResult r = Finish(request, answer);
    EXPECT_EQ(r.paths[0], dir_.file("existing.png"));
    EXPECT_TRUE(r.needs_replace_confirmation);
    // Chosen as it is: the dialog already asked.
    FileDialogAnswer direct{{dir_.file("existing.png")}, 1, {}};
    EXPECT_FALSE(Finish(request, direct).needs_replace_confirmation);
}

TEST_F(FileDialogAnswerTest, SaveRefusesReadOnlyFiles) {
    chmod(dir_.file("pic.png").c_str(), 0444);
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kSaveFile, "", kBmpPng, nullptr, "", nullptr);
    Finish(request, FileDialogAnswer{{dir_.file("pic.png")}, 1, {}}, FileDialogCheck::kReadOnly);
}

TEST_F(FileDialogAnswerTest, SaveOverAFolderIsRejected) {
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kSaveFile, "", {}, nullptr, "", nullptr);
    Finish(request, FileDialogAnswer{{dir_.path()}, -1, {}}, FileDialogCheck::kRejected);
    Finish(request, FileDialogAnswer{{}, -1, {}}, FileDialogCheck::kRejected);
}

TEST_F(FileDialogAnswerTest, OpenNeverAppendsAndAnyIsReported) {
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kOpenFile, "", kBmpPng, nullptr, "", nullptr);
    // Filter *.png selected, file named in capitals: the file exists as it
    // is, so nothing is appended ("IMG.PNG.png" would not exist).
    FileDialogResult r = Finish(request, FileDialogAnswer{{dir_.file("IMG.PNG")}, 1, {}});
    EXPECT_EQ(r.paths[0], dir_.file("IMG.PNG"));
    EXPECT_EQ(r.filter_index, 1u);

    r = Finish(request, FileDialogAnswer{{dir_.file("pic.png")}, 2, {}});
    EXPECT_EQ(r.filter_index, 2u);
    EXPECT_EQ(r.paths[0], dir_.file("pic.png"));

    // Unknown selection: the matching filter, or "Any" when none matches.
    EXPECT_EQ(Finish(request, FileDialogAnswer{{dir_.file("b9.bmp")}, -1, {}}).filter_index, 0u);
    pirn_test::WriteAll(dir_.file("notes.txt"), std::string("x"));
    EXPECT_EQ(Finish(request, FileDialogAnswer{{dir_.file("notes.txt")}, -1, {}}).filter_index, 2u);

    Finish(request, FileDialogAnswer{{dir_.file("missing.png")}, 1, {}}, FileDialogCheck::kRejected);
    Finish(request, FileDialogAnswer{{dir_.path()}, 1, {}}, FileDialogCheck::kRejected);
}

TEST_F(FileDialogAnswerTest, SeveralFilesComeBackInNaturalOrder) {
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kOpenFiles, "", kBmpPng, nullptr, "", nullptr);
    FileDialogResult r = Finish(request, FileDialogAnswer{{dir_.file("b10.bmp"), dir_.file("b9.bmp"), dir_.file("B9.bmp")}, 0, {}});
    ASSERT_EQ(r.paths.size(), 3u);
    EXPECT_EQ(r.paths[0], dir_.file("B9.bmp"));  // equal in natural order: bytewise
    EXPECT_EQ(r.paths[1], dir_.file("b9.bmp"));
    EXPECT_EQ(r.paths[2], dir_.file("b10.bmp"));
    // One missing file spoils the answer rather than vanishing from it.
    Finish(request, FileDialogAnswer{{dir_.file("b9.bmp"), dir_.file("gone.bmp")}, 0, {}}, FileDialogCheck::kRejected);
}

TEST_F(FileDialogAnswerTest, FolderResultEndsWithSlashAndChoicesAreRangeChecked) {
    FileDialogOptions options;
    AddFileDialogChoices(options, "Target Format:", 1, {{"BMP", 6}, {"PNG", 7}, {"TIFF", 8}});
    AddFileDialogChoices(options, "Mode:", 0, {{"Full", 0}, {"Alpha Only", 1}});
    FileDialogRequest request = MakeFileDialogRequest(FileDialogKind::kChooseFolder, "", {}, nullptr, "", &options);

    FileDialogResult r = Finish(request, FileDialogAnswer{{dir_.path()}, -1, {2, 7}});
    EXPECT_EQ(r.paths[0], dir_.path() + "/");
    ASSERT_EQ(r.chosen_indices.size(), 2u);
    EXPECT_EQ(r.chosen_indices[0], 2u);
    EXPECT_EQ(r.chosen_indices[1], 0u);  // 7 is no entry: the default stays

    EXPECT_EQ(Finish(request, FileDialogAnswer{{dir_.path() + "/"}, -1, {}}).chosen_indices[0], 1u);
    Finish(request, FileDialogAnswer{{dir_.file("pic.png")}, -1, {}}, FileDialogCheck::kRejected);
}

}  // namespace
}  // namespace pirn
