#include <utility>

#include "platform/os/core/cursor_show_count.h"
#include "platform/os/core/input_relay.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/headless/headless_state.h"

namespace pirn {
namespace headless_state {

HeadlessState& State() {
    static HeadlessState state;
    return state;
}

}  // namespace headless_state

namespace {
using headless_state::Rec;
using headless_state::State;

void Post(std::function<void()> event) { State().input.push_back(std::move(event)); }
}  // namespace

namespace headless {

void Reset() {
    State() = headless_state::HeadlessState();
    os_relay::ResetInputRelay();
    os_cursor::ResetCursorShowCount();
}

const HeadlessRecord& Record() { return Rec(); }

void SetTime(double seconds) { State().time = seconds; }
void AdvanceTime(double seconds) { State().time += seconds; }

void SetScreenSize(int width, int height) {
    headless_state::ScreenState& screen = State().screen;
    screen.width = width;
    screen.height = height;
    screen.workX = 0;
    screen.workY = 0;
    screen.workWidth = width;
    screen.workHeight = height;
}

void SetWorkArea(int x, int y, int width, int height) {
    headless_state::ScreenState& screen = State().screen;
    screen.workX = x;
    screen.workY = y;
    screen.workWidth = width;
    screen.workHeight = height;
}

void FailNextWindow() { State().failNextWindow = true; }

void PostKey(int libraryKey, int action) {
    Post([=] { os_relay::RelayLibraryKey(libraryKey, action); });
}

void PostChar(unsigned codepoint) {
    Post([=] { os_relay::RelayLibraryChar(codepoint); });
}

void PostMouseButton(int button, int action) {
    Post([=] { os_relay::RelayLibraryButton(button, action); });
}

void PostMouseMove(double x, double y) {
    Post([=] {
        Rec().mouseX = static_cast<int>(x);
        Rec().mouseY = static_cast<int>(y);
        os_relay::RelayLibraryCursorPos(x, y);
    });
}

void PostScroll(double xOffset, double yOffset) {
    Post([=] { os_relay::RelayLibraryScroll(xOffset, yOffset); });
}

void PostCloseRequest() {
    Post([] { Rec().closeRequested = os_relay::RelayLibraryCloseRequest(); });
}

void PostRefresh() {
    Post([] { os_relay::RelayLibraryRefresh(); });
}

void PostResize(int width, int height) {
    Post([=] {
        Rec().windowWidth = width;
        Rec().windowHeight = height;
        os_relay::RelayLibraryFramebufferSize(width, height);
    });
}

size_t PendingInput() { return State().input.size(); }

}  // namespace headless

}  // namespace pirn
