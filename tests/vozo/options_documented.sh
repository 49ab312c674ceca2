#!/bin/bash
# Every option that --help lists has an entry in the option reference that
# the manual page is made from.
#
# Usage: options_documented.sh <vozo> <docs/cli.md>
set -u
missing=0
for option in $("$1" --help | grep -oE '^  -[-a-z]+' | sort -u); do
  grep -qE "^\`$option[ \`]" "$2" || { echo "FAIL: $option is not in $2"; missing=1; }
done
exit $missing
