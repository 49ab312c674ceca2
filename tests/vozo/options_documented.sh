#!/bin/bash
# Every option that a program's --help lists has an entry in the option
# reference that its manual page is made from. A program whose --help fails
# or lists no option fails too: a program that cannot run (a wrong path, a
# missing emulator) must not pass for lack of options to look up.
#
# Usage: options_documented.sh <program> <its page in docs/: cli.md for vozo>
set -u
help=$("$1" --help) || { echo "FAIL: $1 --help exited with status $?"; exit 1; }
options=$(grep -oE '^  -[-a-z]+' <<<"$help" | sort -u)
[ -n "$options" ] || { echo "FAIL: $1 --help lists no option"; exit 1; }
missing=0
for option in $options; do
  grep -qE "^\`$option[ \`]" "$2" || { echo "FAIL: $option is not in $2"; missing=1; }
done
exit $missing
