#include "platform/os/core/zenity_dialog_backend.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

// A stand-in for zenity that records its arguments, one per line, and
// answers each kind of dialog from files in its folder.
class FakeZenity {
public:
    FakeZenity() {
        const std::string script =
            "#!/bin/sh\n"
            "dir=\"$(dirname \"$0\")\"\n"
            "printf '%s\\n' \"$@\" >> \"$dir/args\"\n"
            "echo ---- >> \"$dir/args\"\n"
            "sleep 0.2\n"
            "if [ \"$1\" = --color-selection ]; then\n"
            "  echo \"$GSETTINGS_BACKEND $XDG_CONFIG_HOME\" > \"$dir/env.seen\"\n"
            "  keyfile=\"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile\"\n"
            "  cp \"$keyfile\" \"$dir/keyfile.seen\"\n"
            "  [ -f \"$dir/keyfile.new\" ] && cp \"$dir/keyfile.new\" \"$keyfile\"\n"
            "fi\n"
            "case \"$1\" in\n"
            "  --file-selection) f=file ;;\n"
            "  --list) f=list ;;\n"
            "  --color-selection) f=color ;;\n"
            "  --question) f=question ;;\n"
            "  *) exit 0 ;;\n"
            "esac\n"
            "[ -f \"$dir/$f.out\" ] && cat \"$dir/$f.out\"\n"
            "exit \"$(cat \"$dir/$f.code\" 2>/dev/null || echo 0)\"\n";
        pirn_test::WriteAll(dir_.file("zenity"), script);
        chmod(dir_.file("zenity").c_str(), 0755);
    }
    void Answer(const std::string& kind, const std::string& output, int code = 0) {
        pirn_test::WriteAll(dir_.file(kind + ".out"), output);
        pirn_test::WriteAll(dir_.file(kind + ".code"), std::to_string(code));
    }
    std::string Args() const {
        const std::vector<uint8_t> bytes = pirn_test::ReadAll(dir_.file("args"));
        return std::string(bytes.begin(), bytes.end());
    }
    std::string program() const { return dir_.file("zenity"); }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    pirn_test::TempDir dir_;
};

class ZenityBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetNativeDialogBackend(&backend_);
        SetNativeDialogFrameHook([this] { ++frames_; });
        pirn_test::WriteAll(fake_.file("b9.bmp"), std::string("x"));
        pirn_test::WriteAll(fake_.file("b10.bmp"), std::string("x"));
    }
    void TearDown() override {
        SetNativeDialogBackend(nullptr);
        SetNativeDialogFrameHook(nullptr);
    }
    FakeZenity fake_;
    ZenityDialogBackend backend_{[] { return u64(77); }, fake_.program()};
    int frames_ = 0;
};

TEST_F(ZenityBackendTest, OpenSeveralWithAChoiceBoxKeepsDrawingFrames) {
    fake_.Answer("file", fake_.file("b10.bmp") + "\n" + fake_.file("b9.bmp") + "\n");
    fake_.Answer("list", "1\n");
    FileDialogOptions options;
    AddFileDialogChoices(options, "Replace:", 0, {{"By Order", 0}, {"By Name", 1}});
    std::vector<std::string> files;
    u32 index = 0;
    ASSERT_TRUE(OsOpenFiles("Import", fake_.file(""), {{"BMP", "*.bmp"}, {"PNG", "*.png"}}, &index, &files, &options));
    EXPECT_EQ(files, (std::vector<std::string>{fake_.file("b9.bmp"), fake_.file("b10.bmp")}));
    EXPECT_EQ(index, 0u);  // the files' own filter
    EXPECT_EQ(GetFileDialogChoice(options, 0), 1u);
    EXPECT_GT(frames_, 0);

    const std::string args = fake_.Args();
    EXPECT_NE(args.find("--file-selection\n"), std::string::npos);
    EXPECT_NE(args.find("--multiple\n"), std::string::npos);
    EXPECT_NE(args.find("--attach=77\n"), std::string::npos);
    EXPECT_NE(args.find("--radiolist\n"), std::string::npos);
}

TEST_F(ZenityBackendTest, CancelInTheChoiceBoxCancelsTheDialog) {
    fake_.Answer("file", fake_.file("b9.bmp") + "\n");
    fake_.Answer("list", "", 1);
    FileDialogOptions options;
    AddFileDialogChoices(options, "Mode:", 1, {{"Full", 0}, {"Alpha Only", 1}});
    std::string path = "unchanged";
    EXPECT_FALSE(OsOpenFile("Open", {}, nullptr, &path, &options));
    EXPECT_EQ(path, "unchanged");
}

TEST_F(ZenityBackendTest, SaveAppendsAndAsksBeforeReplacing) {
    fake_.Answer("file", fake_.file("b9") + "\n");
    fake_.Answer("question", "", 0);
    std::string path;
    u32 index = 0;
    ASSERT_TRUE(OsSaveFile("Export", {{"BMP", "*.bmp"}, {"PNG", "*.png"}}, &index, &path, nullptr));
    EXPECT_EQ(path, fake_.file("b9.bmp"));
    EXPECT_NE(fake_.Args().find("--question\n"), std::string::npos);
}

TEST_F(ZenityBackendTest, CustomColoursGoThroughTheChoosersOwnSettings) {
    CustomColors colors;
    colors.fill(ColorRgb{255, 255, 255});
    colors[0] = ColorRgb{255, 0, 0};
    OsSetCustomColors(colors);
    // What GTK writes after the user added a colour: the new one first.
    pirn_test::WriteAll(fake_.file("keyfile.new"),
                        std::string("[org/gtk/settings/color-chooser]\n"
                                    "custom-colors=[(0.0, 0.50196078431372548, 1.0, 1.0), (1.0, 0.0, 0.0, 1.0)]\n"
                                    "selected-color=(true, 0.0, 0.50196078431372548, 1.0, 1.0)\n"));
    fake_.Answer("color", "rgb(0,128,255)\n");
    ColorRgb rgb;
    ASSERT_TRUE(OsChooseColor(&rgb));

    const std::vector<uint8_t> seen = pirn_test::ReadAll(fake_.file("keyfile.seen"));
    const std::string handed_in(seen.begin(), seen.end());
    EXPECT_NE(handed_in.find("custom-colors=[(1.000000, 0.000000, 0.000000, 1.0), (1.000000, 1.000000, 1.000000, 1.0)"),
              std::string::npos) << handed_in;
    EXPECT_EQ(OsCustomColors()[0], (ColorRgb{0, 128, 255}));
    EXPECT_EQ(OsCustomColors()[1], (ColorRgb{255, 0, 0}));
    EXPECT_EQ(OsCustomColors()[2], (ColorRgb{255, 255, 255}));

    // The private settings folder is gone afterwards.
    const std::vector<uint8_t> env = pirn_test::ReadAll(fake_.file("env.seen"));
    const std::string line(env.begin(), env.end());
    ASSERT_EQ(line.rfind("keyfile ", 0), 0u) << line;
    EXPECT_FALSE(pirn_test::Exists(line.substr(8, line.size() - 9)));

    colors.fill(ColorRgb{255, 255, 255});
    OsSetCustomColors(colors);
}

TEST_F(ZenityBackendTest, ColourAndMissingProgram) {
    fake_.Answer("color", "rgb(12,34,56)\n");
    ColorRgb rgb{1, 1, 1};
    ASSERT_TRUE(OsChooseColor(&rgb));
    EXPECT_EQ(rgb, (ColorRgb{12, 34, 56}));
    EXPECT_NE(fake_.Args().find("--color=rgb(1,1,1)\n"), std::string::npos);

    ZenityDialogBackend missing({}, "/nonexistent/zenity");
    SetNativeDialogBackend(&missing);
    EXPECT_FALSE(OsChooseColor(&rgb));
    EXPECT_EQ(rgb, (ColorRgb{12, 34, 56}));
}

}  // namespace
}  // namespace pirn
