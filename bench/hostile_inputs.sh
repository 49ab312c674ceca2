#!/usr/bin/env bash
# Runs vozo on hostile inputs, one fresh directory per case, and prints a
# Markdown table row per case: exit status, first line of standard error,
# size of the output file, wall time and peak resident memory (GNU time).
#
#   bench/hostile_inputs.sh <vozo-binary> [case-name...]
#
# Inputs are generated here (some are tens of megabytes). Use a Release
# build: the numbers are meant for docs/reliability.md. The size_* cases time
# vozo-size of the same build tree (VOZO_SIZE overrides the path) on ELF
# files written by the size tests' generator (python3).
set -u

if [ $# -lt 1 ]; then
  echo "usage: $0 <vozo-binary> [case-name...]" >&2
  exit 2
fi
vozo=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
vozo_size=${VOZO_SIZE:-$(dirname "$vozo")/../size/cli/vozo-size}
elf_writer=$(cd "$(dirname "$0")/../tests/size" && pwd)
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/vozo-hostile.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Repeats a text: repeat <count> <text>
repeat() { perl -e 'print $ARGV[1] x $ARGV[0]' "$1" "$2"; }

segment='<MemorySegment name="RAM" start="0x20000000" size="0x1000"/>'

# Writes the memory map text $1 to map.xml and runs vozo on it, with the
# options that follow, writing out.ld.
run_map() {
  printf '%s' "$1" >map.xml
  shift
  run -memory-map-file map.xml "$@" out.ld
}

# Each case_* function sets up its files in the current directory and calls
# run with the arguments of vozo.
case_self_include_growth() {
  printf '<R><include filename="level.xml" macros="L=$(L)1"/></R>' >map.xml
  printf '<Level><MemorySegment name="L$(L)"/><include filename="level.xml" macros="L=$(L)1"/></Level>' >level.xml
  run -memory-map-file map.xml out.ld
}
case_include_dev_zero() {
  run_map '<R><include filename="/dev/zero"/></R>'
}
case_map_dev_zero() { run -memory-map-file /dev/zero out.ld; }
case_map_dev_urandom() { run -memory-map-file /dev/urandom out.ld; }
case_map_endless_fifo() {
  # A FIFO is read like any file; this one's writer never stops (it is given
  # up after a minute should vozo not read to the bound).
  mkfifo map.xml
  timeout 60 sh -c 'cat /dev/zero >map.xml' </dev/null >/dev/null 2>&1 &
  run -memory-map-file map.xml out.ld
}
case_placement_directory() {
  printf '<R>%s</R>' "$segment" >map.xml
  mkdir placement.xml
  run -memory-map-file map.xml -section-placement-file placement.xml out.ld
}
case_for_sub_most_negative() {
  run_map '<R><for index="i" start="0" end="1" incr="1" sub="0x8000000000000000"><MemorySegment name="S$(i_ap)" start="0" size="1"/></for></R>'
}
case_expression_50MB() {
  { printf '<R><MemorySegment name="S" size="1" start="0'; repeat 25000000 '+1'; printf '"/></R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
case_expressions_1000_of_64KB() {
  perl -e 'my $e = "0" . ("+1" x 32000); print "<R>"; print "<MemorySegment name=\"S$_\" start=\"$e\" size=\"1\"/>" for 1..1000; print "</R>"' >map.xml
  run -memory-map-file map.xml out.ld
}
case_repeated_failing_start_in_a_long_loop() {
  run_map '<R><for index="i" start="0" end="3" end="524288" incr="1"><MemorySegment name="B" start="$(x)" size="0x1000"/></for></R>'
}
case_distinct_failing_starts_100001() {
  run_map '<R><MemorySegment name="F" start="0" size="1"><for index="i" start="0" end="100001" incr="1"><Register name="R$(i)" start="@r$(i)" size="4"/></for></MemorySegment></R>'
}
case_placement_20k_against_200k_segments() {
  perl -e 'print "<R>"; print "<MemorySegment name=\"S$_\" start=\"0\" size=\"1\"/>" for 1..200000; print "</R>"' >map.xml
  perl -e 'print "<R>"; print "<MemorySegment name=\"X$_\"><ProgramSection name=\".t\"/></MemorySegment>" for 1..20000; print "</R>"' >placement.xml
  run -memory-map-file map.xml -section-placement-file placement.xml out.ld
}
case_imports_300k() {
  printf '<I/>' >i.xml
  { printf '<R>'; repeat 300000 '<Import filename="i.xml"/>'; printf '</R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
# 70,000 different files (symbolic links to one), more than 65,535, with a
# dependency file and -warnings; the last file has a finding.
case_imports_70k_files_with_dependency_file() {
  printf '<I/>' >i.xml
  mkdir parts
  perl -e 'symlink "../i.xml", "parts/f$_.xml" or die $! for 1..69999'
  printf '<I><MemorySegment name="LAST" start="0" size="4" acess="ReadWrite"/></I>' >parts/f70000.xml
  perl -e 'print "<R>"; print "<Import filename=\"parts/f$_.xml\"/>" for 1..70000; print "</R>"' >map.xml
  run -warnings -memory-map-file map.xml -dependency-file out.d out.ld
}
case_dependency_file_tab_in_name() {
  printf '<I/>' >$'tab\tname.xml'
  printf '<R><include filename="tab&#9;name.xml"/></R>' >map.xml
  run -memory-map-file map.xml -dependency-file out.d out.ld
}
case_foreach_exclusions_200k() {
  local list
  list=$(perl -e 'print join(",", map { "e$_" } 1..200000)')
  printf '<R><foreach exclude_entries="%s" x="%s"><MemorySegment name="$(x)" start="0" size="1"/></foreach></R>' "$list" "$list" >map.xml
  run -memory-map-file map.xml out.ld
}
case_foreach_wildcards_10k_by_10k() {
  local list
  list=$(perl -e 'print join(",", map { "e$_" } 1..10000)')
  printf '<R><foreach exclude_wildcard="%s" x="%s"><MemorySegment name="$(x)" start="0" size="1"/></foreach></R>' "$list" "$list" >map.xml
  run -memory-map-file map.xml out.ld
}
case_nested_if_100k_around_100k() {
  { printf '<R>'; repeat 100000 '<if A="1">'; repeat 100000 "$segment"; repeat 100000 '</if>'; printf '</R>'; } >map.xml
  run -memory-map-file map.xml -memory-map-macros A=1 out.ld
}
case_nesting_1M_deep() {
  { printf '<R>'; repeat 1000000 '<MemorySegment name="S" start="+1" size="1">'; repeat 1000000 '</MemorySegment>'; printf '</R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
case_register_groups_1M_deep_macro_at_bottom() {
  { printf '<R><MemorySegment name="P" start="0x40000000" size="0x1000">'; repeat 1000000 '<RegisterGroup name="G" start="+4">'; printf '<Register name="R" description="$(NOTE)"/>'; repeat 1000000 '</RegisterGroup>'; printf '</MemorySegment></R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
case_sections_1M_deep() {
  { printf '<R><MemorySegment name="RAM" start="0" size="0x100000">'; repeat 1000000 '<ProgramSection name=".s">'; repeat 1000000 '</ProgramSection>'; printf '</MemorySegment></R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
case_siblings_1M() {
  { printf '<R><MemorySegment name="RAM" start="0" size="0x100000">'; repeat 1000000 '<ProgramSection name=".s"/>'; printf '</MemorySegment></R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
case_include_cycle() {
  printf '<R><include filename="a.xml"/></R>' >map.xml
  printf '<A>%s<include filename="b.xml"/></A>' "$segment" >a.xml
  printf '<B><include filename="a.xml"/></B>' >b.xml
  run -memory-map-file map.xml out.ld
}
case_include_fan_out() {
  # Every level includes the next one twice: 2^63 includes without bounds.
  printf '<R><include filename="l.xml" macros="N=0"/></R>' >map.xml
  printf '<L><define name="M" expression="$(N)+1"/><MemorySegment name="S$(N)" start="0" size="1"/><include filename="l.xml" macros="N=$(M)"/><include filename="l.xml" macros="N=$(M)"/></L>' >l.xml
  run -memory-map-file map.xml out.ld
}
case_macro_cycle() {
  printf '<R><MemorySegment name="$(A)" start="0" size="1"/></R>' >map.xml
  run -memory-map-file map.xml -memory-map-macros 'A=$(B);B=$(A)' out.ld
}
case_macro_doubling() {
  local definitions="M0=x" i
  for i in $(seq 1 40); do definitions="$definitions;M$i=\$(M$((i - 1)))\$(M$((i - 1)))"; done
  printf '<R><MemorySegment name="$(M40)" start="0" size="1"/></R>' >map.xml
  run -memory-map-file map.xml -memory-map-macros "$definitions" out.ld
}
case_loop_bomb() {
  run_map '<R><for index="i" start="0" end="1000" incr="1"><for index="j" start="0" end="1000" incr="1"><for index="k" start="0" end="1000" incr="1"><MemorySegment name="S$(i)_$(j)_$(k)" start="0" size="1"/></for></for></for></R>'
}
case_nul_bytes() {
  printf '<R>%s\0<MemorySegment name="AFTER_NUL" start="0" size="1"/></R>' "$segment" >map.xml
  run -memory-map-file map.xml out.ld
}
case_invalid_utf8() {
  printf '<R><MemorySegment name="R\xff\xfe\xc3" start="0" size="1"/></R>' >map.xml
  run -memory-map-file map.xml out.ld
}
case_crlf() {
  printf '<R>\r\n%s\r\n</R>\r\n' "$segment" >map.xml
  run -memory-map-file map.xml out.ld
}
case_bom() {
  printf '\xef\xbb\xbf<R>%s</R>' "$segment" >map.xml
  run -memory-map-file map.xml out.ld
}
case_empty_file() {
  : >map.xml
  run -memory-map-file map.xml out.ld
}
case_file_65MiB() {
  truncate -s 65M map.xml
  run -memory-map-file map.xml out.ld
}
case_documents_past_128MiB() {
  truncate -s 40M big.xml
  run_map '<R><include filename="big.xml"/><include filename="big.xml"/><include filename="big.xml"/><include filename="big.xml"/></R>'
}
case_tiny_elements_60MB() {
  { printf '<R>'; repeat 15000000 '<a/>'; printf '</R>'; } >map.xml
  run -memory-map-file map.xml out.ld
}
case_script_past_256MiB() {
  local name
  name=$(repeat 150 N)
  printf '<R><for index="i" start="0" end="400000" incr="1"><MemorySegment name="$(N)$(i)" start="0" size="1"/></for></R>' >map.xml
  run -memory-map-file map.xml -memory-map-macros "N=$name" out.ld
}
case_output_is_directory() {
  printf '<R>%s</R>' "$segment" >map.xml
  mkdir out.ld
  run -memory-map-file map.xml out.ld
}
case_output_in_missing_directory() {
  printf '<R>%s</R>' "$segment" >map.xml
  run -memory-map-file map.xml missing/out.ld
}
case_output_in_read_only_directory() {
  printf '<R>%s</R>' "$segment" >map.xml
  mkdir ro && chmod 555 ro
  if [ "$(id -u)" = 0 ]; then
    # Permissions do not bind root: run as nobody.
    chmod 755 . "$work"
    RUN_AS=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    run -memory-map-file map.xml ro/out.ld
    RUN_AS=()
  else
    run -memory-map-file map.xml ro/out.ld
  fi
}
case_output_equals_input() {
  printf '<R>%s</R>' "$segment" >map.xml
  run -memory-map-file map.xml map.xml
}

# Writes the ELF file $1 that the Python expression $2 gives (elf_image.py's
# functions are in scope).
write_elf() {
  python3 -c "import sys; sys.path.insert(0, sys.argv[1]); from elf_image import *
open(sys.argv[2], 'wb').write($2)" "$elf_writer" "$1"
}
case_size_50k_segments_50k_sections() {
  write_elf fw.elf 'elf_image({k: v for i in range(50000) for k, v in [*segment_symbols(b"S%d" % i, i << 12, 4096, (i << 12) + 256).items(), *section_symbols(b"s%d" % i, i << 12, 256).items()]})'
  run_size -sections -svg fw.svg fw.elf
}
case_size_fifo_without_writer() {
  mkfifo fw.elf
  run_size fw.elf
}
case_size_dev_zero() { run_size /dev/zero; }
case_size_file_past_1GiB() {
  truncate -s 1025M fw.elf
  run_size fw.elf
}
case_size_sections_100k() {
  write_elf fw.elf 'elf_image({}, [b".s"] * 100000)'
  run_size fw.elf
}
case_size_sections_10M_declared() {
  write_elf fw.elf 'claiming_sections(elf_image(segment_symbols(b"RAM", 0, 16)), 10**7)'
  truncate -s 641M fw.elf
  run_size fw.elf
}
case_size_names_of_every_byte() {
  write_elf fw.elf 'elf_image({**segment_symbols(bytes(range(1, 256)), 0, 16), **section_symbols(bytes(range(1, 256)), 0, 32)})'
  run_size -sections -svg fw.svg fw.elf
}
case_size_picture_over_the_elf_file() {
  write_elf fw.elf 'elf_image(segment_symbols(b"RAM", 0, 16))'
  run_size -svg fw.elf fw.elf
}
case_size_report_to_dev_full() {
  write_elf fw.elf 'elf_image(segment_symbols(b"RAM", 0, 16))'
  RUN_STDOUT=/dev/full run_size fw.elf
}

RUN_AS=()
# vozo-size instead of vozo; the output bytes are those of its report.
run_size() { RUN_PROGRAM=$vozo_size RUN_OUTPUT=stdout run "$@"; }
run() {
  local status
  /usr/bin/time -f '%e %M' -o time.txt timeout 60 "${RUN_AS[@]}" "${RUN_PROGRAM:-$vozo}" "$@" \
    >"${RUN_STDOUT:-stdout}" 2>stderr
  status=$?
  local output=${RUN_OUTPUT:-${!#}}
  local size="-"
  [ -f "$output" ] && size=$(stat -c %s "$output")
  # The last line (GNU time puts a note on a failing status before it).
  local seconds kilobytes
  read -r seconds kilobytes < <(tail -n 1 time.txt)
  local message
  message=$(head -c 160 stderr | head -n 1 | tr -d '\r')
  printf '| %s | %s | %s | %s | %s s | %s MB |\n' "$current" "$status" "${message:-(none)}" \
    "$size" "$seconds" "$((kilobytes / 1024))"
}

cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
  mapfile -t cases < <(sed -n 's/^case_\([A-Za-z0-9_]*\)() .*/\1/p' "$0")
fi
echo "| case | status | standard error | output bytes | time | peak memory |"
echo "|---|---|---|---|---|---|"
for current in "${cases[@]}"; do
  mkdir "$work/$current"
  (cd "$work/$current" && "case_$current")
done
