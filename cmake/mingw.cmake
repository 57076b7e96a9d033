# Shared part of the Windows cross toolchains (mingw64.cmake, mingw32.cmake):
# Debian's MinGW-w64 with POSIX threads, everything linked statically so the
# program is one .exe with no DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PIRN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIRN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PIRN_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${PIRN_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${PIRN_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Libraries and headers come from the MinGW sysroot and the prefixes that
# scripts/win-deps builds; programs (the generators) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${PIRN_MINGW_TRIPLET} ${PIRN_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine, one prefix per build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
