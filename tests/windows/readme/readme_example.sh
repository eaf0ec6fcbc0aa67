#!/usr/bin/env bash
# Runs the README's fenced example of one language through the Wine harness's `run`: the
# example between a prefix that stands in for what its host provides ("none": nothing)
# and checks of what it did, then the result line the harness expects. VBA runs as
# VBScript once its "As Object" is dropped, the one thing in it VBScript does not take.
#
#   readme_example.sh README LANGUAGE PREFIX CHECKS HARNESS BIN WORK BITS DEVICE
set -euo pipefail
readme=$1 language=$2 prefix=$3 checks=$4 harness=$5 bin=$6 work=$7 bits=$8 device=$9
here=$(cd "$(dirname "$0")" && pwd)

example=$(awk -v fence="\`\`\`$language" '
  $0 == fence { inside = 1; next }
  /^```/ { inside = 0 }
  inside' "$readme")
[[ -n $example ]] || { echo "FAILED: no $language example in $readme" >&2; exit 1; }

mkdir -p "$work/readme"
script="$work/readme/$language.vbs"
{
  [[ $prefix == none ]] || cat "$prefix"
  if [[ $language == vba ]]; then
    printf '%s\n' "$example" | sed 's/ As Object$//'
  else
    printf '%s\n' "$example"
  fi
  cat "$checks" "$here/result.vbs"
} >"$script"
exec "$harness" "$bin" "$work" "$bits" run "$device" "$script"
