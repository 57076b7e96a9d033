#pragma once
// Internal to the headless backend: the state all its files share.

#include <deque>
#include <functional>

#include "platform/os/headless/headless_os.h"

namespace pirn {
namespace headless_state {

struct ScreenState {
    int width = 1280;
    int height = 1024;
    int workX = 0, workY = 0, workWidth = 1280, workHeight = 1024;
};

struct HeadlessState {
    headless::HeadlessRecord record;
    ScreenState screen;
    double time = 0.0;
    bool failNextWindow = false;
    std::deque<std::function<void()>> input;  // scripted library events
};

HeadlessState& State();
inline headless::HeadlessRecord& Rec() { return State().record; }

}  // namespace headless_state
}  // namespace pirn
