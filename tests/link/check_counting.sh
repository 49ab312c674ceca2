# Sourced by the link test scripts: counts failed checks and ends the test
# with a summary. The caller sets `work`, its scratch directory.
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Ends the test: status 1 after any failed check.
finish() {
  if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

rm -rf "$work"
mkdir -p "$work"
