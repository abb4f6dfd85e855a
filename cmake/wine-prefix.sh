#!/bin/sh
# wine-prefix.sh WINE_RUN WINESERVER PREFIX [WINDOWS_VERSION]
# Creates the Wine prefix PREFIX when it is not there yet and, if asked, sets the Windows version
# that Wine reports in it. Waits for the prefix's wineserver to finish, so that a test starting
# right after finds a settled prefix.
set -eu
wine_run=$1
wineserver=$2
prefix=$3
version=${4:-}
export WINEPREFIX="$prefix"
if [ ! -f "$prefix/system.reg" ]; then
  "$wine_run" wineboot --init >/dev/null 2>&1 || true
  "$wineserver" -w
fi
test -f "$prefix/system.reg" || { echo "wine-prefix.sh: could not create $prefix" >&2; exit 1; }
if [ -n "$version" ]; then
  "$wine_run" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$version" /f >/dev/null 2>&1
  "$wineserver" -w
fi
