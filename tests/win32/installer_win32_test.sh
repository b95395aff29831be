#!/usr/bin/env bash
# The installer's test: scripts/package builds the zip and the setup program,
# then installer_win32_test installs, checks and uninstalls in a Wine prefix
# of its own, made fresh for the run and removed after it.
# Usage: installer_win32_test.sh BUILD_DIR TEST_PROGRAM
set -uo pipefail
build=$(cd "$1" && pwd)
program=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/installer-test
version_file=$root/build/win64-release/version.txt

fail() { echo "installer test: $*" >&2; exit 1; }

# Both files must come from this run of scripts/package.
if [ -f "$version_file" ]; then
  old=$root/dist/halcyra-$(cat "$version_file")
  rm -f "$old.zip" "$old-setup.exe" "$old-x86.zip" "$old-x86-setup.exe"
fi
"$root/scripts/package" >"$build/installer-package.log" 2>&1 ||
  { tail -n 40 "$build/installer-package.log"; fail "scripts/package failed"; }
tail -n 5 "$build/installer-package.log"
version=$(cat "$version_file")
zip=$root/dist/halcyra-$version.zip
setup=$root/dist/halcyra-$version-setup.exe
[ -f "$setup" ] || fail "no $setup"
[ -f "$zip" ] || fail "no $zip"
# The budgets: the programs together under 1.125 MB (ASLR relocations and the
# hardening took the 1 MB of old), the installer under 1.5 MB.
bin=$root/build/win64-release/bin
programs=$(( $(stat -c %s "$bin/halcyrad.exe") + $(stat -c %s "$bin/halcfg.cpl") ))
[ "$programs" -lt 1179648 ] || fail "the programs take $programs bytes, over 1.125 MB"
[ "$(stat -c %s "$setup")" -lt 1572864 ] || fail "$setup is over 1.5 MB"
listing=$(zip -sf "$zip")
for f in halcyrad.exe halcfg.cpl halcyra.html halcyraset.html readme.txt; do
  grep -qx "  halcyra-$version/$f" <<<"$listing" || fail "$f missing from $zip"
done
# The 32-bit release: its programs within their budget, its zip and setup
# there (32-bit Wine, where the machine has it, is not needed to pack them).
bin32=$root/build/win32-release/bin
programs32=$(( $(stat -c %s "$bin32/halcyrad.exe") + $(stat -c %s "$bin32/halcfg.cpl") ))
[ "$programs32" -lt 1310720 ] || fail "the 32-bit programs take $programs32 bytes, over 1.25 MB"
[ -f "$root/dist/halcyra-$version-x86-setup.exe" ] || fail "no 32-bit setup"
zip -sf "$root/dist/halcyra-$version-x86.zip" | grep -qx "  halcyra-$version-x86/halcyrad.exe" ||
  fail "halcyrad.exe missing from the 32-bit zip"

source "$root/scripts/lib/winenv.sh"
prefix=$work/wineprefix
trap 'halcyra_scratch_end "$prefix" "$work"' EXIT
rm -rf "$work"
mkdir -p "$work"
halcyra_scratch_prefix "$build" "$prefix" || fail "no Wine prefix"
# Everything the test starts runs detached too, its output going to a file.
HALCYRA_SETUP=$(winepath -w "$setup") timeout 300 wine "$program" </dev/null >"$build/installer-test.log" 2>&1
status=$?
cat "$build/installer-test.log"
exit $status
