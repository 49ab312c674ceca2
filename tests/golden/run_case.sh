#!/usr/bin/env bash
# Runs one golden case of the vozo command-line tool and compares the result.
#
#   run_case.sh <vozo-binary> <case-directory>
#
# A case directory holds:
#   args              one argument per line; an empty line is an empty argument
#                     (an empty file means no arguments at all)
#   input/            optional; copied into a fresh scratch directory, which is
#                     the working directory of the run
#   setup             optional; a bash script run in the scratch directory
#                     before vozo, for inputs too large to commit
#   expected/stdout   standard output (absent: must be empty)
#   expected/stderr   standard error (absent: must be empty)
#   expected/status   exit status (absent: 0)
#   expected/files/   each file must exist in the scratch directory after the
#                     run, at the same relative path, with identical bytes
#   expected/absent   optional; names (one per line, relative to the scratch
#                     directory) that must not exist after the run
#   check             optional; a bash script run in the scratch directory after
#                     the run, for outputs too large to commit or read back with
#                     other tools; the case fails when it exits non-zero
#
# vozo is given 60 seconds: a run that hangs, or takes time quadratic in its
# input, fails its case.
#
# With VOZO_GOLDEN_UPDATE=1 the case's expected stdout, stderr, status and the
# files already listed under expected/files are rewritten from the run.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 <vozo-binary> <case-directory>" >&2
  exit 2
fi
vozo=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
case_dir=$(cd "$2" && pwd)
expected="$case_dir/expected"

if [ ! -f "$case_dir/args" ]; then
  echo "golden case $case_dir has no args file" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vozo-golden.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"
if [ -d "$case_dir/input" ]; then
  cp -R "$case_dir/input/." "$work/run/"
fi
if [ -f "$case_dir/setup" ]; then
  if ! (cd "$work/run" && bash "$case_dir/setup"); then
    echo "golden case $case_dir: setup failed" >&2
    exit 2
  fi
fi

args=()
mapfile -t args <"$case_dir/args"

time_limit=60
status=0
(cd "$work/run" && exec timeout "$time_limit" "$vozo" "${args[@]}") >"$work/stdout" 2>"$work/stderr" ||
  status=$?
printf '%s\n' "$status" >"$work/status"

if [ "${VOZO_GOLDEN_UPDATE:-0}" = 1 ]; then
  mkdir -p "$expected"
  for stream in stdout stderr; do
    if [ -s "$work/$stream" ]; then
      cp "$work/$stream" "$expected/$stream"
    else
      rm -f "$expected/$stream"
    fi
  done
  if [ "$status" = 0 ]; then rm -f "$expected/status"; else cp "$work/status" "$expected/status"; fi
  if [ -d "$expected/files" ]; then
    while IFS= read -r -d '' file; do
      name=${file#"$expected/files/"}
      if [ -f "$work/run/$name" ]; then
        cp "$work/run/$name" "$file"
      else
        echo "golden update: $name was not written by the run; left as it was" >&2
      fi
    done < <(find "$expected/files" -type f -print0)
  fi
  echo "updated $case_dir"
  exit 0
fi

failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

if [ "$status" = 124 ]; then
  fail "vozo did not finish within $time_limit seconds"
fi

# Compares an expected file (or nothing, meaning empty) with an actual file.
compare() {
  local label=$1 wanted=$2 actual=$3
  if [ -f "$wanted" ]; then
    if ! cmp -s "$wanted" "$actual"; then
      fail "$label differs"
      diff -u --label "expected $label" --label "actual $label" "$wanted" "$actual"
    fi
  elif [ -s "$actual" ]; then
    fail "$label should be empty"
    diff -u --label "expected $label" --label "actual $label" /dev/null "$actual"
  fi
}

compare stdout "$expected/stdout" "$work/stdout"
compare stderr "$expected/stderr" "$work/stderr"

if [ -f "$expected/status" ]; then
  wanted_status=$(tr -d '[:space:]' <"$expected/status")
else
  wanted_status=0
fi
if [ "$status" != "$wanted_status" ]; then
  fail "exit status $status, expected $wanted_status"
fi

if [ -d "$expected/files" ]; then
  while IFS= read -r -d '' file; do
    name=${file#"$expected/files/"}
    if [ ! -f "$work/run/$name" ]; then
      fail "file $name was not written"
    else
      compare "file $name" "$file" "$work/run/$name"
    fi
  done < <(find "$expected/files" -type f -print0 | sort -z)
fi

if [ -f "$expected/absent" ]; then
  while IFS= read -r name || [ -n "$name" ]; do
    [ -z "$name" ] && continue
    if [ -e "$work/run/$name" ] || [ -L "$work/run/$name" ]; then
      fail "$name should not exist after the run"
    fi
  done <"$expected/absent"
fi

if [ -f "$case_dir/check" ] && ! (cd "$work/run" && bash "$case_dir/check"); then
  fail "check script failed"
fi

if [ "$failed" != 0 ]; then
  echo "golden case $(basename "$case_dir") failed (vozo run with ${#args[@]} argument(s))"
  exit 1
fi
exit 0
