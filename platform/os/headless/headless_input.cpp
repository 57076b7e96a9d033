#include "platform/os/core/cursor_show_count.h"
#include "platform/os/cursor_id.h"
#include "platform/os/headless/headless_state.h"
#include "platform/os/os_input.h"

namespace pirn {
namespace {
using headless_state::Rec;
}  // namespace

void OsSetMousePos(int x, int y) {
    // Like the real backend, a warp is not reported back as motion.
    Rec().mouseX = x;
    Rec().mouseY = y;
}

void OsGetMousePos(int* x, int* y) {
    if (x) *x = Rec().mouseX;
    if (y) *y = Rec().mouseY;
}

int OsShowCursor(int show) {
    int count = os_cursor::AdjustCursorShowCount(show);
    Rec().cursorShowCount = count;
    Rec().cursorVisible = os_cursor::CursorShowCountVisible();
    return count;
}

void OsSetCursor(int id) {
    headless::HeadlessRecord& rec = Rec();
    rec.cursorId = id;
    rec.cursorShape = PointerShapeForId(id);
    rec.cursorHistory.push_back(rec.cursorShape);
}

void OsSetPointerLock(int on) { Rec().pointerLocked = on != 0; }

}  // namespace pirn
