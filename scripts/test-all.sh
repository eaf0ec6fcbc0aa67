#!/usr/bin/env bash
# Every test: installs what is missing, then configures, builds and tests each preset:
# g++ (with benchmarks built), ASan+UBSan, clang (with fuzz targets), and the x64 and
# x86 Windows cross builds, both tested under Wine. x64 comes before x86, whose test of
# both servers side by side takes the x64 build.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BASE_PACKAGES[@]}" "${CLANG_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default asan clang mingw-x64 mingw-x86)

for preset in "${presets[@]}"; do
  echo "=== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
echo "=== all presets passed: ${presets[*]}"
