// The root menu on the headless window system over a Codex in a scratch
// game folder: its bar with every menu and item, the window size it
// remembers, the Window menu (listing, raising, closing), and each command
// with the dialogs answered by script, checked on disk and through the
// boxes it shows.

#include "app/ui/root_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/root_menu_items.h"
#include "app/ui/archive_browser.h"
#include "app/ui/codex_start.h"
#include "app/ui/window_view.h"
#include "codex/tag_attachments.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/lwo_reader.h"
#include "models/ui/geom_edit.h"
#include "platform/image_file.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "platform/zarn_path.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "ui/dialog_window.h"
#include "ui/log_viewer.h"
#include "ui/menu.h"

namespace pirn_test {
namespace {

using namespace codex_fixture;
using pirn::Menu;
using pirn::MenuItem;
using pirn::RootMenu;

const u32 kText = Code("text");

// A tag editor that loads anything and asks before closing when modified.
class LoadingEdit : public pirn::TagEdit {
public:
    using TagEdit::TagEdit;
    int ReadTag(std::FILE*, pirn::TagHeader*) override { return 1; }
};
pirn::TagEdit* MakeLoadingEdit(pirn::TagEntry* tag, pirn::TagGroupInfo*, u32) { return new LoadingEdit(tag); }

class RootMenuTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        Prefs().Clear();
        headless::ResetScriptedDialogs();
        pirn::SetNativeDialogBackend(pirn::OsNativeDialogBackend());
        pirn::ClearTagGroupEditors();
        menu_ = pirn::CreateRootMenu();
    }
    void TearDown() override {
        pirn::CloseArchiveBrowser();
        pirn::SetArchiveBrowserListener(false);
        CodexWindowTest::TearDown();
        EXPECT_EQ(pirn::GetRootMenu(), nullptr);
        pirn::SetNativeDialogBackend(nullptr);
        headless::ResetScriptedDialogs();
        pirn::UnbindTagEditors();
        pirn::ClearTagGroupEditors();
        Prefs().Clear();
    }

    // The Window menu opened as the bar opens it.
    std::vector<std::string> OpenWindowMenu() {
        MenuItem* windowMenu = menu_->GetWindowMenu();
        windowMenu->Close();
        windowMenu->Open();
        std::vector<std::string> titles;
        for (MenuItem* entry : windowMenu->Entries()) titles.push_back(entry->GetTitle());
        windowMenu->Close();
        return titles;
    }

    ProbeWindow* TopWindow(const char* title, u32 extraFlags = Window::kCloseBox) {
        auto* w = new ProbeWindow(Window::kVisible | Window::kTitleBar | extraFlags, nullptr, title);
        SetFrame(w, Rect{40, 40, 240, 200});
        return w;
    }

    static Window* FrontWindow() { return GetLayerWindow(0)->GetFirstChild(); }

    // Whether a top-level window of that title is still open (looked up by
    // title: a closed window may already be freed).
    static bool IsOpen(const std::string& title) {
        for (Window* w = GetLayerWindow(0)->GetFirstChild(); w; w = w->GetNextSibling())
            if (!w->IsDestroyed() && w->GetTitle() && title == w->GetTitle()) return true;
        return false;
    }

    // A game folder with one archive in tags/ and one in plugins/.
    std::string MakeGame(const std::string& name) {
        const std::string game = dir_.file(name);
        WriteAll(game + "/tags/base", ArchiveBytes(2, 0, name + " Base", {Tag{kText, Code("b001"), "Base Words", Data("b")}}));
        WriteAll(game + "/plugins/addon", ArchiveBytes(6, 0, name + " Addon", {Tag{kText, Code("p001"), "Addon Words", Data("p")}}));
        return game;
    }

    RootMenu* menu_ = nullptr;
};

TEST_F(RootMenuTest, TheBarHoldsEveryMenuAndItemInOrder) {
    struct Item {
        i32 id;
        std::string title;
    };
    struct Column {
        std::string title;
        std::vector<Item> items;
    };
    const Column expected[] = {
        {"File",
         {{10001, "Add Archives"}, {10002, "New Collection"}, {13000, "New Detail Texture From Image File"},
          {13001, "New Detail Texture From Clipboard"}, {10003, "New Model From File"}, {10004, "New Script"},
          {-1, ""}, {10000, "Exit"}}},
        {"Tools",
         {{10202, "Reload Local Folder"}, {10203, "Reload Plugins Folder"}, {10204, "Choose Zarn Folder"},
          {10200, "Archive Browser"}, {10201, "Log Viewer"}, {-1, ""}, {10205, "Build Dtex Add-on"},
          {10206, "Build Regular Add-on"}, {10208, "Recursive Image Conversion"}, {10209, "Convert 3DMF to LWO"},
          {10210, "Build Standard Collection"}, {10211, "Build High-Res Collection"}}},
        {"Window", {{10301, "Close All Windows"}}},
        {"Debug", {{11000, "Window Spy"}}},
        {"Help", {{12000, "About Pirn..."}}},
    };
    Menu* bar = menu_->GetMenu();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsMenuBar());
    EXPECT_TRUE(bar->IsVisible());
    ASSERT_EQ(bar->Entries().size(), std::size(expected));
    for (size_t c = 0; c < std::size(expected); ++c) {
        const MenuItem* column = bar->Entries()[c];
        SCOPED_TRACE(expected[c].title);
        EXPECT_EQ(column->GetTitle(), expected[c].title);
        ASSERT_EQ(column->Entries().size(), expected[c].items.size());
        for (size_t i = 0; i < expected[c].items.size(); ++i) {
            const MenuItem* item = column->Entries()[i];
            EXPECT_EQ(item->GetId(), expected[c].items[i].id) << i;
            if (item->IsSeparator()) continue;
            EXPECT_EQ(item->GetTitle(), expected[c].items[i].title);
            EXPECT_TRUE(item->IsEnabled());
        }
    }
    EXPECT_EQ(menu_->GetWindowMenu(), bar->Entries()[2]);
    EXPECT_EQ(menu_->GetWindowMenu()->GetId(), 10300);

    // An invisible window of the lowest layer, made once; the windows stand
    // below its bar.
    EXPECT_STREQ(menu_->GetTitle(), "PirnRootMenu");
    EXPECT_FALSE(menu_->IsVisible());
    EXPECT_EQ(menu_->GetParent(), GetLayerWindow(0));
    EXPECT_EQ(pirn::CreateRootMenu(), menu_);
    EXPECT_EQ(GetLayerWindow(0)->GetFrameScreenRect().top, bar->GetHeight());
    EXPECT_GT(bar->GetHeight(), 0);
}

TEST_F(RootMenuTest, EveryScreenResizeIsRememberedForTheNextStart) {
    ProbeWindow* other = TopWindow("Other");
    for (const Point size : {Point{1000, 700}, Point{640, 480}}) {
        HandleWindowResize(size.x, size.y);
        i32 width = 0, height = 0;
        EXPECT_TRUE(pirn::GetPrefInt("OsWindowSizeX", &width));
        EXPECT_TRUE(pirn::GetPrefInt("OsWindowSizeY", &height));
        EXPECT_EQ(width, size.x);
        EXPECT_EQ(height, size.y);
        // The bar follows the screen and the other windows hear of it too.
        EXPECT_EQ(menu_->GetMenu()->GetWidth(), size.x);
    }
    EXPECT_FALSE(other->IsDestroyed());
}

TEST_F(RootMenuTest, TheWindowMenuListsTheVisibleWindowsFrontToBackEachTimeItOpens) {
    ProbeWindow* back = TopWindow("Back");
    ProbeWindow* hidden = TopWindow("Hidden");
    hidden->SetVisible(false);
    ProbeWindow* untitled = TopWindow(nullptr);
    ProbeWindow* front = TopWindow("Front");
    EXPECT_EQ(OpenWindowMenu(), (std::vector<std::string>{"Close All Windows", "Front", "(unnamed)", "Back"}));
    EXPECT_EQ(menu_->GetListedWindows(), (std::vector<Window*>{front, untitled, back}));
    std::vector<i32> ids;
    for (MenuItem* entry : menu_->GetWindowMenu()->Entries()) ids.push_back(entry->GetId());
    EXPECT_EQ(ids, (std::vector<i32>{10301, 10302, 10303, 10304}));

    DestroyWindow(front);
    hidden->SetVisible(true);
    RaiseWindow(back);
    EXPECT_EQ(OpenWindowMenu(), (std::vector<std::string>{"Close All Windows", "Back", "(unnamed)", "Hidden"}));
    // The old items are gone at once, not only after the next frame.
    EXPECT_EQ(menu_->GetWindowMenu()->Entries().size(), 4u);

    // At most the id range's worth of windows.
    for (int i = 0; i < 120; ++i) TopWindow("Many");
    EXPECT_EQ(OpenWindowMenu().size(), size_t(1 + pirn::kMaxListedWindows));
    EXPECT_EQ(menu_->GetWindowMenu()->Entries().back()->GetId(), 10399);
}

TEST_F(RootMenuTest, AWindowChosenInTheWindowMenuComesToTheFront) {
    ProbeWindow* back = TopWindow("Back");
    ProbeWindow* front = TopWindow("Front");
    back->AddFlags(Window::kTakesFocus);
    ASSERT_EQ(FrontWindow(), front);
    // A click on the bar's "Window" title, then the keys: the first item,
    // the next, chosen.
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyEnter); });
    const Rect& title = menu_->GetWindowMenu()->GetFrameScreenRect();
    Click((title.left + title.right) / 2, (title.top + title.bottom) / 2);
    EXPECT_EQ(FrontWindow(), back);
    EXPECT_TRUE(back->HasFocus());

    // A listed window gone since the menu opened is not followed.
    OpenWindowMenu();
    DestroyWindow(front);
    menu_->RunCommand(10303);
    menu_->RunCommand(10398);  // beyond the list
    EXPECT_EQ(FrontWindow(), back);
}

TEST_F(RootMenuTest, CloseAllWindowsStopsAtAnEditorWhoseSaveQuestionIsCancelled) {
    WriteLocal("Text", "Notes", TagFile(Tag{kText, Code("n001"), "Notes", Data("n")}));
    pirn::PollLocalFolder(true);
    pirn::SetTagGroupEditor(kText, MakeLoadingEdit);
    ProbeWindow* last = TopWindow("Last");
    ProbeWindow* fixed = TopWindow("No Close Box", 0);
    pirn::TagEdit* editor = pirn::OpenTagEditor(pirn::FindTagEntry(kText, Code("n001")));
    ASSERT_NE(editor, nullptr);
    editor->SetModified(true);
    // The Log Viewer only hides when closed: it does not stop the others.
    pirn::ShowLogViewer();
    Window* log = pirn::GetLogViewer();
    ProbeWindow* first = TopWindow("First");
    OpenWindowMenu();
    ASSERT_EQ(menu_->GetListedWindows(), (std::vector<Window*>{first, log, editor, fixed, last}));

    Answer(2);  // "Cancel"
    menu_->RunCommand(10301);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Save?");
    EXPECT_EQ(asked_[0].text, "Do you wish to save your changes to 'Notes'?");
    EXPECT_FALSE(IsOpen("First"));
    EXPECT_FALSE(log->IsVisible());  // kept for the next log lines
    EXPECT_TRUE(IsOpen("Notes*"));
    EXPECT_EQ(last->closeRequests, 0);
    EXPECT_EQ(fixed->closeRequests, 0);

    // "Discard" lets the editor go; the window without a close box stays.
    Answer(1);
    OpenWindowMenu();
    menu_->RunCommand(10301);
    RunScript();
    EXPECT_FALSE(IsOpen("Notes*"));
    EXPECT_FALSE(IsOpen("Last"));
    EXPECT_TRUE(IsOpen("No Close Box"));
    EXPECT_EQ(ReadAll(LocalFile("Text", "Notes")), TagFile(Tag{kText, Code("n001"), "Notes", Data("n")}));
}

TEST_F(RootMenuTest, ChoosingTheGameFolderIsRefusedWhileATagIsInUse) {
    const std::string first = MakeGame("First");
    const std::string second = MakeGame("Second");
    pirn::SetZarnPath(first);
    pirn::InitCodex();
    pirn::TagEntry* base = pirn::FindTagEntry(kText, Code("b001"));
    ASSERT_NE(base, nullptr);
    int user = 0;
    pirn::AttachToTag(base, pirn::kAttachEditor, &user);

    Answer(0);
    menu_->RunCommand(10204);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "Please close all open tags first.");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_TRUE(headless::FileDialogRequests().empty());

    pirn::DetachFromTag(base, pirn::kAttachEditor, &user);
    headless::QueueFileDialogAnswer({second});
    menu_->RunCommand(10204);
    ASSERT_EQ(headless::FileDialogRequests().size(), 1u);
    const pirn::FileDialogRequest& request = headless::FileDialogRequests()[0];
    EXPECT_EQ(request.kind, pirn::FileDialogKind::kChooseFolder);
    EXPECT_EQ(request.title, "Select your Zarnhold folder");
    EXPECT_EQ(request.initial_folder, first + "/");
    EXPECT_EQ(pirn::GetZarnPath(), second + "/");
    // The Codex runs on the new folder, with its browser.
    EXPECT_EQ(pirn::FindTagEntry(kText, Code("b001"))->local_source, nullptr);
    ASSERT_EQ(pirn::CountArchives(), 2u);
    EXPECT_EQ(pirn::GetArchive(0)->path, second + "/tags/base");
    EXPECT_EQ(pirn::GetLocalFolder(), second + "/local/");
    EXPECT_NE(pirn::GetArchiveBrowser(), nullptr);

    // Cancelled: nothing changes.
    menu_->RunCommand(10204);
    EXPECT_EQ(pirn::GetZarnPath(), second + "/");
}

TEST_F(RootMenuTest, ArchivesAreAddedToTheWorkingSetAndPluginsReadAgain) {
    const std::string game = MakeGame("Game");
    pirn::SetZarnPath(game);
    pirn::InitCodex();
    ASSERT_EQ(pirn::CountArchives(), 2u);

    // An archive from elsewhere, and a file that is none (dropped, told).
    WriteAll(dir_.file("elsewhere/extra"), ArchiveBytes(5, 1, "Extra", {Tag{kText, Code("x001"), "Extra Words", Data("x")}}));
    WriteAll(dir_.file("elsewhere/readme"), std::string("plain text"));
    headless::QueueFileDialogAnswer({dir_.file("elsewhere/extra"), dir_.file("elsewhere/readme")});
    Answer(0);
    menu_->RunCommand(10001);
    RunScript();
    ASSERT_EQ(headless::FileDialogRequests().size(), 1u);
    EXPECT_EQ(headless::FileDialogRequests()[0].title, "Select Archives");
    EXPECT_EQ(headless::FileDialogRequests()[0].kind, pirn::FileDialogKind::kOpenFiles);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "Some of the selected files could not be read (inaccessable or invalid format).");
    pirn::Archive* extra = pirn::FindArchiveByName("extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_TRUE(pirn::IsArchiveActive(extra));
    std::vector<std::string> workingSet;
    ASSERT_TRUE(pirn::GetPrefStringList("CodexWorkingSet", workingSet));
    EXPECT_NE(std::find(workingSet.begin(), workingSet.end(), "extra"), workingSet.end());

    // A plugin dropped in meanwhile is found; an archive whose tag is in
    // use stays open as it was.
    WriteAll(game + "/plugins/newer", ArchiveBytes(6, 0, "Newer", {Tag{kText, Code("w001"), "Newer Words", Data("w")}}));
    pirn::Archive* base = pirn::FindArchiveByName("base");
    pirn::TagEntry* held = pirn::FindTagEntry(kText, Code("b001"));
    int user = 0;
    pirn::AttachToTag(held, pirn::kAttachEditor, &user);
    menu_->RunCommand(10203);
    EXPECT_NE(pirn::FindArchiveByName("newer"), nullptr);
    EXPECT_EQ(pirn::FindArchiveByName("base"), base);
    EXPECT_NE(pirn::GetArchiveBrowser(), nullptr);
    pirn::DetachFromTag(held, pirn::kAttachEditor, &user);
}

TEST_F(RootMenuTest, NewTagsAreNamedByTheUserAndOpenInTheirEditors) {
    pirn::SetTagGroupEditor(Code(".256"), MakeLoadingEdit);
    pirn::SetTagGroupEditor(Code("scri"), MakeLoadingEdit);
    const struct {
        i32 command;
        u32 group;
        const char* prompt;
    } cases[] = {{10002, Code(".256"), "Enter Name for Collection"}, {10004, Code("scri"), "Enter Name for Script"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        asked_.clear();
        AnswerInput(0, "Fresh");
        menu_->RunCommand(c.command);
        RunScript();
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, c.prompt);
        auto* editor = dynamic_cast<pirn::TagEdit*>(FrontWindow());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->GetHeader().group, c.group);
        EXPECT_STREQ(editor->GetHeader().name, "Fresh");
        EXPECT_TRUE(editor->IsModified());
        editor->SetModified(false);
        DestroyWindow(editor);
    }
}

TEST_F(RootMenuTest, AModelFileBecomesTheTagsOfAModelOrSaysWhyNot) {
    pirn::BindGeomEdit();
    pirn::RegisterTagEditors();
    const std::string lwo = TestDataDir() + "/lwo/LWO2/boxuv.lwo";
    headless::QueueFileDialogAnswer({lwo});
    menu_->RunCommand(10003);
    ASSERT_EQ(headless::FileDialogRequests().size(), 1u);
    EXPECT_EQ(headless::FileDialogRequests()[0].title, "Import Model");
    for (const char* label : {"Geometries", "Collections", "Collection References", "Models"})
        EXPECT_TRUE(Exists(LocalFile(label, "boxuv"))) << label;
    auto* geom = dynamic_cast<pirn::GeomEdit*>(FrontWindow());
    ASSERT_NE(geom, nullptr);
    EXPECT_STREQ(geom->GetHeader().name, "boxuv");
    DestroyWindow(geom);
    IdleFrame();

    // A 3DMF file that cannot be read: a box says why; no tag is written.
    WriteAll(dir_.file("broken.3dmf"), std::string("3DMetafile ( 1 6 )\nTriMesh ( 1 0 0 0 3\n"));
    headless::QueueFileDialogAnswer({dir_.file("broken.3dmf")});
    Answer(0);
    menu_->RunCommand(10003);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text.rfind("The model could not be imported.\n'" + dir_.file("broken.3dmf") + "' could not be read: ", 0),
              0u)
        << asked_[0].text;
    EXPECT_FALSE(Exists(LocalFile("Geometries", "broken")));

    // A file that is no model is refused by the dialog itself.
    asked_.clear();
    headless::QueueFileDialogAnswer({lwo.substr(0, lwo.size() - 3) + "png"});
    Answer(0);
    menu_->RunCommand(10003);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "The selected file could not be read (inaccessable or invalid format).");
}

TEST_F(RootMenuTest, A3dmfModelIsWrittenAsALightWaveObjectOrTheBoxSaysWhyNot) {
    const std::string source = dir_.file("models/pyramid.3dmf");
    WriteAll(source,
             std::string("3DMetafile ( 1 6 Normal toc> )\n"
                         "TriMesh ( 2 0 0 0 4 0\n"
                         "0 1 2  0 2 3\n"
                         "0 0 0  1 0 0  1 1 0  0 1 1\n"
                         "0 0 0 1 1 1 False )\n"));
    const std::string out = dir_.file("out");
    ASSERT_TRUE(pirn::MakeDirectory(out));
    headless::QueueFileDialogAnswer({source});
    headless::QueueFileDialogAnswer({out});
    menu_->RunCommand(10209);
    ASSERT_EQ(headless::FileDialogRequests().size(), 2u);
    EXPECT_EQ(headless::FileDialogRequests()[0].title, "Open 3DMF file");
    EXPECT_EQ(headless::FileDialogRequests()[1].title, "Choose a destination folder");
    EXPECT_TRUE(asked_.empty());
    pirn::LwoReadFailure failure;
    auto object = pirn::LwoReadObjectFile(out + "/pyramid.lwo", &failure);
    ASSERT_NE(object, nullptr) << pirn::LwoFailureText(failure);

    const struct {
        const char* what;
        std::string file;     // the 3DMF text
        bool blockObject;     // a folder where the object would go
        std::string begins;   // the box's text
        size_t dialogs;
    } cases[] = {
        {"unreadable", "3DMetafile\nTriMesh ( 1 0 0 0 3 0\n0 1 9\n", false,
         "The selected model file could not be loaded as 3DMF. The error returned was:\n", 1},
        {"object blocked", "3DMetafile\nTriMesh ( 1 0 0 0 3 0\n0 1 2\n0 0 0  1 0 0  0 1 0\n0 0 0 1 1 0 False )\n",
         true, "LWO creation failed.\n'", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        headless::ResetScriptedDialogs();
        asked_.clear();
        TempDir target;
        WriteAll(dir_.file("models/case.3dmf"), c.file);
        if (c.blockObject) {
            ASSERT_TRUE(pirn::MakeDirectory(target.file("case.lwo")));
        }
        headless::QueueFileDialogAnswer({dir_.file("models/case.3dmf")});
        headless::QueueFileDialogAnswer({target.path()});
        Answer(0);
        menu_->RunCommand(10209);
        RunScript();
        EXPECT_EQ(headless::FileDialogRequests().size(), c.dialogs);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text.rfind(c.begins, 0), 0u) << asked_[0].text;
        std::vector<std::string> files;
        pirn::ListDirectoryFiles(target.path(), files, true, false);
        EXPECT_TRUE(files.empty());
    }
}

TEST_F(RootMenuTest, RecursiveImageConversionAsksFormatAndModeThenCountsWhatItWrote) {
    const std::string art = dir_.file("art");
    for (const char* name : {"a.bmp", "sub/b.bmp", "c.bmp", "c.tiff"}) {
        pirn::ImageFile file;
        pirn::InitImageFile(&file, art + "/" + name);
        MakeDirectory(file.path.substr(0, file.path.rfind('/')));
        file.type = pirn::FileTypeFromExtension(name);
        const u8 rgb[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        ASSERT_TRUE(pirn::SetImagePixels(&file.image, 2, 2, pirn::kFormatRgb, rgb));
        ASSERT_TRUE(pirn::SaveImageFile(&file));
    }
    WriteAll(art + "/c.png", std::string("in the way"));  // a file that is no picture keeps its name
    ASSERT_TRUE(OsSetWindow(kWidth, kHeight, "Pirn", 0, 0));
    pirn::OsSetWindowTitle("Something else");
    headless::QueueFileDialogAnswer({art}, -1, {1, 0});    // PNG, Full
    Answer(0);
    menu_->RunCommand(10208);
    RunScript();
    ASSERT_EQ(headless::FileDialogRequests().size(), 1u);
    const pirn::FileDialogRequest& request = headless::FileDialogRequests()[0];
    EXPECT_EQ(request.title, "Choose a folder");
    ASSERT_EQ(request.boxes.size(), 2u);
    EXPECT_EQ(request.boxes[0].label, "Target Format:");
    EXPECT_EQ(request.boxes[1].label, "Mode:");
    ASSERT_EQ(request.boxes[1].choices.size(), 2u);
    EXPECT_EQ(request.boxes[1].choices[0].name, "Full");
    EXPECT_EQ(request.boxes[1].choices[1].name, "Alpha Only");
    EXPECT_TRUE(Exists(art + "/a.png"));
    EXPECT_TRUE(Exists(art + "/sub/b.png"));
    EXPECT_EQ(ReadAll(art + "/c.png"), std::vector<uint8_t>({'i', 'n', ' ', 't', 'h', 'e', ' ', 'w', 'a', 'y'}));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Operation complete");
    EXPECT_EQ(asked_[0].text,
              "2 files processed\n2 more could not be converted; the Log Viewer lists them under \"Image Conversion\".");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(headless::Record().title, "Pirn");
    EXPECT_TRUE(quietLog_.Contains(art + "/c.bmp: '" + art + "/c.png' is there already and was kept.\n"));
}

TEST_F(RootMenuTest, TheOtherCommandsBringUpTheirWindows) {
    struct Case {
        i32 command;
        const char* className;  // of the window that comes up (ended at once when modal)
        bool modal;
    } cases[] = {
        {10200, "ArchiveBrowser", false},     {10201, "MessageLogWindow", false},
        {11000, "WindowView", false},         {12000, "PirnSplashScreen", true},
        {10210, "AutoCollectionDialog", true}, {10211, "AutoUpResDialog", true},
        {13000, nullptr, false},  // the image dialog, cancelled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        std::string seen;
        if (c.modal) {
            Then([&seen] {
                Window* top = GetTopModalWindow();
                ASSERT_NE(top, nullptr);
                seen = top->GetClassName();
                if (auto* dialog = dynamic_cast<pirn::DialogWindow*>(top)) {
                    dialog->CloseWithButton(1);
                } else {
                    EndModal(top, 0);
                }
            });
        }
        menu_->RunCommand(c.command);
        RunScript();
        if (!c.className) continue;
        if (!c.modal) seen = FrontWindow()->GetClassName();
        EXPECT_EQ(seen, c.className);
        EXPECT_TRUE(FrontWindow()->IsVisible());
    }
    EXPECT_EQ(headless::FileDialogRequests().size(), 1u);  // 13000's, cancelled
}

TEST_F(RootMenuTest, ExitAsksTheQuitHookAsTheCloseBoxWould) {
    static int asked = 0;
    asked = 0;
    SetQuitHook([] {
        ++asked;
        return 0;
    });
    menu_->RunCommand(10000);
    IdleFrame();
    EXPECT_EQ(asked, 1);
    SetQuitHook(nullptr);
}

}  // namespace
}  // namespace pirn_test
