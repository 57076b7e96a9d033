// The start-up seam on the headless window system: its log lines in order,
// and the Log Viewer installed as the log handler, so that a message asking
// for attention after start-up brings the window forward.

#include "app/ui/startup_seam.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/startup_log.h"
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

}  // namespace
}  // namespace pirn_test
