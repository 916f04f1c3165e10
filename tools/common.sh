# Shared set-up for tools/build, tools/test, tools/run and tools/package: installs what is missing
# on a Debian machine, builds, and prepares a Wine prefix and a virtual display inside the build
# tree. Sourced, not run.
#
# Two builds: x64 (64-bit Windows, build/win64) and x86 (32-bit Windows, build/win32). ARCHES
# lists those a script works on; the 32-bit one needs Debian's 32-bit Wine (wine32, through
# multiarch) and the i686 compilers.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/win64"
ARCHES=(x64)
# The 64-bit loader runs 64-bit programs and sets prefixes up whether or not 32-bit Wine is there
# (Debian's "wine" prefers the 32-bit loader once wine32 is installed).
WINE64_LOADER=/usr/lib/wine/wine64
WINE32_LOADER=/usr/lib/wine/wine
wine() { "$WINE64_LOADER" "$@"; }
export WINEDEBUG="${WINEDEBUG:--all}"
# Keep Wine from offering to install its browser and .NET engines.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# The CMake preset, build folder and test prefix of each architecture.
preset_of() { if [ "$1" = x86 ]; then echo win32; else echo win64; fi; }
build_of() { echo "$ROOT/build/$(preset_of "$1")"; }
test_prefix_of() { if [ "$1" = x86 ]; then echo "$ROOT/build/wine-test-x86"; else echo "$ROOT/build/wine-test"; fi; }

# Takes "--arch x64", "--arch x86" or "--arch=..." out of the arguments: sets ARCHES and leaves
# the other arguments in REST.
parse_arch() {
  REST=()
  while [ $# -gt 0 ]; do
    case "$1" in
      --arch) ARCHES=("${2:?--arch needs x64 or x86}"); shift 2 ;;
      --arch=*) ARCHES=("${1#--arch=}"); shift ;;
      *) REST+=("$1"); shift ;;
    esac
  done
  case "${ARCHES[0]}" in x64|x86) ;; *) echo "unknown architecture ${ARCHES[0]} (x64 or x86)" >&2; exit 2 ;; esac
}

wants_x86() { [[ " ${ARCHES[*]} " == *" x86 "* ]]; }

# Whether the kernel runs 32-bit x86 Linux programs, as 32-bit Wine needs (some sandboxed kernels
# refuse them with "Exec format error"). Tried with a tiny static program that only exits, so
# nothing 32-bit need be installed to ask.
kernel_runs_32bit() {
  local probe="$ROOT/build/exit32"
  if [ ! -x "$probe" ]; then
    mkdir -p "$ROOT/build"
    python3 - "$probe" <<'PY'
import struct, sys
base, code = 0x08048000, bytes.fromhex("b801000000" "31db" "cd80")  # exit(0) via int 0x80
size = 52 + 32 + len(code)
header = (b"\x7fELF\x01\x01\x01" + bytes(9)
          + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0))
segment = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as out:
    out.write(header + segment + code)
PY
    chmod +x "$probe"
  fi
  "$probe" 2>/dev/null
}

# Whether 32-bit Wine can run programs here.
can_run_32bit_wine() { "$WINE32_LOADER" --version >/dev/null 2>&1; }

ensure_packages() {
  local missing=()
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64)
  if wants_x86; then
    command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686)
    # Debian's 32-bit Wine loader; 32-bit programs then run in 64-bit prefixes as on Windows.
    # Not on a kernel that refuses 32-bit programs: there it cannot run, and once installed
    # Debian's "wine" would pick it for every program, 64-bit ones included.
    if [ ! -x "$WINE32_LOADER" ]; then
      if kernel_runs_32bit; then
        missing+=(wine32:i386)
      else
        echo "WARNING: this kernel cannot run 32-bit programs: 32-bit Wine is not installed" >&2
      fi
    fi
  fi
  command -v cmake >/dev/null || missing+=(cmake)
  command -v make >/dev/null || missing+=(make)
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
  { [ -x /usr/bin/wine ] && [ -x "$WINE64_LOADER" ]; } || missing+=(wine wine64)
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xauth >/dev/null || missing+=(xauth)
  command -v python3 >/dev/null || missing+=(python3)
  # SQLite is made from Debian's source package (tools/make_sqlite): its build needs tcl, and
  # unpacking it dpkg-dev. JSON is read with Debian's header-only nlohmann library.
  command -v tclsh >/dev/null || missing+=(tcl)
  command -v cc >/dev/null || missing+=(gcc)  # SQLite's configure builds its own tools
  command -v dpkg-source >/dev/null || missing+=(dpkg-dev)
  [ -f /usr/include/nlohmann/json.hpp ] || missing+=(nlohmann-json3-dev)
  local source_lines_added=0
  if ! has_deb_src; then
    add_deb_src
    source_lines_added=1
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
      "${missing[@]}"
  elif [ "$source_lines_added" = 1 ]; then
    as_root apt-get update -q
  fi
}

# Whether apt knows a source package index ("deb-src"), which `apt-get source` needs.
has_deb_src() {
  grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list \
    /etc/apt/sources.list.d/
}

# Adds the source package indexes of the archives the machine already installs from (its own
# bookworm lines, the same mirrors), as one file of the project's own.
add_deb_src() {
  local f lines=""
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && lines+="$(sed -E 's/^Types:.*/Types: deb-src/' "$f")"$'\n\n'
  done
  if [ -n "$lines" ]; then
    printf '%s' "$lines" | as_root tee /etc/apt/sources.list.d/nimbrel-deb-src.sources >/dev/null
  fi
  lines="$(grep -hsE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
    sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' || true)"
  if [ -n "$lines" ]; then
    printf '%s\n' "$lines" | as_root tee /etc/apt/sources.list.d/nimbrel-deb-src.list >/dev/null
  fi
  echo "Added deb-src lines for apt-get source"
}

# Configures and builds one architecture (everything, or the targets given).
build_arch() {
  local preset
  preset="$(preset_of "$1")"
  shift
  "$ROOT/tools/make_sqlite"  # once for both builds
  (
    cd "$ROOT"
    cmake --preset "$preset" >/dev/null
    if [ $# -gt 0 ]; then cmake --build --preset "$preset" --target "$@"; else cmake --build --preset "$preset"; fi
  )
}

build_all() {
  local arch
  for arch in "${ARCHES[@]}"; do build_arch "$arch"; done
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
    wine wineboot -i >/dev/null 2>&1 || true
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
