// Exporting bitmaps: file names from bitmap names stay inside the chosen
// folder and distinct, numbering names, and what cannot be exported.

#include "collections/bitmap_export.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "collections/bitmap_import.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct ExportFixture {
    Collection c;
    std::vector<const CollectionBitmap*> bitmaps;
    explicit ExportFixture(const std::vector<std::string>& names, u16 flags = 0) {
        InitCollection(&c);
        for (const std::string& name : names) {
            const std::vector<u8> pixels = {255, 5, 0, 0};
            bitmaps.push_back(AddCollectionBitmap(&c, name.c_str(), flags, pixels.data(), 2, 1, 2, nullptr));
        }
    }
};

TEST(ExportNames, SingleExportDefaultsToTheBitmapName) {
    ExportFixture f({"Walk 03"});
    EXPECT_EQ(DefaultExportName(*f.bitmaps[0], false), "Walk 03");
    EXPECT_EQ(DefaultExportName(*f.bitmaps[0], true), "Walk 03 alpha");
}

TEST(ExportNames, NamesFromTheTagAreMadeSafeAndDistinct) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"Walk 01", "Walk 01"},
        {"../../etc/passwd", ".._.._etc_passwd"},
        {"a/b", "a_b"},
        {"a_b", "a_b (2)"},
        {"back\\slash", "back_slash"},
        {"", "bitmap #0005"},
        {"..", "bitmap #0006"},
        {".", "bitmap #0007"},
        {"tab\there", "tab_here"},
        {"caf\x8E", "caf\xC3\xA9"},
        {"nul", "_nul"},
        {"at 3:15. ", "at 3_15"},
    };
    std::vector<std::string> names;
    for (const auto& c : cases) names.push_back(c.name);
    ExportFixture f(names);
    ScriptedPrompts prompts;
    std::vector<std::string> files;
    ASSERT_TRUE(ExportFileNames(f.c, f.bitmaps, false, kMapByName, prompts, &files));
    ASSERT_EQ(files.size(), names.size());
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(files[i], cases[i].file) << "bitmap " << i;
}

TEST(ExportNames, ByNameRefusesSharedNamesAndByNumberingDoesNot) {
    ExportFixture f({"Same", "Other", "Same"});
    ScriptedPrompts prompts;
    std::vector<std::string> files;
    EXPECT_FALSE(ExportFileNames(f.c, f.bitmaps, false, kMapByName, prompts, &files));
    EXPECT_EQ(prompts.errors,
              std::vector<std::string>{"Export by name is not possible because two or more of the selected bitmaps "
                                       "share the same name. Running the auto-rename function may be useful."});
    ASSERT_TRUE(ExportFileNames(f.c, {f.bitmaps[2], f.bitmaps[0]}, false, kMapByOrder, prompts, &files));
    EXPECT_EQ(files, (std::vector<std::string>{"bitmap #0002", "bitmap #0000"}));
    ASSERT_TRUE(ExportFileNames(f.c, {f.bitmaps[1]}, true, kMapByOrder, prompts, &files));
    EXPECT_EQ(files, std::vector<std::string>{"alpha #0001"});
    ExportFixture shadows({"s"}, kBitmapShadow);
    ASSERT_TRUE(ExportFileNames(shadows.c, shadows.bitmaps, false, kMapByOrder, prompts, &files));
    EXPECT_EQ(files, std::vector<std::string>{"shadow #0000"});
    ASSERT_TRUE(ExportFileNames(f.c, {f.bitmaps[1]}, true, kMapByName, prompts, &files));
    EXPECT_EQ(files, std::vector<std::string>{"Other alpha"});
}

TEST(ExportFiles, EveryFileLandsInTheChosenFolder) {
    pirn_test::TempDir dir;
    const std::string folder = dir.file("out");
    ASSERT_TRUE(MakeDirectory(folder));
    ExportFixture f({"../escape", "Walk", "sub/dir"});
    ScriptedPrompts prompts;
    EXPECT_EQ(ExportBitmaps(f.c, f.bitmaps, false, folder, kMapByName, kTypeBmp, prompts), 3u);
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{".._escape.bmp", "Walk.bmp", "sub_dir.bmp"}));
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"out"});
    ImageFile file;
    InitImageFile(&file, folder + "/Walk.bmp");
    ASSERT_TRUE(LoadImageFile(&file));
    EXPECT_EQ(file.image.pixels, (std::vector<u8>{5, 1})) << "RAW: transparent pixels as index 1";
}

TEST(ExportFiles, SixtyFourBitBitmapsAndUnwritablePathsAreReported) {
    pirn_test::TempDir dir;
    Collection c;
    InitCollection(&c);
    CollectionBitmap* deep = AddCollectionBitmap(&c, "deep", 0, nullptr, 2, 2, 8, nullptr);
    ScriptedPrompts prompts;
    EXPECT_FALSE(ExportBitmapToFile(c, *deep, false, dir.file("deep.png"), 0, prompts));
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"'deep': The bitmap has no 8-bit form to export."});
    ExportFixture f({"b"});
    prompts.errors.clear();
    EXPECT_FALSE(ExportBitmapToFile(f.c, *f.bitmaps[0], false, dir.file("missing/folder/b.png"), 0, prompts));
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"'b.png': The image could not be written."});
}

}  // namespace
}  // namespace pirn
