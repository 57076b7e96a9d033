// The two builder dialogs: their controls and tab order, the fields they
// remember, the folder choosers and "Create", OK's boxes in order, and
// builds of the demo game's frames through them.

#include <gtest/gtest.h>

#include "codex/ui/codex_group_box.h"
#include "collections/collection_tag.h"
#include "collections/local_collection_writer.h"
#include "collections/ui/auto_collection_dialog.h"
#include "collections/ui/auto_uprez_dialog.h"
#include "platform/file_system.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "ui/check_box.h"

namespace pirn_test {
namespace {

using pirn::AutoCollectionDialog;
using pirn::AutoUpResDialog;

std::string PrefText(const std::string& key) {
    std::string text;
    return pirn::GetPrefString(key, &text) ? text : "<none>";
}
int PrefInt(const std::string& key) {
    i32 value = -1;
    return pirn::GetPrefInt(key, &value) ? value : -1;
}

class BuilderDialogsTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        pirn::Prefs().Clear();
        std::string error;
        ASSERT_TRUE(pirn::demo::WriteDemoGame(pirn::demo::BuildDemoGame(), game(), &error)) << error;
        pirn::SetLocalFolder(game() + "/local/");
        ASSERT_NE(pirn::AddArchive(game() + "/tags/" + pirn::demo::kDemoBaseArchive), nullptr);
        pirn::SetDefaultWorkingSet();
        pirn::PollLocalFolder(true);
        pirn::headless::ResetScriptedDialogs();
        pirn::SetNativeDialogBackend(pirn::OsNativeDialogBackend());
    }
    void TearDown() override {
        pirn::SetNativeDialogBackend(nullptr);
        pirn::headless::ResetScriptedDialogs();
        pirn::Prefs().Clear();
        CodexWindowTest::TearDown();
    }

    std::string game() const { return dir_.path() + "/Zarnhold"; }
    std::string art(const char* which) const { return game() + "/art/" + which; }
    std::string local(const std::string& name) const { return game() + "/local/Collections/" + name; }

    static std::vector<Window*> TabOrder(Window* first, int count) {
        std::vector<Window*> order;
        for (Window* w = first; w && int(order.size()) < count; w = w->GetTabNext()) order.push_back(w);
        return order;
    }
    // Presses OK of a dialog that is not run modally, answering boxes first.
    static int PressOk(pirn::DialogWindow* dialog) { return dialog->CloseWithButton(pirn::DialogWindow::kOkId); }
};

TEST_F(BuilderDialogsTest, StandardDialogControlsAndTabOrder) {
    auto* d = new AutoCollectionDialog();
    EXPECT_STREQ(d->GetTitle(), "Build Standard Collection");
    EXPECT_EQ(d->GetFlags(), 0x402AFu);
    EXPECT_EQ(d->GetClientSize().x, 480);
    EXPECT_EQ(d->GetClientSize().y, 84);
    const std::vector<Window*> order = {d->GetNameBox(), d->GetTagIdBox(), d->GetPathBox(), d->GetBrowseButton(),
                                        d->GetRegXBox(), d->GetRegYBox(), d->GetInvertBox(), d->GetOrderBox(),
                                        d->GetOkButton(), d->GetCancelButton(), d->GetNameBox()};
    EXPECT_EQ(TabOrder(d->GetNameBox(), 11), order);
    EXPECT_STREQ(d->GetInvertBox()->GetTitle(), "Invert Alphas");
    EXPECT_STREQ(d->GetOrderBox()->GetTitle(), "Frames Then Views Ordering");
    const pirn::Rect area = d->GetClientRect();
    for (Window* w : order) {
        if (w == d->GetOkButton() || w == d->GetCancelButton()) continue;
        EXPECT_EQ(w->GetTabNext()->GetTabPrev(), w);
        const pirn::Rect f = w->GetFrame();
        EXPECT_GE(f.left, area.left);
        EXPECT_LE(f.right, area.right);
        EXPECT_GE(f.top, area.top);
        EXPECT_LE(f.bottom, area.bottom);
    }
    pirn::DestroyWindow(d);
}

TEST_F(BuilderDialogsTest, StandardDialogRemembersItsFieldsAfterAValidOk) {
    pirn::SetPrefString("AutoCollectionDialog.Name", "Remembered");
    pirn::SetPrefString("AutoCollectionDialog.Path", art(pirn::demo::kDemoStandardArt));
    pirn::SetPrefString("AutoCollectionDialog.RegX", "20");
    pirn::SetPrefString("AutoCollectionDialog.RegY", "44");
    pirn::SetPrefInt("AutoCollectionDialog.InvertAlphas", 0);
    pirn::SetPrefInt("AutoCollectionDialog.FramesThenViews", 1);
    auto* d = new AutoCollectionDialog();
    EXPECT_EQ(d->GetNameBox()->GetText(), "Remembered");
    EXPECT_EQ(d->GetRegYBox()->GetText(), "44");
    EXPECT_TRUE(d->GetOrderBox()->IsChecked());

    // A refused OK keeps the dialog open and stores nothing.
    d->GetRegXBox()->SetText("5000");
    Answer(0);
    EXPECT_EQ(PressOk(d), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text, "The Reg Point X value is invalid.");
    EXPECT_EQ(PrefText("AutoCollectionDialog.RegX"), "20");
    EXPECT_EQ(d->GetResult(), -1);

    // A valid one stores the fields, builds, and closes the dialog.
    d->GetRegXBox()->SetText("20");
    d->GetNameBox()->SetText("Through The Dialog");
    d->GetOrderBox()->SetChecked(false, true);
    EXPECT_EQ(PressOk(d), 1);
    EXPECT_EQ(d->GetResult(), 1);
    EXPECT_EQ(PrefText("AutoCollectionDialog.Name"), "Through The Dialog");
    EXPECT_EQ(PrefInt("AutoCollectionDialog.FramesThenViews"), 0);
    ASSERT_NE(d->GetBuiltTag(), nullptr);
    EXPECT_TRUE(Exists(local("Through The Dialog")));
    pirn::DestroyWindow(d);
}

TEST_F(BuilderDialogsTest, StandardDialogChoosesItsFolder) {
    auto* d = new AutoCollectionDialog();
    pirn::headless::QueueFileDialogAnswer({art(pirn::demo::kDemoStandardArt) + "/"});
    d->ChooseFolder();
    ASSERT_EQ(pirn::headless::FileDialogRequests().size(), 1u);
    EXPECT_EQ(pirn::headless::FileDialogRequests()[0].title, "Choose Collection Folder");
    EXPECT_EQ(d->GetPathBox()->GetText(), art(pirn::demo::kDemoStandardArt) + "/");
    pirn::headless::QueueDialogCancel();
    d->ChooseFolder();
    EXPECT_EQ(d->GetPathBox()->GetText(), art(pirn::demo::kDemoStandardArt) + "/");
    pirn::DestroyWindow(d);
}

TEST_F(BuilderDialogsTest, AFailedBuildSaysSoAndKeepsTheDialog) {
    auto* d = new AutoCollectionDialog();
    d->GetNameBox()->SetText("Nothing");
    d->GetPathBox()->SetText(game() + "/tags");
    d->GetRegXBox()->SetText("0");
    d->GetRegYBox()->SetText("0");
    Answer(0);
    EXPECT_EQ(PressOk(d), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "Failed to create the new collection.");
    EXPECT_FALSE(Exists(local("Nothing")));
    pirn::DestroyWindow(d);
}

TEST_F(BuilderDialogsTest, RunAutoCollectionDialogRunsModally) {
    pirn::SetPrefString("AutoCollectionDialog.Name", "Modal Knight");
    pirn::SetPrefString("AutoCollectionDialog.Path", art(pirn::demo::kDemoStandardArt));
    pirn::SetPrefString("AutoCollectionDialog.RegX", "20");
    pirn::SetPrefString("AutoCollectionDialog.RegY", "44");
    Then([] {
        auto* d = dynamic_cast<AutoCollectionDialog*>(pirn::GetTopModalWindow());
        ASSERT_NE(d, nullptr);
        PostKey(pirn::kKeyEnter);
    });
    pirn::RunAutoCollectionDialog();
    EXPECT_TRUE(Exists(local("Modal Knight")));
}

TEST_F(BuilderDialogsTest, HighResDialogControlsAndRememberedFields) {
    pirn::SetPrefString("AutoUpResDialog.Collection", pirn::demo::kDemoKnightFramesId);
    pirn::SetPrefString("AutoUpResDialog.HighResPath", art(pirn::demo::kDemoHighResArt));
    pirn::SetPrefString("AutoUpResDialog.ObjectScale", "1.0");
    pirn::SetPrefInt("AutoUpResDialog.AlignIndividually", 1);
    auto* d = new AutoUpResDialog();
    EXPECT_STREQ(d->GetTitle(), "Build High-Res Collection");
    EXPECT_EQ(d->GetCollectionBox()->GetSelectedTagId(), pirn::MakeFourCC(pirn::demo::kDemoKnightFramesId));
    EXPECT_EQ(d->GetScaleBox()->GetText(), "2.0");  // nothing stored: the first run's value
    EXPECT_TRUE(d->GetAlignBox()->IsChecked());
    const std::vector<Window*> order = {d->GetCollectionBox(), d->GetPathBox(),      d->GetBrowseButton(),
                                        d->GetCreateButton(),  d->GetScaleBox(),     d->GetToleranceBox(),
                                        d->GetObjectScaleBox(), d->GetInvertBox(),   d->GetOrderBox(),
                                        d->GetAlignBox(),       d->GetOkButton()};
    EXPECT_EQ(TabOrder(d->GetCollectionBox(), 11), order);
    EXPECT_STREQ(d->GetCreateButton()->GetTitle(), "Create");
    pirn::DestroyWindow(d);
}

TEST_F(BuilderDialogsTest, HighResDialogOkChecksThenBuilds) {
    auto* d = new AutoUpResDialog();
    d->GetPathBox()->SetText(art(pirn::demo::kDemoHighResArt));
    Answer(0);
    EXPECT_EQ(PressOk(d), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "You must choose a collection.");
    d->GetCollectionBox()->SelectTag(pirn::MakeFourCC(pirn::demo::kDemoKnightFramesId));
    d->GetScaleBox()->SetText("33");
    Answer(0);
    EXPECT_EQ(PressOk(d), 0);
    EXPECT_EQ(asked_.back().text, "Invalid scale.");
    EXPECT_EQ(PrefText("AutoUpResDialog.Scale"), "<none>");

    d->GetScaleBox()->SetText("2");
    EXPECT_EQ(PressOk(d), 1);
    EXPECT_EQ(PrefText("AutoUpResDialog.Scale"), "2");
    EXPECT_EQ(PrefText("AutoUpResDialog.Collection"), pirn::demo::kDemoKnightFramesId);
    ASSERT_NE(d->GetBuiltTag(), nullptr);
    EXPECT_TRUE(Exists(local(pirn::demo::kDemoKnightFramesName)));
    pirn::DestroyWindow(d);

    // Again: the local copy is asked about; "Don't Overwrite" keeps the dialog.
    d = new AutoUpResDialog();
    Answer(1);
    EXPECT_EQ(PressOk(d), 0);
    EXPECT_EQ(asked_.back().caption, "Overwrite Tag?");
    EXPECT_EQ(asked_.back().buttons, (std::vector<std::string>{"Overwrite", "Don't Overwrite"}));
    pirn::DestroyWindow(d);
}

TEST_F(BuilderDialogsTest, CreateLaysOutFoldersForTheSequences) {
    auto* d = new AutoUpResDialog();
    Answer(0);
    d->CreateFolders();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "You must pick a collection first.");
    EXPECT_TRUE(pirn::headless::FileDialogRequests().empty());

    d->GetCollectionBox()->SelectTag(pirn::MakeFourCC(pirn::demo::kDemoKnightFramesId));
    pirn::headless::QueueDialogCancel();
    d->CreateFolders();
    ASSERT_EQ(pirn::headless::FileDialogRequests().size(), 1u);
    EXPECT_EQ(pirn::headless::FileDialogRequests()[0].title, "Choose High-Res Folder Location");

    ASSERT_TRUE(pirn::MakeDirectory(dir_.path() + "/renders"));
    pirn::headless::QueueFileDialogAnswer({dir_.path() + "/renders/"});
    d->CreateFolders();
    const std::string made = dir_.path() + "/renders/Knight Frames/";
    for (const char* sequence : {"walk", "idle", "attack"}) EXPECT_TRUE(pirn::PathExists(made + sequence, 1));
    EXPECT_EQ(d->GetPathBox()->GetText(), made);
    pirn::DestroyWindow(d);
}

}  // namespace
}  // namespace pirn_test
