#!/usr/bin/env bash
# The per-record cost of the component's late-bound accessors from VBScript under Wine,
# against the same call shape on Scripting.Dictionary (late_bound_calls.vbs), for each
# bitness whose Windows build is there:
#   bench/late_bound_calls.sh [RUNS]     RUNS runs of each, by turns (default 7)
# The servers are those of build/mingw-x64 and build/mingw-x86, registered in a prefix
# of its own (build/late-bound-bench); the scanner is the simulated library's, holding
# 32,767 records. The 32-bit run needs Debian's wine32.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
work="$root/build/late-bound-bench"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
source "$root/tests/windows/wine_env.sh"

device="$work/records.json"
{
  printf '{"port": 3, "id": "0123456789ABCDEF", "barcodes": [\n'
  seq 1 32767 | awk '{ printf "%s{\"type\": 3, \"text\": \"%08d\", \"time\": \"2009-05-01T13:45:02\"}", (NR > 1 ? ",\n" : ""), $1 }'
  printf '\n]}\n'
} >"$device"
export CSP2A_DEVICE=$(windows_path "$device")

fresh_prefix
for bits in 64 32; do
  if ((bits == 64)); then bin="$root/build/mingw-x64/bin"; else bin="$root/build/mingw-x86/bin"; fi
  if [[ ! -f $bin/VKDClickrc.dll ]]; then
    echo "== $bits-bit: no build in $bin (build its preset first)"
    continue
  fi
  use_bitness "$bits"
  if ! "${host_wine[@]}" "$system\\regsvr32.exe" /s "$(windows_path "$bin/VKDClickrc.dll")" >/dev/null 2>&1; then
    echo "== $bits-bit: regsvr32 failed (the 32-bit one needs wine32)"
    continue
  fi
  echo "== $bits-bit: $("${host_wine[@]}" --version 2>/dev/null | head -n 1), $runs runs"
  "${host_wine[@]}" "$system\\cscript.exe" //nologo "$(windows_path "$root/bench/late_bound_calls.vbs")" "$runs" | tr -d '\r'
done
wineserver -k >/dev/null 2>&1 || true
