#!/bin/sh
# Makes a fresh headless Wine prefix, runs a package in it under the automation driver, then
# lists what the package installed and the [boot] section of system.ini.
#   run_package.sh PREFIX PACKAGE DRIVER LOG [ANSWER...]
# WINE names the loader (default: wine); WINEARCH=win32 makes a 32-bit prefix. The package
# runs as C:\pkg\<its name>; the driver's JSON Lines go to LOG. Exits with the driver's code.
set -eu
prefix=$1 package=$2 driver=$3 log=$4
shift 4
wine=${WINE:-wine}
here=$(cd "$(dirname "$0")" && pwd)

arch_option=""
[ "${WINEARCH:-}" = win32 ] && arch_option="--winearch win32"
python3 "$here/scenarios.py" prefix "$prefix" --wine "$wine" $arch_option
mkdir -p "$prefix/drive_c/pkg"
name=$(basename "$package")
cp "$package" "$prefix/drive_c/pkg/$name"

answers=""
for answer in "$@"; do answers="$answers --answer $answer"; done
log_dir=$(cd "$(dirname "$log")" && pwd)
windows_log="Z:$(printf '%s' "$log_dir/$(basename "$log")" | tr / '\\')"

status=0
WINEPREFIX=$prefix WINEDEBUG=-all "$wine" "$driver" --log "$windows_log" --timeout 300 $answers \
  "C:\\pkg\\$name" >/dev/null || status=$?
WINEPREFIX=$prefix /usr/lib/wine/wineserver -w

printf '\n=== Installed under C:\\windows\n\n'
cd "$prefix/drive_c/windows"
find . -maxdepth 1 -type f -iname '*.scr' -printf '%10s  %P\n'
[ ! -d TOLVERAN ] || find TOLVERAN -type f -printf '%10s  %p\n' | sort -k2
printf '\n=== system.ini [boot]\n\n'
tr -d '\r' <system.ini | awk '/^\[/ { shown = ($0 == "[boot]") } shown'
exit $status
