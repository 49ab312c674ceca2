#!/bin/bash
# Keeps the benchmark code working: the device converter's output for a
# small made-up device, which vozo -strict must accept; then the input
# generator at a tiny scale and the runner with one repetition (stand-ins for
# the baseline programs, no targets: timings at this size mean nothing).
# Usage: bench_smoke.sh VOZO SCRATCH_DIR
set -u
vozo=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
bench=$here/../../bench
source "$here/../link/check_counting.sh"

python3 "$bench/svd_to_memory_map.py" "$here/device.svd" 0x08000000 0x10000 0x20000000 0x2000 \
  > "$work/device.xml" || fail "the converter failed"
diff -u "$here/device_memory_map.xml" "$work/device.xml" || fail "converted device differs"
"$vozo" -strict -memory-map-file "$work/device.xml" "$work/device.ld" || fail "-strict rejects the converted device"

python3 "$bench/generate_inputs.py" "$work/inputs" --scale 200 --board "$here/../../examples/board" \
  || fail "the generator failed"
python3 "$bench/run_bench.py" --vozo "$vozo" --pugixml /bin/true --empty /bin/true \
  --inputs "$work/inputs" --repeat 1 --no-targets > "$work/table.txt" || fail "the runner failed"
grep -q '^| include 50 deep |' "$work/table.txt" || fail "the table lacks the last case"
finish
