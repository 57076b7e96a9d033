// The start-up seam on the headless window system: its log lines in order,
// and the Log Viewer installed as the log handler, so that a message asking
// for attention after start-up brings the window forward.

#include "app/ui/startup_seam.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/startup_log.h"
#include "app/game_archives.h"
#include "app/ui/archive_browser.h"
#include "app/ui/codex_start.h"
#include "app/ui/pirn_splash_screen.h"
#include "app/ui/root_menu.h"
#include "codex/four_char_code.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_editor_registry.h"
#include "editors/ui/struct_tag_edit.h"
#include "editors/ui/text_edit.h"
#include "editors/xml_definitions.h"
#include "models/ui/geom_edit.h"
#include "ui/menu.h"
#include "codex/archive_list.h"
#include "codex/codex_catalogue.h"
#include "codex/local_folder.h"
#include "platform/os/os_time.h"
#include "platform/pref_store.h"
#include "platform/zarn_path.h"
#include "codex/archive.h"
#include "codex/tag_header.h"
#include "platform/image_file.h"
#include "platform/log_message.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"
#include "tests/ui/widget_fixture.h"
#include "ui/log_viewer.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

class StartupSeamTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        Prefs().Clear();
        previous_ = SetLogHandler(nullptr);
        ASSERT_NE(::getcwd(cwd_, sizeof cwd_), nullptr);
        ASSERT_EQ(::chdir(dir_.path().c_str()), 0);  // the start-up log goes here
    }
    void TearDown() override {
        StopProgramTools();
        CloseStartupLog();
        EXPECT_EQ(::chdir(cwd_), 0);
        SetLogHandler(previous_);
        WidgetTest::TearDown();
        Prefs().Clear();
    }
    std::string LogText() const {
        const std::vector<uint8_t> bytes = ReadAll(dir_.file(kStartupLogFileName));
        return std::string(bytes.begin(), bytes.end());
    }
    TempDir dir_;
    char cwd_[4096] = {};
    LogHandler previous_;
};

TEST_F(StartupSeamTest, LogsItsStepsAndInstallsTheLogViewer) {
    StartProgramTools();
    EXPECT_EQ(LogText(),
              "Window System Initialized\nXML Editors Initialized\nCodex Initialized\nArchive Browser Opened\n");
    // The root menu's bar is the window system's: the windows stand below it.
    ASSERT_NE(GetRootMenu(), nullptr);
    ASSERT_NE(GetRootMenu()->GetMenu(), nullptr);
    EXPECT_GT(GetRootMenu()->GetMenu()->GetHeight(), 0);
    EXPECT_EQ(GetLayerWindow(0)->GetFrameScreenRect().top, GetRootMenu()->GetMenu()->GetHeight());

    // Level 0 only records; level 1 shows the window at its topic.
    LogMessage(0, "Codex", "quiet\n");
    MessageLogWindow* viewer = GetLogViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->IsVisible());
    LogMessage(1, "Codex", "ERROR: %s\n", "loud");
    EXPECT_TRUE(viewer->IsVisible());
    ASSERT_NE(viewer->GetTopicBox("Codex"), nullptr);
    EXPECT_EQ(viewer->GetTopicBox("Codex")->GetText(), "quiet\nERROR: loud\n");
    EXPECT_EQ(viewer->GetCurrentBox(), viewer->GetTopicBox("Codex"));
}

// The program's Codex start teaches file identification the Codex formats:
// tag files of both header layouts and archives of both versions, written
// byte by byte from their tables, are known for what they are once
// start-up has run and not before; a tag header whose data length does not
// match the file is not a tag file.
TEST_F(StartupSeamTest, TheCodexStartIdentifiesTagFilesAndArchives) {
    using namespace codex_fixture;
    SetTagHeaderRecogniser(nullptr);
    SetArchiveHeaderRecogniser(nullptr);
    const Tag tag{Code("text"), Code("tx01"), "Greeting", Data("hello")};
    std::vector<u8> too_long = TagFile(tag);
    too_long.push_back(0);
    struct Case {
        const char* file;
        std::vector<u8> bytes;
        u32 kind;
        const char* name;  // the tag's or the archive's, from the kept header
    } cases[] = {
        {"tag", TagFile(tag), kKindTag, "Greeting"},
        {"old-tag", OldTagFile(tag), kKindTag, "Greeting"},
        {"archive", ArchiveBytes(6, 7, "Addon", {tag}), kKindArchive, "Addon"},
        {"first-version", FirstVersionArchiveBytes("Old", {tag}), kKindArchive, "Old"},
        {"too-long", too_long, kKindUnknown, ""},
    };
    for (const Case& c : cases) WriteAll(dir_.file(c.file), c.bytes);
    ImageFile before;
    InitImageFile(&before, dir_.file("tag"));
    EXPECT_FALSE(IdentifyImageFile(&before));

    StartProgramTools();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ImageFile file;
        InitImageFile(&file, dir_.file(c.file));
        EXPECT_EQ(IdentifyImageFile(&file), c.kind != kKindUnknown);
        EXPECT_EQ(file.kind, c.kind);
        EXPECT_EQ(file.type, c.kind);  // tag 1/1, archive 2/2
        if (c.kind == kKindTag) {
            const TagHeader header = std::any_cast<TagHeader>(file.header);
            EXPECT_STREQ(header.name, c.name);
            EXPECT_EQ(header.tag_id, Code("tx01"));
            EXPECT_EQ(header.data_length, 5u);
        } else if (c.kind == kKindArchive) {
            const ArchiveHeader header = std::any_cast<ArchiveHeader>(file.header);
            EXPECT_STREQ(header.name, c.name);
            EXPECT_EQ(header.entry_count, 1u);
        }
    }
    SetTagHeaderRecogniser(nullptr);
    SetArchiveHeaderRecogniser(nullptr);
}

// The Codex starts on the game folder of the preferences: the archives of
// tags/ and then plugins/ (other files left out), the local folder, the
// default working set, and the Archive Browser on top of it; shutting down
// unloads it all.
TEST_F(StartupSeamTest, TheCodexAndTheBrowserStartOnTheGameFolder) {
    using namespace codex_fixture;
    const std::string game = dir_.file("Zarnhold");
    WriteAll(game + "/tags/base", ArchiveBytes(2, 0, "Base", {Tag{Code("dmap"), Code("d001"), "Hills", Data("d")}}));
    WriteAll(game + "/tags/readme.txt", std::string("not an archive"));
    WriteAll(game + "/tags/nested/deeper", ArchiveBytes(2, 0, "Deep", {}));
    WriteAll(game + "/plugins/addon", ArchiveBytes(6, 0, "Addon", {Tag{Code("dmap"), Code("d002"), "Dunes", Data("a")}}));
    WriteAll(game + "/local/Detail Maps/Marsh", TagFile(Tag{Code("dmap"), Code("d003"), "Marsh", Data("m")}));
    SetZarnPath(game);

    StartProgramTools();
    ASSERT_EQ(CountArchives(), 2u);
    EXPECT_STREQ(GetArchiveName(GetArchive(0)), "base");
    EXPECT_TRUE(IsArchiveActive(GetArchive(0)) && IsArchiveActive(GetArchive(1)));
    EXPECT_EQ(GetLocalFolder(), game + "/local/");
    ArchiveBrowser* browser = GetArchiveBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->IsVisible());
    EXPECT_EQ(browser->GetModel().TagRowCount(), 3u);
    EXPECT_EQ(LogText(),
              "Window System Initialized\nXML Editors Initialized\nCodex Initialized\nArchive Browser Opened\n");

    // A game folder without plugins/ starts as well.
    ::rename((game + "/plugins").c_str(), (game + "/away").c_str());
    InitCodex();
    EXPECT_EQ(CountArchives(), 1u);

    DestroyRootWindow();
    StopProgramTools();
    EXPECT_EQ(CountArchives(), 0u);
    EXPECT_EQ(FindTagEntry(Code("dmap"), Code("d003")), nullptr);
}

// The struct editors of the XML definitions are registered before the
// dedicated editors, which take over the groups both describe.
TEST_F(StartupSeamTest, ADedicatedEditorReplacesTheStructEditorOfItsGroup) {
    WriteAll(dir_.file("res/both.xml"),
             std::string("<pirnxmlfile>\n"
                         "  <struct name=\"text\"><word name=\"a\"/></struct>\n"
                         "  <struct name=\"wind\"><word name=\"b\"/></struct>\n"
                         "</pirnxmlfile>\n"));
    ClearTagGroupEditors();
    UnbindTagEditors();
    StartProgramTools();
    EXPECT_EQ(FindTagGroup(MakeFourCC("text"))->factory, NewTextEdit);
    EXPECT_EQ(FindTagGroup(MakeFourCC("wind"))->factory, NewTagStructEdit);
    EXPECT_EQ(FindTagGroup(MakeFourCC("geom"))->factory, NewGeomEdit);
    ClearTagGroupEditors();
    UnbindTagEditors();
    FreeXmlDefinitions();
}

TEST_F(StartupSeamTest, TheSplashIsShownAsShowSplashAsks) {
    // A 1 x 1 24-bit BMP, laid out from the format's table.
    std::vector<u8> bmp = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,
                           0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9, 0};
    WriteAll(dir_.file("res/pirn.bmp"), bmp);
    struct Case {
        i32 stored;  // -1: no preference
        bool shown;
        i32 after;   // -1: no preference
    } cases[] = {{1, true, 0}, {2, true, 2}, {0, false, 0}, {-1, false, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Prefs().Remove("ShowSplash");
        if (c.stored >= 0) SetPrefInt("ShowSplash", c.stored);
        const double start = OsGetTime();
        RunStartupSplash();
        EXPECT_EQ(OsGetTime() - start >= 2.5, c.shown);
        i32 after = -1;
        GetPrefInt("ShowSplash", &after);
        EXPECT_EQ(after, c.after);
    }
}

}  // namespace
}  // namespace pirn_test
