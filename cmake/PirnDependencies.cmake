# Third-party libraries, all from Debian packages (see scripts/install-deps).
# The Windows builds take static libraries that scripts/win-deps builds from
# Debian's source packages.

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PirnWindowsDependencies.cmake)
  return()
endif()

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng16)
pkg_check_modules(TIFF REQUIRED IMPORTED_TARGET libtiff-4)
pkg_check_modules(TINYXML2 REQUIRED IMPORTED_TARGET tinyxml2)

if(NOT PIRN_HEADLESS_ONLY)
  pkg_check_modules(GLFW REQUIRED IMPORTED_TARGET glfw3)
  pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
  set(OpenGL_GL_PREFERENCE LEGACY)
  find_package(OpenGL REQUIRED)
endif()

if(PIRN_BUILD_TOOLS AND NOT PIRN_HOST_TOOLS_DIR)
  pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
endif()

# GoogleTest is built from Debian's source package so that the sanitizer and
# 32-bit builds get a matching copy.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest_main ALIAS gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gmock ALIAS gmock)
endif()
if(PIRN_SANITIZE)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE ${PIRN_SANITIZER_FLAGS})
  endforeach()
endif()
