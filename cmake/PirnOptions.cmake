# Compiler settings shared by every target of the project.

set(PIRN_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wformat=2 -Wno-unused-parameter)

add_library(pirn_options INTERFACE)
target_compile_options(pirn_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:${PIRN_WARNINGS}>)
target_compile_definitions(pirn_options INTERFACE _FILE_OFFSET_BITS=64)
if(MINGW)
  # The C99 printf family (%zu, %lld), not the old system library's; and
  # M_PI as glibc gives it; no min/max macros or rarely used headers from
  # windows.h.
  target_compile_definitions(pirn_options INTERFACE __USE_MINGW_ANSI_STDIO=1 _USE_MATH_DEFINES NOMINMAX
                             WIN32_LEAN_AND_MEAN)
endif()
target_include_directories(pirn_options INTERFACE ${PROJECT_SOURCE_DIR})

if(PIRN_SANITIZE)
  set(PIRN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(pirn_options INTERFACE ${PIRN_SANITIZER_FLAGS})
  target_link_options(pirn_options INTERFACE ${PIRN_SANITIZER_FLAGS})
endif()

# The operating-system backend the programs link: GLFW 3 + X11 on Linux,
# Win32 on Windows (platform/os/).
if(WIN32)
  set(PIRN_OS_BACKEND pirn_os_win32)
else()
  set(PIRN_OS_BACKEND pirn_os_glfw)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PIRN_PROGRAM_NAME Pirn)
else()
  set(PIRN_PROGRAM_NAME Pirn64)
endif()

# Adds a GoogleTest executable built from every *_test.cpp in the calling
# folder, registered with CTest under the given label. NOT_ON_WINDOWS names
# files of the folder that test what Windows does not have.
function(pirn_add_test_suite name label)
  cmake_parse_arguments(ARG "" "" "LIBS;NOT_ON_WINDOWS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(WIN32)
    foreach(skipped ${ARG_NOT_ON_WINDOWS})
      list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${skipped})
    endforeach()
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pirn_test_support GTest::gtest_main pirn_options)
  # GoogleTest's header costs about two seconds in every test file; parsed
  # once per suite instead, it stops being most of the build.
  if(PIRN_TEST_PCH)
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
  endif()
  # The suites' own files are compiled for build speed: the code they test
  # keeps the flavour's optimisation, and a failure names file and line
  # without debug information.
  if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$")
    target_compile_options(${name} PRIVATE -O1 -g0)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(label STREQUAL "unit")
    set_property(GLOBAL APPEND PROPERTY PIRN_UNIT_TEST_TARGETS ${name})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS ${label}
    ENVIRONMENT "PIRN_SOURCE_DIR=${PROJECT_SOURCE_DIR};PIRN_BUILD_DIR=${PROJECT_BINARY_DIR};PIRN_TESTDATA_DIR=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# Makes a static library from every *.cpp directly in the calling folder; an
# interface library while the folder holds no sources yet.
# Subsystem folders use pirn_add_subsystem below, which also makes their ui
# and gl parts.
function(pirn_add_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  pirn_add_library_from(${name} "${sources}" ${ARG_LIBS})
endfunction()

# Adds every direct subfolder of the calling folder that has a CMakeLists.txt,
# except those named in SKIP.
function(pirn_add_subfolders)
  cmake_parse_arguments(ARG "" "" "SKIP" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    get_filename_component(child_name ${child} NAME)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt AND NOT child_name IN_LIST ARG_SKIP)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# The subsystems below `name` (its DEPENDS and theirs), each once.
function(pirn_subsystems_below name out)
  get_property(direct GLOBAL PROPERTY PIRN_SUBSYSTEM_DEPENDS_${name})
  set(all "")
  foreach(dep ${direct})
    pirn_subsystems_below(${dep} deeper)
    list(APPEND all ${dep} ${deeper})
  endforeach()
  list(REMOVE_DUPLICATES all)
  set(${out} "${all}" PARENT_SCOPE)
endfunction()

# Makes the libraries of one subsystem folder, each only when its folder has
# sources, linked only along the arrows tests/layering allows:
#   pirn_<name>     <name>/*.cpp      headless core: the cores of DEPENDS, LIBS
#   pirn_<name>_ui  <name>/ui/*.cpp   windows: its core, pirn_ui, the ui parts
#                                     below, UI_LIBS
#   pirn_<name>_gl  <name>/gl/*.cpp   raw GL: its ui part (else its core),
#                                     pirn_ui_gl, the gl parts below, GL_LIBS
# The gl part is left out of headless builds. `ui` itself is the toolkit:
# pirn_ui from ui/*.cpp and pirn_ui_gl from ui/gl/*.cpp. DEPENDS names lower
# subsystems (their own DEPENDS follow); EXCLUDE names files of the folder
# kept out of the core (a program's main.cpp). Other subfolders with a
# CMakeLists.txt are added after the libraries.
#   pirn_add_subsystem(collections DEPENDS codex)
function(pirn_add_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;LIBS;UI_LIBS;GL_LIBS;EXCLUDE" ${ARGN})
  set_property(GLOBAL PROPERTY PIRN_SUBSYSTEM_DEPENDS_${name} ${ARG_DEPENDS})
  pirn_subsystems_below(${name} below)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})

  set(core_libs "")
  foreach(dep ${ARG_DEPENDS})
    list(APPEND core_libs pirn_${dep})
  endforeach()
  file(GLOB core_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM core_sources ${dir}/${excluded})
  endforeach()
  pirn_add_library_from(pirn_${name} "${core_sources}" ${core_libs} ${ARG_LIBS})

  set(upper pirn_${name})
  file(GLOB ui_sources CONFIGURE_DEPENDS ${dir}/ui/*.cpp)
  if(ui_sources AND NOT name STREQUAL "ui")
    set(ui_libs pirn_${name})
    foreach(dep ${below})
      if(TARGET pirn_${dep}_ui)
        list(APPEND ui_libs pirn_${dep}_ui)
      endif()
    endforeach()
    pirn_add_library_from(pirn_${name}_ui "${ui_sources}" ${ui_libs} pirn_ui ${ARG_UI_LIBS})
    set(upper pirn_${name}_ui)
  endif()

  file(GLOB gl_sources CONFIGURE_DEPENDS ${dir}/gl/*.cpp)
  if(gl_sources AND NOT PIRN_HEADLESS_ONLY AND TARGET pirn_gl)
    set(gl_libs ${upper})
    foreach(dep ${below})
      if(TARGET pirn_${dep}_gl)
        list(APPEND gl_libs pirn_${dep}_gl)
      endif()
    endforeach()
    if(NOT name STREQUAL "ui")
      list(APPEND gl_libs pirn_ui_gl)
    endif()
    list(APPEND gl_libs pirn_gl OpenGL::GL)
    if(TARGET OpenGL::GLU)
      list(APPEND gl_libs OpenGL::GLU)
    endif()
    pirn_add_library_from(pirn_${name}_gl "${gl_sources}" ${gl_libs} ${ARG_GL_LIBS})
  endif()

  pirn_add_subfolders(SKIP ui gl)
endfunction()

# A static library from the given sources; an interface library when there
# are none yet.
function(pirn_add_library_from name sources)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC pirn_options ${ARGN})
    if(PIRN_UNITY_BUILD)
      set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE pirn_options ${ARGN})
  endif()
endfunction()

# A build-time generator (tools/): a program of this build, or in a
# cross-build the same program of the native build in PIRN_HOST_TOOLS_DIR,
# since the generators run on the build machine.
#   pirn_add_generator(make_font make_font.cpp LIBS pirn_platform)
function(pirn_add_generator name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  if(PIRN_HOST_TOOLS_DIR)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    add_executable(${name} IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${PIRN_HOST_TOOLS_DIR}/${folder}/${name})
  else()
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} pirn_options)
  endif()
endfunction()
