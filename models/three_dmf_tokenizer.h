#pragma once
// Splitting QuickDraw 3D metafile text into whitespace-separated tokens with
// their line and column. The metafile grammar itself is not parsed: the
// parser scans the tokens for the few objects it reads.

#include <vector>

#include "platform/types.h"

namespace pirn {

struct Token3dmf {
    const char* text = nullptr;  // NUL-terminated in place inside the buffer
    u32 length = 0;
    u32 column = 0;              // 0-based, from the start of its line
    u32 line = 0;                // 1-based
};

// Splits the NUL-terminated text in `buffer` (whitespace becomes NUL). Each
// CR and each LF ends a line, so CR LF counts as two; a line whose first
// non-blank character is '#' is a comment. Always succeeds.
void Tokenize3dmf(char* buffer, std::vector<Token3dmf>& tokens);

}  // namespace pirn
