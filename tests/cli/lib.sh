# Sourced by the command-line tests: counted checks and a private working
# directory, removed on exit, that the test runs in.
fail=0
pass=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then pass=$((pass+1)); else echo "FAIL: $name"; fail=$((fail+1)); fi
}
finish() {  # the counts, and the exit status of the whole test
  echo "$pass passed, $fail failed"
  test $fail -eq 0
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
