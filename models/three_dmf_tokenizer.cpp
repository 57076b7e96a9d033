#include "models/three_dmf_tokenizer.h"

namespace pirn {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void Tokenize3dmf(char* buffer, std::vector<Token3dmf>& tokens) {
    char* p = buffer;
    const char* line_start = buffer;
    u32 line = 1;
    bool at_line_start = true;
    // Blanks become NUL so that every token ends in place; a line end also
    // moves the line counter and the column origin.
    auto skip_blanks = [&]() {
        while (*p && IsBlank(*p)) {
            const bool ends_line = IsLineEnd(*p);
            *p++ = 0;
            if (ends_line) {
                ++line;
                line_start = p;
                at_line_start = true;
            }
        }
    };
    while (true) {
        skip_blanks();
        if (!*p) return;
        if (at_line_start && *p == '#') {
            while (*p && !IsLineEnd(*p)) ++p;
            continue;
        }
        at_line_start = false;
        Token3dmf token;
        token.text = p;
        token.column = static_cast<u32>(p - line_start);
        token.line = line;
        while (*p && !IsBlank(*p)) ++p;
        token.length = static_cast<u32>(p - token.text);
        tokens.push_back(token);
    }
}

}  // namespace pirn
