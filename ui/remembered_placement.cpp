#include "ui/remembered_placement.h"

#include "ui/frame_step.h"

#include <cerrno>
#include <cstdlib>

#include "platform/pref_store.h"
#include "platform/strings.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// One decimal integer at *p that fits 32 bits; *p moves past it.
bool ReadInteger(const char** p, i32* value) {
    while (**p == ' ' || **p == '\t') ++*p;
    const char* start = *p;
    if (*start != '-' && *start != '+' && (*start < '0' || *start > '9')) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(start, &end, 10);
    if (end == start || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    *value = static_cast<i32>(v);
    *p = end;
    return true;
}

}  // namespace

std::string FormatWindowPlacement(const Window::Placement& placement) {
    const Rect& f = placement.frame;
    return FormatString("%d %d %d %d %d", placement.state, f.left, f.top, f.right, f.bottom);
}

bool ParseWindowPlacement(const std::string& text, Window::Placement* placement) {
    i32 values[5] = {};
    const char* p = text.c_str();
    for (i32& v : values)
        if (!ReadInteger(&p, &v)) return false;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != '\0') return false;
    placement->state = values[0];
    placement->frame = Rect{values[1], values[2], values[3], values[4]};
    return true;
}

Rect KeepFrameOnScreen(const Rect& frame, Point screen) {
    Rect r = frame;
    const i32 overRight = r.right - screen.x;
    const i32 overBottom = r.bottom - screen.y;
    if (overRight > 0) r = OffsetRect(r, -overRight, 0);
    if (overBottom > 0) r = OffsetRect(r, 0, -overBottom);
    if (r.left < 0) r = OffsetRect(r, -r.left, 0);
    if (r.top < 0) r = OffsetRect(r, 0, -r.top);
    return r;
}

void SaveWindowPlacement(const Window* window, const std::string& key) {
    if (!window) return;
    SetPrefString(key, FormatWindowPlacement(window->GetPlacement()));
}

int RestoreWindowPlacement(Window* window, const std::string& key, bool keepOnScreen) {
    std::string text;
    Window::Placement placement;
    if (!window || !GetPrefString(key, &text) || !ParseWindowPlacement(text, &placement)) return 0;
    if (keepOnScreen) {
        placement.frame = KeepFrameOnScreen(placement.frame, GetScreenSize());
    }
    window->SetPlacement(placement);
    return 1;
}

}  // namespace pirn
