# Compiler settings shared by every target of the project.

set(PIRN_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wformat=2 -Wno-unused-parameter)

add_library(pirn_options INTERFACE)
target_compile_options(pirn_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:${PIRN_WARNINGS}>)
target_compile_definitions(pirn_options INTERFACE _FILE_OFFSET_BITS=64)
target_include_directories(pirn_options INTERFACE ${PROJECT_SOURCE_DIR})

if(PIRN_SANITIZE)
  set(PIRN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(pirn_options INTERFACE ${PIRN_SANITIZER_FLAGS})
  target_link_options(pirn_options INTERFACE ${PIRN_SANITIZER_FLAGS})
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PIRN_PROGRAM_NAME Pirn)
else()
  set(PIRN_PROGRAM_NAME Pirn64)
endif()

# Adds a GoogleTest executable built from every *_test.cpp in the calling
# folder, registered with CTest under the given label.
function(pirn_add_test_suite name label)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pirn_test_support GTest::gtest_main pirn_options)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES LABELS ${label}
    ENVIRONMENT "PIRN_SOURCE_DIR=${PROJECT_SOURCE_DIR};PIRN_BUILD_DIR=${PROJECT_BINARY_DIR};PIRN_TESTDATA_DIR=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# Makes a static library from every *.cpp directly in the calling folder; an
# interface library while the folder holds no sources yet.
function(pirn_add_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC pirn_options ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE pirn_options ${ARG_LIBS})
  endif()
endfunction()

# Adds every direct subfolder of the calling folder that has a CMakeLists.txt.
function(pirn_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
