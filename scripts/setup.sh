#!/usr/bin/env bash
# setup.sh - everything Merivac needs on a Debian 12 machine, then one action.
#
#   scripts/setup.sh run    install what is missing, build, prepare the
#                           program folder and start Merivac in it
#   scripts/setup.sh test   install what is missing, build, prepare the
#                           program folder and run every test
#   scripts/setup.sh build  the same without running anything
#
# Every step is skipped when its result is already in place, so a second
# call is quick. MERIVAC_STATION names another program folder (default:
# station/ in the checkout). With CI set, warnings are errors.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
action="${1:-run}"
build="${MERIVAC_BUILD:-$repo/build}"
station="${MERIVAC_STATION:-$repo/station}"

packages=(build-essential cmake ninja-build pkg-config git qt6-base-dev fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev wsjtx portaudio19-dev libcurl4-openssl-dev)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Merivac needs these Debian packages. Install them as root with:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

build_program() {
  local werror=OFF
  [ -n "${CI:-}" ] && werror=ON
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMERIVAC_WERROR="$werror"
  fi
  cmake --build "$build" -j "$(nproc)"
}

# The program folder: the folders the program expects, the outside decoder
# and encoder as its own copies (refreshed when the installed ones are
# newer), the spotting library, the country file and the help page.
prepare_station() {
  mkdir -p "$station"/{save,extra,wsjt,tables,help}
  cp -u /usr/bin/jt9 "$station/wsjt/jt9_copy"
  cp -u /usr/bin/jt9code "$station/wsjt/jt9code_copy"
  if [ ! -f "$station/tables/cty.dat" ] && [ -f /usr/share/wsjtx/cty.dat ]; then
    cp /usr/share/wsjtx/cty.dat "$station/tables/cty.dat"
  fi
  # The PSK Reporter library is loaded from the program folder.
  cp -u "$build/lib/libpskreporter.so" "$station/libpskreporter.so"
  if [ -f "$repo/help/Merivac.html" ]; then
    cp -u "$repo/help/Merivac.html" "$station/help/Merivac.html"
  fi
}

install_packages
build_program
prepare_station

case "$action" in
  build) ;;
  run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "Merivac needs a graphical display, and none is available (DISPLAY is not set)." >&2
      echo "Run it from a desktop session, or over ssh -X." >&2
      exit 1
    fi
    cd "$station"
    exec "$build/app/merivac"
    ;;
  test)
    cd "$build"
    ctest --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: scripts/setup.sh run|test|build" >&2
    exit 2
    ;;
esac
