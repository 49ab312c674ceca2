#!/bin/bash
# Mistakes in a placement file that give a firmware which links without a
# word but does not work. For each one this shows, on the linked ELF file,
# what is wrong with the firmware built from the script of a run without
# checks, and that -strict refuses the input at the mistaken element's line.
# The correct placement (tests/link/placement.xml) is the control: it passes
# -strict silently with the same script, and its firmware is right in each
# respect checked.
#
# Usage: run_wrong_firmware_test.sh <vozo> <scratch directory>
set -u
vozo=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/check_counting.sh"

placement=$here/placement.xml
sed 's/name=".data" load="Yes"/name=".data"/' "$placement" >"$work/unloaded_copy.xml"
sed -e '/name=".data" /d' \
  -e 's|name=".data_run" alignment="4"|name=".data" load="Yes" alignment="4"|' \
  "$placement" >"$work/loaded_in_ram.xml"
sed 's|size="$(STACK_SIZE:0x400)"|size="64*1024" place_from_segment_end="Yes"|' \
  "$placement" >"$work/stack_too_big.xml"

# Writes <name>.ld from the placement file and links <name>.elf with it.
build() {  # name placement [vozo option]...
  local name=$1 file=$2
  shift 2
  "$vozo" -memory-map-file "$here/memory_map.xml" -section-placement-file "$file" "$@" \
    "$work/$name.ld" 2>"$work/$name.err" || { fail "$name: vozo fails: $(cat "$work/$name.err")"; return 1; }
  arm-none-eabi-gcc -mcpu=cortex-m4 -mthumb -nostartfiles -O1 -T "$work/$name.ld" \
    "$here/program.c" -o "$work/$name.elf" 2>"$work/$name.link" ||
    { fail "$name: the program does not link: $(cat "$work/$name.link")"; return 1; }
}

# -strict refuses the placement file at the line of the section named.
refused() {  # name section expected-text
  local name=$1 section=$2 text=$3 line
  line=$(grep -n "name=\"$section\"" "$work/$name.xml" | cut -d: -f1)
  if "$vozo" -memory-map-file "$here/memory_map.xml" -section-placement-file "$work/$name.xml" \
    -strict "$work/$name.strict.ld" 2>"$work/$name.strict.err"; then
    fail "$name: -strict accepts the mistake"
  fi
  grep -qF "$name.xml:$line: error: $text" "$work/$name.strict.err" ||
    fail "$name: no finding \"$text\" at line $line: $(cat "$work/$name.strict.err")"
  [[ ! -e $work/$name.strict.ld ]] || fail "$name: -strict wrote a script"
}

# Properties of a linked firmware.
flags_of() { arm-none-eabi-objdump -h "$1" | grep -A1 " $2 " | tail -1; }
symbol() { arm-none-eabi-nm "$1" | awk -v name="$2" '$3 == name { print "0x" $1 }'; }
# The bytes a raw binary of the image covers: from the lowest load address
# of a section with contents to the end of the highest.
image_span() {
  local low=-1 high=0 size lma
  while read -r size lma; do
    ((low < 0 || 16#$lma < low)) && low=$((16#$lma))
    ((16#$lma + 16#$size > high)) && high=$((16#$lma + 16#$size))
  done < <(arm-none-eabi-objdump -h "$1" | grep -B1 LOAD | awk '$2 ~ /^\./ && $3 !~ /^0+$/ { print $3, $5 }')
  echo $((high - (low < 0 ? 0 : low)))
}
ram_end=$((0x20008000))
max_span=$((1 << 20))

# The control: -strict accepts it without a word and writes the same script.
build correct "$placement" -entry reset_handler -strict &&
  [[ ! -s $work/correct.err ]] || fail "correct: -strict printed: $(cat "$work/correct.err")"
"$vozo" -memory-map-file "$here/memory_map.xml" -section-placement-file "$placement" \
  -entry reset_handler "$work/default.ld"
cmp -s "$work/correct.ld" "$work/default.ld" || fail "correct: -strict changed the script"
if [[ -f $work/correct.elf ]]; then
  [[ $(flags_of "$work/correct.elf" .data) == *LOAD* ]] || fail "correct: .data is not loaded"
  (($(image_span "$work/correct.elf") < max_span)) || fail "correct: the image spans RAM"
  (($(symbol "$work/correct.elf" __stack_end__) <= ram_end)) || fail "correct: stack past RAM"
  # A Thumb entry point has its lowest bit set.
  entry=$(arm-none-eabi-readelf -h "$work/correct.elf" | awk '/Entry point/ { print $4 }')
  (((entry | 1) == ($(symbol "$work/correct.elf" reset_handler) | 1))) ||
    fail "correct: the entry point $entry is not reset_handler"
fi

# 1. runin without load: .data has no bytes in the image, so the start-up
#    copy copies whatever the flash holds at its load address.
if build unloaded_copy "$work/unloaded_copy.xml"; then
  [[ $(flags_of "$work/unloaded_copy.elf" .data) != *LOAD* ]] ||
    fail "unloaded_copy: .data has a load image after all"
fi
refused unloaded_copy .data 'runin=".data_run" of section .data without load="Yes"'

# 2. A loaded section in RAM: the image holds RAM addresses besides flash
#    ones, and a raw binary of it covers the hundreds of MiB between them.
if build loaded_in_ram "$work/loaded_in_ram.xml"; then
  span=$(image_span "$work/loaded_in_ram.elf")
  ((span > 256 * max_span)) || fail "loaded_in_ram: the image spans only $span bytes"
fi
refused loaded_in_ram .data 'section .data has load="Yes" in writable segment RAM and no runin'

# 4. A stack bigger than its RAM: it runs past the end of the segment.
if build stack_too_big "$work/stack_too_big.xml"; then
  (($(symbol "$work/stack_too_big.elf" __stack_end__) > ram_end)) ||
    fail "stack_too_big: the stack ends within RAM"
fi
refused stack_too_big .stack 'sections with fixed sizes in segment RAM need 0x10000 bytes (.stack 0x10000), 0x8000 more than its size 0x8000'

finish
