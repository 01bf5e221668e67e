#!/usr/bin/env bash
# Sets up, builds and starts KESTRO on a Debian 12 machine.
#   ./kestro.sh        build, then open the program on the bundled example
#   ./kestro.sh test   build, then run every test (also installs clang for the
#                      fuzzers that CI runs)
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake make g++ qt6-base-dev qt6-svg-dev libjpeg-dev libgtest-dev libbenchmark-dev
          gemmi-dev fonts-liberation nlohmann-json3-dev libemf-dev)
# For the tests: the fuzzers of CI (clang with its libFuzzer runtime, only
# recommended by clang, so named here) and the validators of the installed
# desktop files.
if [ "${1:-}" = "test" ]; then
  packages+=(clang libclang-rt-14-dev desktop-file-utils appstream)
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "KESTRO needs these Debian packages. Install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"

if [ "${1:-}" = "test" ]; then
  status=0
  ctest --test-dir build --output-on-failure -j "$jobs" || status=$?
  if [ ! -d ../shared/testdata ]; then
    echo "Note: ../shared/testdata is not beside this checkout: the tests on other programs' files were skipped."
  fi
  exit "$status"
fi

example=examples/rutile.kes
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  picture=build/rutile.png
  echo "No display here (DISPLAY is not set): the program's windows cannot open."
  KESTRO_DATA="$PWD/data" build/kestro render "$example" -o "$picture" --enclosure cell --cell --yes
  echo "The bundled example is drawn in $picture."
  echo "On a desktop, run: build/kestro $example"
  exit 0
fi
exec build/kestro "$example"
