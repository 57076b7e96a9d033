# Fuzz harnesses (fuzz/): one file fuzz/NAME_fuzzer.cpp per reader of outside
# data, with its corpus in fuzz/corpus/NAME/ and the inputs that once found a
# fault in fuzz/regressions/NAME/.
#
#   pirn_add_fuzzer(NAME LIBS <libraries the reader lives in>)
#
# In an ordinary build it makes fuzz_NAME_replay, which runs every corpus and
# regression file through the harness once, registered as the unit test
# fuzz_replay_NAME (so the corpora also run under the sanitizers and in the
# 32-bit build). In a PIRN_FUZZ build (clang, scripts/fuzz) it makes the
# libFuzzer program fuzz_NAME, part of the target "fuzzers".

if(PIRN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PIRN_FUZZ needs clang (scripts/fuzz sets it up)")
  endif()
  # Everything is instrumented for coverage; only the harness programs link
  # libFuzzer's main.
  set(PIRN_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
  target_compile_options(pirn_options INTERFACE ${PIRN_FUZZ_FLAGS})
  target_link_options(pirn_options INTERFACE -fsanitize=address,undefined)
  add_custom_target(fuzzers)
endif()

function(pirn_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  set(harness ${CMAKE_CURRENT_SOURCE_DIR}/${name}_fuzzer.cpp)
  if(PIRN_FUZZ)
    add_executable(fuzz_${name} ${harness})
    target_link_libraries(fuzz_${name} PRIVATE pirn_fuzz_support ${ARG_LIBS} pirn_options)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers fuzz_${name})
  else()
    # The replay's main is compiled once for every harness.
    if(NOT TARGET pirn_fuzz_replay_main)
      add_library(pirn_fuzz_replay_main STATIC ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
      target_link_libraries(pirn_fuzz_replay_main PRIVATE pirn_options)
    endif()
    add_executable(fuzz_${name}_replay ${harness})
    target_link_libraries(fuzz_${name}_replay PRIVATE pirn_fuzz_replay_main pirn_fuzz_support ${ARG_LIBS} pirn_options)
    add_test(NAME fuzz_replay_${name}
             COMMAND fuzz_${name}_replay ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name}
                     ${CMAKE_CURRENT_SOURCE_DIR}/regressions/${name})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS unit)
    set_property(GLOBAL APPEND PROPERTY PIRN_UNIT_TEST_TARGETS fuzz_${name}_replay)
  endif()
endfunction()
