# Shared set-up for tools/build, tools/test and tools/run: installs what is missing on a Debian
# machine, builds, and prepares a Wine prefix and a virtual display inside the build tree.
# Sourced, not run.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/win64"
export WINEDEBUG="${WINEDEBUG:--all}"
# Keep Wine from offering to install its browser and .NET engines.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

ensure_packages() {
  local missing=()
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64)
  command -v cmake >/dev/null || missing+=(cmake)
  command -v make >/dev/null || missing+=(make)
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
  { command -v wine >/dev/null && [ -x /usr/lib/wine/wine64 ]; } || missing+=(wine wine64)
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xauth >/dev/null || missing+=(xauth)
  command -v python3 >/dev/null || missing+=(python3)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
      "${missing[@]}"
  fi
}

build_all() {
  cmake --preset win64 -S "$ROOT" >/dev/null
  cmake --build --preset win64
}

# A private X display for the windows (no window manager: Wine draws its own frames).
start_display() {
  if [ -n "${NIMBREL_DISPLAY_STARTED:-}" ]; then return; fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n" NIMBREL_DISPLAY_STARTED=1
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

# A Wine prefix of the project's own, created once and reused.
prepare_prefix() {
  export WINEPREFIX="$1"
  export XDG_DATA_HOME="$ROOT/build/xdg-data"  # the recycle bin lives here, not in $HOME
  mkdir -p "$XDG_DATA_HOME"
  if [ ! -f "$WINEPREFIX/.nimbrel-ready" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.nimbrel-ready"
  fi
}

# One persistent Wine server for the whole session: every test process would otherwise wait
# seconds for a server to start and stop.
start_wineserver() {
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true
}

stop_session() {
  wineserver -k 2>/dev/null || true
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
