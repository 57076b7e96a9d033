#pragma once
// Marks a function that takes a printf format, so the compiler checks its
// callers. MinGW's compiler takes plain "printf" for the old Windows
// library's dialect, which lacks %zu and %lld; the program uses the C99 one.

#if defined(__MINGW32__)
#define PIRN_PRINTF_FORMAT(format_index, first_argument) \
    __attribute__((format(gnu_printf, format_index, first_argument)))
#else
#define PIRN_PRINTF_FORMAT(format_index, first_argument) \
    __attribute__((format(printf, format_index, first_argument)))
#endif
