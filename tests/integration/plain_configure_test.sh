#!/bin/bash
# A plain configure (no switches) builds the tools where only the build's own
# packages are installed: the test suite and its fuzz smoke run turn
# themselves off with a note when their packages are missing, and asking for
# them with ON fails at once, naming the Debian packages. GoogleTest is hidden
# from the configure to stand for a machine without it.
#
# Usage: plain_configure_test.sh <source directory> <scratch directory>
set -u
source_dir=$1
work=$2
source "$(dirname "$0")/../link/check_counting.sh"

hide_gtest=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)
if cmake -S "$source_dir" -B "$work/plain" "${hide_gtest[@]}" >"$work/plain.log" 2>&1; then
  grep -q "The test suite left out: install libgtest-dev" "$work/plain.log" ||
    fail "no note that the test suite is left out: $(cat "$work/plain.log")"
  targets=$(cmake --build "$work/plain" --target help 2>&1)
  grep -qw vozo <<<"$targets" || fail "the plain configure has no vozo target"
  grep -qw vozo-size <<<"$targets" || fail "the plain configure has no vozo-size target"
  ! grep -q "_test" <<<"$targets" || fail "test programs are built without GoogleTest"
else
  fail "a plain configure fails without GoogleTest: $(tail -n 20 "$work/plain.log")"
fi

if cmake -S "$source_dir" -B "$work/asked" -DVOZO_TESTS=ON "${hide_gtest[@]}" >"$work/asked.log" 2>&1; then
  fail "-DVOZO_TESTS=ON configures without GoogleTest"
else
  grep -q "VOZO_TESTS=ON needs libgtest-dev" "$work/asked.log" ||
    fail "-DVOZO_TESTS=ON fails without naming the package: $(tail -n 20 "$work/asked.log")"
fi

finish
