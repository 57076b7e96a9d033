// Destruction, deferred deletion and drags: nothing freed twice, nothing
// left pointing at a window that went away.

#include "tests/ui/window_system_fixture.h"

namespace pirn_test {
namespace {

using LifecycleTest = WindowSystemTest;

ProbeWindow* MakeWindow(const Rect& frame, Window* parent = nullptr, const char* name = nullptr) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kTakesFocus, parent, name);
    SetFrame(w, frame);
    return w;
}

// What a handler does that closes its own window and then shows a message
// box (a nested frame that runs the deferred deletes): the window must stay
// alive until the handler returns.
void CloseSelfAndRunFrames(ProbeWindow* self) {
    DestroyWindow(self);
    StepFrame();
    StepFrame();
    self->moves = 99;  // still ours
}

struct CountedPayload : Window::DragDropData {
    explicit CountedPayload(int* deleted) : DragDropData(42), deleted_(deleted) {}
    ~CountedPayload() override { ++*deleted_; }
    int* deleted_;
};

TEST_F(LifecycleTest, DeferredDeletionIsNewestFirstAndNeverTwice) {
    std::vector<std::string> log;
    auto* parent = MakeWindow(Rect{0, 0, 300, 300}, nullptr, "parent");
    auto* child = MakeWindow(Rect{0, 0, 50, 50}, parent, "child");
    auto* other = MakeWindow(Rect{400, 0, 500, 100}, nullptr, "other");
    for (ProbeWindow* w : {parent, child, other}) w->deletionLog = &log;
    DestroyWindow(child);
    DestroyWindow(other);
    DestroyWindow(parent);
    DestroyWindow(parent);  // already queued: not again
    EXPECT_EQ(GetDeletionState().deferredDeletes.size(), 3u);
    ProcessDeferredDeletes();
    // The parent goes first (newest) and takes its queued child with it.
    EXPECT_EQ(log, (std::vector<std::string>{"parent", "child", "other"}));
    EXPECT_TRUE(GetDeletionState().deferredDeletes.empty());
}

TEST_F(LifecycleTest, DestructionClearsEveryReference) {
    auto* bar = new ProbeWindow(Window::kVisible | Window::kPopup, nullptr, "bar");
    SetFrame(bar, Rect{0, 0, 800, 20});
    SetMenuBar(bar);
    ASSERT_EQ(GetLayerWindow(0)->GetClientOrigin().y, 20);
    auto* dialog = MakeWindow(Rect{100, 100, 300, 300}, nullptr, "dialog");
    auto* inner = MakeWindow(Rect{10, 10, 60, 60}, dialog, "inner");
    ActivateWindow(inner, kFocusByProgram);
    MoveTo(120, 140);
    ASSERT_EQ(GetHoverWindow(), inner);
    BeginModal(dialog, kModalDimBehind);
    RenderFrame();
    ASSERT_EQ(GetFrameState().dimBelowWindow, dialog);
    int payloadDeleted = 0;
    ASSERT_TRUE(StartDragDrop(inner, new CountedPayload(&payloadDeleted), ForwardMouseDrag));
    delete bar;
    EXPECT_EQ(GetScreenLayers().menuBar, nullptr);
    delete dialog;
    EXPECT_NE(GetFocusState().focusWindow, inner);
    EXPECT_NE(GetFocusState().hoverWindow, inner);
    EXPECT_EQ(GetFrameState().dimBelowWindow, nullptr);
    EXPECT_FALSE(IsDragRunning());
    EXPECT_EQ(payloadDeleted, 1);
    EXPECT_EQ(GetModalState().modalStack.size(), 1u);
    EXPECT_TRUE(GetModalState().filters.empty());
    // The input that follows lands somewhere alive.
    Click(150, 150);
    StepFrame();
}

// Closing the front window hands the focus to the one behind it only when
// the focus was in the window that went: a box asking "Save?" while a
// window closed behind it keeps the keyboard.
TEST_F(LifecycleTest, ClosingTheFrontWindowPassesOnlyItsOwnFocus) {
    auto* back = MakeWindow(Rect{0, 0, 300, 300}, nullptr, "back");
    auto* front = MakeWindow(Rect{50, 50, 300, 300}, nullptr, "front");
    auto* button = MakeWindow(Rect{10, 10, 60, 30}, front, "button");
    ActivateWindow(button, kFocusByProgram);
    DestroyWindow(front);
    ProcessDeferredDeletes();
    EXPECT_EQ(GetFocusWindow(), back);

    auto* box = MakeWindow(Rect{100, 100, 200, 200}, nullptr, "box");
    auto* save = MakeWindow(Rect{10, 10, 60, 30}, box, "save");
    auto* log = MakeWindow(Rect{0, 0, 100, 100}, nullptr, "log");
    ActivateWindow(save, kFocusByProgram);
    ASSERT_EQ(GetLayerWindow(0)->GetFirstChild(), log);
    DestroyWindow(log);
    ProcessDeferredDeletes();
    EXPECT_EQ(GetFocusWindow(), save);
}

TEST_F(LifecycleTest, DestroyingTheModalWindowEndsItsRun) {
    auto* dialog = MakeWindow(Rect{100, 100, 300, 300});
    static ProbeWindow* s_dialog;
    s_dialog = dialog;
    SetIdleHook([]() -> int {
        if (frames_ == 2) delete s_dialog;  // as a shutdown path would
        return IdleFrame();
    });
    EXPECT_EQ(RunModal(dialog, kModalDimBehind, nullptr), 0);
    EXPECT_LT(frames_, 10);
    EXPECT_TRUE(TopFilterIsDefault());
}

TEST_F(LifecycleTest, AHandlerThatDestroysItsWindowAndRunsFramesKeepsItAlive) {
    int destroyed = 0;
    auto* w = MakeWindow(Rect{0, 0, 200, 200});
    w->destroyedCount = &destroyed;
    w->onButton = [](ProbeWindow* self, InputEvent& e) {
        if (e.ButtonAction()) CloseSelfAndRunFrames(self);
    };
    MoveTo(50, 50);
    Press();
    EXPECT_EQ(destroyed, 1);  // deleted right after its handler returned
}

TEST_F(LifecycleTest, DragHandlersThatCloseTheirWindowAndRunFramesKeepItAlive) {
    // A button released at the end of its tracking closes its dialog and
    // shows a message box; a drop target closes itself the same way.
    int sourceGone = 0, targetGone = 0, deleted = 0;
    auto* source = MakeWindow(Rect{0, 0, 100, 100});
    source->destroyedCount = &sourceGone;
    auto* target = MakeWindow(Rect{200, 0, 300, 100});
    target->destroyedCount = &targetGone;
    target->acceptDrops = 1;
    auto closeAndRunFrames = [](ProbeWindow* self, int phase) {
        if (phase == 2 || phase == 3) CloseSelfAndRunFrames(self);
    };
    source->onDrag = closeAndRunFrames;
    target->onDrag = closeAndRunFrames;
    MoveTo(50, 50);
    ASSERT_TRUE(StartDragDrop(target, new CountedPayload(&deleted), ForwardMouseDrag));
    MoveTo(250, 50);
    Release();  // dropped onto itself: the drop, then the end of the drag
    EXPECT_EQ(targetGone, 1);
    EXPECT_EQ(deleted, 1);
    MoveTo(50, 50);
    ASSERT_TRUE(StartDrag(source, ForwardMouseDrag));
    Release();
    EXPECT_EQ(sourceGone, 1);
    EXPECT_TRUE(TopFilterIsDefault());
}

TEST_F(LifecycleTest, AFocusHandlerThatClosesItsWindowAndRunsFramesKeepsItAlive) {
    // A field that checks its value when it loses the focus closes its
    // window and shows a message box.
    int gone = 0;
    auto* field = MakeWindow(Rect{0, 0, 100, 100});
    field->destroyedCount = &gone;
    auto* other = MakeWindow(Rect{200, 0, 300, 100});
    ActivateWindow(field, kFocusByProgram);
    field->onFocusLost = [](ProbeWindow* self) {
        self->onFocusLost = nullptr;
        CloseSelfAndRunFrames(self);
    };
    Click(250, 50);
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(GetFocusWindow(), other);

    // The same from a handler of the pointer leaving (a toggle button that
    // reports its state when the pointer leaves it while held).
    other->destroyedCount = &gone;
    other->onMouseLeave = [](ProbeWindow* self) {
        self->onMouseLeave = nullptr;
        CloseSelfAndRunFrames(self);
    };
    MoveTo(500, 500);
    EXPECT_EQ(gone, 2);
}

TEST_F(LifecycleTest, ADestroyedWindowIsNotAskedToCloseAgain) {
    auto* a = MakeWindow(Rect{0, 0, 100, 100});
    auto* b = MakeWindow(Rect{0, 0, 100, 100});
    EXPECT_TRUE(a->Close(1));
    EXPECT_TRUE(a->Close(1));
    EXPECT_EQ(a->closeRequests, 1);
    b->allowClose = false;
    EXPECT_EQ(CloseAllWindows(), 0);
    EXPECT_EQ(b->closeRequests, 1);
    b->allowClose = true;
    EXPECT_EQ(CloseAllWindows(), 1);
    EXPECT_EQ(GetLayerWindow(0)->GetChildCount(), 0);
}

TEST_F(LifecycleTest, CloseAllSurvivesAWindowThatClosesTheNextOneInANestedFrame) {
    // Asked to close, the front window closes a window behind it and runs a
    // frame (a "Save?" box), which deletes that window before the walk gets
    // there.
    int toolGone = 0;
    auto* tool = MakeWindow(Rect{0, 0, 50, 50}, nullptr, "tool");
    tool->destroyedCount = &toolGone;
    auto* editor = MakeWindow(Rect{0, 0, 100, 100}, nullptr, "editor");
    editor->SetUserData(tool);
    editor->onCloseRequest = [](ProbeWindow* self) {
        DestroyWindow(static_cast<Window*>(self->GetUserData()));
        CloseSelfAndRunFrames(self);  // itself too, before answering
    };
    int editorGone = 0;
    editor->destroyedCount = &editorGone;
    EXPECT_EQ(CloseAllWindows(), 1);
    EXPECT_EQ(toolGone, 1);
    EXPECT_EQ(editorGone, 1);
    EXPECT_EQ(GetLayerWindow(0)->GetChildCount(), 0);
}

// An editor's nested form: a hidden parentless window (with a child, as
// forms have) owned by a window inside the editor.
struct OwnedForm {
    ProbeWindow* editor = nullptr;
    ProbeWindow* owner = nullptr;
    ProbeWindow* form = nullptr;
};

OwnedForm MakeOwnedForm(int* formsGone) {
    OwnedForm f;
    f.editor = MakeWindow(Rect{0, 0, 200, 200}, nullptr, "editor");
    f.owner = MakeWindow(Rect{0, 0, 100, 100}, f.editor, "owner");
    f.form = new ProbeWindow(Window::kCloseBox, nullptr, "form");
    f.form->allowClose = false;  // as a nested form: closing only ends its run
    new ProbeWindow(Window::kVisible, f.form, "field");
    f.form->SetOwner(f.owner);
    f.form->destroyedCount = formsGone;
    return f;
}

TEST_F(LifecycleTest, OwnedWindowsGoWithTheirOwnerWhateverDestroysIt) {
    struct Path {
        const char* name;
        void (*destroy)(OwnedForm&);
    } paths[] = {
        {"the owner destroyed",
         [](OwnedForm& f) {
             DestroyWindow(f.owner);
             EXPECT_TRUE(f.form->IsDestroyed());
             DestroyWindow(f.editor);
         }},
        {"the window holding the owner closed", [](OwnedForm& f) { f.editor->Close(1); }},
        {"the window holding the owner destroyed", [](OwnedForm& f) { DestroyWindow(f.editor); }},
        {"the children of the window holding the owner destroyed",
         [](OwnedForm& f) {
             f.editor->DestroyChildren();
             EXPECT_TRUE(f.form->IsDestroyed());
             DestroyWindow(f.editor);
         }},
        {"the window holding the owner deleted", [](OwnedForm& f) { delete f.editor; }},
        {"every window closed", [](OwnedForm&) { EXPECT_EQ(CloseAllWindows(), 1); }},
        {"an owner of the owner destroyed",
         [](OwnedForm& f) {
             auto* outer = MakeWindow(Rect{300, 0, 400, 100}, nullptr, "outer");
             f.editor->SetOwner(outer);
             DestroyWindow(outer);
         }},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        const int before = GetLayerWindow(0)->GetChildCount();
        int formsGone = 0;
        OwnedForm f = MakeOwnedForm(&formsGone);
        path.destroy(f);
        ProcessDeferredDeletes();
        EXPECT_EQ(formsGone, 1);
        EXPECT_EQ(GetLayerWindow(0)->GetChildCount(), before);
        EXPECT_TRUE(GetDeletionState().deferredDeletes.empty());
        if (GetLayerWindow(0)->GetChildCount() != before) break;
    }
}

TEST_F(LifecycleTest, AnOwnedWindowIsDestroyedAtOnceAndAnOwnerForgetsWhatWentFirst) {
    int formsGone = 0;
    OwnedForm f = MakeOwnedForm(&formsGone);
    DestroyWindow(f.editor);
    // Gone from the tree's point of view in the same frame, not a frame later.
    EXPECT_TRUE(f.form->IsDestroyed());
    ProcessDeferredDeletes();

    OwnedForm g = MakeOwnedForm(&formsGone);
    DestroyWindow(g.form);
    ProcessDeferredDeletes();
    EXPECT_EQ(formsGone, 2);
    EXPECT_TRUE(g.owner->GetOwnedWindows().empty());
    DestroyWindow(g.editor);
    ProcessDeferredDeletes();
    EXPECT_EQ(formsGone, 2);

    // No loops: a window never ends up owning itself.
    auto* a = MakeWindow(Rect{0, 0, 10, 10});
    auto* b = MakeWindow(Rect{0, 0, 10, 10});
    b->SetOwner(a);
    a->SetOwner(b);
    EXPECT_EQ(a->GetOwner(), nullptr);
    a->SetOwner(a);
    EXPECT_EQ(a->GetOwner(), nullptr);
    b->SetOwner(nullptr);
    EXPECT_TRUE(a->GetOwnedWindows().empty());
}

TEST_F(LifecycleTest, HiddenWindowsNeitherBlockNorAreAskedWhenAllWindowsClose) {
    int formsGone = 0;
    auto* helper = new ProbeWindow(Window::kCloseBox, nullptr, "helper");
    helper->allowClose = false;
    helper->destroyedCount = &formsGone;
    OwnedForm f = MakeOwnedForm(&formsGone);
    static int formAsked;  // the form is gone when it is counted
    formAsked = 0;
    f.form->onCloseRequest = [](ProbeWindow*) { ++formAsked; };
    EXPECT_EQ(CloseAllWindows(), 1);
    EXPECT_EQ(helper->closeRequests, 0);
    EXPECT_EQ(formAsked, 0);
    EXPECT_EQ(formsGone, 1);  // the owned form went with its editor, the helper stays
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), helper);
    // Shown, it is asked like any other.
    helper->SetVisible(true);
    EXPECT_EQ(CloseAllWindows(), 0);
    EXPECT_EQ(helper->closeRequests, 1);
    helper->destroyedCount = nullptr;
}

TEST_F(LifecycleTest, DropsGoOnlyToLiveWindowsAndPayloadsAreFreed) {
    auto* source = MakeWindow(Rect{0, 0, 100, 100});
    auto* target = MakeWindow(Rect{200, 0, 300, 100});
    target->acceptDrops = 1;
    int deleted = 0;
    MoveTo(50, 50);
    ASSERT_TRUE(StartDragDrop(source, new CountedPayload(&deleted), ForwardMouseDrag));
    EXPECT_FALSE(StartDrag(source, nullptr));  // one at a time
    MoveTo(250, 50);
    EXPECT_EQ(target->dragAsks, 1);
    Release();
    EXPECT_EQ(target->drops, 1);
    EXPECT_EQ(deleted, 1);

    MoveTo(50, 50);
    ASSERT_TRUE(StartDragDrop(source, new CountedPayload(&deleted), ForwardMouseDrag));
    MoveTo(250, 50);
    int drops = 0;
    target->dropCount = &drops;
    DestroyWindow(target);  // queued, not yet deleted
    Release();
    EXPECT_EQ(drops, 0);  // no drop into a window on its way out
    EXPECT_EQ(deleted, 2);

    // Refused payloads are freed without a drop call.
    auto* refuser = MakeWindow(Rect{400, 0, 500, 100});
    MoveTo(50, 50);
    ASSERT_TRUE(StartDragDrop(source, new CountedPayload(&deleted), ForwardMouseDrag));
    MoveTo(450, 50);
    Release();
    EXPECT_EQ(refuser->drops, 0);
    EXPECT_EQ(deleted, 3);
    EXPECT_TRUE(TopFilterIsDefault());
    EXPECT_EQ(RequestQuit(), 1);
}

}  // namespace
}  // namespace pirn_test
