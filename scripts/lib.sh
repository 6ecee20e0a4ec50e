# Shared shell functions of the run and test scripts. Source it; it sets
# ZOR_ROOT to the repository's top folder.
# shellcheck shell=bash

ZOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ZOR_ROOT

# Debian packages the project builds, runs and tests with.
ZOR_PACKAGES=(
  cmake make g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb x11-utils xdotool imagemagick libx11-dev libxfixes-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-cjk fonts-takao-mincho fonts-vlgothic
  python3-fonttools
  clang libclang-rt-14-dev
  fp-utils p7zip-full nsis zip
  # Japanese text as Debian ships it for the import's tests: passwd's manual
  # pages (UTF-8) and vim-runtime's menu file (EUC-JP).
  passwd vim-runtime
  python3 chromium
  locales
  osslsigncode openssl python3-yaml
  fuse3 python3-fusepy
)

# What building and running the saver needs (scripts/run): no test,
# browser or packaging tools.
ZOR_RUN_PACKAGES=(
  cmake make g++ pkg-config
  googletest libgtest-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb x11-utils imagemagick
  fonts-ipafont-gothic fonts-ipafont-mincho
  fp-utils python3
)

# The project's version, as CMakeLists.txt declares it (the one place it is written).
zor_version() { sed -n 's/^project(zorante VERSION \([0-9.]*\).*/\1/p' "$ZOR_ROOT/CMakeLists.txt"; }

# The settings dialog's caption, as its header defines it for the resource and the code.
zor_settings_caption() {
  sed -n 's/^#define ZOR_SETTINGS_CAPTION "\(.*\)"$/\1/p' "$ZOR_ROOT/src/win/settings_dialog/settings_caption.h"
}

zor_log() { printf '== %s\n' "$*" >&2; }

# Installs whatever of the packages named (default: ZOR_PACKAGES) is missing
# (as root on Debian 12).
zor_install_deps() {
  local missing=() p wanted=("$@")
  [ "$#" -gt 0 ] || wanted=("${ZOR_PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    zor_log "packages: all present"
    return 0
  fi
  zor_log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds both presets.
zor_build() {
  cd "$ZOR_ROOT" || return 1
  local preset
  for preset in native windows; do
    zor_log "build: $preset"
    cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" || return 1
  done
}

# Configures both presets and builds only what running the saver needs:
# zortool natively (it makes the run folder's files) and zorante.scr.
zor_build_run() {
  cd "$ZOR_ROOT" || return 1
  zor_log "build: native zortool"
  cmake --preset native >/dev/null && cmake --build --preset native --target zortool || return 1
  zor_log "build: windows zorante.scr"
  cmake --preset windows >/dev/null && cmake --build --preset windows --target zorante || return 1
}

# Wine runs in a prefix and a home of the project's own: nothing of the
# user's home is read or written.
zor_wine_env() {
  export WINEPREFIX="${ZOR_WINEPREFIX:-$ZOR_ROOT/build/wine/prefix}"
  export WINEARCH=win64
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono/Gecko install prompts, no desktop menu entries.
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  export HOME="$ZOR_ROOT/build/wine/home"
  export XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config"
  mkdir -p "$HOME"
}

# Starts Xvfb on a free display unless DISPLAY already answers; waits until
# the server accepts clients. Sets DISPLAY and ZOR_XVFB_PID.
zor_start_xvfb() {
  local geometry="${1:-1024x768x24}"
  shift || true
  if [ -n "${DISPLAY:-}" ] && [ -z "${ZOR_FORCE_XVFB:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp "$@" >/dev/null 2>&1 &
  ZOR_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 200); do
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
    if ! kill -0 "$ZOR_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  zor_log "Xvfb on :$n did not start"
  return 1
}

zor_stop_xvfb() {
  if [ -n "${ZOR_XVFB_PID:-}" ]; then
    kill "$ZOR_XVFB_PID" 2>/dev/null
    wait "$ZOR_XVFB_PID" 2>/dev/null
    ZOR_XVFB_PID=""
  fi
}

# Makes the Wine prefix (fresh when asked) and waits for wineboot and the
# wine server to finish before anything runs in it. (A server already kept
# running in the prefix is used as it is: `wineserver -w` would wait for it forever.)
zor_wine_prefix() {
  local fresh="${1:-}"
  zor_wine_env
  if [ "$fresh" = "fresh" ]; then rm -rf "$WINEPREFIX"; fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    zor_log "wine: creating prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || { zor_log "wineboot failed"; return 1; }
    wineserver -w
    zor_wine_japanese_ui
    zor_wine_unmanaged
    wineserver -w
  fi
  # Keep one server for the whole run: every program then starts quickly.
  wineserver -p >/dev/null 2>&1
  local _
  for _ in $(seq 1 100); do
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    sleep 0.1
  done
  zor_log "wine prefix incomplete"
  return 1
}

# Wine's name of a Unix path: the Unix root is drive Z:.
zor_wine_path() { printf 'Z:%s' "${1//\//\\}"; }

# A crash in the prefix ends the program with a code instead of waiting in a dialog.
zor_wine_no_crash_dialog() {
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

# Compiles a locale (e.g. ja_JP.UTF-8) into ZOR_LOCPATH (build/locales) once:
# with LOCPATH set there, Wine takes its code pages from LANG without the
# machine's own locales being changed.
zor_locale_data() {
  local name="$1" dir="${ZOR_LOCPATH:-$ZOR_ROOT/build/locales}"
  [ -f "$dir/$name/LC_CTYPE" ] && return 0
  mkdir -p "$dir"
  localedef -i "${name%%.*}" -f "${name#*.}" "$dir/$name" >/dev/null 2>&1
  [ -f "$dir/$name/LC_CTYPE" ]
}

# Message boxes and dialogs draw with Wine's Tahoma stand-in, which has no
# Japanese glyphs: link the IPA Gothic face behind the user-interface faces.
zor_wine_japanese_ui() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' face
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI" "Times New Roman"; do
    wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1 || return 1
  done
}

# Xvfb runs no window manager: Wine would wait two seconds for one each time
# a captioned window is hidden. Windows are placed by Wine alone.
zor_wine_unmanaged() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

# Processes running in a Wine prefix (default: WINEPREFIX) whose command
# line matches the pattern: other prefixes on the machine (a saver the user
# runs, another checkout's tests) run programs of the same names.
zor_prefix_pids() {  # PATTERN [PREFIX]
  local prefix="${2:-${WINEPREFIX:-}}" p
  [ -n "$prefix" ] || return 0
  for p in $(pgrep -f "$1"); do
    { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && echo "$p"
  done
  return 0
}

# Stops the server of the prefix in WINEPREFIX and every program left in that
# prefix, no other; nothing when no prefix is set (wineserver would take the
# user's own ~/.wine).
zor_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
}
