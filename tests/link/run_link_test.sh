#!/bin/bash
# Generates a linker script with vozo from memory_map.xml and placement.xml,
# links a small Cortex-M4 program with it and checks where the segment and
# section symbols land; then links an image too large for its flash segment
# and checks that the link fails with the script's overflow assertion.
#
# Usage: run_link_test.sh <vozo> <scratch directory>
set -u
vozo=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/check_counting.sh"

"$vozo" -memory-map-file "$here/memory_map.xml" -section-placement-file "$here/placement.xml" \
  -check-segment-overflow -check-section-overflow "$work/app.ld" || {
  echo "FAIL: vozo could not write the script"
  exit 1
}

cflags=(-mcpu=cortex-m4 -mthumb -nostartfiles -O1 -Wl,-e,reset_handler)
arm-none-eabi-gcc "${cflags[@]}" -T "$work/app.ld" "$here/program.c" -o "$work/app.elf" \
  2>"$work/link.log" || {
  cat "$work/link.log"
  echo "FAIL: the program does not link"
  exit 1
}

# Symbol values as numbers (undefined symbols have no value and are skipped).
declare -A sym
while read -r value _ name; do
  [[ $value =~ ^[0-9a-fA-F]+$ && -n $name ]] && sym[$name]=$((16#$value))
done < <(arm-none-eabi-nm "$work/app.elf")

# Every symbol the checks below read must exist. This is checked here, once:
# value() runs in command substitutions, where a failure could not be counted.
for name in __FLASH_segment_start__ __FLASH_segment_end__ __FLASH_segment_size__ \
  __FLASH_segment_used_end__ __RAM_segment_start__ __RAM_segment_size__ \
  __RAM_segment_used_end__ vector_table reset_handler greeting counter scratch stack_area \
  __vectors_start__ __vectors_end__ __vectors_load_start__ __text_start__ __text_end__ \
  __rodata_start__ __rodata_end__ __data_load_start__ __data_load_end__ __data_start__ \
  __data_end__ __data_size__ __data_run_start__ __data_run_end__ __bss_start__ __bss_end__ \
  __stack_start__ __stack_end__ __stack_size__; do
  [[ -n ${sym[$name]+set} ]] || fail "symbol $name missing"
done
if ((failures)); then
  echo "$failures symbol(s) missing"
  exit 1
fi

value() {
  echo "${sym[$1]}"
}

expect_eq() {  # name expected-value
  local actual
  actual=$(value "$1")
  ((actual == $2)) || fail "$1 is $(printf 0x%x "$actual"), expected $(printf 0x%x "$2")"
}

expect_between() {  # name low high (inclusive low, exclusive high)
  local actual
  actual=$(value "$1")
  ((actual >= $2 && actual < $3)) || fail "$1 = $(printf 0x%x "$actual") outside [$(printf 0x%x "$2"), $(printf 0x%x "$3"))"
}

flash=0x08000000
flash_end=0x08010000
ram=0x20000000
ram_end=0x20008000

expect_eq __FLASH_segment_start__ $flash
expect_eq __FLASH_segment_end__ $flash_end
expect_eq __FLASH_segment_size__ 0x10000
expect_eq __RAM_segment_start__ $ram
expect_eq __RAM_segment_size__ 0x8000

# The vector table opens the flash segment.
expect_eq __vectors_start__ $flash
expect_eq vector_table $flash
expect_eq __vectors_load_start__ $flash
# Code and constants follow in flash, aligned.
expect_eq __text_start__ $(($(value __vectors_end__) + 3 & ~3))
expect_between reset_handler "$(value __text_start__)" "$(value __text_end__)"
expect_eq __rodata_start__ $(($(value __text_end__) + 3 & ~3))
expect_between greeting "$(value __rodata_start__)" "$(value __rodata_end__)"

# Initialised data: loaded in flash after the constants, runs in RAM at the
# start of its run section.
expect_eq __data_load_start__ $(($(value __rodata_end__) + 3 & ~3))
expect_between __data_load_start__ $flash $flash_end
expect_eq __data_start__ $ram
expect_eq __data_run_start__ $ram
expect_between counter "$(value __data_start__)" "$(value __data_end__)"
expect_eq __data_run_end__ $(($(value __data_run_start__) + $(value __data_size__)))
expect_eq __data_load_end__ $(($(value __data_load_start__) + $(value __data_size__)))
expect_eq __FLASH_segment_used_end__ "$(value __data_load_end__)"

# The section header agrees: .data's load address (LMA) is in flash.
read -r vma lma < <(arm-none-eabi-objdump -h "$work/app.elf" | awk '$2 == ".data" { print $4, $5 }')
((16#${vma:-0} == $(value __data_start__))) || fail ".data VMA is 0x$vma"
((16#${lma:-0} == $(value __data_load_start__))) || fail ".data LMA is 0x$lma"

# Zero-initialised data and the stack follow the data in RAM.
expect_eq __bss_start__ $(($(value __data_run_end__) + 3 & ~3))
expect_between scratch "$(value __bss_start__)" "$(value __bss_end__)"
expect_eq __stack_start__ $(($(value __bss_end__) + 7 & ~7))
expect_eq __stack_size__ 0x400
expect_eq __stack_end__ $(($(value __stack_start__) + 0x400))
expect_eq __RAM_segment_used_end__ "$(value __stack_end__)"
expect_between stack_area "$(value __stack_start__)" "$(value __stack_end__)"

# An image that does not fit in FLASH: the script's assertion stops the link.
if arm-none-eabi-gcc "${cflags[@]}" -T "$work/app.ld" "$here/program.c" "$here/big.c" \
  -o "$work/big.elf" 2>"$work/big.log"; then
  fail "the oversized image linked"
elif ! grep -q "error: .rodata is too large to fit in FLASH memory segment" "$work/big.log"; then
  cat "$work/big.log"
  fail "the oversized link failed without the overflow message"
fi

finish
