// The dialog editor's commands on the data: the type table, the list rows,
// parts under the pointer, drags, new controls, reordering, removal and the
// prompts.

#include "editors/dialog_commands.h"

#include <gtest/gtest.h>

#include "codex/four_char_code.h"
#include "editors/dialog_control_types.h"

using namespace pirn;

namespace {

DialogData TwoControls() {
    DialogData d;
    d.version = 2;
    d.rect = DialogRect{10, 20, 410, 320};
    d.controls.push_back({MakeFourCC("butt"), 5, DialogRect{20, 30, 120, 80}, "Start"});
    d.controls.push_back({MakeFourCC("qqqq"), 9, DialogRect{100, 60, 200, 100}, ""});
    return d;
}

}  // namespace

TEST(DialogControlTypes, TheTableHasItsRowsInListOrder) {
    // Left column of the table top to bottom, then the right one.
    const char* rows[][2] = {
        {"bann", "Banner"},          {"bitm", "Bitmap"},           {"butt", "Button"},
        {"edit", "Editable Text"},   {"lste", "Entrypoint List"},  {"cgrf", "Carnage Graph"},
        {"ched", "Carnage Header"},  {"cstt", "Carnage Stats"},    {"chat", "Chat List"},
        {"chek", "Checkbox"},        {"colr", "Color Picker"},     {"numb", "Double Arrow"},
        {"game", "Game Graphic"},    {"gaml", "Game List"},        {"ipop", "Icon Popup"},
        {"map_", "Map Graphic"},     {"lstm", "Map List"},         {"popm", "Map Popup"},
        {"STAT", "Monster Status"},  {"pass", "Password Text"},    {"plli", "Player List"},
        {"pbli", "Plyer List (Buddy)"}, {"poli", "Player List (Order)"}, {"lstp", "Plugin List"},
        {"popu", "Popup"},           {"repo", "Postgame Report"},  {"prog", "Progress Bar"},
        {"prol", "Prologue Control"}, {"radi", "Radio Button"},    {"room", "Room Graphic"},
        {"sacc", "Statistics Bar"},  {"slid", "Slider Control"},   {"snap", "Snapshot Image"},
        {"stat", "Static Text"},     {"slst", "String List"},      {"tabc", "Tab Control"},
        {"lstg", "Tag List"},
    };
    ASSERT_EQ(std::size(rows), size_t{kDialogControlTypeCount});
    for (u32 i = 0; i < kDialogControlTypeCount; ++i) {
        u32 code = 0;
        ASSERT_TRUE(ParseFourCC(rows[i][0], &code));
        EXPECT_EQ(GetDialogControlType(i)->code, code) << i;
        EXPECT_STREQ(GetDialogControlType(i)->name, rows[i][1]);
        EXPECT_EQ(FindDialogControlType(code), int(i));
        EXPECT_EQ(DialogControlTypeName(code), rows[i][1]);
    }
    EXPECT_EQ(GetDialogControlType(37), nullptr);
    EXPECT_EQ(DialogControlTypeName(MakeFourCC("qqqq")), "Unknown(qqqq)");
    EXPECT_EQ(DialogControlTypeName(0x41420000), "Unknown(AB)");
}

TEST(DialogCommands, ListRowsShowTheDialogTheHelpAndEveryControl) {
    const std::vector<DialogListRow> rows = DialogListRows(TwoControls());
    const std::vector<std::pair<std::string, i32>> expected = {
        {"Version: 2", -2},
        {"Size: 400x300", -3},
        {"Position: (10, 20)", -4},
        {"--", -1},
        {"Controls..................", -1},
        {"Ctrl+A to add under mouse", -1},
        {"Delete to remove", -1},
        {"Ctrl+Drag/Arrow to move", -1},
        {"Shift+Drag/Arrow to resize", -1},
        {"Ctrl+[+/-] to reorder", -1},
        {"--", -1},
        {"5 | Button | text:\"Start\"", 0},
        {"9 | Unknown(qqqq)", 1},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].text, expected[i].first);
        EXPECT_EQ(rows[i].data, expected[i].second);
    }
}

TEST(DialogCommands, CanvasLabelsAndTheSelectedControlsBox) {
    const DialogData d = TwoControls();
    EXPECT_EQ(DialogControlLabel(d.controls[0]), "5 Start");
    EXPECT_EQ(DialogControlLabel(d.controls[1]), "9 ");
    // Move mode shows the corner, resize mode the size.
    EXPECT_EQ(DialogControlInfoText(d.controls[0], kDialogModeMove), "X: 20\nY: 30");
    EXPECT_EQ(DialogControlInfoText(d.controls[0], kDialogModeResize), "W: 100\nH: 50");
    DialogControl inverted = d.controls[1];
    inverted.rect = DialogRect{-5, 40, -25, 10};
    EXPECT_EQ(DialogControlInfoText(inverted, kDialogModeMove), "X: -5\nY: 40");
    EXPECT_EQ(DialogControlInfoText(inverted, kDialogModeResize), "W: -20\nH: -30");
}

TEST(DialogCommands, PartsUnderThePointerAndTheirCursors) {
    const DialogRect r{100, 100, 200, 150};
    struct Case {
        i32 x, y;
        int part;
    } cases[] = {
        {100, 100, kDialogPartTopLeft},  {199, 149, kDialogPartBottomRight}, {101, 148, kDialogPartBottomLeft},
        {197, 102, kDialogPartTopRight}, {103, 120, kDialogPartLeft},        {196, 120, kDialogPartRight},
        {150, 103, kDialogPartTop},      {150, 146, kDialogPartBottom},      {104, 120, kDialogPartNone},
        {150, 125, kDialogPartNone},     {200, 120, kDialogPartNone},        {99, 120, kDialogPartNone},
    };
    for (const Case& c : cases) EXPECT_EQ(DialogResizePartAt(r, c.x, c.y), c.part) << c.x << "," << c.y;

    const int cursors[][3] = {{kDialogPartMove, 10, 11}, {kDialogPartLeft, 1, 1},       {kDialogPartRight, 1, 1},
                              {kDialogPartTop, 2, 2},    {kDialogPartBottom, 2, 2},     {kDialogPartTopLeft, 3, 3},
                              {kDialogPartBottomRight, 3, 3}, {kDialogPartBottomLeft, 4, 4}, {kDialogPartTopRight, 4, 4},
                              {kDialogPartNone, 0, 0}};
    for (const auto& c : cursors) {
        EXPECT_EQ(DialogPartCursor(c[0], false), c[1]) << c[0];
        EXPECT_EQ(DialogPartCursor(c[0], true), c[2]) << c[0];
    }

    const DialogData d = TwoControls();
    EXPECT_EQ(FindDialogControlAt(d, 110, 70), 0) << "the first in list order wins where they overlap";
    EXPECT_EQ(FindDialogControlAt(d, 150, 90), 1);
    EXPECT_EQ(FindDialogControlAt(d, 5, 5), -1);
}

TEST(DialogCommands, DragsMoveTheSidesOfTheirPart) {
    const DialogRect s{100, 100, 200, 150};
    struct Case {
        int part;
        DialogRect expected;
    } cases[] = {
        {kDialogPartMove, {105, 93, 205, 143}},       {kDialogPartLeft, {105, 100, 200, 150}},
        {kDialogPartRight, {100, 100, 205, 150}},     {kDialogPartTop, {100, 93, 200, 150}},
        {kDialogPartBottom, {100, 100, 200, 143}},    {kDialogPartTopLeft, {105, 93, 200, 150}},
        {kDialogPartBottomRight, {100, 100, 205, 143}}, {kDialogPartBottomLeft, {105, 100, 200, 143}},
        {kDialogPartTopRight, {100, 93, 205, 150}},   {kDialogPartNone, {100, 100, 200, 150}},
    };
    for (const Case& c : cases) {
        DialogRect out;
        ASSERT_TRUE(DragDialogRect(s, c.part, 5, -7, &out)) << c.part;
        EXPECT_EQ(out, c.expected) << c.part;
    }
    DialogRect out = s;
    EXPECT_FALSE(DragDialogRect(s, kDialogPartMove, 32700, 0, &out)) << "the right side would pass 32767";
    EXPECT_FALSE(DragDialogRect(s, kDialogPartTop, 0, -40000, &out));
    EXPECT_EQ(out, s);
    ASSERT_TRUE(NudgeDialogRect(s, true, 1, 0, &out));
    EXPECT_EQ(out, (DialogRect{100, 100, 201, 150}));
    ASSERT_TRUE(NudgeDialogRect(s, true, 0, -1, &out));
    EXPECT_EQ(out, (DialogRect{100, 100, 200, 149}));
    ASSERT_TRUE(NudgeDialogRect(s, false, -1, 0, &out));
    EXPECT_EQ(out, (DialogRect{99, 100, 199, 150}));
    EXPECT_FALSE(NudgeDialogRect(DialogRect{-32768, 0, 0, 5}, false, -1, 0, &out));
}

TEST(DialogCommands, NewControlsAreButtonsCentredUnderThePointer) {
    DialogData d = TwoControls();
    DialogControl c;
    ASSERT_TRUE(MakeDialogControlAt(d, 200, 100, &c));
    EXPECT_EQ(c.type, MakeFourCC("butt"));
    EXPECT_EQ(c.id, 10);
    EXPECT_EQ(c.rect, (DialogRect{150, 75, 250, 125}));
    EXPECT_TRUE(c.text.empty());
    EXPECT_FALSE(MakeDialogControlAt(d, 5, 100, &c)) << "outside the dialog";
    EXPECT_FALSE(MakeDialogControlAt(d, 410, 100, &c)) << "on the right side: outside";
    d.controls.clear();
    ASSERT_TRUE(MakeDialogControlAt(d, 10, 20, &c));
    EXPECT_EQ(c.id, 1);
    d.controls.push_back({MakeFourCC("butt"), 0xFFFF, DialogRect{}, ""});
    EXPECT_EQ(NextDialogControlId(d), 0u);
    EXPECT_FALSE(MakeDialogControlAt(d, 100, 100, &c)) << "the ids are used up";
    d.controls.clear();
    d.rect = DialogRect{-32768, -32768, 32767, 32767};
    EXPECT_FALSE(MakeDialogControlAt(d, 32760, 0, &c)) << "the new rectangle would pass 32767";
}

TEST(DialogCommands, ReorderingAndRemoving) {
    DialogData d = TwoControls();
    d.controls.push_back({MakeFourCC("edit"), 11, DialogRect{}, "third"});
    EXPECT_EQ(MoveDialogControl(d, 0, +1), 1);
    EXPECT_EQ(d.controls[1].id, 5);
    EXPECT_EQ(MoveDialogControl(d, 1, -1), 0);
    EXPECT_EQ(d.controls[0].id, 5);
    EXPECT_EQ(MoveDialogControl(d, 0, -1), 0) << "nothing before the first";
    EXPECT_EQ(MoveDialogControl(d, 2, +1), 2) << "nothing after the last";
    EXPECT_EQ(RemoveDialogControl(d, 1), 1) << "the same row, now the next control";
    EXPECT_EQ(d.controls[1].id, 11);
    EXPECT_EQ(RemoveDialogControl(d, 1), 0) << "the last removed: the one before";
    EXPECT_EQ(RemoveDialogControl(d, 0), -1);
    EXPECT_TRUE(d.controls.empty());
    EXPECT_EQ(RemoveDialogControl(d, 0), -1);
}

TEST(DialogCommands, PromptsChangeOnlyWhatParsesAndFits) {
    DialogData d = TwoControls();
    EXPECT_EQ(DialogPositionText(d), "10,20");
    EXPECT_EQ(DialogSizeText(d), "400,300");
    EXPECT_EQ(DialogVersionText(d), "2");
    ASSERT_TRUE(ApplyDialogPositionText(d, "-5, 7"));
    EXPECT_EQ(d.rect, (DialogRect{-5, 7, 395, 307}));
    ASSERT_TRUE(ApplyDialogSizeText(d, "640,480"));
    EXPECT_EQ(d.rect, (DialogRect{-5, 7, 635, 487}));
    ASSERT_TRUE(ApplyDialogVersionText(d, "65535"));
    EXPECT_EQ(d.version, 65535u);
    const DialogData before = d;
    for (const char* bad : {"", "12", "a,b", "1,2,3", "40000,0", "32700,0"})
        EXPECT_FALSE(ApplyDialogPositionText(d, bad)) << bad;
    for (const char* bad : {"-1,5", "5,-1", "x", "40000,1"}) EXPECT_FALSE(ApplyDialogSizeText(d, bad)) << bad;
    for (const char* bad : {"65536", "-1", "1.5", ""}) EXPECT_FALSE(ApplyDialogVersionText(d, bad)) << bad;
    EXPECT_EQ(d.rect, before.rect);
    EXPECT_EQ(d.version, before.version);
}

TEST(DialogCommands, ControlDataFromThePrompt) {
    DialogControl c{MakeFourCC("butt"), 5, DialogRect{1, 2, 3, 4}, "Start"};
    EXPECT_EQ(ControlTagText(c.type), "butt");
    ASSERT_TRUE(ApplyControlData(c, 12, "edit", "Name"));
    EXPECT_EQ(c.id, 12);
    EXPECT_EQ(c.type, MakeFourCC("edit"));
    EXPECT_EQ(c.text, "Name");
    ASSERT_TRUE(ApplyControlData(c, 65535, "ab", ""));
    EXPECT_EQ(c.type, MakeFourCC("ab  "));
    const DialogControl before = c;
    for (auto bad : {std::pair<i64, const char*>{65536, "butt"}, {-1, "butt"}, {1, ""}, {1, "toolong"}}) {
        EXPECT_FALSE(ApplyControlData(c, bad.first, bad.second, "changed")) << bad.first << " " << bad.second;
        EXPECT_EQ(c.text, before.text);
        EXPECT_EQ(c.id, before.id);
    }
}
