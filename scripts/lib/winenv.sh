# Private Wine prefix and X display for a Windows build tree.
# halcyra_win_prepare PREFIX: creates the prefix on first use and gives it
#   what the tests rely on; does nothing when all is there.
# halcyra_win_start BUILD_DIR: starts Xvfb and a persistent wineserver,
#   preparing the prefix; exports DISPLAY and WINEPREFIX.
# halcyra_win_stop BUILD_DIR: stops both again.

halcyra_win_prepare() {
  local prefix=$1 changed=
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  if [ ! -f "$prefix/system.reg" ]; then
    echo "initialising Wine prefix $prefix" >&2
    WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
    changed=1
  fi
  # Every window of the prefix lives in one 1024x768 virtual desktop: Wine
  # then draws real frames, and a window that hides does not wait two
  # seconds for a window manager that is not there.
  if ! grep -q '^\[Software\\\\Wine\\\\Explorer\\\\Desktops\]' "$prefix/user.reg" 2>/dev/null; then
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    changed=1
  fi
  # Wine's own TrueType fonts (Marlett draws the caption buttons, Tahoma the
  # password prompt), where this Wine does not find them by itself.
  if [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    changed=1
  fi
  if [ -n "$changed" ]; then WINEPREFIX=$prefix wineserver -w; fi
  return 0
}

halcyra_win_start() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX=$build/wineprefix
  rm -f "$build/display" "$build/xvfb.num"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/xvfb.num" >/dev/null 2>&1 &
  echo $! >"$build/xvfb.pid"
  local i
  for i in $(seq 1 100); do
    [ -s "$build/xvfb.num" ] && break
    sleep 0.1
  done
  if [ ! -s "$build/xvfb.num" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$(head -n1 "$build/xvfb.num")
  echo "$DISPLAY" >"$build/display"
  halcyra_win_prepare "$WINEPREFIX"
  wineserver -p 2>/dev/null || true
  # Start Wine's background processes (services, the desktop's explorer) now,
  # detached from any pipe: started later by a test, they would inherit
  # ctest's pipe and hold it open.
  timeout 120 wine rundll32 user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

halcyra_win_stop() {
  local build
  build=$(cd "$1" && pwd)
  WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid"
  fi
  rm -f "$build/display" "$build/xvfb.num"
}

# halcyra_scratch_end PREFIX WORK: the prefix's programs ended and waited
# for, then WORK (which holds it) removed; for a script's EXIT trap.
halcyra_scratch_end() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null
  WINEPREFIX=$1 wineserver -w 2>/dev/null
  rm -rf "$2"
}

# halcyra_scratch_prefix BUILD_DIR PREFIX: a prefix of a script's own, made
# fresh, on the display of the build's Windows session, in the C locale, its
# background processes started (detached from the caller's pipe) and
# WINEPREFIX pointing at it. Fails, saying why, without a display.
halcyra_scratch_prefix() {
  local build=$1 prefix=$2
  if [ -z "${DISPLAY:-}" ] && [ -f "$build/display" ]; then export DISPLAY=$(cat "$build/display"); fi
  if [ -z "${DISPLAY:-}" ]; then
    echo "no display; run under scripts/test or halcyra_win_start" >&2
    return 1
  fi
  unset LC_ALL LC_TIME LC_MESSAGES
  export LANG=C.UTF-8
  halcyra_win_prepare "$prefix"
  export WINEPREFIX=$prefix
  timeout 120 wine rundll32 user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
  return 0
}
