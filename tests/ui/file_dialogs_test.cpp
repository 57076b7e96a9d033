// The program's file and folder dialogs over the scripted native dialogs:
// what each kind asks, the folders and formats remembered between runs, the
// identification of chosen files with its error boxes, the export folder's
// format choice, and colour tables through the dialogs.

#include "ui/file_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/act_file.h"
#include "platform/bmp_codec.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "platform/zarn_path.h"
#include "tests/support/test_support.h"
#include "tests/ui/box_answers.h"
#include "tests/ui/widget_fixture.h"
#include "ui/color_table_dialogs.h"

namespace pirn_test {
namespace {

// A 2 x 1 BMP (24-bit), laid out from the format's table.
std::vector<u8> TinyBmp() {
    std::vector<u8> b = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                         40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,  // info header
                         0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (u8 v : {255, 0, 0, 0, 255, 0, 0, 0}) b.push_back(v);  // two pixels, row padded to 8
    return b;
}

class FileDialogsTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        Prefs().Clear();
        headless::ResetScriptedDialogs();
        SetNativeDialogBackend(OsNativeDialogBackend());
        AskedBoxes().clear();
        WriteAll(dir_.file("pics/a.bmp"), TinyBmp());
        WriteAll(dir_.file("pics/b.bmp"), TinyBmp());
        WriteAll(dir_.file("pics/notes.txt"), std::string("not a picture"));
    }
    void TearDown() override {
        SetNativeDialogBackend(nullptr);
        headless::ResetScriptedDialogs();
        Prefs().Clear();
        WidgetTest::TearDown();
    }
    const FileDialogRequest& LastRequest() const { return headless::FileDialogRequests().back(); }
    static std::string Pref(const std::string& key) {
        std::string text;
        return GetPrefString(key, &text) ? text : "<none>";
    }
    static i32 PrefInt(const std::string& key) {
        i32 v = -1;
        GetPrefInt(key, &v);
        return v;
    }
    TempDir dir_;
};

TEST_F(FileDialogsTest, EachKindHasItsCaptionsFiltersAndKeys) {
    struct Case {
        u32 kind;
        const char* open;
        std::vector<std::string> filters;  // "description|pattern"
        const char* openKey;
        const char* folderFormatKey;
    } cases[] = {
        {kFileKindAny, "Open File", {"All files|*.*"}, "LastOpenPath", ""},
        {kFileKindImage, "Open Image", {"Bitmap Image|*.bmp", "PNG Image|*.png", "TIFF Image|*.tiff"},
         "LastImageOpenPath", "LastImageFolderFormat"},
        {kFileKindModel, "Open Model", {"LightWave Object|*.lwo", "3D Metafile|*.3dmf"}, "LastModelOpenPath",
         "LastModelFolderFormat"},
        {kFileKindSound, "Open Sound", {"WAV Sound|*.wav"}, "LastSoundOpenPath", "LastSoundFolderFormat"},
        {kFileKindArchive, "Open Archive", {}, "LastArchiveOpenPath", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open);
        const FileKindRow* row = FindFileKind(c.kind);
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(row->open_caption, c.open);
        std::vector<std::string> filters;
        for (const FileDialogFilter& f : FileKindFilters(*row)) filters.push_back(f.name + "|" + f.pattern);
        EXPECT_EQ(filters, c.filters);
        EXPECT_EQ(FileKindKey(*row, FileDialogUse::kOpen, false), c.openKey);
        EXPECT_EQ(FileKindKey(*row, FileDialogUse::kFolder, true), c.folderFormatKey);
    }
    EXPECT_EQ(FindFileKind(1), nullptr);
    EXPECT_EQ(FileKindKey(*FindFileKind(kFileKindImage), FileDialogUse::kSave, true), "LastImageSaveFormat");
}

TEST_F(FileDialogsTest, AnOpenedFileIsIdentifiedAndItsFolderAndFormatRemembered) {
    headless::QueueFileDialogAnswer({dir_.file("pics/a.bmp")}, 1);
    ImageFile file;
    InitImageFile(&file, "start.bmp");
    ASSERT_EQ(ChooseOpenFile(nullptr, &file, kFileKindImage, nullptr), 1);
    EXPECT_EQ(LastRequest().title, "Open Image");
    EXPECT_EQ(LastRequest().initial_name, "start.bmp");
    EXPECT_EQ(file.type, u32{kTypeBmp});
    EXPECT_EQ(Pref("LastImageOpenPath"), dir_.file("pics/"));
    EXPECT_EQ(PrefInt("LastImageOpenFormat"), 1);

    // The next open starts there, with that format; a file that is no image
    // is refused with the error box.
    headless::QueueFileDialogAnswer({dir_.file("pics/notes.txt")}, 1);
    Then(AnswerTopBox(0));
    InitImageFile(&file, "again");
    EXPECT_EQ(ChooseOpenFile("Pick One", &file, kFileKindImage, nullptr), 0);
    EXPECT_EQ(LastRequest().title, "Pick One");
    EXPECT_EQ(LastRequest().initial_folder, dir_.file("pics/"));
    EXPECT_EQ(LastRequest().start_filter_index, 1u);
    ASSERT_EQ(AskedBoxes().size(), 1u);
    EXPECT_EQ(AskedBoxes()[0].caption, "Error");
    EXPECT_EQ(AskedBoxes()[0].text, "The selected file could not be read (inaccessable or invalid format).");

    // Cancel: nothing asked, nothing remembered anew.
    headless::QueueDialogCancel();
    EXPECT_EQ(ChooseOpenFile(nullptr, &file, kFileKindImage, nullptr), 0);
    EXPECT_EQ(AskedBoxes().size(), 1u);
}

TEST_F(FileDialogsTest, FilesThatCannotBeReadAreDroppedWithOneMessage) {
    headless::QueueFileDialogAnswer({dir_.file("pics/b.bmp"), dir_.file("pics/notes.txt"), dir_.file("pics/a.bmp")});
    Then(AnswerTopBox(0));
    std::vector<ImageFile> files;
    ASSERT_EQ(ChooseOpenFiles(nullptr, &files, kFileKindImage, nullptr), 1);
    EXPECT_EQ(LastRequest().title, "Open Multiple Images");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].path, dir_.file("pics/a.bmp"));  // natural order
    EXPECT_EQ(files[1].path, dir_.file("pics/b.bmp"));
    ASSERT_EQ(AskedBoxes().size(), 1u);
    EXPECT_EQ(AskedBoxes()[0].text,
              "Some of the selected files could not be read (inaccessable or invalid format).");
}

TEST_F(FileDialogsTest, ASavedFileTakesItsTypeFromTheChosenName) {
    headless::QueueFileDialogAnswer({dir_.file("out/picture.png")}, 1);
    ASSERT_TRUE(MakeDirectory(dir_.file("out")));
    ImageFile file;
    InitImageFile(&file, "picture");
    ASSERT_EQ(ChooseSaveFile(nullptr, &file, kFileKindImage, nullptr), 1);
    EXPECT_EQ(LastRequest().title, "Save Image As");
    EXPECT_EQ(file.path, dir_.file("out/picture.png"));
    EXPECT_EQ(file.type, u32{kTypePng});
    EXPECT_EQ(Pref("LastImageSavePath"), dir_.file("out/"));
    EXPECT_EQ(PrefInt("LastImageSaveFormat"), 1);
}

TEST_F(FileDialogsTest, TheExportFolderOffersTheKindsFormatsInOrderWithTheLastOneChosen) {
    // First run: the first format preselected; TIFF chosen, with a Mode.
    FileDialogOptions extra;
    AddFileDialogChoices(extra, "Mode:", 0, {{"Full", 0}, {"Alpha Only", 1}});
    headless::QueueFileDialogAnswer({dir_.file("pics")}, -1, {2, 1});
    std::string folder = "pics";
    u32 type = 0;
    ASSERT_EQ(ChooseExportFolder(nullptr, &folder, &type, kFileKindImage, &extra), 1);
    const FileDialogRequest& first = LastRequest();
    EXPECT_EQ(first.title, "Choose Image Folder");
    ASSERT_EQ(first.boxes.size(), 2u);
    EXPECT_EQ(first.boxes[0].label, "Target Format:");
    std::vector<std::string> entries;
    for (const FileDialogChoice& choice : first.boxes[0].choices) entries.push_back(choice.name);
    EXPECT_EQ(entries, (std::vector<std::string>{"Bitmap Image (*.bmp)", "PNG Image (*.png)", "TIFF Image (*.tiff)"}));
    EXPECT_EQ(first.boxes[0].default_index, 0u);
    EXPECT_EQ(first.boxes[1].label, "Mode:");
    EXPECT_EQ(type, u32{kTypeTiff});
    EXPECT_EQ(folder, dir_.file("pics/"));
    EXPECT_EQ(extra.boxes[0].chosen_index, 1u);
    EXPECT_EQ(PrefInt("LastImageFolderFormat"), 2);
    EXPECT_EQ(Pref("LastImageFolderPath"), dir_.file("pics/"));

    // Second run: TIFF preselected; a bare folder name starts in the
    // remembered folder.
    headless::QueueFileDialogAnswer({dir_.file("pics")});
    folder = "";
    ASSERT_EQ(ChooseExportFolder("Choose a folder", &folder, &type, kFileKindImage, nullptr), 1);
    EXPECT_EQ(LastRequest().title, "Choose a folder");
    EXPECT_EQ(LastRequest().initial_folder, dir_.file("pics/"));
    EXPECT_EQ(LastRequest().boxes[0].default_index, 2u);
    EXPECT_EQ(type, u32{kTypeTiff});

    // A remembered index past the formats wraps round.
    SetPrefInt("LastModelFolderFormat", 3);
    headless::QueueFileDialogAnswer({dir_.file("pics")});
    ASSERT_EQ(ChooseExportFolder(nullptr, &folder, &type, kFileKindModel, nullptr), 1);
    EXPECT_EQ(LastRequest().boxes[0].default_index, 1u);
    EXPECT_EQ(type, u32{kType3dmf});
}

TEST_F(FileDialogsTest, AKindWithoutFiltersAsksNoFormat) {
    SetPrefInt("LastArchiveFolderFormat", 5);
    headless::QueueFileDialogAnswer({dir_.file("pics")});
    std::string folder;
    u32 type = 99;
    ASSERT_EQ(ChooseExportFolder("Choose Destination Folder", &folder, &type, kFileKindArchive, nullptr), 1);
    EXPECT_TRUE(LastRequest().boxes.empty());
    EXPECT_EQ(type, u32{kTypeUnknown});
    EXPECT_EQ(Pref("LastArchiveFolderPath"), dir_.file("pics/"));
}

TEST_F(FileDialogsTest, ColourTablesGoThroughTheirOwnDialogs) {
    std::vector<u8> table(kActTableSize);
    for (size_t i = 0; i < table.size(); ++i) table[i] = u8(i * 3);
    headless::QueueFileDialogAnswer({dir_.file("palette.act")});
    ASSERT_EQ(ExportColorTable("/somewhere/knight.256", table.data(), 16), 1);
    EXPECT_EQ(LastRequest().title, "Export Color Table");
    EXPECT_EQ(LastRequest().initial_name, "knight.act");
    ASSERT_EQ(LastRequest().filters.size(), 1u);
    EXPECT_EQ(LastRequest().filters[0].name, "Adobe Color Table");
    EXPECT_EQ(LastRequest().filters[0].pattern, "*.act");
    EXPECT_EQ(ReadAll(dir_.file("palette.act")).size(), kActFileSizeWithCount);

    headless::QueueFileDialogAnswer({dir_.file("palette.act")});
    std::vector<u8> back(kActTableSize, 0xAA);
    u32 count = 0;
    ASSERT_EQ(ImportColorTable("picture.bmp", back.data(), &count), 1);
    EXPECT_EQ(LastRequest().title, "Import Color Table");
    EXPECT_EQ(count, 16u);
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + 48, table.begin()));
    EXPECT_EQ(back[48], 0);

    // A file that is no table says so.
    headless::QueueFileDialogAnswer({dir_.file("pics/notes.txt")});
    Then(AnswerTopBox(0));
    EXPECT_EQ(ImportColorTable("x", back.data(), &count), 0);
    ASSERT_EQ(AskedBoxes().size(), 1u);
    EXPECT_EQ(AskedBoxes()[0].text, "The color table could not be opened.");
}

TEST_F(FileDialogsTest, TheGameFolderAlwaysEndsWithASlash) {
    EXPECT_EQ(GetZarnPath(), "./");
    SetZarnPath("/games/Zarnhold");
    EXPECT_EQ(GetZarnPath(), "/games/Zarnhold/");
    SetZarnPath("C:\\Games\\Zarnhold\\");
    EXPECT_EQ(GetZarnPath(), "C:/Games/Zarnhold/");
}

}  // namespace
}  // namespace pirn_test
