# Toolchain of the 32-bit Windows build (Pirn.exe). SSE2 arithmetic, as in
# the 32-bit Linux build, so both give the same floating-point results;
# Windows only promises a 4-byte aligned stack to callbacks, so realign it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PIRN_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
