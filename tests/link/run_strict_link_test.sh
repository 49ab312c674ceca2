#!/bin/bash
# Inputs that -strict accepts must give a script that the GNU linker takes.
# For each input pair (the strict board here and the bundled example board)
# this runs vozo with -strict, which must pass without a word and write the
# same script as a run without it; then assembles a file with a word in each
# input section for the target and links it with that script.
#
# Usage: run_strict_link_test.sh <vozo> <scratch directory> <arm|riscv>
set -u
vozo=$1
work=$2
target=$3
here=$(cd "$(dirname "$0")" && pwd)
examples=$here/../../examples/board

case $target in
  arm) as=arm-none-eabi-as ld=arm-none-eabi-ld nm=arm-none-eabi-nm ldflags=() asflags=() ;;
  riscv)
    as=riscv64-unknown-elf-as ld=riscv64-unknown-elf-ld nm=riscv64-unknown-elf-nm
    ldflags=(-m elf32lriscv) asflags=(-march=rv32imac -mabi=ilp32) ;;
  *) echo "unknown target $target" >&2; exit 2 ;;
esac

source "$here/check_counting.sh"

for set in all common; do
  defines=()
  [[ $set == all ]] && defines=(--defsym ALL=1)
  "$as" "${asflags[@]}" "${defines[@]}" "$here/strict/sections.s" -o "$work/$set.o" || {
    echo "FAIL: $as cannot assemble the sections"
    exit 1
  }
done

# name, object (all or common), then vozo's input arguments
check_pair() {
  local name=$1 object=$2
  shift 2
  local options=(-target "$target" -check-segment-overflow -check-section-overflow "$@")
  if ! "$vozo" "${options[@]}" -strict "$work/$name.ld" 2>"$work/$name.err"; then
    fail "$name: -strict rejects the inputs"
    cat "$work/$name.err"
    return
  fi
  [[ -s $work/$name.err ]] && fail "$name: -strict printed: $(cat "$work/$name.err")"
  "$vozo" "${options[@]}" "$work/$name.default.ld" 2>/dev/null
  cmp -s "$work/$name.ld" "$work/$name.default.ld" || fail "$name: -strict changed the script"
  if ! "$ld" "${ldflags[@]}" -e 0 -T "$work/$name.ld" "$work/$object.o" -o "$work/$name.elf" \
    2>"$work/$name.link"; then
    fail "$name: the linker rejects the script"
    cat "$work/$name.link"
  fi
}

check_pair strict all -memory-map-file "$here/strict/memory_map.xml" \
  -section-placement-file "$here/strict/placement.xml" -symbols "__HEAP_SIZE__=0x800"
check_pair example common -memory-map-file "$examples/memory_map.xml" \
  -section-placement-file "$examples/placement.xml"

# Where the strict board's sections landed.
if [[ -f $work/strict.elf ]]; then
  declare -A sym
  while read -r value _ name; do
    [[ $value =~ ^[0-9a-fA-F]+$ ]] && sym[$name]=$((16#$value))
  done < <("$nm" "$work/strict.elf")
  expect() {  # symbol low high: low <= value < high
    local v=${sym[$1]:-}
    if [[ -z $v ]]; then fail "$1 missing"; return; fi
    ((v >= $2 && v < $3)) || fail "$1 = $(printf 0x%x "$v") outside [$(printf 0x%x "$2"), $(printf 0x%x "$3"))"
  }
  expect __data_load_start__ 0x08000000 0x08040000
  expect __data_start__ 0x20000000 0x20010000
  expect __fast_run_start__ 0x20000000 0x20010000
  expect __config_start__ 0x0803f000 0x0803f001
  expect __stack_end__ 0x20010000 0x20010001
  expect __heap_bytes 0x800 0x801
  expect __noinit_start__ 0x10000000 0x10004000
fi

finish
