#include "platform/native_dialog_zenity.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace pirn {
namespace {

bool Has(const std::vector<std::string>& args, const std::string& arg) {
    return std::find(args.begin(), args.end(), arg) != args.end();
}

TEST(ZenityArgsTest, FileSelectionPerKind) {
    const FileDialogFilters filters = {{"BMP", "*.bmp"}, {"PNG|Image", "*.png;*.PNG2"}};
    const u32 png = 1;
    FileDialogRequest save = MakeFileDialogRequest(FileDialogKind::kSaveFile, "Export Plate \xA5", filters, &png,
                                                   "out/plate", nullptr);
    const std::vector<std::string> args = ZenityFileSelectionArgs(save, "/home/u", ZenityParent{0x2a00005});
    EXPECT_EQ(args[0], "--file-selection");
    EXPECT_TRUE(Has(args, "--title=Export Plate \xE2\x80\xA2"));  // program text to UTF-8
    EXPECT_TRUE(Has(args, "--save"));
    EXPECT_TRUE(Has(args, "--confirm-overwrite"));
    EXPECT_TRUE(Has(args, "--attach=44040197"));
    EXPECT_TRUE(Has(args, "--filename=/home/u/out/plate"));
    // The starting filter leads; names cannot split at a '|'; patterns match
    // without regard to case.
    const auto first = std::find_if(args.begin(), args.end(),
                                    [](const std::string& a) { return a.rfind("--file-filter=", 0) == 0; });
    ASSERT_NE(first, args.end());
    EXPECT_EQ(*first, "--file-filter=PNG/Image | *.[pP][nN][gG] *.[pP][nN][gG]2");
    EXPECT_EQ(*(first + 1), "--file-filter=BMP | *.[bB][mM][pP]");

    FileDialogRequest open = MakeFileDialogRequest(FileDialogKind::kOpenFiles, "", filters, nullptr, "/abs/", nullptr);
    const std::vector<std::string> multi = ZenityFileSelectionArgs(open, "/cwd", ZenityParent{});
    EXPECT_TRUE(Has(multi, "--multiple"));
    EXPECT_TRUE(Has(multi, "--separator=\n"));
    EXPECT_TRUE(Has(multi, "--filename=/abs/"));
    EXPECT_TRUE(Has(multi, "--file-filter=Any | *.[bB][mM][pP] *.[pP][nN][gG] *.[pP][nN][gG]2"));
    EXPECT_FALSE(std::any_of(multi.begin(), multi.end(),
                             [](const std::string& a) { return a.rfind("--attach", 0) == 0; }));

    FileDialogRequest all = MakeFileDialogRequest(FileDialogKind::kOpenFile, "", {}, nullptr, "", nullptr);
    EXPECT_TRUE(Has(ZenityFileSelectionArgs(all, "/cwd", ZenityParent{}), "--file-filter=All Files | *"));

    FileDialogRequest folder = MakeFileDialogRequest(FileDialogKind::kChooseFolder, "", {}, nullptr, "rel", nullptr);
    const std::vector<std::string> dir = ZenityFileSelectionArgs(folder, "/cwd/", ZenityParent{});
    EXPECT_TRUE(Has(dir, "--directory"));
    EXPECT_TRUE(Has(dir, "--filename=/cwd/rel/"));
}

TEST(ZenityArgsTest, FileOutput) {
    EXPECT_EQ(ParseZenityFileOutput("/a/b c|d.png\n", false), (std::vector<std::string>{"/a/b c|d.png"}));
    EXPECT_EQ(ParseZenityFileOutput("/a/1.bmp\n/a/2.bmp\n", true),
              (std::vector<std::string>{"/a/1.bmp", "/a/2.bmp"}));
    EXPECT_TRUE(ParseZenityFileOutput("\n", false).empty());
    EXPECT_TRUE(ParseZenityFileOutput("", true).empty());
}

TEST(ZenityArgsTest, ChoiceBoxIsARadioListOfIndices) {
    FileDialogOptions options;
    AddFileDialogChoices(options, "Target Format:", 1, {{"BMP (*.bmp)", 6}, {"PNG (*.png)", 7}});
    const std::vector<std::string> args = ZenityChoiceArgs("Choose a folder", options.boxes[0], ZenityParent{});
    EXPECT_TRUE(Has(args, "--radiolist"));
    EXPECT_TRUE(Has(args, "--title=Choose a folder - Target Format"));
    EXPECT_TRUE(Has(args, "--print-column=2"));
    const auto row = std::find(args.begin(), args.end(), "FALSE");
    ASSERT_NE(row, args.end());
    EXPECT_EQ(std::vector<std::string>(row, row + 6),
              (std::vector<std::string>{"FALSE", "0", "BMP (*.bmp)", "TRUE", "1", "PNG (*.png)"}));

    u32 index = 9;
    EXPECT_TRUE(ParseZenityChoice("0\n", options.boxes[0], &index));
    EXPECT_EQ(index, 0u);
    EXPECT_FALSE(ParseZenityChoice("2\n", options.boxes[0], &index));
    EXPECT_FALSE(ParseZenityChoice("\n", options.boxes[0], &index));
    EXPECT_FALSE(ParseZenityChoice("99999999999\n", options.boxes[0], &index));
    EXPECT_FALSE(ParseZenityChoice("-1", options.boxes[0], &index));
}

TEST(ZenityArgsTest, Colours) {
    EXPECT_TRUE(Has(ZenityColorArgs(ColorRgb{1, 2, 255}, ZenityParent{}), "--color=rgb(1,2,255)"));
    struct Case { const char* text; bool ok; ColorRgb color; };
    const Case cases[] = {
        {"rgb(255,128,0)\n", true, {255, 128, 0}},
        {"rgba(1,2,3,0.5)", true, {1, 2, 3}},
        {"#0A0b10", true, {10, 11, 16}},
        {"rgb(256,0,0)", false, {}},
        {"rgb(1,2)", false, {}},
        {"rgb(1,2,3,4)", false, {}},
        {"hsl(1,2,3)", false, {}},
        {"#12345", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        ColorRgb color{7, 7, 7};
        EXPECT_EQ(ParseZenityColor(c.text, &color), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(color, c.color) << c.text;
        }
    }
}

TEST(ZenityArgsTest, CustomColoursInGtksKeyfile) {
    // As GTK 3 writes it: full-precision fractions, the selected colour apart.
    const std::string written =
        "[org/gtk/settings/color-chooser]\n"
        "custom-colors=[(0.039215686274509803, 0.078431372549019607, 0.11764705882352941, 1.0), "
        "(1.0, 0.0, 0.0, 1.0), (0.0, 0.5, 0.0, 1.0)]\n"
        "selected-color=(true, 0.039215686274509803, 0.078431372549019607, 0.11764705882352941, 1.0)\n";
    EXPECT_EQ(ParseGtkCustomColors(written),
              (std::vector<ColorRgb>{{10, 20, 30}, {255, 0, 0}, {0, 128, 0}}));
    EXPECT_TRUE(ParseGtkCustomColors("[org/gtk/settings/color-chooser]\nselected-color=(true, 0.0, 0.0, 0.0, 1.0)\n").empty());
    EXPECT_TRUE(ParseGtkCustomColors("custom-colors=[(1.0, 0.0)]").empty());
    EXPECT_EQ(ParseGtkCustomColors("custom-colors=[(2.0, -1.0, 0.5, 1.0)]"), (std::vector<ColorRgb>{{255, 0, 128}}));

    CustomColors table;
    for (int i = 0; i < kCustomColorCount; ++i) table[i] = ColorRgb{static_cast<u8>(i * 10), 0, 0};
    EXPECT_EQ(ParseGtkCustomColors(GtkCustomColorsKeyfile(table)),
              std::vector<ColorRgb>(table.begin(), table.end()));

    MergeCustomColors({{1, 1, 1}, {30, 0, 0}}, &table);
    EXPECT_EQ(table[0], (ColorRgb{1, 1, 1}));
    EXPECT_EQ(table[1], (ColorRgb{30, 0, 0}));
    EXPECT_EQ(table[2], (ColorRgb{0, 0, 0}));
    EXPECT_EQ(table[5], (ColorRgb{40, 0, 0}));   // 30 moved up, not repeated
    EXPECT_EQ(table[15], (ColorRgb{140, 0, 0}));  // 150 fell off the end
}

TEST(ZenityArgsTest, MessagesAreNeverMarkup) {
    const std::vector<std::string> args = ZenityQuestionArgs("Confirm", "a <b> & c", ZenityParent{});
    EXPECT_TRUE(Has(args, "--question"));
    EXPECT_TRUE(Has(args, "--no-markup"));
    EXPECT_TRUE(Has(args, "--text=a <b> & c"));
    EXPECT_TRUE(Has(ZenityErrorArgs("Error", "x", ZenityParent{}), "--error"));
}

}  // namespace
}  // namespace pirn
