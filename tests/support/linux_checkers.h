#pragma once
// Outside checkers (ffmpeg, sox, python3 with Pillow, pngcheck, tiffinfo,
// assimp) read what we write as a second opinion. They are Linux programs:
// a Windows build cannot start them, so there a test makes its own checks
// and then skips the outside ones, saying why.

#include <gtest/gtest.h>

#ifdef _WIN32
#define PIRN_SKIP_LINUX_CHECKERS(tools) GTEST_SKIP() << tools << ": Linux programs, not run by the Windows builds"
#else
#define PIRN_SKIP_LINUX_CHECKERS(tools) static_cast<void>(0)
#endif
