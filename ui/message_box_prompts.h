#pragma once
// The user prompts of the running program: modal message boxes.

#include "platform/user_prompts.h"

namespace pirn {

UserPrompts& MessageBoxPrompts();

}  // namespace pirn
