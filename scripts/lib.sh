# Shared by scripts/test and scripts/run: installing what is missing, a
# virtual X display, and one wineserver kept alive for a series of runs.

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

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
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
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

# Creates the prefix once, before any test, and keeps one wineserver alive
# for the series: each test exe then starts in a fraction of the time.
wine_session_begin() {
  local prefix
  prefix=$(realpath -m "$1")
  scripts/wine-run "$prefix" cmd /c exit >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 || true
}

wine_session_end() {
  local prefix
  prefix=$(realpath -m "$1")
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
}
