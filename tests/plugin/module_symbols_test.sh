#!/bin/sh
# module_symbols_test.sh MODULE [OBJDUMP]
# The module exports QuorlaxPluginCApiRegisterWithRegistrar and nothing else. A Windows DLL
# (checked with OBJDUMP) imports only from system DLLs and flutter_windows.dll: the MinGW runtime
# is linked in.
set -eu
module=$1
objdump=${2:-}
fail() { echo "FAIL: $*"; exit 1; }

if [ -z "$objdump" ]; then
  exports=$(nm -D --defined-only "$module" | awk '{print $3}')
  [ "$exports" = QuorlaxPluginCApiRegisterWithRegistrar ] || fail "exports: $exports"
  needed=$(objdump -p "$module" | awk '/NEEDED/ {print $2}')
  echo "$needed" | grep -qx libflutter_windows.so || fail "does not import libflutter_windows.so"
  echo "ok: one export; needs $(echo $needed)"
  exit 0
fi

dump=$("$objdump" -p "$module")
exports=$(echo "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^[[:space:]]+\[' |
  awk '{print $NF}')
[ "$exports" = QuorlaxPluginCApiRegisterWithRegistrar ] || fail "exports: $exports"
imports=$(echo "$dump" | awk '/DLL Name:/ {print $3}')
for dll in $imports; do
  case $(echo "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | user32.dll | advapi32.dll | api-ms-win-*.dll) ;;
    flutter_windows.dll) ;;
    *) fail "imports from $dll" ;;
  esac
done
echo "$imports" | grep -qx flutter_windows.dll || fail "does not import flutter_windows.dll"
echo "ok: one export; imports $(echo $imports)"
