#!/bin/bash
# Cases that only mean something on Windows, for `make test-windows`:
#
#   tests/hosts/windows_cases.sh <vozo>
#
# <vozo> runs vozo.exe (a wrapper that execs wine64 with it). Wine maps the
# drive Z: to "/", so "Z:\tmp\x" is /tmp/x. Each case writes the script of
# README's first example through paths as a Windows user writes them, and
# compares it with the bytes the Linux build writes (the golden case
# readme_first_example); others check the host macros' values, the
# dependency file and runs for one output at the same time.
# Prints "ok <case>" or "FAIL <case>" with the reason; exit status 1 when a
# case failed.
set -u
vozo=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
expected="$source_dir/tests/golden/cases/readme_first_example/expected/files/app.ld"
placement="$source_dir/examples/startup/placement.xml"
segments="FLASH RX 0x08000000 0x40000;RAM RWX 0x20000000 0x10000"
work=$(mktemp -d "${TMPDIR:-/tmp}/vozo-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# The Windows spelling of the absolute Linux path $1: "Z:" and backslashes.
windows_path() {
  printf 'Z:%s' "${1//\//\\}"
}

fail() {
  echo "FAIL $1: $2"
  failed=1
}

# check_script <case> <script>: the script exists, equals the Linux bytes,
# and no temporary file is left beside it.
check_script() {
  if [ ! -f "$2" ]; then
    fail "$1" "$2 was not written"
  elif ! cmp -s "$2" "$expected"; then
    fail "$1" "$2 differs from the Linux build's script"
  elif compgen -G "$(dirname "$2")/.vozo-*.tmp" >/dev/null; then
    fail "$1" "a temporary file was left beside $2"
  else
    echo "ok   $1"
  fi
}

# run_vozo <case> <folder> <arguments...>: vozo in <folder>, status 0 and
# nothing on standard error.
run_vozo() {
  local name=$1 folder=$2
  shift 2
  if ! (cd "$folder" && "$vozo" "$@") >"$work/out" 2>"$work/err" || [ -s "$work/err" ]; then
    fail "$name" "vozo failed: $(cat "$work/err")"
    return 1
  fi
}

# Drive-letter absolute paths with backslashes, and with slashes.
mkdir -p "$work/drive"
run_vozo drive_letter_backslashes "$work" -memory-map-segments "$segments" \
  -section-placement-file "$(windows_path "$placement")" -check-segment-overflow \
  -entry Reset_Handler "$(windows_path "$work/drive/app.ld")" &&
  check_script drive_letter_backslashes "$work/drive/app.ld"
mkdir -p "$work/slashes"
run_vozo drive_letter_slashes "$work" -memory-map-segments "$segments" \
  -section-placement-file "Z:$placement" -check-segment-overflow \
  -entry Reset_Handler "Z:$work/slashes/app.ld" &&
  check_script drive_letter_slashes "$work/slashes/app.ld"

# Relative paths with backslashes, ".\" and "..\": the placement file in a
# folder beside the output's.
mkdir -p "$work/relative/in" "$work/relative/out"
cp "$placement" "$work/relative/in/placement.xml"
run_vozo relative_backslashes "$work/relative/out" -memory-map-segments "$segments" \
  -section-placement-file '..\in\placement.xml' -check-segment-overflow \
  -entry Reset_Handler '.\app.ld' &&
  check_script relative_backslashes "$work/relative/out/app.ld"

# A path longer than the classic limit of 260 characters, absolute and
# relative; an existing script there is replaced.
long="$work/long"
for part in 1 2 3 4 5 6; do long+="/folder-with-a-long-name-$part-of-the-path-$part"; done
mkdir -p "$long"
if [ ${#long} -le 260 ]; then
  fail long_path "the test path has only ${#long} characters"
else
  cp "$placement" "$long/placement.xml"
  echo old >"$long/app.ld"
  run_vozo long_path_absolute "$work" -memory-map-segments "$segments" \
    -section-placement-file "$(windows_path "$long/placement.xml")" -check-segment-overflow \
    -entry Reset_Handler "$(windows_path "$long/app.ld")" &&
    check_script long_path_absolute "$long/app.ld"
  relative=${long#"$work/"}
  rm "$long/app.ld"
  run_vozo long_path_relative "$work" -memory-map-segments "$segments" \
    -section-placement-file "${relative//\//\\}\\placement.xml" -check-segment-overflow \
    -entry Reset_Handler "${relative//\//\\}\\app.ld" &&
    check_script long_path_relative "$long/app.ld"
fi

# Names outside ASCII, which the command line carries in UTF-16.
mkdir -p "$work/utf8/größe"
cp "$placement" "$work/utf8/größe/platzierung.xml"
run_vozo utf8_paths "$work/utf8" -memory-map-segments "$segments" \
  -section-placement-file 'größe\platzierung.xml' -check-segment-overflow \
  -entry Reset_Handler 'größe\ausgabe-é.ld' &&
  check_script utf8_paths "$work/utf8/größe/ausgabe-é.ld"

# CRLF inputs: the placement file with CRLF line ends gives the same script.
mkdir -p "$work/crlf"
sed 's/$/\r/' "$placement" >"$work/crlf/placement.xml"
run_vozo crlf_placement "$work/crlf" -memory-map-segments "$segments" \
  -section-placement-file placement.xml -check-segment-overflow -entry Reset_Handler app.ld &&
  check_script crlf_placement "$work/crlf/app.ld"

# The host macros: $(HostOS) in an input path, and every host macro's value
# in the name of an included file.
mkdir -p "$work/macros/win" "$work/macros/parts"
cp "$placement" "$work/macros/win/placement.xml"
cat >"$work/macros/board.xml" <<'XML'
<Root name="Board">
  <MemorySegment name="FLASH" start="0x08000000" size="0x40000" access="ReadOnly"/>
  <MemorySegment name="RAM" start="0x20000000" size="0x10000" access="ReadWrite"/>
  <include filename="parts/h_$(HostArch)_$(HostArchClass)_$(HostOS)_$(HostEXE)_$(HostDLLExt)_$(HostDLL).xml"/>
</Root>
XML
echo '<MemorySegment name="HOST_MACROS" start="0x30000000" size="4"/>' \
  >"$work/macros/parts/h_x64_intel_win_.exe_.dll_.dll.xml"
if run_vozo host_macros "$work/macros" -memory-map-file board.xml \
     -section-placement-file '$(HostOS)\placement.xml' app.ld; then
  if grep -q '^  HOST_MACROS (wx) : ORIGIN = 0x30000000' "$work/macros/app.ld"; then
    echo "ok   host_macros"
  else
    fail host_macros "parts/h_x64_intel_win_.exe_.dll_.dll.xml was not included"
  fi
fi

# The dependency file names inputs with "/" and a drive's colon as it is.
mkdir -p "$work/depend"
run_vozo dependency_file_drive "$work/depend" -memory-map-segments "$segments" \
  -section-placement-file "$(windows_path "$placement")" -dependency-file app.d app.ld &&
  if grep -qxF "  Z:$placement" "$work/depend/app.d"; then
    echo "ok   dependency_file_drive"
  else
    fail dependency_file_drive "app.d does not list Z:$placement: $(cat "$work/depend/app.d")"
  fi

# Runs for one output at the same time: each waits for the others' temporary
# file and for the output they hold open, and all of them succeed.
mkdir -p "$work/concurrent"
cp "$expected" "$work/concurrent/app.ld"
for run in 1 2 3 4 5 6; do
  (cd "$work/concurrent" && "$vozo" -memory-map-segments "FLASH RX 0x08000000 0x40000;RAM RWX 0x2000000$run 0x10000" \
     -section-placement-file "$placement" app.ld >/dev/null 2>"$work/concurrent-$run.err"
   echo $? >"$work/concurrent-$run.status") &
done
wait
statuses=$(cat "$work"/concurrent-*.status | tr -d '\n')
if [ "$statuses" != 000000 ]; then
  fail concurrent_runs "exit statuses $statuses: $(cat "$work"/concurrent-*.err)"
elif compgen -G "$work/concurrent/.vozo-*.tmp" >/dev/null; then
  fail concurrent_runs "a temporary file was left"
else
  echo "ok   concurrent_runs"
fi

exit $failed
