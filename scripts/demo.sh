#!/usr/bin/env bash
# The main job: builds the clicker command with the simulated scanner library next to it
# and downloads the demo scanner's barcodes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BASE_PACKAGES[@]}"

cmake --preset default >/dev/null
cmake --build --preset default --target clicker csp2a
exec build/default/bin/clicker download "$@"
