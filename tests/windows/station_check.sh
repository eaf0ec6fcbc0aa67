#!/usr/bin/env bash
# The collection station on Windows: clicker.exe collect --once under Wine, its SQLite
# store (compiled for Windows from Debian's own source) in a folder of the test's, against
# a scanner of the simulated csp2a.dll beside it. The first docking's erase is refused,
# the second stores nothing twice and empties the scanner; batches and export read the
# store back.
#
#   station_check.sh WINE CLICKER WORK
set -euo pipefail
wine=$1 clicker=$2 work=$3

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
barcodes='[{"type": 3, "text": "8712345678906", "time": "2024-05-15T09:12:44"},
           {"type": 11, "text": "12345678", "time": "2024-05-15T09:13:02"}]'
printf '{"port": 3, "id": "0123456789ABCDEF", "barcodes": %s,
  "script": [{"call": "csp2ClearData", "result": 2}]}\n' "$barcodes" >"$work/device.json"
device=$(winepath -w "$work/device.json")
store="sqlite:$(winepath -w "$work/scans.db")"

clicker() {
  CSP2A_DEVICE="$device" "$wine" "$clicker" "$@"
}

status=0
clicker collect --once --store "$store" --station wine >"$work/first.out" 2>"$work/first.err" || status=$?
cat "$work/first.err"
[[ $status == 2 ]] || fail "a refused erase ended with $status, not 2"
grep -q "stored as batch 1: 2 records new" "$work/first.err" || fail "the first docking stored no batch"
grep -q '"8712345678906"' "$work/device.json" || fail "the scanner was emptied all the same"

# The script gone, the erase works: the same records again, nothing new stored.
printf '{"port": 3, "id": "0123456789ABCDEF", "barcodes": %s}\n' "$barcodes" >"$work/device.json"
clicker collect --once --store "$store" --station wine 2>"$work/second.err" || fail "the second docking: $(cat "$work/second.err")"
cat "$work/second.err"
grep -q "stored as batch 2: 0 records new" "$work/second.err" || fail "the second docking stored records twice"
grep -Eq '"barcodes": *\[\]' "$work/device.json" || fail "the scanner was not emptied"

clicker export --format jsonl --store "$store" >"$work/export.jsonl" || fail "export"
[[ $(grep -c '"barcode"' "$work/export.jsonl") == 2 ]] || fail "the store does not hold the two scans once each"
clicker batches --store "$store" >"$work/batches.txt" || fail "batches"
[[ $(grep -c $'\temptied\t' "$work/batches.txt") == 2 ]] || fail "not every batch is emptied: $(cat "$work/batches.txt")"
echo "the station stored every scan once and emptied the scanner"
