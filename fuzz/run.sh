#!/usr/bin/env bash
# Runs fuzz targets for a while each and fails when one finds anything.
#
#   fuzz/run.sh <directory-of-fuzz-binaries> <seconds-per-target> [target...]
#
# Each target starts from its committed seeds (fuzz/corpus/<target>, which
# also hold every earlier finding as a regression case) plus what earlier runs
# in the same build directory found (<directory>/corpus/<target>, where new
# inputs go). A crash, leak, sanitizer report, timeout or memory blow-up is
# saved under <directory>/findings/ and fails the run: add the input to the
# seeds once it is fixed.
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 <directory-of-fuzz-binaries> <seconds-per-target> [target...]" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
seconds=$2
shift 2
source_dir=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(xml_parser expression macro_expansion preprocessor whole_run)

failed=0
for target in "${targets[@]}"; do
  work="$bin/corpus/$target"
  mkdir -p "$work" "$bin/findings"
  echo "== fuzz_$target for ${seconds}s"
  if ! "$bin/fuzz_$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
      -dict="$source_dir/dict/$target.dict" -artifact_prefix="$bin/findings/$target-" \
      -print_final_stats=1 "$work" "$source_dir/corpus/$target" 2>"$bin/$target.log"; then
    tail -n 60 "$bin/$target.log"
    echo "fuzz_$target: finding saved under $bin/findings/" >&2
    failed=1
  else
    grep -aE '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+[[:space:]]+DONE)' "$bin/$target.log"
  fi
done
exit $failed
