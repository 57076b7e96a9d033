#include "platform/natural_compare.h"

#include <cstring>

#include "platform/types.h"

namespace pirn {

namespace {

// The next token of a text: a digit run is 256 + its value, anything else
// the character with A-Z lowered, as a signed byte (so 128-255 sort before
// ASCII). The value is kept in 32 bits and wraps on digit runs past
// 4294967295, alike in the 32-bit and the 64-bit program, so that both
// order the same names the same way.
i64 NextToken(const char*& p) {
    if (*p >= '0' && *p <= '9') {
        u32 value = 0;
        while (*p >= '0' && *p <= '9') value = value * 10u + static_cast<u32>(*p++ - '0');
        return 256 + static_cast<i64>(value);
    }
    char c = *p++;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return static_cast<signed char>(c);
}

}  // namespace

int NaturalCompareLoose(const char* a, const char* b) {
    if (a == b) return 0;
    if (!a) return -1;
    if (!b) return 1;
    while (*a && *b) {
        const i64 ta = NextToken(a);
        const i64 tb = NextToken(b);
        if (ta < tb) return -1;
        if (ta != tb) return 1;
    }
    if (!*a) return *b ? -1 : 0;
    return 1;
}

int NaturalCompare(const char* a, const char* b) {
    const int loose = NaturalCompareLoose(a, b);
    if (loose != 0 || !a || !b) return loose;
    const int bytes = std::strcmp(a, b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

}  // namespace pirn
