# Short fuzz runs as part of the test suite: a clang build of the fuzz
# targets next to the test build (fuzz-build/), and one CTest test per target
# that runs it over its committed corpus for a few seconds and fails on any
# finding. The runs are repeatable: a fixed random seed, and no corpus kept in
# the build folder from one run to the next (fuzz/run.sh with FUZZ_SEED).
# VOZO_CLANGXX is found by cmake/VozoTestSwitches.cmake.
include(ExternalProject)
ExternalProject_Add(vozo_fuzz_build
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz-build
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${VOZO_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DVOZO_FUZZ=ON -DVOZO_TESTS=OFF
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

set(VOZO_FUZZ_SMOKE_SECONDS 5 CACHE STRING "Seconds each fuzz target runs in the test suite")
set(VOZO_FUZZ_SMOKE_SEED 1 CACHE STRING "libFuzzer's random seed in the test suite's fuzz runs")
foreach(name xml_parser expression macro_expansion preprocessor whole_run lexer size_elf)
  add_test(NAME fuzz.${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/fuzz/run.sh ${CMAKE_BINARY_DIR}/fuzz-build/fuzz
                   ${VOZO_FUZZ_SMOKE_SECONDS} ${name})
  set_tests_properties(fuzz.${name} PROPERTIES ENVIRONMENT FUZZ_SEED=${VOZO_FUZZ_SMOKE_SEED})
endforeach()
