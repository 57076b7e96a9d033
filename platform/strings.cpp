#include "platform/strings.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pirn {

std::string FormatString(const char* format, ...) {
    char buffer[kFormatStringLimit + 1];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return std::string();
    return std::string(buffer, static_cast<size_t>(n) < kFormatStringLimit ? static_cast<size_t>(n) : kFormatStringLimit);
}

int CompareNoCaseN(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::toupper(static_cast<unsigned char>(a[i]));
        const int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca - cb;
        if (ca == 0) return 0;
    }
    return 0;
}

bool ContainsText(const char* string, const char* text) { return std::strstr(string, text) != nullptr; }

std::string ToLowerCopy(const char* text, i32 length) {
    const size_t n = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    std::string out(text, n);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

size_t CopyStringBounded(char* destination, const char* source, size_t n) {
    const size_t length = std::strlen(source);
    if (n == 0) return length;
    const size_t copied = length < n - 1 ? length : n - 1;
    std::memcpy(destination, source, copied);
    destination[copied] = '\0';
    return length;
}

void* CopyToNewBlock(const void* bytes, size_t n) {
    void* block = std::malloc(n == 0 ? 1 : n);
    if (block && n) std::memcpy(block, bytes, n);
    return block;
}

}  // namespace pirn
