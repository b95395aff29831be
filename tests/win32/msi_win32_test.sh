#!/usr/bin/env bash
# The Windows Installer package under Wine, in a prefix of its own made fresh
# for the run: a silent per-machine install, its registrations read back, the
# daemon started as a log-on starts it (the Run key's command), a silent
# removal that leaves nothing of the package and keeps the user's settings.
# Usage: msi_win32_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/msi-test
fail() { echo "msi test: $*" >&2; exit 1; }

source "$root/scripts/lib/msi.sh"
source "$root/scripts/lib/winenv.sh"
prefix=$work/wineprefix
daemon_pid=
cleanup() {
  [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null
  halcyra_scratch_end "$prefix" "$work"
}
trap cleanup EXIT
rm -rf "$work"
mkdir -p "$work"

version=$(cat "$build/version.txt")
msi=$work/halcyra-$version-x64.msi
halcyra_msi x64 "$build/bin" "$version" "$msi" || fail "wixl could not build $msi"
msiinfo export "$msi" Property | tr -d '\r' | grep -q $'^ALLUSERS\t1' || fail "the package is not per machine"
msiinfo suminfo "$msi" | grep -q 'x64;1033' || fail "the package is not for x64: $(msiinfo suminfo "$msi" | grep -i template)"

halcyra_scratch_prefix "$build" "$prefix" || fail "no Wine prefix"

# reg VALUE_OF KEY NAME: the data of a value as reg.exe shows it, or nothing.
value_of() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}
type_of() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $2 }'
}
run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
cpls='HKLM\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls'
source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Halcyra'
dir='C:\Program Files\Halcyra'
unix_dir=$prefix/drive_c/Program\ Files/Halcyra

# The user's own settings, there before the package comes and after it goes.
wine reg add 'HKCU\Software\Halcyra\Settings' /v RunList /d 'Mine,' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Halcyra\Settings' /v RanQuickStart /d True /f >/dev/null 2>&1

timeout 300 wine msiexec /i "$(winepath -w "$msi")" /qn </dev/null >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "msiexec /i failed"; }
for f in halcyrad.exe halcfg.cpl halcyra.html halcyraset.html; do
  cmp -s "$build/bin/$f" "$unix_dir/$f" || fail "$f is not installed in $dir"
done
[ "$(value_of "$run" Halcyra)" = "\"$dir\\halcyrad.exe\"" ] || fail "Run: $(value_of "$run" Halcyra)"
[ "$(value_of "$cpls" Halcyra)" = "$dir\\halcfg.cpl" ] || fail "Cpls: $(value_of "$cpls" Halcyra)"
[ "$(value_of "$source_key" EventMessageFile)" = "$dir\\halcyrad.exe" ] ||
  fail "EventMessageFile: $(value_of "$source_key" EventMessageFile)"
[ "$(type_of "$source_key" EventMessageFile)" = REG_EXPAND_SZ ] ||
  fail "EventMessageFile is $(type_of "$source_key" EventMessageFile), not REG_EXPAND_SZ"
[ "$(value_of "$source_key" TypesSupported)" = 0x3 ] || fail "TypesSupported: $(value_of "$source_key" TypesSupported)"
# Windows Installer's own entry in Programs and Features.
product=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
  grep -B3 -A12 'DisplayName.*Halcyra' | grep -c 'MsiExec.exe /X')
[ "$product" -ge 1 ] || fail "no Windows Installer entry in Uninstall"
echo "msi test: installed, registrations read back"

# A log-on starts what the Run key names.
command=$(value_of "$run" Halcyra)
wine "${command//\"/}" </dev/null >/dev/null 2>&1 &
started=
for _ in $(seq 1 60); do
  if pgrep -f 'Halcyra.halcyrad\.exe' >/dev/null; then started=1; break; fi
  sleep 0.5
done
[ -n "$started" ] || fail "the Run key's command did not start the daemon"
daemon_pid=$(pgrep -f 'Halcyra.halcyrad\.exe' | head -1)
echo "msi test: the Run key's command started the daemon"

# Removal with the daemon running: the package asks it to close (WM_CLOSE,
# as the applet's Unload does) before it looks for files in use.
timeout 300 wine msiexec /x "$(winepath -w "$msi")" /qn </dev/null >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log"; fail "msiexec /x failed"; }
for _ in $(seq 1 20); do kill -0 "$daemon_pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$daemon_pid" 2>/dev/null && fail "the package did not close the running daemon"
daemon_pid=
for f in halcyrad.exe halcfg.cpl halcyra.html halcyraset.html; do
  [ ! -e "$unix_dir/$f" ] || fail "$f is still there after removal"
done
[ -z "$(value_of "$run" Halcyra)" ] || fail "the Run value is still there"
[ -z "$(value_of "$cpls" Halcyra)" ] || fail "the Cpls value is still there"
[ -z "$(value_of "$source_key" EventMessageFile)" ] || fail "the event source is still there"
[ "$(value_of 'HKCU\Software\Halcyra\Settings' RunList)" = 'Mine,' ] || fail "the user's settings are gone"
echo "msi test: removed; the user's settings kept"
