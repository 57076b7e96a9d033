// SoundEdit on the headless window system: sound tags written byte by byte
// from the format's tables, their rows, Export All and Export Selected
// through the scripted folder chooser, failed writes reported, and the
// save that never happens.

#include "editors/ui/sound_edit.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/tag_editor_fixture.h"
#include "tests/editors/sound_fixture.h"

namespace pirn_test {
namespace {

using editors_test::FixturePermutation;
using editors_test::SilentPacket;
using pirn::SoundEdit;
using pirn::TagEntry;

std::vector<std::vector<u8>> Packets(size_t n, const std::vector<u8>& packet) {
    return std::vector<std::vector<u8>>(n, packet);
}

// Four permutations: a mono packet of known samples, a stereo one of ten
// packets at 64 Hz (five seconds), an hour and 48 seconds of 1-Hz mono,
// and one without packets, named as no file may be.
std::vector<FixturePermutation> FourPermutations() {
    std::vector<FixturePermutation> perms(4);
    perms[0].name = "Near";
    perms[0].packets = {editors_test::RisingPacket()};
    perms[1].name = "Wide";
    perms[1].channels = 2;
    perms[1].rate_hz = 64;
    perms[1].packets = Packets(10, SilentPacket());
    perms[2].name = "Slow";
    perms[2].rate_hz = 1;
    perms[2].packets = Packets(57, SilentPacket());
    perms[3].name = "a/b";
    perms[3].flags = 0;
    return perms;
}

u32 Le32(const std::vector<u8>& b, size_t at) {
    return u32(b[at]) | u32(b[at + 1]) << 8 | u32(b[at + 2]) << 16 | u32(b[at + 3]) << 24;
}
u16 Le16(const std::vector<u8>& b, size_t at) { return u16(b[at] | b[at + 1] << 8); }
// The names in a folder, sorted.
std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Chars(const std::vector<u8>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

class SoundEditTest : public TagEditorTest {
protected:
    static constexpr u32 kSoun = pirn::MakeFourCC("soun");

    SoundEditTest() : TagEditorTest(pirn::BindSoundEdit) {}

    std::string WriteSoundTag(const std::string& name, const std::vector<FixturePermutation>& perms) {
        pirn::fixture::TagHeaderFields header;
        header.name = name;
        header.group = kSoun;
        header.id = pirn::MakeFourCC("snd1");
        const std::string path =
            WriteLocal("Sounds", name, pirn::fixture::TagFileBytes(header, editors_test::SoundTagData(perms)));
        pirn::PollLocalFolder(true);
        return path;
    }

    SoundEdit* Open() {
        auto* editor = dynamic_cast<SoundEdit*>(pirn::OpenTagEditor(pirn::FindTag(kSoun, pirn::MakeFourCC("snd1"))));
        if (editor) IdleFrame();
        return editor;
    }

    std::string Folder(const std::string& name) {
        const std::string folder = dir_.file(name);
        pirn_test::MakeFolder(folder);
        return folder;
    }
};

TEST_F(SoundEditTest, ListsEveryPermutationWithItsProperties) {
    WriteSoundTag("Bell", FourPermutations());
    SoundEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "SoundEdit");
    EXPECT_EQ(editor->GetWidth(), 544);
    EXPECT_EQ(editor->GetHeight(), 256);
    EXPECT_EQ(GetFocusWindow(), editor->List());

    pirn::ListWindow* list = editor->List();
    const struct {
        const char* title;
        i32 width;
    } columns[] = {{"Name", 128}, {"Duration", 96}, {"Bit Depth", 96}, {"Channels", 96}, {"Sample Rate", 96}};
    ASSERT_EQ(list->GetColumnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list->GetColumn(c).title, columns[c].title);
        EXPECT_EQ(list->GetColumn(c).width, columns[c].width);
    }
    const std::vector<std::vector<std::string>> rows = {
        {"Near", "00:00", "16", "1 (mono)", "22050 Hz"},
        {"Wide", "00:05", "16", "2 (stereo)", "64 Hz"},
        {"Slow", "01:00:48", "16", "1 (mono)", "1 Hz"},
        {"a/b", "00:00", "16", "1 (mono)", "22050 Hz"},
    };
    ASSERT_EQ(list->GetRowCount(), 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(list->CellText(list->ItemAtRow(r), c), rows[r][c]) << r << "," << c;
    // The first row is selected when the viewer shows.
    EXPECT_EQ(editor->SelectedPermutations(), (std::vector<u32>{0}));

    // The list fills the editor but a 48-pixel strip with the two buttons.
    const i32 w = editor->GetClientWidth();
    const i32 h = editor->GetClientHeight();
    EXPECT_EQ(list->GetFrame(), (Rect{0, 0, w, h - 48}));
    EXPECT_STREQ(editor->ExportSelectedButton()->GetTitle(), "Export Selected");
    EXPECT_STREQ(editor->ExportAllButton()->GetTitle(), "Export All");
    const Rect selected = editor->ExportSelectedButton()->GetFrame();
    const Rect all = editor->ExportAllButton()->GetFrame();
    EXPECT_EQ(selected.left, 8);
    EXPECT_EQ(selected.top, h - 40);
    EXPECT_EQ(all.left, selected.right + 8);
    EXPECT_EQ(all.top, h - 40);
}

TEST_F(SoundEditTest, ExportAllWritesEveryPermutationIntoTheChosenFolder) {
    std::vector<FixturePermutation> perms = FourPermutations();
    perms.push_back(perms[0]);  // the same name twice
    perms.back().name = "NEAR";
    WriteSoundTag("Bell", perms);
    SoundEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    const std::string out = Folder("out");
    headless::QueueFileDialogAnswer({out});
    editor->ExportAllButton()->SetState(pirn::Button::kChecked, false);
    ASSERT_EQ(headless::FileDialogRequests().size(), 1u);
    EXPECT_EQ(headless::FileDialogRequests()[0].kind, pirn::FileDialogKind::kChooseFolder);
    EXPECT_EQ(headless::FileDialogRequests()[0].title, "Choose Sound Folder");
    EXPECT_TRUE(asked_.empty());

    // Names made safe as file names, one file each.
    const struct {
        const char* file;
        u16 channels;
        u32 rate;
        u32 frames;
    } files[] = {{"Near.wav", 1, 22050, 64},
                 {"Wide.wav", 2, 64, 320},
                 {"Slow.wav", 1, 1, 57 * 64},
                 {"a_b.wav", 1, 22050, 0},
                 {"NEAR (2).wav", 1, 22050, 64}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const std::vector<u8> wav = ReadAll(out + "/" + f.file);
        const u32 bytes = f.frames * f.channels * 2;
        ASSERT_EQ(wav.size(), 44u + bytes);
        EXPECT_EQ(Chars(wav, 0), "RIFF");
        EXPECT_EQ(Le32(wav, 4), bytes + 36);
        EXPECT_EQ(Chars(wav, 8), "WAVE");
        EXPECT_EQ(Chars(wav, 12), "fmt ");
        EXPECT_EQ(Le32(wav, 16), 16u);
        EXPECT_EQ(Le16(wav, 20), 1u);
        EXPECT_EQ(Le16(wav, 22), f.channels);
        EXPECT_EQ(Le32(wav, 24), f.rate);
        EXPECT_EQ(Le32(wav, 28), f.rate * 2 * f.channels);
        EXPECT_EQ(Le16(wav, 32), 2u * f.channels);
        EXPECT_EQ(Le16(wav, 34), 16u);
        EXPECT_EQ(Chars(wav, 36), "data");
        EXPECT_EQ(Le32(wav, 40), bytes);
    }
    const std::vector<u8> near = ReadAll(out + "/Near.wav");
    for (size_t i = 0; i < editors_test::RisingStart().size(); ++i)
        EXPECT_EQ(i16(Le16(near, 44 + 2 * i)), editors_test::RisingStart()[i]);

    // The folder is remembered: the next export starts there.
    std::string remembered;
    EXPECT_TRUE(pirn::Prefs().GetString("LastSoundFolderPath", &remembered));
    EXPECT_EQ(remembered, out + "/");
    headless::QueueDialogCancel();
    editor->ExportAll();
    ASSERT_EQ(headless::FileDialogRequests().size(), 2u);
    EXPECT_EQ(headless::FileDialogRequests()[1].initial_folder, out + "/");
}

TEST_F(SoundEditTest, ExportSelectedWritesOnlyTheSelectedRows) {
    WriteSoundTag("Bell", FourPermutations());
    SoundEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    pirn::ListWindow* list = editor->List();
    list->SelectItem(list->ItemAtRow(2), false);
    list->SelectItem(list->ItemAtRow(1), true);
    EXPECT_EQ(editor->SelectedPermutations(), (std::vector<u32>{1, 2}));

    // Cancelled: nothing is written.
    const std::string out = Folder("picked");
    headless::QueueDialogCancel();
    editor->ExportSelectedButton()->SetState(pirn::Button::kChecked, false);
    EXPECT_TRUE(ListFolder(out).empty());

    headless::QueueFileDialogAnswer({out});
    editor->ExportSelectedButton()->SetState(pirn::Button::kChecked, false);
    EXPECT_EQ(ListFolder(out), (std::vector<std::string>{"Slow.wav", "Wide.wav"}));

    // Nothing selected: a beep and no folder question.
    list->DeselectAllExcept(nullptr);
    const size_t asked = headless::FileDialogRequests().size();
    const int beeps = Beeps();
    editor->ExportSelected();
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(headless::FileDialogRequests().size(), asked);
}

TEST_F(SoundEditTest, FilesThatCannotBeWrittenAreNamed) {
    WriteSoundTag("Bell", FourPermutations());
    SoundEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    const std::string out = Folder("blocked");
    // A folder stands where two of the files would go.
    pirn_test::MakeFolder(out + "/Near.wav");
    pirn_test::MakeFolder(out + "/Slow.wav");
    Answer(0);
    const pirn::SoundExportResult result = editor->ExportTo(out, pirn::AllSoundPermutations(editor->Sound()));
    EXPECT_EQ(result.FailedFiles(), (std::vector<std::string>{"Near.wav", "Slow.wav"}));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    // Each line names the file and its permutation, with the system's words.
    ASSERT_EQ(result.failed.size(), 2u);
    EXPECT_FALSE(result.failed[0].reason.empty());
    EXPECT_EQ(asked_[0].text, std::string(pirn::kSoundExportFailedText) + "\nNear.wav (permutation \"Near\"): " +
                                  result.failed[0].reason + "\nSlow.wav (permutation \"Slow\"): " +
                                  result.failed[1].reason);
    EXPECT_EQ(ReadAll(out + "/Wide.wav").size(), 44u + 1280u);
    EXPECT_EQ(ReadAll(out + "/a_b.wav").size(), 44u);
}

TEST_F(SoundEditTest, APermutationUnderOneHertzIsNotWrittenAndIsNamed) {
    // A rate of 0 Hz in its whole-Hz part would give a WAV file of rate 0,
    // which players refuse: it is refused with the permutation named, and
    // the others are written.
    std::vector<FixturePermutation> perms = FourPermutations();
    perms[2].name = "Hum";
    perms[2].rate_hz = 0;
    WriteSoundTag("Bell", perms);
    SoundEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    const std::string out = Folder("out");
    Answer(0);
    headless::QueueFileDialogAnswer({out});
    editor->ExportAll();
    EXPECT_EQ(ListFolder(out), (std::vector<std::string>{"Near.wav", "Wide.wav", "a_b.wav"}));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, std::string(pirn::kSoundExportFailedText) +
                                  "\nHum.wav (permutation \"Hum\"): its sample rate is below 1 Hz");
}

TEST_F(SoundEditTest, ControlSNeverTouchesTheTag) {
    const std::string path = WriteSoundTag("Bell", FourPermutations());
    const std::vector<u8> before = ReadAll(path);
    SoundEdit* editor = Open();
    ASSERT_NE(editor, nullptr);
    Answer(0);
    Key('S', {kKeyLeftControl});
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Message");
    EXPECT_EQ(asked_[0].text, pirn::kSoundCannotBeSavedText);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_FALSE(editor->IsModified());
    // Saved any other way, the save fails without opening the file.
    Answer(0);
    EXPECT_EQ(editor->SaveChanges(), 0);
    EXPECT_EQ(asked_.back().text, "The save operation could not be completed.");
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_TRUE(editor->Close(1));
    IdleFrame();

    // A sound only an archive holds gets no local file, not even a folder.
    codex_fixture::Tag tag{kSoun, pirn::MakeFourCC("arch"), "Archived", editors_test::SoundTagData(FourPermutations())};
    ASSERT_NE(AddArchiveBytes("base", codex_fixture::ArchiveBytes(2, 0, "Base", {tag})), nullptr);
    pirn::SetDefaultWorkingSet();
    ::unlink(path.c_str());
    ::rmdir((Local() + "Sounds").c_str());
    pirn::PollLocalFolder(true);
    editor = dynamic_cast<SoundEdit*>(pirn::OpenTagEditor(pirn::FindTag(kSoun, pirn::MakeFourCC("arch"))));
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->Sound().permutations.size(), 4u);
    Answer(0);
    Key('S', {kKeyLeftControl});
    EXPECT_FALSE(Exists(Local() + "Sounds"));
}

TEST_F(SoundEditTest, SoundsThatFailToReadAreNotOpened) {
    std::vector<FixturePermutation> eightBit = FourPermutations();
    eightBit[2].bits = 8;
    std::vector<FixturePermutation> overlong = FourPermutations();
    overlong[1].claimed_packets = 1000;  // more packets than the data holds
    for (const auto& perms : {eightBit, overlong}) {
        WriteSoundTag("Bell", perms);
        asked_.clear();
        Answer(0);
        EXPECT_EQ(Open(), nullptr);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].text, "The tag could not be loaded.");
    }
}

}  // namespace
}  // namespace pirn_test
