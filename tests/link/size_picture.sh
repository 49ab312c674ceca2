#!/bin/bash
# The SVG picture of vozo-size is valid XML and renders, for the example
# firmware and for one whose RAM2 overflows; it names the segments and the
# sections wide enough for their label, and marks the overflow.
#
# Usage: size_picture.sh <vozo> <vozo-size> <scratch directory>
set -u
vozo=$1
vozo_size=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
board="$here/../../examples/board"
source "$here/check_counting.sh"
"$vozo" -memory-map-file "$board/memory_map.xml" -section-placement-file "$board/placement.xml" \
  "$work/board.ld" || exit 1

for firmware in fits:-DDMA_BUFFER_SIZE=16384 overflowing:-DDMA_BUFFER_SIZE=81920; do
  name=${firmware%%:*}
  arm-none-eabi-gcc -mcpu=cortex-m4 -mthumb -nostartfiles -O1 -Wl,-e,reset_handler \
    "${firmware#*:}" -T "$work/board.ld" "$here/firmware.c" -o "$work/$name.elf" || exit 1
  "$vozo_size" -svg "$work/$name.svg" "$work/$name.elf" >/dev/null 2>&1
  xmllint --noout "$work/$name.svg" || fail "$name.svg is not well-formed"
  rsvg-convert "$work/$name.svg" -o "$work/$name.png" || fail "$name.svg does not render"
  [[ -s $work/$name.png ]] || fail "$name.png is empty"
  for text in '>FLASH<' '>RAM<' '>RAM2<' '>PERIPHERALS<' '>.bss<' '>.dma_buffers<' \
    '.data load 132 B<' 'url(#free)'; do
    grep -qF -- "$text" "$work/$name.svg" || fail "$name.svg lacks $text"
  done
done
grep -q '>OVERFLOW<' "$work/overflowing.svg" || fail "the overflow is not marked"
grep -q '>OVERFLOW<' "$work/fits.svg" && fail "an overflow is marked where all fits"
# Nothing is fetched from elsewhere: the picture is self-contained.
grep -Eq '(href|src)=' "$work/fits.svg" && fail "fits.svg refers to another file"

"$vozo_size" -svg "$work/no/such/dir.svg" "$work/fits.elf" >/dev/null 2>"$work/err.txt"
[[ $? == 2 ]] && grep -q "cannot write $work/no/such/dir.svg" "$work/err.txt" ||
  fail "an unwritable picture path does not fail with status 2"

finish
