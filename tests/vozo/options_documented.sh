#!/bin/bash
# Every option that a program's --help lists has an entry in the option
# reference that its manual page is made from.
#
# Usage: options_documented.sh <program> <its page in docs/: cli.md for vozo>
set -u
missing=0
for option in $("$1" --help | grep -oE '^  -[-a-z]+' | sort -u); do
  grep -qE "^\`$option[ \`]" "$2" || { echo "FAIL: $option is not in $2"; missing=1; }
done
exit $missing
