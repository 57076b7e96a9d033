# The libraries of the Windows builds: static libraries in the prefixes that
# scripts/win-deps prints (PIRN_WIN_DEPS), under the target names the Linux
# builds get from pkg-config, so the subsystems link them alike.

if(NOT PIRN_WIN_DEPS)
  message(FATAL_ERROR "PIRN_WIN_DEPS must list the prefixes of scripts/win-deps (scripts/build win64 sets it)")
endif()

# Defines the imported target `target` over the static library `library`
# (file name without lib and .a) of one of the prefixes.
function(pirn_win_library target library)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  string(MAKE_C_IDENTIFIER "PIRN_WIN_LIB_${library}" var)
  find_library(${var} NAMES lib${library}.a PATHS ${PIRN_WIN_DEPS} PATH_SUFFIXES lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${var})
    message(FATAL_ERROR "lib${library}.a is in none of the prefixes of PIRN_WIN_DEPS (${PIRN_WIN_DEPS})")
  endif()
  get_filename_component(lib_dir ${${var}} DIRECTORY)
  get_filename_component(prefix ${lib_dir} DIRECTORY)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${${var}}
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include INTERFACE_LINK_LIBRARIES "${ARG_LINKS}")
endfunction()

find_package(Threads REQUIRED)
pirn_win_library(ZLIB::ZLIB z)
pirn_win_library(PkgConfig::PNG png16 LINKS ZLIB::ZLIB)
pirn_win_library(PkgConfig::TIFF tiff LINKS ZLIB::ZLIB)
pirn_win_library(PkgConfig::TINYXML2 tinyxml2)
pirn_win_library(GTest::gtest gtest LINKS Threads::Threads)
pirn_win_library(GTest::gtest_main gtest_main LINKS GTest::gtest)

if(NOT PIRN_HEADLESS_ONLY)
  pirn_win_library(PkgConfig::GLFW glfw3 LINKS gdi32)
  set(OpenGL_GL_PREFERENCE LEGACY)
  find_package(OpenGL REQUIRED)
  # Linux-only parts (the GLFW backend's X11 clipboard, the Xvfb tests) name
  # X11; they are not built here, but their targets must resolve.
  add_library(PkgConfig::X11 INTERFACE IMPORTED GLOBAL)
endif()
