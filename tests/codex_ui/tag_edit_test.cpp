// TagEdit and the ways editors come up: opening (and raising an open one),
// loading failures, Control+S, the save question on close, new tags that
// are never saved, the name prompt, and the registry's table. Files are
// checked on disk byte by byte against headers laid out from the format
// table.

#include "codex/ui/tag_edit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "ui/frame_step.h"
#include "ui/window_system_internal.h"

namespace pirn_test {
namespace {

using namespace codex_fixture;
using pirn::TagEdit;
using pirn::TagEntry;

// Editors take the keys through a focused child, as real ones do with
// their text boxes; keys the child leaves go on to the editor.
Window* FocusInside(Window* editor) {
    auto* field = new ProbeWindow(Window::kVisible | Window::kTakesFocus, editor, "field");
    ActivateWindow(field, pirn::kFocusByProgram);
    return field;
}

// An editor of plain text data, with failures on demand.
class TextProbeEdit : public TagEdit {
public:
    explicit TextProbeEdit(TagEntry* tag) : TagEdit(tag) {
        ++made_;
        FocusInside(this);
    }
    const char* GetClassName() const override { return "TextProbeEdit"; }

    int ReadTag(std::FILE* stream, pirn::TagHeader* header) override {
        if (failRead_) return 0;
        text.assign(header->data_length, '\0');
        return header->data_length == 0 || std::fread(&text[0], 1, text.size(), stream) == text.size();
    }
    int WriteTag(std::FILE* stream, pirn::TagHeader*) override {
        // A writer that fails half-way has already put bytes into the file.
        const size_t n = failWrite_ ? text.size() / 2 : text.size();
        const bool wrote = std::fwrite(text.data(), 1, n, stream) == n;
        return wrote && !failWrite_;
    }
    int RevertChanges() override {
        ++reverts;
        return 1;
    }

    std::string text;
    int reverts = 0;
    inline static bool failRead_ = false;
    inline static bool failWrite_ = false;
    inline static int made_ = 0;
};

TagEdit* MakeProbe(TagEntry* tag, pirn::TagGroupInfo*, u32) { return new TextProbeEdit(tag); }
TagEdit* MakePlain(TagEntry* tag, pirn::TagGroupInfo*, u32) {
    auto* editor = new TagEdit(tag);
    FocusInside(editor);
    return editor;
}

// A plain TagEdit reads nothing, so it never opens through OpenTagEditor;
// it is shown as the registry's open would show it.
TagEdit* ShowPlain(TagEntry* tag) {
    TagEdit* editor = MakePlain(tag, nullptr, 0);
    editor->SetModified(false);
    editor->ShowEditor();
    return editor;
}

const u32 kText = Code("text");
const u32 kUnit = Code("unit");

class TagEditTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        TextProbeEdit::failRead_ = TextProbeEdit::failWrite_ = false;
        TextProbeEdit::made_ = 0;
        pirn::ClearTagGroupEditors();
        pirn::UnbindTagEditors();
        pirn::SetTagGroupEditor(kText, MakeProbe);
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::ClearTagGroupEditors();
        pirn::UnbindTagEditors();
    }

    TagEntry* LocalText(const std::string& name, u32 id, const std::string& data) {
        WriteLocal("Text", name, TagFile(Tag{kText, id, name, Data(data)}));
        pirn::PollLocalFolder(true);
        return pirn::FindTag(kText, id);
    }

    static TextProbeEdit* Probe(TagEdit* editor) { return dynamic_cast<TextProbeEdit*>(editor); }
    static std::string Title(const pirn::Window* w) { return w->GetTitle() ? w->GetTitle() : ""; }
    static void ControlS() { Key('S', {kKeyLeftControl}); }

    // Every file below the local folder, as paths relative to it.
    std::vector<std::string> LocalTree() const {
        std::vector<std::string> files;
        if (!std::filesystem::exists(Local())) return files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(Local()))
            files.push_back(std::filesystem::relative(e.path(), Local()).generic_string());
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(TagEditTest, OpeningLoadsShowsAndAttachesAndASecondOpenRaisesTheSameEditor) {
    TagEntry* tag = LocalText("Greeting", Code("gree"), "hello there");
    ASSERT_NE(tag, nullptr);
    TagEdit* editor = pirn::OpenTagEditor(tag);
    ASSERT_NE(Probe(editor), nullptr);
    EXPECT_EQ(Probe(editor)->text, "hello there");
    EXPECT_EQ(Title(editor), "Greeting");
    EXPECT_FALSE(editor->IsModified());
    EXPECT_TRUE(editor->IsVisible());
    EXPECT_EQ(editor->GetFlags() & ~u32(pirn::Window::kVisible), TagEdit::kStyle);
    EXPECT_EQ(pirn::FindTagAttachment(tag, pirn::kAttachEditor), editor);
    EXPECT_EQ(pirn::GetTagUseCount(tag), 1u);
    ASSERT_NE(GetFocusWindow(), nullptr);
    EXPECT_TRUE(GetFocusWindow()->IsDescendantOf(editor));

    // Another window in front; opening again brings the same editor forward.
    auto* other = new ProbeWindow(pirn::Window::kVisible, nullptr, "other");
    RaiseWindow(other);
    EXPECT_EQ(pirn::OpenTagEditor(tag), editor);
    EXPECT_EQ(TextProbeEdit::made_, 1);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), editor);
    EXPECT_EQ(pirn::GetTagUseCount(tag), 1u);

    // Closing detaches it: the tag is free again.
    EXPECT_TRUE(editor->Close(1));
    EXPECT_EQ(pirn::GetTagUseCount(tag), 0u);
}

TEST_F(TagEditTest, TagsThatCannotBeOpenedGiveNoEditor) {
    // A group without a factory opens nothing and asks nothing.
    WriteLocal("Units", "Soldier", TagFile(Tag{kUnit, Code("sold"), "Soldier", Data("x")}));
    pirn::PollLocalFolder(true);
    EXPECT_EQ(pirn::OpenTagEditor(pirn::FindTag(kUnit, Code("sold"))), nullptr);
    EXPECT_EQ(pirn::OpenTagEditor(nullptr), nullptr);
    EXPECT_TRUE(asked_.empty());

    // A failed load says so and leaves no window and no use behind.
    TagEntry* tag = LocalText("Broken", Code("brok"), "data");
    TextProbeEdit::failRead_ = true;
    Answer(0);
    EXPECT_EQ(pirn::OpenTagEditor(tag), nullptr);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "The tag could not be loaded.");
    EXPECT_EQ(asked_[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(pirn::GetTagUseCount(tag), 0u);
    EXPECT_EQ(GetDeletionState().deferredDeletes.size(), 1u);
}

TEST_F(TagEditTest, ControlSWritesTheTagFileAndClearsTheStar) {
    TagEntry* tag = LocalText("Greeting", Code("gree"), "hello");
    auto* editor = Probe(pirn::OpenTagEditor(tag));
    ASSERT_NE(editor, nullptr);
    editor->text = "changed text";
    editor->SetModified(true);
    EXPECT_EQ(Title(editor), "Greeting*");

    ControlS();
    EXPECT_TRUE(asked_.empty());
    EXPECT_FALSE(editor->IsModified());
    EXPECT_EQ(Title(editor), "Greeting");

    // The header this program writes: identifier -1, the tag's group and id,
    // offset 64, the data's length, version kept, indexes 0xFF, 'zrn2'.
    const std::vector<u8> file = ReadAll(LocalFile("Text", "Greeting"));
    BigEndianBuffer expected;
    pirn::fixture::TagHeaderFields h;
    h.name = "Greeting";
    h.group = kText;
    h.id = Code("gree");
    h.data_length = 12;
    pirn::fixture::PutTagHeader(expected, h);
    expected.PutBytes(Data("changed text"));
    EXPECT_EQ(file, expected.bytes());
    EXPECT_EQ(editor->GetHeader().data_length, 12u);
    EXPECT_EQ(LocalTree(), (std::vector<std::string>{"Text", "Text/Greeting"}));  // no temporary file left
}

TEST_F(TagEditTest, AnEditorThatCannotSaveSaysSoAndChangesNothingOnDisk) {
    struct Case {
        const char* what;
        bool plain;
        bool failWrite;
    } cases[] = {
        {"a plain TagEdit", true, false},
        {"a writer that fails half-way", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextProbeEdit::failWrite_ = c.failWrite;
        const std::string path = WriteLocal("Text", "Keep Me", TagFile(Tag{kText, Code("keep"), "Keep Me", Data("good")}));
        pirn::PollLocalFolder(true);
        TagEntry* tag = pirn::FindTag(kText, Code("keep"));
        TagEdit* editor = c.plain ? ShowPlain(tag) : pirn::OpenTagEditor(tag);
        ASSERT_NE(editor, nullptr);
        if (auto* probe = Probe(editor)) probe->text = "a longer replacement";
        editor->SetModified(true);
        const std::vector<std::string> before = LocalTree();

        asked_.clear();
        Answer(0);
        ControlS();
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, "The save operation could not be completed.");
        EXPECT_EQ(ReadAll(path), TagFile(Tag{kText, Code("keep"), "Keep Me", Data("good")}));
        EXPECT_EQ(LocalTree(), before);
        EXPECT_TRUE(editor->IsModified());
        EXPECT_EQ(Title(editor), "Keep Me*");
        EXPECT_TRUE(pirn::IsTagLocal(tag));

        // Closing it asks to save; the failed save keeps the editor open.
        asked_.clear();
        Answer(0);  // Save
        Answer(0);  // OK to the failure
        EXPECT_FALSE(editor->Close(1));
        EXPECT_FALSE(editor->IsDestroyed());
        ASSERT_EQ(asked_.size(), 2u);
        EXPECT_EQ(asked_[0].caption, "Save?");
        EXPECT_EQ(asked_[0].text, "Do you wish to save your changes to 'Keep Me'?");
        EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Save", "Discard", "Cancel"}));
        EXPECT_EQ(asked_[1].text, "The save operation could not be completed.");
        EXPECT_EQ(ReadAll(path), TagFile(Tag{kText, Code("keep"), "Keep Me", Data("good")}));
        EXPECT_EQ(pirn::FindTagAttachment(tag, pirn::kAttachEditor), editor);

        Answer(1);  // Discard
        EXPECT_TRUE(editor->Close(1));
        IdleFrame();
    }

    // A tag only an archive holds: a failed save leaves the local folder as
    // it was, without even the group folder the write made.
    ASSERT_NE(AddArchiveBytes("base", ArchiveBytes(2, 0, "Base", {Tag{kUnit, Code("sold"), "Soldier", Data("x")}})),
              nullptr);
    pirn::SetDefaultWorkingSet();
    ShowPlain(pirn::FindTag(kUnit, Code("sold")));
    const std::vector<std::string> before = LocalTree();
    asked_.clear();
    Answer(0);
    ControlS();
    EXPECT_EQ(asked_.size(), 1u);
    EXPECT_EQ(LocalTree(), before);
}

TEST_F(TagEditTest, TheCloseQuestionDecidesWhatHappensToTheChanges) {
    struct Case {
        const char* what;
        bool modified;
        int answer;  // -1: no question expected
        bool closes;
        const char* onDisk;
        int reverts;
    } cases[] = {
        {"unmodified closes at once", false, -1, true, "original", 0},
        {"Save writes and closes", true, 0, true, "edited", 0},
        {"Discard reverts and closes", true, 1, true, "original", 1},
        {"Cancel keeps the editor", true, 2, false, "original", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteLocal("Text", "Note", TagFile(Tag{kText, Code("note"), "Note", Data("original")}));
        pirn::PollLocalFolder(true);
        auto* editor = Probe(pirn::OpenTagEditor(pirn::FindTag(kText, Code("note"))));
        ASSERT_NE(editor, nullptr);
        editor->text = "edited";
        if (c.modified) editor->SetModified(true);
        asked_.clear();
        if (c.answer >= 0) Answer(c.answer);
        EXPECT_EQ(editor->Close(1), c.closes);
        EXPECT_EQ(asked_.size(), c.answer >= 0 ? 1u : 0u);
        EXPECT_EQ(editor->reverts, c.reverts);
        const std::vector<u8> file = ReadAll(path);
        EXPECT_EQ(std::string(file.begin() + 64, file.end()), c.onDisk);
        if (!c.closes) {
            editor->SetModified(false);
            EXPECT_TRUE(editor->Close(1));
        }
        IdleFrame();
        EXPECT_EQ(pirn::GetTagUseCount(pirn::FindTag(kText, Code("note"))), 0u);
    }
}

TEST_F(TagEditTest, ANewTagLivesInItsEditorUntilTheFirstSave) {
    auto* editor = Probe(pirn::CreateTagWithEditor(kText, "Fresh Words"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->IsVisible());
    EXPECT_TRUE(editor->IsModified());
    EXPECT_EQ(Title(editor), "Fresh Words*");
    TagEntry* tag = editor->GetTag();
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->tag_id, Code("FrWo"));  // two letters of each word
    EXPECT_FALSE(pirn::IsTagAvailable(tag));
    EXPECT_TRUE(pirn::IsTagTaken(tag));
    EXPECT_TRUE(LocalTree().empty());

    // The id is taken while the editor is open: a second tag of the same
    // name gets the next one.
    auto* second = Probe(pirn::CreateTagWithEditor(kText, "Fresh Wool"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetTag()->tag_id, Code("FrWp"));

    // Discarding leaves no file and no entry.
    Answer(1);
    EXPECT_TRUE(second->Close(1));
    EXPECT_EQ(pirn::FindTagEntry(kText, Code("FrWp")), nullptr);
    EXPECT_TRUE(LocalTree().empty());

    // Saving writes the file and makes the tag a local one.
    editor->text = "first words";
    ControlS();
    EXPECT_EQ(Title(editor), "Fresh Words");
    EXPECT_EQ(ReadAll(LocalFile("Text", "Fresh Words")),
              TagFile(Tag{kText, Code("FrWo"), "Fresh Words", Data("first words")}));
    EXPECT_TRUE(pirn::IsTagLocal(tag));
    EXPECT_TRUE(editor->Close(1));
}

TEST_F(TagEditTest, CreatingATagWhoseFileExistsIsRefused) {
    LocalText("Taken", Code("take"), "x");
    Answer(0);
    EXPECT_EQ(pirn::CreateTagWithEditor(kText, "Taken"), nullptr);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "The tag file 'Taken' could not be created; It may already exist.");
    IdleFrame();
    EXPECT_EQ(TextProbeEdit::made_, 1);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), nullptr);

    // Groups without an editor, and codes that are no group, make nothing.
    EXPECT_EQ(pirn::CreateTagWithEditor(kUnit, "Anything"), nullptr);
    EXPECT_EQ(pirn::CreateTagWithEditor(Code("????"), "Anything"), nullptr);
    EXPECT_EQ(asked_.size(), 1u);
}

TEST_F(TagEditTest, ThePromptAsksForTheNameInTheGroupsWords) {
    struct Case {
        const char* what;
        const char* suggestion;
        int button;
        const char* typed;  // null: leave the field as it is
        bool made;
        std::vector<std::string> captions;
    } cases[] = {
        {"Cancel", "Suggested", 1, nullptr, false, {"Enter Name for Text"}},
        {"an empty name", nullptr, 0, nullptr, false, {"Enter Name for Text", "Not Created"}},
        {"the suggestion", "Suggested", 0, nullptr, true, {"Enter Name for Text"}},
        {"a typed name", nullptr, 0, "Typed Name", true, {"Enter Name for Text"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        asked_.clear();
        if (c.typed) {
            AnswerInput(c.button, c.typed);
        } else {
            Answer(c.button);
        }
        if (c.captions.size() > 1) Answer(0);
        TagEdit* editor = pirn::PromptNewTag(kText, c.suggestion);
        EXPECT_EQ(editor != nullptr, c.made);
        std::vector<std::string> captions;
        for (const AskedBox& box : asked_) captions.push_back(box.caption);
        EXPECT_EQ(captions, c.captions);
        ASSERT_FALSE(asked_.empty());
        EXPECT_EQ(asked_[0].text, c.suggestion ? c.suggestion : "");
        EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Create Text", "Cancel"}));
        if (c.captions.size() > 1) {
            EXPECT_EQ(asked_[1].text, "You must specify a name.");
        }
        if (editor) {
            EXPECT_EQ(Title(editor), std::string(c.typed ? c.typed : c.suggestion) + "*");
            Answer(1);
            EXPECT_TRUE(editor->Close(1));
        }
    }
    EXPECT_EQ(pirn::PromptNewTag(Code("????"), "x"), nullptr);
}

TEST_F(TagEditTest, TheRegistryBindsEachDedicatedEditorToItsGroupsOverTheStructEditors) {
    // The generated struct editors registered first ('text' and 'unit').
    pirn::ClearTagGroupEditors();
    pirn::SetTagGroupEditor(kText, MakePlain);
    pirn::SetTagGroupEditor(kUnit, MakePlain);

    EXPECT_EQ(pirn::BindTagEditor("NoSuchEdit", MakeProbe), 0);
    EXPECT_EQ(pirn::RegisterTagEditors(), 0u);  // nothing bound yet
    ASSERT_EQ(pirn::BindTagEditor("TextEdit", MakeProbe), 1);
    EXPECT_EQ(pirn::RegisterTagEditors(), 5u);
    for (const char* group : {"ditl", "scri", "stli", "temp", "text"}) {
        SCOPED_TRACE(group);
        u32 code = 0;
        pirn::ParseFourCC(group, &code);
        EXPECT_EQ(pirn::FindTagGroup(code)->factory, MakeProbe);
    }
    EXPECT_EQ(pirn::FindTagGroup(kUnit)->factory, MakePlain);  // only a struct editor

    // The opened editor is the dedicated one.
    TagEntry* tag = LocalText("Both", Code("both"), "abc");
    EXPECT_NE(Probe(pirn::OpenTagEditor(tag)), nullptr);

    // Every row of the table, with its groups.
    std::vector<std::string> rows;
    for (const pirn::DedicatedEditorRow& row : pirn::GetDedicatedEditorTable()) {
        std::string text = row.editor;
        for (u32 group : row.groups) text += " " + pirn::FourCCToText(group);
        rows.push_back(text);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"TextEdit ditl scri stli temp text", "MeshEdit mesh", "GeomEdit geom",
                                              "X256Edit .256", "DtexEdit dtex", "SoundEdit soun", "DmapEdit dmap",
                                              "DialogEdit bina"}));
}

}  // namespace
}  // namespace pirn_test
