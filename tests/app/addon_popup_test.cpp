// The add-on popup on the headless window system: its fields, their places
// and limits, and the two root-menu commands driven through it over a
// generated demo game, each ending with the box a user sees.

#include "app/game_archives.h"
#include "app/ui/addon_popup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/pref_store.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

namespace fs = std::filesystem;
using pirn::AddonPopup;
using pirn::TextBox;

constexpr const char* kHelp =
    "The priority field of an add-on plugin defines its load ordering compared to other add-ons.\n\n"
    "An add-on with a high priority will load after (and so override) an add-on with a low priority.\n\n"
    "If you are not explicitly trying to override or not override some other add-on, you should not change "
    "this number from the default value of 100.";

class AddonPopupTest : public CodexWindowTest {
protected:
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::Prefs().Clear();
    }

    std::string GameFolder() const { return dir_.file("Zarnhold") + "/"; }
    std::string Plugin(const std::string& name) const { return GameFolder() + "plugins/" + name; }

    // The demo game as the program starts on it: archives of tags/ and
    // plugins/, the local folder, the default working set.
    void StartOnDemoGame(bool with_local = true) {
        std::string error;
        ASSERT_TRUE(pirn::demo::WriteDemoGame(pirn::demo::BuildDemoGame(), dir_.file("Zarnhold"), &error)) << error;
        pirn::SetPrefString("ZarnPath", GameFolder());
        pirn::UnloadCodex();
        pirn::AddGameArchivesFrom(GameFolder());
        pirn::SetLocalFolder(with_local ? GameFolder() + "local/" : dir_.file("nothing local/"));
        pirn::PollLocalFolder(true);
        pirn::SetDefaultWorkingSet();
    }

    // The popup on top: the boxes filled as given (null keeps a box), then
    // OK (or Cancel).
    static void FillPopup(const char* name, const char* url, const char* priority, bool ok = true) {
        Then([=] {
            auto* popup = dynamic_cast<AddonPopup*>(pirn::GetTopModalWindow());
            ASSERT_NE(popup, nullptr) << "no add-on popup";
            ++popups_;
            if (name) popup->GetNameBox()->SetText(name);
            if (url) popup->GetUrlBox()->SetText(url);
            if (priority) popup->GetPriorityBox()->SetText(priority);
            popup->CloseWithButton(ok ? AddonPopup::kOkId : AddonPopup::kCancelId);
        });
    }

    std::set<std::string> PluginFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(GameFolder() + "plugins"))
            names.insert(entry.path().filename().string());
        return names;
    }

    inline static int popups_ = 0;
};

TEST_F(AddonPopupTest, AsksForNameUrlAndPriorityWithTheHelpBelow) {
    auto* popup = new AddonPopup();
    EXPECT_STREQ(popup->GetClassName(), "AddonPopup");
    EXPECT_STREQ(popup->GetTitle(), "Build Add-on plugin");
    EXPECT_EQ(popup->GetFlags(), 0x402AFu);
    EXPECT_EQ(popup->GetClientWidth(), 448);
    const i32 row = popup->RowHeight();
    EXPECT_EQ(row, kLineHeight + 4);

    const struct {
        const char* label;
        TextBox* box;
        i32 top;
        i32 height;
        int kind;
        const char* text;
        i32 max_length;
    } fields[] = {
        {"Name:", popup->GetNameBox(), 4, row, TextBox::kTextField, "<addon name>", 31},
        {"URL:", popup->GetUrlBox(), row + 8, row, TextBox::kTextField, "<addon url>", 63},
        {"Priority:", popup->GetPriorityBox(), 2 * row + 12, row, TextBox::kIntegerField, "100", 0},
        {"Help:", popup->GetHelpBox(), 3 * row + 16, 8 * row, TextBox::kReadOnlyView, kHelp, 0},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.label);
        ASSERT_NE(f.box, nullptr);
        EXPECT_EQ(f.box->GetFrame(), pirn::MakeRect(72, f.top, 448 - 72 - 4, f.height));
        EXPECT_EQ(f.box->GetKind(), f.kind);
        EXPECT_EQ(f.box->GetText(), f.text);
        if (f.max_length) {
            EXPECT_EQ(f.box->GetMaxLength(), f.max_length);
        }
        bool labelled = false;
        for (pirn::Window* w = popup->GetFirstChild(); w; w = w->GetNextSibling()) {
            auto* label = dynamic_cast<TextBox*>(w);
            if (label && label->GetKind() == TextBox::kLabel && label->GetText() == f.label) {
                labelled = true;
                EXPECT_EQ(label->GetFrame(), pirn::MakeRect(4, f.top, 64, row));
            }
        }
        EXPECT_TRUE(labelled);
    }
    // The fields take 11 rows and 20 pixels; the buttons stand below them.
    EXPECT_GE(popup->GetOkButton()->GetFrame().top, 11 * row + 16);
    EXPECT_GE(popup->GetClientHeight(), 11 * row + 20);

    // The priority box starts with the keys; Tab goes round the three boxes.
    EXPECT_EQ(pirn::GetFocusWindow(), popup->GetPriorityBox());
    EXPECT_EQ(popup->GetNameBox()->GetTabNext(), popup->GetUrlBox());
    EXPECT_EQ(popup->GetUrlBox()->GetTabNext(), popup->GetPriorityBox());
    EXPECT_EQ(popup->GetPriorityBox()->GetTabNext(), popup->GetNameBox());

    // The name takes at most 31 typed characters.
    popup->GetNameBox()->SetText("");
    for (int i = 0; i < 40; ++i) popup->GetNameBox()->TypeChar('a');
    EXPECT_EQ(popup->GetFields().name, std::string(31, 'a'));
    EXPECT_EQ(popup->GetFields().priority, "100");
    DestroyWindow(popup);
}

TEST_F(AddonPopupTest, RegularAddonIsBuiltFromWhatThePopupHolds) {
    StartOnDemoGame();
    FillPopup("Popup Addon", "www.example.org", "300");
    Answer(0);
    EXPECT_EQ(pirn::RunBuildRegularAddon(), 1);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Success");
    EXPECT_EQ(asked_[0].text, "The addon has been written to the plugins folder as 'Popup Addon'");
    EXPECT_EQ(asked_[0].buttons, std::vector<std::string>{"OK"});
    const std::vector<u8> bytes = ReadAll(Plugin("Popup Addon"));
    ASSERT_GE(bytes.size(), 100u);
    EXPECT_EQ(codex_fixture::ReadU16(bytes, 0), 6);
    EXPECT_EQ(codex_fixture::ReadU16(bytes, 2), 300);
    EXPECT_EQ(codex_fixture::ReadText(bytes, 36, 64), "www.example.org");

    // The defaults as they stand build a plugin named "<addon name>" (its
    // file gets the name's safe form).
    asked_.clear();
    FillPopup(nullptr, nullptr, nullptr);
    Answer(0);
    EXPECT_EQ(pirn::RunBuildRegularAddon(), 1);
    EXPECT_EQ(asked_.at(0).text, "The addon has been written to the plugins folder as '_addon name_'");
    const std::vector<u8> defaults = ReadAll(Plugin("_addon name_"));
    ASSERT_GE(defaults.size(), 100u);
    EXPECT_EQ(codex_fixture::ReadText(defaults, 4, 32), "<addon name>");
    EXPECT_EQ(codex_fixture::ReadText(defaults, 36, 64), "<addon url>");
    EXPECT_EQ(codex_fixture::ReadU16(defaults, 2), 100);
}

TEST_F(AddonPopupTest, InvalidFieldsAreListedOnceAndNothingIsWritten) {
    StartOnDemoGame();
    const std::set<std::string> before = PluginFiles();
    const struct {
        const char* name;
        const char* url;
        const char* priority;
        const char* text;
    } cases[] = {
        {"A", "", "1", "The following fields are invalid:  url version"},
        {"", "u", "40000", "The following fields are invalid:  name version"},
        {"..", "u", "2", "The following fields are invalid:  name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        asked_.clear();
        popups_ = 0;
        FillPopup(c.name, c.url, c.priority);
        Answer(0);
        EXPECT_EQ(pirn::RunBuildRegularAddon(), 0);
        EXPECT_EQ(popups_, 1);  // not shown again
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, c.text);
    }
    EXPECT_EQ(PluginFiles(), before);

    // Cancel: no box, no file.
    asked_.clear();
    FillPopup("Cancelled", "u", "100", false);
    EXPECT_EQ(pirn::RunBuildRegularAddon(), 0);
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(PluginFiles(), before);
}

TEST_F(AddonPopupTest, AFailedBuildNamesThePossibleReasons) {
    StartOnDemoGame();
    // Something the plugin cannot replace stands where it would go.
    ASSERT_TRUE(fs::create_directories(Plugin("Blocked") + "/inside"));
    FillPopup("Blocked", "u", "100");
    Answer(0);
    EXPECT_EQ(pirn::RunBuildDtexAddon(), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Error");
    EXPECT_EQ(asked_[0].text,
              "The addon could not be created. Possible reasons include:\n"
              "\xA5 Tags from the destination file are open in Pirn.\n"
              "\xA5 The destination file is open in another program.\n"
              "\xA5 Some tags from the local folder were corrupt or unreadable.");
    EXPECT_TRUE(fs::is_directory(Plugin("Blocked") + "/inside"));
}

TEST_F(AddonPopupTest, NothingToPackIsSaidWithoutThePopup) {
    StartOnDemoGame(false);
    popups_ = 0;
    for (int (*command)() : {pirn::RunBuildRegularAddon, pirn::RunBuildDtexAddon}) {
        asked_.clear();
        Answer(0);
        EXPECT_EQ(command(), 0);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Message");
    }
    EXPECT_EQ(popups_, 0);
    Answer(0);
    pirn::RunBuildDtexAddon();
    EXPECT_EQ(asked_.back().text, "No dmaps detected in the local folder - nothing to do!");
    Answer(0);
    pirn::RunBuildRegularAddon();
    EXPECT_EQ(asked_.back().text, "No addon-allowed files were found in the local folder - Nothing to do!");
}

}  // namespace
}  // namespace pirn_test
