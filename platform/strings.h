#pragma once
// Small string helpers: bounded printf-style formatting, case-blind
// comparison, searching and copying.

#include <cstddef>
#include <string>

#include "platform/types.h"
#include "platform/printf_format.h"

namespace pirn {

// Longest text FormatString returns; longer output is cut.
constexpr size_t kFormatStringLimit = 4095;

// printf-style formatting into a string of at most kFormatStringLimit chars.
std::string FormatString(const char* format, ...) PIRN_PRINTF_FORMAT(1, 2);

// Compares at most n characters, both upper-cased, stopping after a NUL;
// returns the difference of the first unequal pair (0 when n is 0 or equal).
int CompareNoCaseN(const char* a, const char* b, size_t n);
// Whether text occurs anywhere in string.
bool ContainsText(const char* string, const char* text);
// A lower-cased copy of length characters (-1: up to the NUL).
std::string ToLowerCopy(const char* text, i32 length = -1);
// Copies at most n - 1 characters and a NUL (nothing when n is 0); returns
// the full length of source, so a result >= n means the text was cut.
size_t CopyStringBounded(char* destination, const char* source, size_t n);
// A new heap block (release with std::free) holding a copy of n bytes; a
// block of at least one byte even for n = 0, so null means failure only.
void* CopyToNewBlock(const void* bytes, size_t n);
// Frees the heap block a pointer holds, if any, and sets the pointer null.
template <typename T>
void FreeAndNull(T*& pointer);

}  // namespace pirn

#include <cstdlib>

template <typename T>
void pirn::FreeAndNull(T*& pointer) {
    std::free(const_cast<void*>(static_cast<const void*>(pointer)));
    pointer = nullptr;
}
