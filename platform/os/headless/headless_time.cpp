#include "platform/os/headless/headless_state.h"
#include "platform/os/os_time.h"

namespace pirn {
namespace {
using headless_state::State;
}  // namespace

double OsGetTime() { return State().time; }

void OsSleep(double seconds) {
    if (seconds > 0.0) State().time += seconds;
}

}  // namespace pirn
