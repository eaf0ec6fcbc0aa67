#!/usr/bin/env bash
# Runs every fenced sh example of the README, each in a fresh folder of its own, as a user
# would after building: clicker on PATH, build/default naming the build under test, HOME
# inside the folder, and the simulated scanner served from a copy of a device file. The
# examples that build and test everything (scripts/...) are what CI itself runs: they are
# left out here.
#
#   readme_examples.sh README BUILD_DIR DEVICE_FILE
set -euo pipefail
readme=$1
build=$(cd "$2" && pwd)
device=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v folder="$work" '
  /^```sh$/ { count++; inside = 1; next }
  /^```/ { inside = 0; next }
  inside { print > (folder "/example" count ".sh") }' "$readme"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

ran=0
for example in $(ls "$work"/example*.sh | sort -V); do
  grep -q '^scripts/' "$example" && continue
  sandbox=${example%.sh}
  mkdir -p "$sandbox/home" "$sandbox/build"
  ln -s "$build" "$sandbox/build/default"
  cp "$device" "$sandbox/device.json"
  echo "=== $(basename "$example")"
  cat "$example"
  (cd "$sandbox" &&
    env -u XDG_STATE_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$sandbox/home" PATH="$build/bin:$PATH" \
      CSP2A_DEVICE="$sandbox/device.json" bash -euo pipefail "$example") ||
    fail "$(basename "$example") of the README"
  # The way to collect scans: the file holds them, the scanner none.
  if grep -q -- '--empty' "$example"; then
    [[ $(wc -l <"$sandbox/scans.csv") -eq 4 ]] || fail "scans.csv does not hold the three scans"
    grep -Eq '"barcodes": *\[\]' "$sandbox/device.json" || fail "the scanner was not emptied"
  fi
  ran=$((ran + 1))
done
((ran >= 4)) || fail "only $ran README examples found"
echo "$ran README examples ran"
