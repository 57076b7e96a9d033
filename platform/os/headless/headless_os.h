#pragma once
// Controls of the headless backend, for tests: a clock that only moves when
// told, scripted input delivered by the next OsPollEvents through the same
// relay the real window uses, a fixed screen, and records of everything the
// program asked of the platform (beeps, cursor shapes, title, icon...).

#include <string>
#include <vector>

#include "platform/os/cursor_id.h"
#include "platform/types.h"

namespace pirn {
namespace headless {

// Everything the program did to the platform since the last Reset.
struct HeadlessRecord {
    bool libraryRunning = false;
    bool windowOpen = false;
    int windowWidth = 0;
    int windowHeight = 0;
    std::string title;
    int fullscreen = 0;
    int vsync = 0;
    bool maximized = false;
    int swaps = 0;
    int polls = 0;          // outer OsPollEvents calls
    int nestedPolls = 0;    // calls made from inside a callback (ignored)
    int beeps = 0;
    int cursorId = 0;                        // last id given to OsSetCursor
    PointerShape cursorShape = PointerShape::Arrow;
    std::vector<PointerShape> cursorHistory;  // every OsSetCursor, in order
    int cursorShowCount = 0;
    bool cursorVisible = true;
    bool pointerLocked = false;
    int mouseX = 0;
    int mouseY = 0;
    std::vector<u8> icon;  // RGBA of the last OsSetWindowIcon
    int iconWidth = 0;
    int iconHeight = 0;
    bool closeRequested = false;
};

// Back to a fresh process: window closed, library stopped, clock at 0,
// records and queued input cleared, screen 1280 x 1024.
void Reset();
const HeadlessRecord& Record();

// Clock.
void SetTime(double seconds);
void AdvanceTime(double seconds);

// Screen: size of the fixed screen (the work area is the whole screen unless
// set apart).
void SetScreenSize(int width, int height);
void SetWorkArea(int x, int y, int width, int height);
// The next OsSetWindow fails (as when no display can be opened).
void FailNextWindow();

// Scripted input in the window library's terms (library key numbers,
// actions 0 release / 1 press / 2 repeat, code points, buttons, scroll
// offsets). Queued; delivered in order by the next OsPollEvents.
void PostKey(int libraryKey, int action);
void PostChar(unsigned codepoint);
void PostMouseButton(int button, int action);
void PostMouseMove(double x, double y);
void PostScroll(double xOffset, double yOffset);
void PostCloseRequest();
void PostRefresh();
// The window's drawable size changes (the size callback runs).
void PostResize(int width, int height);
size_t PendingInput();

}  // namespace headless
}  // namespace pirn
