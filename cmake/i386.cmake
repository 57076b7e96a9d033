# Toolchain for the 32-bit x86 build (Pirn) on a 64-bit Debian host with the
# i386 multiarch packages installed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH /usr/lib/i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# Where this machine's kernel runs no 32-bit programs, scripts/test names an
# emulator (qemu-i386) that runs the test programs instead.
if(DEFINED ENV{PIRN_I386_EMULATOR} AND NOT "$ENV{PIRN_I386_EMULATOR}" STREQUAL "")
  string(REPLACE " " ";" CMAKE_CROSSCOMPILING_EMULATOR "$ENV{PIRN_I386_EMULATOR}")
endif()
