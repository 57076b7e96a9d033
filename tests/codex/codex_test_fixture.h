#pragma once
// A game folder in a scratch directory and a clean Codex around each test,
// with every listener event recorded.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codex/codex.h"
#include "platform/log_capture.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"

namespace codex_fixture {

struct RecordedEvent {
    pirn::u32 event;
    pirn::u32 group;  // read inside the listener: the tag must still be alive
    pirn::u32 tag_id;
    pirn::Archive* archive;
};

class CodexTest : public ::testing::Test {
protected:
    void SetUp() override {
        pirn::UnloadCodex();
        pirn::SetCodexListener(&CodexTest::Record, this, 1);
        pirn::SetLocalFolder(Local());
        events.clear();
    }

    void TearDown() override {
        pirn::SetCodexListener(&CodexTest::Record, this, 0);
        EXPECT_EQ(pirn::UnloadCodex(), 1);
    }

    std::string Game() const { return dir.path() + "/"; }
    std::string Local() const { return Game() + "local/"; }

    std::string WriteFile(const std::string& relative, const std::vector<u8>& bytes) {
        pirn_test::WriteAll(Game() + relative, bytes);
        return Game() + relative;
    }
    std::string WriteLocal(const std::string& label, const std::string& file, const std::vector<u8>& bytes) {
        return WriteFile("local/" + label + "/" + file, bytes);
    }
    pirn::Archive* AddArchiveBytes(const std::string& relative, const std::vector<u8>& bytes) {
        return pirn::AddArchive(WriteFile(relative, bytes));
    }

    size_t CountEvents(pirn::u32 event) const {
        size_t n = 0;
        for (const RecordedEvent& e : events) n += e.event == event;
        return n;
    }

    static void Record(void* context, pirn::Archive* archive, pirn::TagEntry* tag, pirn::u32 event) {
        auto* self = static_cast<CodexTest*>(context);
        self->events.push_back({event, tag ? tag->group : 0, tag ? tag->tag_id : 0, archive});
    }

    pirn_test::TempDir dir;
    std::vector<RecordedEvent> events;
    pirn::ScopedLogCapture quiet_log;  // keeps expected refusals out of the test output
};

}  // namespace codex_fixture
