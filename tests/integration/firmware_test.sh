#!/bin/bash
# Builds the example firmware with a vozo-generated script and checks the
# build integration end to end:
#  - every section's load and run address, the stack and the heap are where
#    the memory map and the placement file put them;
#  - editing a file the memory map includes, or the placement file,
#    regenerates the script and relinks;
#  - a run that produces the same script leaves it untouched: no relink;
#  - a build with nothing changed does nothing;
#  - a link past a BUDGETS percentage fails the build, and the next build
#    too.
# Ninja uses vozo's build tree (vozo_DIR), Makefiles an install prefix.
#
# Usage: firmware_test.sh <vozo build directory> <example source> <scratch directory>
set -u
vozo_build=$(cd "$1" && pwd)
example=$(cd "$2" && pwd)
work=$(mkdir -p "$3" && cd "$3" && pwd)
source "$(dirname "$0")/../link/check_counting.sh"
cmake --install "$vozo_build" --prefix "$work/prefix" >/dev/null || exit 1

# Runs a build, keeping its output in $work/build.log.
build() {
  cmake --build "$1" >"$work/build.log" 2>&1 || {
    cat "$work/build.log"
    echo "FAIL: the firmware does not build ($2)"
    exit 1
  }
}

built() { grep -q "$1" "$work/build.log"; }

mtime() { stat -c %Y.%y "$1"; }

# Symbol values and section headers of the linked firmware.
declare -A sym vma lma kind
read_elf() {
  sym=() vma=() lma=() kind=()
  while read -r value _ name; do
    [[ $value =~ ^[0-9a-f]+$ ]] && sym[$name]=$((16#$value))
  done < <(arm-none-eabi-nm "$1")
  while read -r _ name _ v l _; do
    read -r flags
    vma[$name]=$((16#$v))
    lma[$name]=$((16#$l))
    kind[$name]=$flags
  done < <(arm-none-eabi-objdump -h "$1" | grep -A1 '^ *[0-9]')
}

expect() {  # description actual expected
  (($2 == $3)) || fail "$1 is $(printf 0x%x "$2"), expected $(printf 0x%x "$3")"
}

within() {  # description value low high (high exclusive)
  (($2 >= $3 && $2 < $4)) || fail "$1 = $(printf 0x%x "$2") outside [$(printf 0x%x "$3"), $(printf 0x%x "$4"))"
}

check_layout() {  # elf stack-size ccm-size
  local elf=$1 stack_size=$2 ccm_size=$3
  read_elf "$elf"
  local flash=0x08000000 flash_end=0x08100000 ram=0x20000000 ram_end=0x20020000 ccm=0x10000000
  for name in __stack_start__ __stack_end__ __heap_start__ __heap_end__ __exidx_start \
    __fast_load_start__ __data_load_start__ __CCM_segment_size__ vector_table checksum \
    reset_count __ctors_start__ __ctors_end__; do
    [[ -n ${sym[$name]+set} ]] || { fail "symbol $name missing"; return; }
  done

  # The ELF starts at the reset handler (ENTRY); a Thumb entry point has its
  # lowest bit set.
  local entry
  entry=$(arm-none-eabi-readelf -h "$elf" | awk '/Entry point address/ { print $4 }')
  expect "entry point" $((${entry:-0} | 1)) $((${sym[reset_handler]:-0} | 1))

  # Code and constants are loaded and run in flash, the vector table first.
  expect ".vectors address" "${vma[.vectors]}" $flash
  for section in .vectors .text .ARM.exidx .ctors .rodata; do
    expect "$section load address" "${lma[$section]}" "${vma[$section]}"
    within "$section address" "${vma[$section]}" $flash $flash_end
  done
  expect __exidx_start "${sym[__exidx_start]}" "${vma[.ARM.exidx]}"
  ((sym[__ctors_end__] > sym[__ctors_start__])) || fail "no static constructor in .ctors"

  # The RAM-resident function and the initialised data: loaded in flash, run
  # at the start of RAM.
  expect ".fast run address" "${vma[.fast]}" $ram
  expect checksum "${sym[checksum]}" $ram
  expect ".fast load address" "${lma[.fast]}" "${sym[__fast_load_start__]}"
  expect ".data load address" "${lma[.data]}" "${sym[__data_load_start__]}"
  for section in .fast .data; do
    within "$section load address" "${lma[$section]}" $flash $flash_end
    within "$section run address" "${vma[$section]}" $ram $ram_end
  done

  # Zeroed data, heap and stack in RAM; the stack ends the segment and is
  # the vector table's initial stack pointer.
  within ".bss address" "${vma[.bss]}" $ram $ram_end
  expect "heap size" $((sym[__heap_end__] - sym[__heap_start__])) 0x2000
  within "heap" "${sym[__heap_start__]}" "${sym[__data_end__]}" $ram_end
  expect __stack_end__ "${sym[__stack_end__]}" $ram_end
  expect "stack size" $((sym[__stack_end__] - sym[__stack_start__])) "$stack_size"
  local initial_sp
  initial_sp=$(arm-none-eabi-objdump -s -j .vectors "$elf" | awk '/^ 8000000 / { print $2 }')
  initial_sp=${initial_sp:6:2}${initial_sp:4:2}${initial_sp:2:2}${initial_sp:0:2}
  expect "initial stack pointer" $((16#${initial_sp:-0})) "${sym[__stack_end__]}"

  # The no-init variable in core-coupled RAM, not loaded.
  expect ".noinit address" "${vma[.noinit]}" $ccm
  expect reset_count "${sym[reset_count]}" $ccm
  [[ ${kind[.noinit]} != *LOAD* ]] || fail ".noinit is loaded: ${kind[.noinit]}"
  expect __CCM_segment_size__ "${sym[__CCM_segment_size__]}" "$ccm_size"
}

run_generator() {  # generator, then how to find vozo
  local generator=$1
  shift
  local label=$generator
  local source=$work/$generator/source binary=$work/$generator/build
  mkdir -p "$source"
  cp -R "$example/." "$source/"
  cmake -S "$source" -B "$binary" -G "$generator" \
    -DCMAKE_TOOLCHAIN_FILE="$source/arm-none-eabi.cmake" "$@" >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log"
    fail "the firmware does not configure ($label)"
    return
  }
  local elf=$binary/firmware.elf script=$binary/firmware.ld

  build "$binary" "$label"
  check_layout "$elf" 0x1000 0x10000
  built "Memory usage of" || fail "no size report after the link ($label)"
  local rules
  rules=$(cat "$binary"/CMakeFiles/*.dir/build.make "$binary"/build.ninja 2>/dev/null)
  for option in -check-segment-overflow -check-section-overflow -strict "-budget RAM=75%"; do
    grep -q -- "$option" <<<"$rules" || fail "$option is not passed ($label)"
  done

  # RAM holds about 10% of its size.
  sed -i 's/RAM=75%/RAM=5%/' "$source/CMakeLists.txt"
  for attempt in first second; do
    cmake --build "$binary" >"$work/build.log" 2>&1 && fail "a link past the RAM budget builds ($attempt build, $label)"
    built "over its budget of 5%" || fail "no message of the RAM budget ($attempt build, $label)"
  done
  sed -i 's/RAM=5%/RAM=75%/' "$source/CMakeLists.txt"
  build "$binary" "$label"

  build "$binary" "$label"
  if built "Generating linker script" || built "Linking"; then fail "a build with no change did work ($label)"; fi

  # An included file changes: new script, relink.
  sed -i 's/64\*1024/32*1024/' "$source/ccm.xml"
  build "$binary" "$label"
  built "Generating linker script" || fail "editing the included file did not regenerate the script ($label)"
  built "Linking" || fail "editing the included file did not relink ($label)"
  check_layout "$elf" 0x1000 0x8000

  # The placement file changes.
  sed -i 's/size="$(STACK_SIZE:0x1000)"/size="0x1800"/' "$source/placement.xml"
  build "$binary" "$label"
  built "Linking" || fail "editing the placement file did not relink ($label)"
  check_layout "$elf" 0x1800 0x8000

  build "$binary" "$label"
  if built "Generating linker script" || built "Linking"; then fail "a build with no change did work ($label)"; fi

  # A change that leaves the script's bytes as they were: vozo runs, the
  # script keeps its time stamp, nothing is relinked.
  local script_time elf_time
  script_time=$(mtime "$script")
  elf_time=$(mtime "$elf")
  echo "<!-- the core-coupled RAM -->" >>"$source/ccm.xml"
  build "$binary" "$label"
  built "Generating linker script" || fail "editing the included file did not rerun vozo ($label)"
  [[ $(mtime "$script") == "$script_time" ]] || fail "an unchanged script was rewritten ($label)"
  [[ $(mtime "$elf") == "$elf_time" ]] || fail "an unchanged script caused a relink ($label)"
}

run_generator Ninja -Dvozo_DIR="$vozo_build"
# Ninja records that the unchanged script needs no work.
build "$work/Ninja/build" Ninja
built "no work to do" || fail "the build after an unchanged script did work (Ninja)"

run_generator "Unix Makefiles" -DCMAKE_PREFIX_PATH="$work/prefix"

finish
