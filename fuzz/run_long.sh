#!/usr/bin/env bash
# A long fuzzing run of one target, by hand and never in CI: a fresh copy of its seed
# corpus in build/clang/fuzz-long/TARGET, SECONDS of fuzzing there in one job, then the
# grown corpus merged down to the inputs that add coverage (merged/). Inputs that broke
# something are kept in findings/; the whole output is in fuzz.log and merge.log.
#
#   cmake --preset clang && cmake --build --preset clang
#   fuzz/run_long.sh TARGET SECONDS [libFuzzer flags, e.g. -seed=N]
#
# TARGET is one of download, texts, housekeeping, device_file, command_line, state_file.
# The exit status is the fuzzer's: 0 when nothing was found.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer flags]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2

root=$(cd "$(dirname "$0")/.." && pwd)
fuzzer=$root/build/clang/bin/fuzz_$target
seeds=$root/fuzz/corpus/$target
work=$root/build/clang/fuzz-long/$target
if [ ! -x "$fuzzer" ] || [ ! -d "$seeds" ]; then
  echo "$0: no fuzzer $fuzzer or no seeds $seeds (build the clang preset first)" >&2
  exit 2
fi

rm -rf "$work"
mkdir -p "$work/findings" "$work/merged"
cp -r "$seeds" "$work/corpus"
cd "$work"

# fuzz_state_file writes its files under TMPDIR: in memory, flushing them to disk costs
# nothing, so the runs go to the parsing.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

status=0
UBSAN_OPTIONS=print_stacktrace=1 "$fuzzer" corpus \
  -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
  -artifact_prefix=findings/ "$@" >fuzz.log 2>&1 || status=$?
"$fuzzer" -merge=1 merged corpus >merge.log 2>&1

echo "fuzz_$target: $(grep -m1 'INFO: Seed:' fuzz.log)"
grep -E '^#[0-9]+[[:space:]]+DONE|^stat::' fuzz.log || tail -n 30 fuzz.log
echo "corpus: $(ls corpus | wc -l) inputs, merged to $(ls merged | wc -l) in $work/merged"
echo "findings: $(ls findings | wc -l) in $work/findings"
exit "$status"
