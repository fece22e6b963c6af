#!/usr/bin/env bash
# One entry point for people and CI. Every command does its own set-up and is quick when all is
# already in place.
#   ./dev.sh run         build the window program and start it under Wine (a screenshot when headless)
#   ./dev.sh test        build all three targets, run the native tests and the Windows tests under Wine
#   ./dev.sh screenshot  start the window on a virtual display and save docs/screenshot.png
#   ./dev.sh dist        build the 32-bit programs and zip them into dist/
#   ./dev.sh sample      build, then split a generated sample stock list with vevidav-split
#   ./dev.sh bench       the throughput and memory benchmark against GNU split
#   ./dev.sh setup       only install what the others need
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD

PACKAGES=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix wine wine64 fonts-wine fonts-wqy-microhei xvfb xdotool x11-utils
  imagemagick locales time zip unzip)

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

setup_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    as_root apt-get update -q
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    log "generating the zh_CN.UTF-8 locale"
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

# Wine with code page 936 (from the locale), a prefix of our own under build/, no crash dialogs.
wine_env() {
  export WINEPREFIX=$ROOT/build/wineprefix WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
}

setup_wine() {
  wine_env
  if [ ! -f "$WINEPREFIX/.vevidav-ready" ]; then
    log "creating the Wine prefix in build/wineprefix"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    # A virtual desktop: windows get a frame and caption without a window manager, closes are fast.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
    wineserver -w
    local marlett
    marlett=$(dpkg -L fonts-wine | grep -i 'marlett.ttf$' | head -n1)
    [ -n "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$WINEPREFIX/.vevidav-ready"
  fi
}

XVFB_PID=
start_xvfb() {
  local n=90
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=:$n
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2
  return 1
}

WINESERVER_UP=
start_wineserver() {
  wineserver -p
  wine wineboot >/dev/null 2>&1 </dev/null
  WINESERVER_UP=1
}

cleanup() {
  if [ -n "$WINESERVER_UP" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

configure_and_build() {
  local preset
  for preset in "$@"; do
    [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
    log "building $preset"
    cmake --build --preset "$preset"
  done
}

cmd_setup() { setup_packages; setup_wine; }

cmd_test() {
  setup_packages
  setup_wine
  configure_and_build native win64 win32
  local status=0
  log "native tests"
  ctest --preset native -j2 || status=1
  start_xvfb
  start_wineserver
  log "Windows tests under Wine (display $DISPLAY)"
  ctest --preset win64 || status=1
  [ $status = 0 ] && log "all tests passed" || log "TESTS FAILED"
  return $status
}

cmd_sample() {
  setup_packages
  configure_and_build native-release
  local out=build/sample
  mkdir -p "$out"
  build/native-release/tools/make-stocklist --lines 4321 --seed 7 > "$out/库存清单.txt"
  log "splitting build/sample/库存清单.txt into pieces of 1000 lines"
  build/native-release/cli/vevidav-split -n 1000 -d "$out" "$out/库存清单.txt"
}

VEVIDAV_TITLE='Vevidav byRedivez v20.04.23'

# Starts the window program under Wine in the background; sets WINDOW_PID and WINDOW_ID.
WINDOW_PID=
WINDOW_ID=
start_window() {
  wine build/win64/shell/Vevidav.exe >/dev/null 2>&1 </dev/null &
  WINDOW_PID=$!
  for _ in $(seq 200); do
    WINDOW_ID=$(xdotool search --name "$VEVIDAV_TITLE" 2>/dev/null | head -n1 || true)
    [ -n "$WINDOW_ID" ] && break
    sleep 0.1
  done
  if [ -z "$WINDOW_ID" ]; then
    echo "the window did not appear" >&2
    return 1
  fi
  sleep 1.5  # let it paint
}

# Closes the window with Escape, as a user would, and waits for the program to end.
stop_window() {
  xdotool key Escape 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$WINDOW_PID" 2>/dev/null || return 0; sleep 0.1; done
  kill "$WINDOW_PID" 2>/dev/null || true
}

# A headless display of our own with the wineserver running (the virtual desktop draws the frame).
headless() {
  start_xvfb
  start_wineserver
  # wineboot has started the desktop; the program must not race it (a black screen).
  for _ in $(seq 100); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
}

cmd_run() {
  setup_packages
  setup_wine
  configure_and_build win64
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    log "starting Vevidav.exe under Wine on $DISPLAY; close its window to end"
    wine build/win64/shell/Vevidav.exe >/dev/null 2>&1 </dev/null
    return
  fi
  log "no display: starting Vevidav.exe on a virtual one"
  headless
  start_window
  import -window "$WINDOW_ID" build/screenshot.png
  stop_window
  log "the window as it looked: $ROOT/build/screenshot.png"
}

cmd_screenshot() {
  setup_packages
  setup_wine
  configure_and_build win64
  headless
  start_window
  mkdir -p docs
  import -window "$WINDOW_ID" docs/screenshot.png
  stop_window
  log "saved docs/screenshot.png"
}

# The shipped build: 32-bit, each exe needing only DLLs that every Windows has.
cmd_dist() {
  setup_packages
  configure_and_build win32
  local version exes=(build/win32/shell/Vevidav.exe build/win32/cli/vevidav-split.exe)
  version=$(sed -n 's/^project(Vevidav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  local system='^(kernel32|user32|gdi32|comctl32|comdlg32|ole32|oleaut32|shell32|advapi32|msvcrt|version|shlwapi|ws2_32)\.dll$'
  local exe dll bad=0
  for exe in "${exes[@]}"; do
    [ -f "$exe" ] || { echo "missing $exe" >&2; return 1; }
    for dll in $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p'); do
      if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
        echo "$exe needs $dll, which is not a system DLL" >&2
        bad=1
      fi
    done
  done
  [ $bad = 0 ] || return 1
  mkdir -p dist
  local zip=dist/Vevidav-$version-win32.zip
  rm -f "$zip"
  zip -j -q "$zip" "${exes[@]}"
  log "made $zip"
  unzip -l "$zip"
}

cmd_bench() {
  setup_packages
  configure_and_build native-release
  bench/run.sh "$@"
}

case "${1:-}" in
  setup) cmd_setup ;;
  test) cmd_test ;;
  run) cmd_run ;;
  screenshot) cmd_screenshot ;;
  dist) cmd_dist ;;
  sample) cmd_sample ;;
  bench) shift; cmd_bench "$@" ;;
  *) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
