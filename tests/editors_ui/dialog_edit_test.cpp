// DialogEdit on the headless window system: dialog tags written byte by byte
// from the format's tables, opened through the registry, edited with the
// mouse, the keys, the prompts and EditControlDialog, and saved; the bytes
// on disk are checked against tables of our own.

#include "editors/ui/dialog_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "editors/ui/dialog_edit_control_dialog.h"
#include "editors/ui/dialog_view.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "tests/editors/editors_test_support.h"

namespace pirn_test {
namespace {

using editors_test::Bytes;
using pirn::DialogEdit;
using pirn::DialogRect;
using pirn::EditControlDialog;
using pirn::TagEntry;

struct FileControl {
    const char* type;
    u16 id;
    i16 top, left, bottom, right;  // the file's order
    std::string text;
};

struct FileDialog {
    u16 version;
    i16 top, left, bottom, right;
    std::vector<FileControl> controls;
};

// The tag data: 12-byte header, 24-byte records (reserved bytes given
// markers that the editor must not keep), NUL-terminated texts.
std::vector<u8> DialogBytes(const FileDialog& d, u8 reserved = 0) {
    Bytes b;
    b.U16(d.version).U16(u16(d.controls.size())).I16(d.top).I16(d.left).I16(d.bottom).I16(d.right);
    for (const FileControl& c : d.controls) {
        b.Text(c.type, 4).Fill(2, reserved).U16(c.id).Fill(8, reserved);
        b.I16(c.top).I16(c.left).I16(c.bottom).I16(c.right);
    }
    for (const FileControl& c : d.controls) b.CString(c.text);
    return b.data;
}

// A 400 x 300 dialog at (0, 0): two buttons, an unknown type and a control
// without text.
FileDialog Menu() {
    return FileDialog{3, 0, 0, 300, 400,
                      {{"butt", 4, 20, 10, 60, 110, "Play"},
                       {"butt", 7, 80, 10, 120, 110, "Quit"},
                       {"zzzz", 2, 150, 200, 250, 380, "Mystery"},
                       {"slid", 9, 20, 200, 40, 380, ""}}};
}

DialogRect Rect4(i32 left, i32 top, i32 right, i32 bottom) { return DialogRect{left, top, right, bottom}; }

class DialogEditTest : public CodexWindowTest {
protected:
    static constexpr u32 kBina = pirn::MakeFourCC("bina");

    void SetUp() override {
        CodexWindowTest::SetUp();
        // A screen the editor fits on, as the program's smallest window.
        HandleWindowResize(1024, 768);
        pirn::BindDialogEdit();
        pirn::RegisterTagEditors();
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::UnbindTagEditors();
        pirn::ClearTagGroupEditors();
    }

    TagEntry* WriteDialogTag(const std::string& name, const char (&id)[5], const std::vector<u8>& data) {
        pirn::fixture::TagHeaderFields header;
        header.name = name;
        header.group = kBina;
        header.id = pirn::fixture::FourCC(id);
        WriteLocal("Dialogs", name, pirn::fixture::TagFileBytes(header, data));
        pirn::PollLocalFolder(true);
        return pirn::FindTag(kBina, pirn::fixture::FourCC(id));
    }

    DialogEdit* Open(TagEntry* tag) {
        auto* editor = dynamic_cast<DialogEdit*>(pirn::OpenTagEditor(tag));
        if (!editor) return nullptr;
        // At the screen's corner, so that the canvas's points are on the screen.
        editor->SetPosition(0, 0);
        IdleFrame();
        return editor;
    }

    DialogEdit* OpenMenu(const std::vector<u8>& data = DialogBytes(Menu())) {
        return Open(WriteDialogTag("Menu", "menu", data));
    }

    std::vector<u8> DataOnDisk(const std::string& name) {
        const std::vector<u8> file = ReadAll(LocalFile("Dialogs", name));
        return file.size() < 64 ? std::vector<u8>() : std::vector<u8>(file.begin() + 64, file.end());
    }

    // The screen point of a dialog point on the editor's canvas.
    static Point At(DialogEdit* editor, i32 x, i32 y) {
        const Point client = editor->View()->DialogToClient(x, y);
        const Point origin = editor->View()->GetClientOrigin();
        return Point{origin.x + client.x, origin.y + client.y};
    }

    static std::vector<std::string> Rows(DialogEdit* editor) {
        std::vector<std::string> rows;
        for (pirn::ListItem* item = editor->List()->FirstRow(); item; item = editor->List()->NextRow(item))
            rows.push_back(item->text);
        return rows;
    }
};

TEST_F(DialogEditTest, OpensWithItsListBesideTheCanvas) {
    DialogEdit* editor = OpenMenu(DialogBytes(Menu(), 0xEE));
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "DialogEdit");
    EXPECT_EQ(editor->GetWidth(), 892);
    EXPECT_EQ(editor->GetHeight(), 528);
    EXPECT_STREQ(editor->GetTitle(), "Menu");
    EXPECT_FALSE(editor->IsModified());
    EXPECT_EQ(editor->Splitter()->GetSplitPosition(), 200);
    EXPECT_EQ(editor->Splitter()->GetPane(0), editor->List());
    EXPECT_EQ(editor->Splitter()->GetPane(1), editor->View());
    EXPECT_EQ(GetFocusWindow(), editor->List());

    const pirn::DialogData& d = editor->Dialog();
    EXPECT_EQ(d.version, 3u);
    EXPECT_EQ(d.rect, Rect4(0, 0, 400, 300));
    ASSERT_EQ(d.controls.size(), 4u);
    EXPECT_EQ(d.controls[2].type, pirn::MakeFourCC("zzzz"));
    EXPECT_EQ(d.controls[2].rect, Rect4(200, 150, 380, 250));
    const std::vector<std::string> rows = Rows(editor);
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_EQ(rows[0], "Version: 3");
    EXPECT_EQ(rows[1], "Size: 400x300");
    EXPECT_EQ(rows[2], "Position: (0, 0)");
    EXPECT_EQ(rows[11], "4 | Button | text:\"Play\"");
    EXPECT_EQ(rows[13], "2 | Unknown(zzzz) | text:\"Mystery\"");
    EXPECT_EQ(rows[14], "9 | Slider Control");

    // The canvas scrolls over the dialog and a 16-pixel margin all round.
    EXPECT_EQ(editor->View()->GetScrollRangeX(), 432);
    EXPECT_EQ(editor->View()->GetScrollRangeY(), 332);
    const Point corner = editor->View()->DialogToClient(0, 0);
    EXPECT_EQ(corner.x, 16);
    EXPECT_EQ(corner.y, 16);
}

TEST_F(DialogEditTest, APressSelectsTheFirstControlUnderThePointer) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    // Play and Mystery overlap nowhere; Slider and Mystery neither. A press
    // at a point in two controls takes the first in list order.
    pirn::DialogData overlapping = editor->Dialog();
    overlapping.controls[1].rect = Rect4(50, 15, 150, 70);
    editor->SetDialog(overlapping);
    const struct {
        i32 x, y;
        int selected;
    } cases[] = {{60, 30, 0}, {120, 60, 1}, {300, 200, 2}, {250, 30, 3}, {395, 295, -1}, {100, 65, 1}};
    for (const auto& c : cases) {
        const Point p = At(editor, c.x, c.y);
        Click(p.x, p.y);
        EXPECT_EQ(editor->Selected(), c.selected) << c.x << "," << c.y;
        const pirn::ListItem* row = editor->List()->GetSelectedItem();
        if (c.selected >= 0) {
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->text, pirn::DialogControlRowText(editor->Dialog().controls[c.selected]));
        }
    }
    EXPECT_FALSE(editor->IsModified());
}

TEST_F(DialogEditTest, DragsMoveOrResizeByThePartUnderThePointer) {
    const struct {
        const char* what;
        int modifier;
        i32 x, y;  // where the drag starts, in the Play button (10, 20)-(110, 60)
        i32 dx, dy;
        DialogRect after;
        u32 cursor;  // while dragging
    } cases[] = {
        {"control moves it", kKeyLeftControl, 50, 40, 30, -7, Rect4(40, 13, 140, 53), 11},
        {"shift on the bottom-left corner", kKeyLeftShift, 11, 58, -5, 12, Rect4(5, 20, 110, 72), 4},
        {"shift on the top-left corner", kKeyLeftShift, 12, 21, 4, 6, Rect4(14, 26, 110, 60), 3},
        {"shift on the bottom-right corner", kKeyLeftShift, 108, 57, 20, 10, Rect4(10, 20, 130, 70), 3},
        {"shift on the top-right corner", kKeyLeftShift, 107, 20, 3, -3, Rect4(10, 17, 113, 60), 4},
        {"shift on the left edge", kKeyLeftShift, 13, 40, -9, 5, Rect4(1, 20, 110, 60), 1},
        {"shift on the right edge", kKeyLeftShift, 106, 40, 9, 5, Rect4(10, 20, 119, 60), 1},
        {"shift on the top edge", kKeyLeftShift, 50, 23, 9, -8, Rect4(10, 12, 110, 60), 2},
        {"shift on the bottom edge", kKeyLeftShift, 50, 56, 9, 8, Rect4(10, 20, 110, 68), 2},
        {"shift in the middle takes nothing", kKeyLeftShift, 50, 40, 9, 8, Rect4(10, 20, 110, 60), 0},
        {"no key selects only", 0, 50, 40, 9, 8, Rect4(10, 20, 110, 60), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DialogEdit* editor = OpenMenu();
        ASSERT_NE(editor, nullptr);
        const Point from = At(editor, c.x, c.y);
        u32 during = 99;
        MoveTo(from.x, from.y);
        if (c.modifier) HandleKeyInput(c.modifier, 1);
        DrainEventQueue();
        Press();
        MoveTo(from.x + c.dx, from.y + c.dy);
        during = editor->View()->GetCursor();
        EXPECT_EQ(editor->Dialog().controls[0].rect, c.after) << "follows the pointer";
        Release();
        if (c.modifier) HandleKeyInput(c.modifier, 0);
        DrainEventQueue();
        EXPECT_EQ(during, c.cursor);
        EXPECT_EQ(editor->Selected(), 0);
        EXPECT_EQ(editor->Dialog().controls[0].rect, c.after);
        const bool changed = c.after != Rect4(10, 20, 110, 60);
        EXPECT_EQ(editor->IsModified(), changed);
        EXPECT_STREQ(editor->GetTitle(), changed ? "Menu*" : "Menu");
        EXPECT_FALSE(editor->IsDragging());
        if (c.modifier) {
            EXPECT_EQ(editor->Mode(), c.modifier == kKeyLeftControl ? pirn::kDialogModeMove : pirn::kDialogModeResize);
        }
        editor->SetModified(false);
        EXPECT_TRUE(editor->Close(1));
        IdleFrame();
    }
}

TEST_F(DialogEditTest, ThePointerShowsWhatAPressWouldTakeHoldOf) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    const struct {
        int modifier;
        i32 x, y;
        u32 cursor;
    } cases[] = {
        {kKeyLeftControl, 50, 40, 10}, {kKeyLeftControl, 150, 100, 0}, {kKeyLeftShift, 12, 21, 3},
        {kKeyLeftShift, 11, 58, 4},    {kKeyLeftShift, 13, 40, 1},      {kKeyLeftShift, 50, 56, 2},
        {kKeyLeftShift, 50, 40, 0},    {0, 12, 21, 0},
    };
    for (const auto& c : cases) {
        const Point p = At(editor, c.x, c.y);
        if (c.modifier) HandleKeyInput(c.modifier, 1);
        DrainEventQueue();
        MoveTo(p.x, p.y);
        EXPECT_EQ(editor->View()->GetCursor(), c.cursor) << c.x << "," << c.y;
        if (c.modifier) HandleKeyInput(c.modifier, 0);
        DrainEventQueue();
    }
    // Pressing the key over a control changes the shape without a move.
    const Point p = At(editor, 50, 40);
    MoveTo(p.x, p.y);
    EXPECT_EQ(editor->View()->GetCursor(), 0u);
    HandleKeyInput(kKeyLeftControl, 1);
    DrainEventQueue();
    EXPECT_EQ(editor->View()->GetCursor(), 10u);
    HandleKeyInput(kKeyLeftControl, 0);
    DrainEventQueue();
    EXPECT_EQ(editor->View()->GetCursor(), 0u);
}

// Whether a rectangle (client coordinates of the canvas) is wholly inside
// one of the rectangles waiting to be redrawn.
bool WillBeRedrawn(DialogEdit* editor, const Rect& client) {
    const Point o = editor->View()->GetClientOrigin();
    const Rect r = pirn::OffsetRect(client, o.x, o.y);
    const auto& frame = GetFrameState();
    for (int i = 0; i < frame.dirtyCount; ++i)
        if (pirn::RectContains(frame.dirtyRects[i], r)) return true;
    return false;
}

TEST_F(DialogEditTest, WhatChangesIsRedrawnAndOnlyThat) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    pirn::DialogView* view = editor->View();
    editor->SelectControl(0);
    IdleFrame();
    ASSERT_EQ(GetFrameState().dirtyCount, 0);

    // Another control selected: the first one's box goes, the second gets one.
    const Rect first = view->ControlFootprint(0);
    editor->SelectControl(2);
    EXPECT_TRUE(WillBeRedrawn(editor, first));
    EXPECT_TRUE(WillBeRedrawn(editor, view->ControlFootprint(2)));
    IdleFrame();

    // The mode's box text changes with Shift held.
    const Rect moveBox = view->ControlFootprint(2);
    HandleKeyInput(kKeyLeftShift, 1);
    DrainEventQueue();
    EXPECT_TRUE(WillBeRedrawn(editor, moveBox));
    EXPECT_TRUE(WillBeRedrawn(editor, view->ControlFootprint(2)));
    HandleKeyInput(kKeyLeftShift, 0);
    IdleFrame();

    // A drag step redraws the old and the new place, not the other controls.
    const Point from = At(editor, 300, 200);
    MoveTo(from.x, from.y);
    HandleKeyInput(kKeyLeftControl, 1);
    DrainEventQueue();
    Press();
    IdleFrame();
    const Rect before = view->ControlFootprint(2);
    MoveTo(from.x - 60, from.y + 20);
    EXPECT_TRUE(WillBeRedrawn(editor, before));
    EXPECT_TRUE(WillBeRedrawn(editor, view->ControlFootprint(2)));
    EXPECT_FALSE(WillBeRedrawn(editor, view->ControlFootprint(0)));
    EXPECT_FALSE(WillBeRedrawn(editor, view->ControlFootprint(1)));
    Release();
    HandleKeyInput(kKeyLeftControl, 0);
    DrainEventQueue();
    EXPECT_EQ(editor->Dialog().controls[2].rect, Rect4(140, 170, 320, 270));
}

TEST_F(DialogEditTest, ADragPastTheFilesRangeStopsWhereItStillFits) {
    FileDialog d = Menu();
    d.controls[0] = {"butt", 4, 20, 32700, 60, 32760, "Edge"};
    DialogEdit* editor = OpenMenu(DialogBytes(d));
    ASSERT_NE(editor, nullptr);
    editor->SelectControl(0);
    ASSERT_TRUE(editor->BeginControlDrag(0, pirn::kDialogPartMove));
    editor->DragControlBy(5, 0);
    EXPECT_EQ(editor->Dialog().controls[0].rect, Rect4(32705, 20, 32765, 60));
    editor->DragControlBy(9, 0);  // the right side would be 32769
    EXPECT_EQ(editor->Dialog().controls[0].rect, Rect4(32705, 20, 32765, 60));
    editor->DragControlBy(7, 1);
    EXPECT_EQ(editor->Dialog().controls[0].rect, Rect4(32707, 21, 32767, 61));
    editor->EndControlDrag();

    // The arrows beep at the end of the range and change nothing.
    const int beeps = Beeps();
    Key(kKeyRight, {kKeyLeftControl});
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(editor->Dialog().controls[0].rect, Rect4(32707, 21, 32767, 61));
    ASSERT_EQ(editor->SaveChanges(), 1);
    const std::vector<u8> data = DataOnDisk("Menu");
    ASSERT_GE(data.size(), 12u + 24u);
    // top, left, bottom, right of the first record.
    EXPECT_EQ(pirn::fixture::ReadU16(data, 12 + 16), 21);
    EXPECT_EQ(pirn::fixture::ReadU16(data, 12 + 18), 32707);
    EXPECT_EQ(pirn::fixture::ReadU16(data, 12 + 20), 61);
    EXPECT_EQ(pirn::fixture::ReadU16(data, 12 + 22), 32767);
}

TEST_F(DialogEditTest, ArrowsReorderingAndDeleteWorkFromTheList) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    editor->SelectControl(1);  // Quit (10, 80)-(110, 120)
    ASSERT_EQ(GetFocusWindow(), editor->List());
    const struct {
        int key;
        int modifier;
        DialogRect after;
        int mode;
    } steps[] = {
        {kKeyDown, kKeyLeftShift, Rect4(10, 80, 110, 121), pirn::kDialogModeResize},
        {kKeyUp, kKeyLeftShift, Rect4(10, 80, 110, 120), pirn::kDialogModeResize},
        {kKeyLeft, kKeyLeftShift, Rect4(10, 80, 109, 120), pirn::kDialogModeResize},
        {kKeyRight, kKeyLeftShift, Rect4(10, 80, 110, 120), pirn::kDialogModeResize},
        {kKeyRight, kKeyLeftControl, Rect4(11, 80, 111, 120), pirn::kDialogModeMove},
        {kKeyDown, kKeyLeftControl, Rect4(11, 81, 111, 121), pirn::kDialogModeMove},
        {kKeyLeft, kKeyLeftControl, Rect4(10, 81, 110, 121), pirn::kDialogModeMove},
        {kKeyUp, kKeyLeftControl, Rect4(10, 80, 110, 120), pirn::kDialogModeMove},
    };
    for (const auto& s : steps) {
        Key(s.key, {s.modifier});
        EXPECT_EQ(editor->Dialog().controls[1].rect, s.after);
        EXPECT_EQ(editor->Mode(), s.mode);
        EXPECT_EQ(editor->Selected(), 1);
    }
    EXPECT_TRUE(editor->IsModified());

    // Control+'=' moves the control down the list, Control+'-' up; it stays
    // selected and nothing happens at the ends.
    const struct {
        int key;
        std::vector<u16> ids;
        int selected;
    } orders[] = {{'=', {4, 2, 7, 9}, 2}, {'=', {4, 2, 9, 7}, 3}, {'=', {4, 2, 9, 7}, 3},
                  {'-', {4, 2, 7, 9}, 2}, {'-', {4, 7, 2, 9}, 1}, {'-', {7, 4, 2, 9}, 0},
                  {'-', {7, 4, 2, 9}, 0}};
    for (const auto& o : orders) {
        Key(o.key, {kKeyLeftControl});
        std::vector<u16> ids;
        for (const pirn::DialogControl& c : editor->Dialog().controls) ids.push_back(c.id);
        EXPECT_EQ(ids, o.ids);
        EXPECT_EQ(editor->Selected(), o.selected);
        EXPECT_EQ(editor->List()->GetSelectedItem()->text, "7 | Button | text:\"Quit\"");
    }

    // Delete removes the selected control and selects the one at its
    // place, or the one before at the end.
    editor->SelectControl(2);
    Key(kKeyDelete);
    ASSERT_EQ(editor->Dialog().controls.size(), 3u);
    EXPECT_EQ(editor->Selected(), 2);
    EXPECT_EQ(editor->Dialog().controls[2].id, 9);
    Key(kKeyDelete);
    EXPECT_EQ(editor->Selected(), 1);
    Key(kKeyDelete);
    Key(kKeyDelete);
    EXPECT_TRUE(editor->Dialog().controls.empty());
    EXPECT_EQ(editor->Selected(), -1);
    EXPECT_EQ(Rows(editor).size(), 11u);
    // Nothing left to remove: a beep.
    editor->List()->SelectItem(editor->List()->FirstRow(), false);
    const int beeps = Beeps();
    Key(kKeyDelete);
    EXPECT_EQ(Beeps(), beeps + 1);

    // The emptied dialog saves, and opens again.
    ASSERT_EQ(editor->SaveChanges(), 1);
    Bytes expected;
    expected.U16(3).U16(0).I16(0).I16(0).I16(300).I16(400);
    EXPECT_EQ(DataOnDisk("Menu"), expected.data);
    EXPECT_TRUE(editor->Close(1));
    IdleFrame();
    editor = Open(pirn::FindTag(kBina, pirn::MakeFourCC("menu")));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Dialog().controls.empty());
}

TEST_F(DialogEditTest, ControlAAddsAButtonUnderThePointerInsideTheDialogOnly) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    // Outside the dialog, or off the canvas: a beep and nothing else.
    for (const Point p : {At(editor, 405, 100), At(editor, -3, 100), Point{5, 5}}) {
        MoveTo(p.x, p.y);
        const int beeps = Beeps();
        Key('A', {kKeyLeftControl});
        EXPECT_EQ(Beeps(), beeps + 1);
        EXPECT_EQ(editor->Dialog().controls.size(), 4u);
    }

    // Inside: EditControlDialog for a 100 x 50 'butt' centred on the pointer
    // with the next id; Cancel adds nothing, OK appends and selects it.
    const Point p = At(editor, 250, 100);
    MoveTo(p.x, p.y);
    std::vector<std::string> shown;
    Then([&] {
        auto* box = dynamic_cast<EditControlDialog*>(GetTopModalWindow());
        ASSERT_NE(box, nullptr);
        shown = {box->GetTitle(), box->IdField()->GetText(), box->TagField()->GetText(),
                 box->TypeBox()->GetField()->GetText(), box->TextField()->GetText()};
        box->CloseWithButton(EditControlDialog::kCancelId);
    });
    Key('A', {kKeyLeftControl});
    EXPECT_EQ(shown, (std::vector<std::string>{"Edit Control Data", "10", "butt", "Button", ""}));
    EXPECT_EQ(editor->Dialog().controls.size(), 4u);
    EXPECT_FALSE(editor->IsModified());

    Then([] {
        auto* box = dynamic_cast<EditControlDialog*>(GetTopModalWindow());
        ASSERT_NE(box, nullptr);
        box->TextField()->SetText("Help");
        box->CloseWithButton(EditControlDialog::kOkId);
    });
    Key('A', {kKeyLeftControl});
    ASSERT_EQ(editor->Dialog().controls.size(), 5u);
    const pirn::DialogControl& added = editor->Dialog().controls[4];
    EXPECT_EQ(added.type, pirn::MakeFourCC("butt"));
    EXPECT_EQ(added.id, 10);
    EXPECT_EQ(added.rect, Rect4(200, 75, 300, 125));
    EXPECT_EQ(added.text, "Help");
    EXPECT_EQ(editor->Selected(), 4);
    EXPECT_EQ(editor->List()->GetSelectedItem()->text, "10 | Button | text:\"Help\"");
    EXPECT_TRUE(editor->IsModified());
}

TEST_F(DialogEditTest, EditControlDialogChangesIdTypeAndText) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    struct Case {
        const char* what;
        int control;
        std::string id, tag;
        int pick;  // a row of the Type list, or -1
        std::string text;
        bool accepted;
        u16 expectId;
        const char* expectType;
        std::string expectText;
    } cases[] = {
        {"picking a type writes its code", 0, "12", "", 33, "Score", true, 12, "stat", "Score"},
        {"typed codes may be unknown", 2, "2", "qq", -1, "Mystery", true, 2, "qq  ", "Mystery"},
        {"an id past 65535 is refused", 1, "65536", "butt", -1, "Quit", false, 7, "butt", "Quit"},
        {"a negative id is refused", 1, "-1", "butt", -1, "Quit", false, 7, "butt", "Quit"},
        {"an empty type is refused", 1, "7", "", -1, "Quit", false, 7, "butt", "Quit"},
        // The id field reads an empty text or a lone '-' as 0.
        {"an empty id is 0", 1, "", "butt", -1, "Quit", true, 0, "butt", "Quit"},
        {"a lone '-' is 0", 2, "-", "qq", -1, "Mystery", true, 0, "qq  ", "Mystery"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string shownTag;
        int refusedBeeps = -1;
        Then([&] {
            auto* box = dynamic_cast<EditControlDialog*>(GetTopModalWindow());
            ASSERT_NE(box, nullptr);
            shownTag = box->TagField()->GetText();
            box->IdField()->SetText(c.id);
            box->TagField()->SetText(c.tag);
            if (c.pick >= 0) {
                pirn::ListWindow* list = box->TypeBox()->GetList();
                list->SelectItem(list->ItemAtRow(c.pick), false);
                list->ToggleOrActivate(list->ItemAtRow(c.pick));
            }
            box->TextField()->SetText(c.text);
            const int beeps = Beeps();
            box->CloseWithButton(EditControlDialog::kOkId);
            if (box->IsVisible()) {
                refusedBeeps = Beeps() - beeps;
                box->CloseWithButton(EditControlDialog::kCancelId);
            }
        });
        editor->ActivateRow(c.control);
        EXPECT_EQ(refusedBeeps, c.accepted ? -1 : 1);
        const pirn::DialogControl& after = editor->Dialog().controls[c.control];
        EXPECT_EQ(after.id, c.expectId);
        EXPECT_EQ(pirn::ControlTagText(after.type), c.expectType);
        EXPECT_EQ(after.text, c.expectText);
    }
    EXPECT_EQ(Rows(editor)[13], "0 | Unknown(qq  ) | text:\"Mystery\"");

    // A double click on a control opens it too.
    bool opened = false;
    Then([&] {
        auto* box = dynamic_cast<EditControlDialog*>(GetTopModalWindow());
        ASSERT_NE(box, nullptr);
        opened = box->IdField()->GetText() == "9";
        box->CloseWithButton(EditControlDialog::kCancelId);
    });
    const Point p = At(editor, 300, 30);
    headless::AdvanceTime(1.0);
    MoveTo(p.x, p.y);
    Press();
    Release();
    Press();
    Release();
    EXPECT_TRUE(opened);
}

TEST_F(DialogEditTest, ThePromptsChangeVersionSizeAndPositionWithinTheFilesRange) {
    DialogEdit* editor = OpenMenu();
    ASSERT_NE(editor, nullptr);
    struct Case {
        i32 row;
        std::string answer;
        int button;
        const char* caption;
        const char* shown;
        u32 version;
        DialogRect rect;
        bool beeps;
    } cases[] = {
        {-2, "12", 0, "Dialog Version:", "3", 12, Rect4(0, 0, 400, 300), false},
        {-2, "65536", 0, "Dialog Version:", "12", 12, Rect4(0, 0, 400, 300), true},
        {-2, "7", 1, "Dialog Version:", "12", 12, Rect4(0, 0, 400, 300), false},
        {-3, "640,480", 0, "Dialog Size (W,H):", "400,300", 12, Rect4(0, 0, 640, 480), false},
        {-3, "-1,480", 0, "Dialog Size (W,H):", "640,480", 12, Rect4(0, 0, 640, 480), true},
        {-3, "wide", 0, "Dialog Size (W,H):", "640,480", 12, Rect4(0, 0, 640, 480), true},
        {-4, "80, 60", 0, "Dialog Position (X,Y):", "0,0", 12, Rect4(80, 60, 720, 540), false},
        {-4, "32500,0", 0, "Dialog Position (X,Y):", "80,60", 12, Rect4(80, 60, 720, 540), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        asked_.clear();
        const int beeps = Beeps();
        AnswerInput(c.button, c.answer);
        editor->ActivateRow(c.row);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, c.caption);
        EXPECT_EQ(asked_[0].text, c.shown);
        EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"OK", "Cancel"}));
        EXPECT_EQ(editor->Dialog().version, c.version);
        EXPECT_EQ(editor->Dialog().rect, c.rect);
        EXPECT_EQ(Beeps() - beeps, c.beeps ? 1 : 0);
    }
    const std::vector<std::string> rows = Rows(editor);
    EXPECT_EQ(rows[0], "Version: 12");
    EXPECT_EQ(rows[1], "Size: 640x480");
    EXPECT_EQ(rows[2], "Position: (80, 60)");
    EXPECT_EQ(editor->View()->GetScrollRangeX(), 672);
    // The dialog's corner stays at the margin wherever the dialog stands.
    const Point corner = editor->View()->DialogToClient(80, 60);
    EXPECT_EQ(corner.x, 16);
    EXPECT_EQ(corner.y, 16);
}

TEST_F(DialogEditTest, SavingWritesEveryFieldAndZeroesTheReservedBytes) {
    DialogEdit* editor = OpenMenu(DialogBytes(Menu(), 0xEE));
    ASSERT_NE(editor, nullptr);
    editor->SelectControl(3);
    Key(kKeyDown, {kKeyLeftShift});  // Slider's bottom to 41
    ASSERT_EQ(editor->SaveChanges(), 1);
    EXPECT_FALSE(editor->IsModified());
    FileDialog expected = Menu();
    expected.controls[3].bottom = 41;
    EXPECT_EQ(DataOnDisk("Menu"), DialogBytes(expected, 0));
}

TEST_F(DialogEditTest, ADialogFromAnArchiveIsSavedWithItsDataAfterTheHeader) {
    // The archive's copy starts far into the archive file; the local file
    // written from it must start its data right after its own header.
    codex_fixture::Tag tag{kBina, pirn::MakeFourCC("arch"), "Archived", DialogBytes(Menu(), 0)};
    ASSERT_NE(AddArchiveBytes("base", codex_fixture::ArchiveBytes(2, 0, "Base", {tag})), nullptr);
    pirn::SetDefaultWorkingSet();
    DialogEdit* editor = Open(pirn::FindTag(kBina, pirn::MakeFourCC("arch")));
    ASSERT_NE(editor, nullptr);
    editor->SelectControl(0);
    Key(kKeyRight, {kKeyLeftControl});
    ASSERT_EQ(editor->SaveChanges(), 1);
    const std::vector<u8> file = ReadAll(LocalFile("Dialogs", "Archived"));
    ASSERT_GE(file.size(), 64u);
    EXPECT_EQ(pirn::fixture::ReadU32(file, 44), 64u);  // data offset
    FileDialog expected = Menu();
    expected.controls[0].left = 11;
    expected.controls[0].right = 111;
    EXPECT_EQ(pirn::fixture::ReadU32(file, 48), DialogBytes(expected).size());
    EXPECT_EQ(std::vector<u8>(file.begin() + 64, file.end()), DialogBytes(expected));
}

TEST_F(DialogEditTest, DamagedDialogsAreNotOpened) {
    Bytes shortText;  // two controls, one text
    shortText.U16(1).U16(2).I16(0).I16(0).I16(10).I16(10);
    for (int i = 0; i < 2; ++i) shortText.Code("butt").U16(0).U16(u16(i)).Fill(8, 0).I16(0).I16(0).I16(5).I16(5);
    shortText.CString("one");
    Bytes shortRecords;  // a count of 3 with one record
    shortRecords.U16(1).U16(3).I16(0).I16(0).I16(10).I16(10).Code("butt").Fill(20, 0).CString("x");
    for (const std::vector<u8>& data : {shortText.data, shortRecords.data, std::vector<u8>(11, 0)}) {
        TagEntry* tag = WriteDialogTag("Broken", "brok", data);
        asked_.clear();
        Answer(0);
        EXPECT_EQ(Open(tag), nullptr);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].text, "The tag could not be loaded.");
    }
}

}  // namespace
}  // namespace pirn_test
