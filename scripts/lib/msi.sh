# halcyra_msi ARCH BIN_DIR VERSION OUT: the Windows Installer package of the
# programs in BIN_DIR (x64: the 64-bit ones under Program Files; x86: the
# 32-bit ones), from installer/halcyra.wxs. VERSION is the programs' own
# (a.b.c.d); Windows Installer compares a.b.d.
halcyra_msi() {
  local arch=$1 bin=$2 version=$3 out=$4 root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  local msi_version
  msi_version=$(awk -F. '{ print $1 "." $2 "." $4 }' <<<"$version")
  # wixl takes the files' sources relative to the .wxs only.
  bin=$(realpath --relative-to="$root/installer" "$bin")
  # wixl speaks of the GObject properties it does not know; its errors stay.
  wixl -a "$arch" -D Arch="$arch" -D Version="$msi_version" -D BinDir="$bin" -o "$out" \
    "$root/installer/halcyra.wxs" 2> >(grep -v -e 'GLib-GObject-WARNING' -e '^$' >&2) && [ -s "$out" ] || return 1
  # The event log expands its message file's path: "#%" makes it REG_EXPAND_SZ.
  msibuild "$out" -q "UPDATE \`Registry\` SET \`Value\` = '#%[#halcyrad.exe]' WHERE \`Name\` = 'EventMessageFile'" &&
  # A running daemon is closed before InstallValidate looks for files in
  # use: the installed halcyrad.exe's "/close" asks it as Unload does and
  # waits for its end (taskkill would only ask, and the files would still be
  # held). An executable in a folder (34), its failure ignored (+64): on a
  # first install there is nothing to run, nor to close.
  msibuild "$out" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('EndDaemon', 98, 'INSTALLDIR', '\"[INSTALLDIR]halcyrad.exe\" /close')" &&
  msibuild "$out" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('EndDaemon', 1399)"
}
