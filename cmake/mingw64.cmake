# Toolchain of the 64-bit Windows build (Pirn64.exe).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PIRN_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
