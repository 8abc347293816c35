#!/usr/bin/env bash
# The .deb that cpack makes, unpacked into a scratch folder: its dependencies were computed,
# its scrpkg runs (--version, then pack and list with the stub built in), its manual page
# reads without warnings and its bash completion is there.
#   deb_package_test.sh BUILD_DIR SCRATCH_DIR VERSION
set -euo pipefail
build=$1 scratch=$2 version=$3
rm -rf "$scratch"
mkdir -p "$scratch"
(cd "$build" && cpack -G DEB -B "$scratch" >/dev/null)
deb=$(echo "$scratch"/scrpkg_*.deb)
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6'
dpkg-deb -x "$deb" "$scratch/root"
scrpkg=$scratch/root/usr/bin/scrpkg
[ "$("$scrpkg" --version)" = "$version" ]
cp "$scrpkg" "$scratch/DEMO.SCR"
"$scrpkg" pack -o "$scratch/DEMO.EXE" --store "$scratch/DEMO.SCR" >/dev/null
"$scrpkg" list "$scratch/DEMO.EXE" | grep -q '^Display name: *DEMO$'
warnings=$(man --warnings -l "$scratch/root/usr/share/man/man1/scrpkg.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
[ -f "$scratch/root/usr/share/bash-completion/completions/scrpkg" ]
echo "the unpacked .deb works"
