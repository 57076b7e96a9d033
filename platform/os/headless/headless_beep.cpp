#include "platform/os/headless/headless_state.h"
#include "platform/os/os_beep.h"

namespace pirn {
namespace {
using headless_state::Rec;
}  // namespace

void OsBeep() { ++Rec().beeps; }

}  // namespace pirn
