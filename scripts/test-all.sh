#!/usr/bin/env bash
# Every test: installs what the named presets need, then configures, builds and tests
# each in turn, and prints how long each phase took. Without arguments: default (g++,
# benchmarks, the slow tests), asan (ASan+UBSan), clang (its fuzzers), then the x64 and
# x86 Windows cross builds under Wine; x64 comes before x86, whose test of both servers
# side by side takes the x64 build.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default asan clang mingw-x64 mingw-x86)

phases=()
phase_start=$SECONDS
phase_done() {
  phases+=("$(printf '%-28s %4d s' "$1" $((SECONDS - phase_start)))")
  phase_start=$SECONDS
}
report() {
  echo "=== time per phase"
  printf '%s\n' "${phases[@]}"
  printf '%-28s %4d s\n' "all" "$SECONDS"
}
trap report EXIT

needed=()
for preset in "${presets[@]}"; do
  read -r -a packages <<<"$(preset_packages "$preset")"
  needed+=("${packages[@]}")
done
ensure_packages $(printf '%s\n' "${needed[@]}" | sort -u)
phase_done "installs"

for preset in "${presets[@]}"; do
  echo "=== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  phase_done "$preset build"
  ctest --preset "$preset"
  phase_done "$preset tests"
done
echo "=== all presets passed: ${presets[*]}"
