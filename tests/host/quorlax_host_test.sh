#!/bin/sh
# quorlax_host_test.sh EXPECTED_ANSWER HOST_COMMAND...
# Runs the host program as a user would and compares what it prints, line for line, and its exit
# status. EXPECTED_ANSWER is what getPlatformVersion should answer where it runs ("Windows 10+",
# ...). When EXPECTED_ANSWER is "simulated", the host runs off Windows and the Windows versions are
# simulated instead.
set -u
expected_answer=$1
shift
failures=0
scratch=$(mktemp)
trap 'rm -f "$scratch" "$scratch.out" "$scratch.err"' EXIT

# check NAME EXPECTED_STATUS EXPECTED_STDOUT EXPECTED_STDERR_LINE_OR_EMPTY -- ARGS...
check() {
  name=$1 status=$2 stdout=$3 stderr_line=$4
  shift 5
  "$@" >"$scratch.out" 2>"$scratch.err"
  got=$?
  out=$(tr -d '\r' <"$scratch.out")
  err=$(tr -d '\r' <"$scratch.err")
  if [ "$got" != "$status" ] || [ "$out" != "$stdout" ]; then
    echo "FAIL $name: status $got (wanted $status), output:"
    echo "$out"
    echo "wanted:"
    echo "$stdout"
    echo "stderr: $err"
    failures=$((failures + 1))
  elif [ -n "$stderr_line" ] && ! printf '%s\n' "$err" | grep -qxF "$stderr_line"; then
    echo "FAIL $name: no line \"$stderr_line\" on stderr:"
    echo "$err"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

nl='
'
if [ "$expected_answer" = simulated ]; then
  for row in "10.0:Windows 10+" "6.3:Windows 8" "6.2:Windows 8" "6.1.1:Windows 7" "6.0.2:Windows "; do
    version=${row%%:*} answer=${row#*:}
    check "simulated $version" 0 "getPlatformVersion -> \"$answer\"" "" -- \
      "$@" --windows-version "$version" getPlatformVersion
  done
  answer="Windows 10+"
else
  answer=$expected_answer
fi

check "two calls" 0 \
  "getPlatformVersion -> \"$answer\"${nl}getBatteryLevel -> not implemented" "" -- \
  "$@" getPlatformVersion getBatteryLevel
check "an argument changes nothing" 0 "getPlatformVersion -> \"$answer\"" "" -- \
  "$@" --arg '{"a": [1, 2L, "x"]}' getPlatformVersion
check "raw bytes that are not a call" 0 "raw 03 01 00 00 00 -> not implemented" \
  "Unable to construct method call from message on channel quorlax" -- \
  "$@" --raw "03 01 00 00 00"
out=$("$@" --repeat 50 getPlatformVersion 2>/dev/null | tr -d '\r')
case "$out" in
  *"getPlatformVersion: 50 calls in "*" calls/s") echo "ok   repeat line" ;;
  *) echo "FAIL repeat line: $out"; failures=$((failures + 1)) ;;
esac
check "unknown option" 2 "" "quorlax-host: unknown option --bogus" -- "$@" --bogus
check "nothing to send" 2 "" "quorlax-host: nothing to send" -- "$@"
check "bad repeat" 2 "" "quorlax-host: --repeat needs a count of 1 or more" -- \
  "$@" --repeat 0 getPlatformVersion
check "bad argument value" 2 "" "quorlax-host: --arg: not a value at offset 0" -- \
  "$@" --arg '?' getPlatformVersion
check "missing module" 1 "" "" -- "$@" --module /nonexistent/module getPlatformVersion

[ "$failures" = 0 ] || { echo "$failures failed"; exit 1; }
