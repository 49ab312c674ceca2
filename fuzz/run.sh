#!/usr/bin/env bash
# Runs fuzz targets for a while each and fails when one finds anything.
#
#   fuzz/run.sh <directory-of-fuzz-binaries> <seconds-per-target> [target...]
#
# FUZZ_JOBS=N runs N targets at once (default 1); FUZZ_NICE=N runs them at
# that scheduling priority (default 0), so a long campaign can share the
# machine with other work; FUZZ_TIMEOUT=S is the wall time after which one
# input counts as hanging (default 60 s: inputs take milliseconds, but a
# target at low priority on a busy machine may wait far longer for a core).
#
# Each target starts from its committed seeds (fuzz/corpus/<target>, which
# also hold every earlier finding as a regression case) plus what earlier runs
# in the same build directory found (<directory>/corpus/<target>, where new
# inputs go). FUZZ_SEED=N makes a run repeatable: libFuzzer's random seed is N
# instead of a new one each run, and new inputs go to a scratch folder that is
# removed afterwards, so every run starts from the committed seeds alone (the
# test suite runs the targets this way). A crash, leak, sanitizer report, timeout or memory blow-up is
# saved under <directory>/findings/ and fails the run: add the input to the
# seeds once it is fixed. Each target's log is <directory>/<target>.log; its
# CPU and wall time go to <directory>/<target>.time.
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 <directory-of-fuzz-binaries> <seconds-per-target> [target...]" >&2
  exit 2
fi
bin=$(cd "$1" && pwd) || exit 2
seconds=$2
shift 2
source_dir=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(xml_parser expression macro_expansion preprocessor whole_run lexer size_elf)
jobs=${FUZZ_JOBS:-1}
priority=${FUZZ_NICE:-0}
timeout=${FUZZ_TIMEOUT:-60}
seed=${FUZZ_SEED:-}

# Runs one target; prints its summary (or the log's tail on a finding) in one
# piece so that parallel runs do not interleave their reports.
run_target() {
  local target=$1 work="$bin/corpus/$1" seed_option=() status report
  if [ -n "$seed" ]; then
    work=$(mktemp -d "${TMPDIR:-/tmp}/fuzz_$target.XXXXXX") || return 2
    seed_option=(-seed="$seed")
  fi
  mkdir -p "$work" "$bin/findings"
  TIMEFORMAT="cpu: %U s user, %S s system; wall: %R s"
  { time nice -n "$priority" "$bin/fuzz_$target" -max_total_time="$seconds" -timeout="$timeout" \
      -rss_limit_mb=4096 -dict="$source_dir/dict/$target.dict" \
      -artifact_prefix="$bin/findings/$target-" -print_final_stats=1 "${seed_option[@]}" \
      "$work" "$source_dir/corpus/$target" 2>"$bin/$target.log"; } 2>"$bin/$target.time"
  status=$?
  [ -n "$seed" ] && rm -rf "$work"
  if [ $status -ne 0 ]; then
    report=$(tail -n 60 "$bin/$target.log"; echo "fuzz_$target: finding saved under $bin/findings/")
  else
    report=$(grep -aE '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+[[:space:]]+DONE)' \
               "$bin/$target.log"; cat "$bin/$target.time")
  fi
  printf '== fuzz_%s for %ss%s\n%s\n' "$target" "$seconds" "${seed:+, seed $seed}" "$report"
  return $status
}

failed=0
running=0
for target in "${targets[@]}"; do
  if [ $running -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
while [ $running -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
