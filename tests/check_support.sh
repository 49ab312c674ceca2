# Shared by the shell-script tests (sourced): failure counting and the end
# of a run.

failures=0

# Records a failed check and goes on.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Empties the scratch directory $1, creating it when needed.
fresh_directory() {
  rm -rf "$1"
  mkdir -p "$1"
}

# Ends the test: status 1 after any failure, else prints $1.
finish() {
  if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "$1"
  exit 0
}
