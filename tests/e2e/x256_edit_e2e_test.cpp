// The collection editor in the built program on a generated demo game: the
// demo knight opened from the Archive Browser's tree, saved into the local
// folder with Control+S byte for byte as the archive holds it (its
// alternate bitmap included), and saved again after Control+T switched the
// views to the standard bitmaps, to the same bytes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"
#include "tools/demo_game/demo_game.h"

namespace pirn_test {
namespace {

class X256EditE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareDemoGame();
    }

    std::string Local(const std::string& relative) const { return game_ + "/local/" + relative; }

    // The data of the demo knight as the generator put it in its archive.
    static std::vector<uint8_t> KnightData() {
        const pirn::demo::DemoGame game = pirn::demo::BuildDemoGame();
        for (const pirn::demo::DemoArchive& archive : game.archives)
            for (const pirn::demo::DemoTag& tag : archive.tags)
                if (tag.name == "Demo Knight") return tag.data;
        return {};
    }
    static std::vector<uint8_t> DataOf(const std::vector<uint8_t>& file) {
        return file.size() < 64 ? std::vector<uint8_t>() : std::vector<uint8_t>(file.begin() + 64, file.end());
    }

};

TEST_F(X256EditE2eTest, TheDemoKnightOpensAndSavesByteForByteWhicheverBitmapsAreShown) {
    const std::vector<uint8_t> knight = KnightData();
    ASSERT_FALSE(knight.empty());
    Start();
    const std::string window = WaitForDesktop();
    ASSERT_FALSE(window.empty());

    // Collections have an editor: their group is listed without Control+T.
    Find(window, "Collections");
    ASSERT_TRUE(Keys(window, {"Right"}));
    Find(window, "Demo Kn");
    const Screenshot browser = CaptureWindow(window);
    ASSERT_TRUE(Keys(window, {"Return"}));
    Screenshot opened;
    ASSERT_TRUE(WaitUntil([&] {
        opened = CaptureWindow(window);
        return !opened.empty() && opened.CountDifferences(browser) > 10000;
    })) << "no editor came up";
    SleepSeconds(1.0);
    Shot(window, "collection-editor");

    const std::string saved = Local("Collections/Demo Knight");
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(saved); }, 10.0));
    SleepSeconds(0.5);
    EXPECT_EQ(DataOf(ReadAll(saved)), knight);

    std::remove(saved.c_str());
    ASSERT_TRUE(Keys(window, {"ctrl+t", "ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(saved); }, 10.0));
    SleepSeconds(0.5);
    EXPECT_EQ(DataOf(ReadAll(saved)), knight);
    Shot(window, "collection-editor-standard-bitmaps");

    ASSERT_TRUE(Keys(window, {"alt+F4"}));
    SleepSeconds(1.0);
    ASSERT_TRUE(Keys(window, {"Return"}));
    EXPECT_EQ(WaitForExit(), 0) << Output();
}

}  // namespace
}  // namespace pirn_test
