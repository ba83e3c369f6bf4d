# Shared by the scripts: installing what is missing, how this host runs
# Windows programs, a virtual X display, and one wineserver kept alive for a
# series of runs.

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Package lists are read once per script, the first time one is needed.
apt_lists_read=""
apt_update() {
  [ -n "$apt_lists_read" ] && return 0
  as_root apt-get update -qq && apt_lists_read=1
}

# The one way the scripts install Debian packages: install_packages NAME...
install_packages() {
  [ $# -gt 0 ] || return 0
  echo "Installing: $*"
  if [[ " $* " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386 && apt_lists_read=""
  fi
  apt_update &&
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
      "$@" >/dev/null
}

ensure_packages() {
  local missing=()
  command -v cmake >/dev/null || missing+=(cmake)
  command -v g++ >/dev/null || missing+=(g++)
  [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
  [ -d /usr/src/googletest ] || missing+=(googletest)
  command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686-posix)
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
  command -v i686-w64-mingw32-windres >/dev/null || missing+=(binutils-mingw-w64-i686)
  command -v x86_64-w64-mingw32-windres >/dev/null || missing+=(binutils-mingw-w64-x86-64)
  command -v wine >/dev/null || missing+=(wine)
  command -v wine64 >/dev/null || [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
  dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xauth >/dev/null || missing+=(xauth)
  command -v xwininfo >/dev/null || missing+=(x11-utils)
  [ -x /usr/bin/convert ] && /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick \
    || missing+=(imagemagick)
  command -v flock >/dev/null || missing+=(util-linux)
  # The release: its archive, its signature and the test certificates.
  command -v zip >/dev/null || missing+=(zip)
  command -v osslsigncode >/dev/null || missing+=(osslsigncode)
  command -v openssl >/dev/null || missing+=(openssl)
  install_packages "${missing[@]}"
}

# How this host runs Windows programs; asked after the packages are in.
# Some hosts run 64-bit code only: their kernel refuses every 32-bit program,
# so Debian's wine, which always starts through the 32-bit loader, fails even
# for x86_64 programs. There x86_64 programs run through wine64 itself and
# 32-bit ones not at all. LEXIPHON_NO_32BIT=1 takes that path on any host.
# Sets wine_host (32-bit or 64-bit-only) and wine (the loader to run).
wine_host="" wine=""
wine_probe() {
  local output status=0
  output=$(/usr/lib/wine/wine --version 2>&1) || status=$?
  if [ "$status" -eq 126 ] && [[ $output == *"Exec format error"* ]]; then
    wine_host=64-bit-only
  elif [ "$status" -ne 0 ]; then
    echo "Wine does not start: '/usr/lib/wine/wine --version' exited with status $status:" >&2
    tail -n 5 <<<"$output" | sed 's/^/    /' >&2
    return 1
  elif [ "${LEXIPHON_NO_32BIT:-0}" = 1 ]; then
    wine_host=64-bit-only
  else
    wine_host=32-bit
  fi
  if [ "$wine_host" = 64-bit-only ]; then
    wine=/usr/lib/wine/wine64
    # As Debian's wrapper does where there is no 32-bit Wine: child
    # processes start through the same loader.
    export WINELOADER=$wine
  else
    wine=wine
  fi
}

no_32bit_reason="this host cannot execute 32-bit programs"

# A value the build keeps for the scripts in its cache (the archive's name,
# the package's items): build_setting PRESET NAME, from the project's root.
build_setting() { sed -n "s/^$2:INTERNAL=//p" "build/$1/CMakeCache.txt"; }

# The Windows preset whose programs run here: win32, the release build,
# where 32-bit programs run, else win64.
runnable_windows_preset() {
  if [ "$wine_host" = 64-bit-only ]; then echo win64; else echo win32; fi
}

# One step of setting up Wine, run with its output kept aside: when it exits
# non-zero, says which command it was, its exit status and its last lines,
# and returns that status.
wine_setup_step() {
  local log status=0
  log=$(mktemp)
  "$@" >"$log" 2>&1 || status=$?
  # The verdict comes last, so that a step run inside another step keeps
  # its own in the outer one's last lines.
  if [ "$status" -ne 0 ]; then
    tail -n 15 "$log" | sed 's/^/    /' >&2
    echo "Wine set-up failed${WINEPREFIX:+ (WINEPREFIX=$WINEPREFIX)}: '$*' exited with status $status" \
      "(its last lines above)" >&2
  fi
  rm -f "$log"
  return "$status"
}

display_pid=""
start_display() {
  [ -n "$display_pid" ] && return 0
  # Our own X server, even when one is around: tests must not pop up
  # windows on a developer's desktop or depend on its size.
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
    kill "$display_pid" 2>/dev/null
    display_pid=""
  done
  echo "could not start Xvfb" >&2
  return 1
}

stop_display() {
  [ -n "$display_pid" ] || return 0
  kill "$display_pid" 2>/dev/null
  wait "$display_pid" 2>/dev/null
  display_pid=""
}

# A full disk on demand for the engine's on-disk tests: a 1 MiB tmpfs in the
# build folder, given to the prefix as drive Y: and named to the tests in
# LEXIPHON_SMALL_DRIVE. Mounting needs root; where it is refused, the test
# that needs the drive skips and says why (never sudo: root or nothing).
small_drive_up() {
  local build=$1
  local mount_point=$build/small-drive
  mkdir -p "$mount_point"
  if ! mountpoint -q "$mount_point" &&
    ! mount -t tmpfs -o size=1m lexiphon-small-drive "$mount_point" 2>/dev/null; then
    echo "Small drive: mounting a tmpfs was refused (it needs root); the full-disk test skips"
    return 0
  fi
  ln -sfn "$(realpath "$mount_point")" "$build/wineprefix/dosdevices/y:"
  export LEXIPHON_SMALL_DRIVE=Y:
}

small_drive_down() {
  local build=$1
  unset LEXIPHON_SMALL_DRIVE
  rm -f "$build/wineprefix/dosdevices/y:"
  if mountpoint -q "$build/small-drive"; then umount "$build/small-drive" || true; fi
}

# Creates the prefix once, before any test, and keeps one wineserver alive
# for the series: each test exe then starts in a fraction of the time. The
# server that made the prefix must be gone before the lasting one starts.
# The first program under the lasting server starts Wine's own background
# processes, which inherit its output: a program whose output nobody reads,
# not a test whose output CTest reads until all its writers are gone.
wine_session_begin() {
  local prefix
  prefix=$(realpath -m "$1")
  wine_setup_step scripts/wine-run "$prefix" cmd /c exit &&
    wine_setup_step env WINEPREFIX="$prefix" wineserver -w &&
    wine_setup_step env WINEPREFIX="$prefix" wineserver -p &&
    wine_setup_step scripts/wine-run "$prefix" cmd /c exit
}

# Not judged: with no server left, wineserver -k exits 1.
wine_session_end() {
  local prefix
  prefix=$(realpath -m "$1")
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
}
