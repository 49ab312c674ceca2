# Decides VOZO_BUILD_TESTS and VOZO_BUILD_FUZZ_SMOKE from the VOZO_TESTS and
# VOZO_FUZZ_SMOKE switches (ON, OFF, AUTO). ON fails the configure when a
# package is missing, naming the Debian package; AUTO turns the part off with
# a one-line note instead.

# vozo_resolve_switch(<switch> <found> <what> <packages> <result variable>)
function(vozo_resolve_switch switch found what packages result)
  set(value ${${switch}})
  if(value STREQUAL "AUTO")
    if(found)
      set(${result} ON PARENT_SCOPE)
    else()
      message(STATUS "${what} left out: install ${packages} to build it (${switch}=AUTO)")
      set(${result} OFF PARENT_SCOPE)
    endif()
  elseif(value)
    if(NOT found)
      message(FATAL_ERROR "${switch}=${value} needs ${packages}; configure with -D${switch}=OFF to leave "
                          "it out")
    endif()
    set(${result} ON PARENT_SCOPE)
  else()
    set(${result} OFF PARENT_SCOPE)
  endif()
endfunction()

# A cross build's unit tests: the host (64-bit Arm Linux, Windows) has no
# GoogleTest installed, so it is built from Debian's sources of libgtest-dev
# with the cross compiler. Only the unit tests are built then; the golden and
# command-line cases run against the cross-built vozo from the build machine
# (tests/hosts/run_suite.py).
set(VOZO_GTEST_SOURCE_DIR "" CACHE PATH
    "Build GoogleTest from this source folder (Debian: /usr/src/googletest) and the unit tests alone")
set(VOZO_BUILD_TESTS OFF)
set(VOZO_BUILD_UNIT_TESTS_ONLY OFF)
set(VOZO_BUILD_FUZZ_SMOKE OFF)
if(VOZO_GTEST_SOURCE_DIR)
  if(VOZO_TESTS AND NOT VOZO_TESTS STREQUAL "AUTO")
    message(FATAL_ERROR "VOZO_GTEST_SOURCE_DIR builds the unit tests alone: configure with -DVOZO_TESTS=OFF")
  endif()
  if(NOT EXISTS ${VOZO_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "VOZO_GTEST_SOURCE_DIR=${VOZO_GTEST_SOURCE_DIR} holds no GoogleTest sources "
                        "(googletest/CMakeLists.txt; Debian: libgtest-dev)")
  endif()
  set(VOZO_BUILD_UNIT_TESTS_ONLY ON)
elseif(PROJECT_IS_TOP_LEVEL OR NOT VOZO_TESTS STREQUAL "AUTO")
  find_package(GTest QUIET)
  find_package(Python3 QUIET COMPONENTS Interpreter)
  # PCRE2: the reference the lexer's tests compare with (cmake/VozoTestPcre2.cmake).
  find_path(PCRE2_INCLUDE_DIR pcre2.h)
  find_library(PCRE2_LIBRARY pcre2-8)
  set(test_packages_found OFF)
  if(GTest_FOUND AND Python3_Interpreter_FOUND AND PCRE2_INCLUDE_DIR AND PCRE2_LIBRARY)
    set(test_packages_found ON)
  endif()
  vozo_resolve_switch(VOZO_TESTS "${test_packages_found}" "The test suite"
                      "libgtest-dev, libpcre2-dev and python3" VOZO_BUILD_TESTS)
endif()
if(VOZO_BUILD_TESTS)
  # The fuzz targets need clang and its libFuzzer runtime, which Debian
  # packages apart from the compiler.
  find_program(VOZO_CLANGXX NAMES clang++-14 clang++)
  set(clang_found OFF)
  if(VOZO_CLANGXX)
    execute_process(COMMAND ${VOZO_CLANGXX} --print-runtime-dir
                    OUTPUT_VARIABLE clang_runtime_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    file(GLOB fuzzer_runtime "${clang_runtime_dir}/libclang_rt.fuzzer*.a")
    if(fuzzer_runtime)
      set(clang_found ON)
    endif()
  endif()
  vozo_resolve_switch(VOZO_FUZZ_SMOKE "${clang_found}" "The fuzz smoke run"
                      "clang-14 and libclang-rt-14-dev" VOZO_BUILD_FUZZ_SMOKE)
endif()
