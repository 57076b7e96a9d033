#include "platform/os/core/input_relay.h"

#include <cmath>

#include "platform/os/key_codes.h"
#include "platform/os/key_translation.h"
#include "platform/os/library_keys.h"
#include "platform/os/os_input.h"

namespace pirn {
namespace {

struct RelaySlots {
    OsKeyHandler key = nullptr;
    OsMouseButtonHandler mouseButton = nullptr;
    OsCharCallback character = nullptr;
    OsMousePosCallback mousePos = nullptr;
    OsMouseWheelCallback wheel = nullptr;
    OsMouseWheelCallback horizontalWheel = nullptr;
    OsWindowCloseCallback close = nullptr;
    OsWindowRefreshCallback refresh = nullptr;
    OsWindowSizeCallback size = nullptr;
};

// Scroll offsets can be fractional (smooth scrolling); they are summed
// exactly and the integer position is what the program sees.
struct WheelAccumulator {
    double sum = 0.0;
    int position = 0;

    // Returns true when the integer position changed.
    bool Add(double offset) {
        sum += offset;
        int rounded = static_cast<int>(std::lround(sum));
        if (rounded == position) return false;
        position = rounded;
        return true;
    }
};

RelaySlots g_slots;
WheelAccumulator g_wheel;
WheelAccumulator g_horizontalWheel;

}  // namespace

void OsSetKeyHandler(OsKeyHandler handler) { g_slots.key = handler; }
void OsSetMouseButtonHandler(OsMouseButtonHandler handler) { g_slots.mouseButton = handler; }
void OsSetCharCallback(OsCharCallback callback) { g_slots.character = callback; }
void OsSetMousePosCallback(OsMousePosCallback callback) { g_slots.mousePos = callback; }
void OsSetMouseWheelCallback(OsMouseWheelCallback callback) { g_slots.wheel = callback; }
void OsSetMouseHWheelCallback(OsMouseWheelCallback callback) { g_slots.horizontalWheel = callback; }
void OsSetWindowCloseCallback(OsWindowCloseCallback callback) { g_slots.close = callback; }
void OsSetWindowRefreshCallback(OsWindowRefreshCallback callback) { g_slots.refresh = callback; }
void OsSetWindowSizeCallback(OsWindowSizeCallback callback) { g_slots.size = callback; }

namespace os_relay {

void ResetInputRelay() {
    g_slots = RelaySlots();
    g_wheel = WheelAccumulator();
    g_horizontalWheel = WheelAccumulator();
}

void RelayLibraryKey(int libraryKey, int action) {
    if (!g_slots.key || libraryKey < 0) return;
    int programAction;
    switch (action) {
        case library_key::kActionRelease: programAction = kOsRelease; break;
        case library_key::kActionPress:
        case library_key::kActionRepeat: programAction = kOsPress; break;
        default: return;
    }
    int code = OsTranslateKey(libraryKey);
    if (code == kKeyNone) return;
    g_slots.key(code, programAction);
}

void RelayLibraryChar(unsigned codepoint) {
    if (!g_slots.character || codepoint == 0 || codepoint > 0x10FFFF) return;
    g_slots.character(static_cast<int>(codepoint), kOsPress);
}

void RelayLibraryButton(int button, int action) {
    if (!g_slots.mouseButton || button < 0 || button > 2) return;
    if (action != kOsRelease && action != kOsPress) return;
    g_slots.mouseButton(button, action);
}

void RelayLibraryCursorPos(double x, double y) {
    if (!g_slots.mousePos) return;
    g_slots.mousePos(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

void RelayLibraryScroll(double xOffset, double yOffset) {
    // Positions move even with no callback installed, as a physical wheel
    // position would.
    if (yOffset != 0.0 && g_wheel.Add(yOffset) && g_slots.wheel) g_slots.wheel(g_wheel.position);
    if (xOffset != 0.0 && g_horizontalWheel.Add(xOffset) && g_slots.horizontalWheel)
        g_slots.horizontalWheel(g_horizontalWheel.position);
}

bool RelayLibraryCloseRequest() {
    if (!g_slots.close) return true;
    return g_slots.close() != 0;
}

void RelayLibraryRefresh() {
    if (g_slots.refresh) g_slots.refresh();
}

void RelayLibraryFramebufferSize(int width, int height) {
    if (g_slots.size) g_slots.size(width, height);
}

int WheelPosition() { return g_wheel.position; }
int HorizontalWheelPosition() { return g_horizontalWheel.position; }

}  // namespace os_relay
}  // namespace pirn
