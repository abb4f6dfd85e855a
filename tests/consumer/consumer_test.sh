#!/bin/sh
# consumer_test.sh SOURCE_DIR BUILD_DIR CXX
# An application can add_subdirectory the project and link quorlax_plugin; and cmake --install of
# the project's build lays out the module (Runtime) apart from the stand-ins and the host
# (Development).
set -eu
source_dir=$1 build_dir=$2 cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$source_dir/tests/consumer" -B "$work/consumer" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
  -DQUORLAX_SOURCE_DIR="$source_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/consumer" >/dev/null
answer=$("$work/consumer/consumer")
[ "$answer" = "00 07 0B 57 69 6E 64 6F 77 73 20 31 30 2B " ] || {
  echo "FAIL: the consumer got \"$answer\""
  exit 1
}
echo "ok: an add_subdirectory consumer gets the Windows 10+ envelope"

cmake --install "$build_dir" --prefix "$work/runtime" --component Runtime >/dev/null
cmake --install "$build_dir" --prefix "$work/development" --component Development >/dev/null
runtime=$(cd "$work/runtime" && find . -type f | sort | tr '\n' ' ')
[ "$runtime" = "./lib/libquorlax_plugin.so " ] || { echo "FAIL: Runtime holds $runtime"; exit 1; }
for file in bin/quorlax-host lib/libflutter_windows.so lib/libkernel32.so \
  include/quorlax/plugin/quorlax_plugin_c_api.h include/quorlax/engine_api/engine_api.h; do
  [ -e "$work/development/$file" ] || { echo "FAIL: Development lacks $file"; exit 1; }
done
# The installed host finds the installed module and stand-ins on its own.
cp "$work/runtime/lib/libquorlax_plugin.so" "$work/development/lib/"
installed=$("$work/development/bin/quorlax-host" getPlatformVersion)
[ "$installed" = 'getPlatformVersion -> "Windows 10+"' ] || { echo "FAIL: $installed"; exit 1; }
echo "ok: install components laid out; the installed host answers"
