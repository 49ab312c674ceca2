# Short fuzz runs as part of the test suite: a clang build of the fuzz
# targets next to the test build (fuzz-build/), and one CTest test per target
# that runs it over its committed corpus for a few seconds and fails on any
# finding.
find_program(VOZO_CLANGXX NAMES clang++-14 clang++)
if(NOT VOZO_CLANGXX)
  message(FATAL_ERROR "clang++ is needed for the fuzz tests (Debian: clang-14, libclang-rt-14-dev); "
                      "configure with -DVOZO_FUZZ_SMOKE=OFF to leave them out")
endif()

include(ExternalProject)
ExternalProject_Add(vozo_fuzz_build
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz-build
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${VOZO_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DVOZO_FUZZ=ON -DVOZO_TESTS=OFF
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

set(VOZO_FUZZ_SMOKE_SECONDS 5 CACHE STRING "Seconds each fuzz target runs in the test suite")
foreach(name xml_parser expression macro_expansion preprocessor whole_run)
  add_test(NAME fuzz.${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/fuzz/run.sh ${CMAKE_BINARY_DIR}/fuzz-build/fuzz
                   ${VOZO_FUZZ_SMOKE_SECONDS} ${name})
endforeach()
