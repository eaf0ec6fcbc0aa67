#!/usr/bin/env bash
# Runs the Windows tests of VKDClickrc.dll under Wine, in a Wine prefix of the build's own,
# so that nothing outside the build folder is touched. BITS, 64 or 32, is the build's
# bitness: its DLL is registered by the regsvr32 of that bitness and its scripts run in
# the cscript of that bitness, both in the same 64-bit prefix (32-bit programs run there
# as on 64-bit Windows, from C:\windows\syswow64, and see the registry's 32-bit view).
#
#   wine_harness.sh BIN WORK BITS start    a fresh prefix with the component registered
#   wine_harness.sh BIN WORK BITS stop          unregisters, checks that the component's keys
#                                          are gone, ends the wineserver
#   wine_harness.sh BIN WORK BITS registration  regsvr32 round trip for the machine: only the
#                                          component's keys come, and all of them go
#   wine_harness.sh BIN WORK BITS per-user      the same with regsvr32 /n /i:user (DllInstall)
#   wine_harness.sh BIN WORK BITS both OTHER_BIN
#       the server of the other bitness (from OTHER_BIN, a build of the other preset)
#       registered beside this one: a host of each bitness gets the server of its own,
#       and either stays usable when the other is unregistered. Exits with 77, skipped,
#       when OTHER_BIN holds no such build.
#   wine_harness.sh BIN WORK BITS run DEVICE FILE [ARGUMENTS...]
#       runs a .vbs or .js through cscript, or a test program, and checks both its last
#       line, "RESULT: <n> passed, 0 failed" with n > 0, and its exit code, 0. (cscript
#       ends silently with 0 on an uncaught script error: the result line catches that.)
#       DEVICE is a device file for the simulated scanner (the test gets a fresh copy),
#       "demo" for its built-in scanner, "many" for one that holds 40,000 barcodes, or
#       "none" for programs that talk to no scanner.
#
# BIN holds VKDClickrc.dll, csp2a.dll and the test programs; WORK holds identity.sh, the
# component's identifiers, which the build writes there, and receives the prefix, the
# device copies, the scanner traces and the registry snapshots.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
bits=$3
command=$4
shift 4

export WINEPREFIX="$work/prefix"
source "$here/wine_env.sh"
use_bitness "$bits"

dll="$bin/VKDClickrc.dll"
# prog_id, clsid, libid, iid and typelib_version, which the build writes from its identity.
source "$work/identity.sh"

# The registry as the build's own bitness sees it.
reg() { "$wine64" reg "$@" "/reg:$view"; }

key_exists() { reg query "$1" >/dev/null 2>&1; }

value_of() {  # key, value name ("" for the default value)
  local arguments=(query "$1")
  if [[ -n $2 ]]; then arguments+=(/v "$2"); else arguments+=(/ve); fi
  reg "${arguments[@]}" 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*REG_SZ *//p' | head -n 1
}

expect_value() {  # key, value name, expected
  local actual
  actual=$(value_of "$1" "$2")
  [[ $actual == "$3" ]] || fail "$1 ${2:-(default)} is \"$actual\", expected \"$3\""
}

regsvr32() { "${host_wine[@]}" "$system\\regsvr32.exe" /s "$@" "$(windows_path "$dll")" >/dev/null 2>&1; }

# Both class trees, one line per key and per value ("[key]|value"), sorted; the 64-bit
# view holds the 32-bit one under Wow6432Node, so one export sees both. Other
# programs register things too (cscript its own type library), so every comparison is
# between snapshots taken around the DLL's own registration calls.
snapshot() {
  local name=$1 root part
  for part in machine user; do
    if [[ $part == machine ]]; then root='HKLM\Software\Classes'; else root='HKCU\Software\Classes'; fi
    "$wine64" reg export "$root" "$(windows_path "$work/$name-$part.reg")" /y /reg:64 >/dev/null 2>&1 ||
      fail "reg export $root"
    iconv -f UTF-16 -t UTF-8 "$work/$name-$part.reg" | tr -d '\r' |
      awk '/^\[/ { key = $0; print key; next } NF { print key "|" $0 }'
  done | LC_ALL=C sort >"$work/$name.lines"
}

expect_same() {  # two snapshots
  cmp -s "$work/$1.lines" "$work/$2.lines" ||
    fail "the registry classes differ: diff $work/$1.lines $work/$2.lines"
}

# Every key and value that differs between the snapshots is one of the component's.
expect_only_ours_changed() {
  local others
  others=$(LC_ALL=C comm -3 "$work/$1.lines" "$work/$2.lines" |
    grep -v -i -F -e "$clsid" -e "$libid" -e "$iid" -e "$prog_id" || true)
  [[ -z $others ]] || fail "the registration changed more than its own keys:"$'\n'"$others"
}

expect_registered() {  # the classes root: HKLM\Software\Classes or HKCU\Software\Classes, as BITS sees it
  local root=$1
  local server
  server=$(windows_path "$dll")
  expect_value "$root\\CLSID\\$clsid\\InprocServer32" "" "$server"
  expect_value "$root\\CLSID\\$clsid\\InprocServer32" ThreadingModel Apartment
  expect_value "$root\\CLSID\\$clsid\\ProgID" "" "$prog_id"
  # A ProgID is shared by both views; Wine finds the machine's only in the 64-bit one.
  (view=64 && expect_value "$root\\$prog_id\\CLSID" "" "$clsid") || exit 1
  # Wine 8 registers a type library for the machine also when asked for the user alone,
  # so the merged view is where it is looked for.
  expect_value "HKCR\\TypeLib\\$libid\\$typelib_version\\0\\$typelib_platform" "" "$server"
  key_exists "HKCR\\Interface\\$iid" || fail "the interface _Clicker is not registered"
}

expect_unregistered() {
  for key in "HKCR\\CLSID\\$clsid" "HKCR\\$prog_id" "HKCR\\TypeLib\\$libid" "HKCR\\Interface\\$iid"; do
    if key_exists "$key"; then fail "$key is still there"; fi
  done
}

start() {
  fresh_prefix
  regsvr32 || fail "regsvr32 could not register the DLL"
  expect_registered 'HKLM\Software\Classes'
}

stop() {
  local outcome=0
  regsvr32 /u || { echo "FAILED: regsvr32 /u" >&2; outcome=1; }
  (expect_unregistered) || outcome=1
  wineserver -k >/dev/null 2>&1 || true
  return $outcome
}

registration() {
  regsvr32 /u || fail "regsvr32 /u"
  expect_unregistered
  snapshot before
  regsvr32 || fail "regsvr32"
  expect_registered 'HKLM\Software\Classes'
  snapshot registered
  expect_only_ours_changed before registered
  regsvr32 || fail "registering twice is no failure"
  regsvr32 /u || fail "regsvr32 /u"
  expect_unregistered
  snapshot after
  expect_same before after
  regsvr32 /u || fail "unregistering twice is no failure"
  regsvr32 || fail "registering again"
}

per_user() {
  regsvr32 /u || fail "regsvr32 /u"
  snapshot before
  regsvr32 /n /i:user || fail "regsvr32 /n /i:user"
  expect_registered 'HKCU\Software\Classes'
  if key_exists "HKLM\\Software\\Classes\\CLSID\\$clsid"; then fail "a per-user registration wrote the machine's class"; fi
  snapshot registered
  expect_only_ours_changed before registered
  regsvr32 /u /n /i:user || fail "regsvr32 /u /n /i:user"
  expect_unregistered
  snapshot after
  expect_same before after
  if regsvr32 /n /i:somebody; then fail "DllInstall accepted an unknown command line"; fi
  snapshot refused
  expect_same before refused
  regsvr32 || fail "registering for the machine again"
}

# Prints the output, then checks the result line and the exit code.
run_checked() {
  local status=0 output last
  "$@" >"$work/output.txt" 2>&1 || status=$?
  output=$(tr -d '\r' <"$work/output.txt")
  printf '%s\n' "$output"
  last=$(printf '%s\n' "$output" | sed '/^[[:space:]]*$/d' | tail -n 1)
  [[ $last =~ ^RESULT:\ ([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]] ||
    fail "no result line at the end: the test stopped early (exit code $status)"
  local passed=${BASH_REMATCH[1]} failed=${BASH_REMATCH[2]}
  ((status == failed % 256)) || fail "exit code $status, but the result line counts $failed failures"
  ((failed == 0)) || fail "$failed checks failed"
  ((passed > 0)) || fail "no check ran"
}

many_barcodes() {  # a device file for port 3 with 40,000 barcodes, more than 16 bits count
  local file=$1
  {
    printf '{"port": 3, "id": "0123456789ABCDEF", "barcodes": [\n'
    seq 1 40000 | awk '{ printf "%s{\"type\": 3, \"text\": \"%08d\", \"time\": \"2009-05-01T13:45:02\"}", (NR > 1 ? ",\n" : ""), $1 }'
    printf '\n]}\n'
  } >"$file"
}

run() {
  local device=$1 file=$2
  shift 2
  local name
  name=$(basename "$file")${1:+-$1}
  mkdir -p "$work/devices" "$work/traces"
  local copy="$work/devices/$name.json"
  case $device in
    none | demo) unset CSP2A_DEVICE ;;
    many) many_barcodes "$copy" && export CSP2A_DEVICE=$(windows_path "$copy") ;;
    *) cp "$device" "$copy" && export CSP2A_DEVICE=$(windows_path "$copy") ;;
  esac
  rm -f "$work/traces/$name.log"
  export CSP2A_TRACE=$(windows_path "$work/traces/$name.log")
  case $file in
    *.vbs | *.js) run_checked "${host_wine[@]}" "$system\\cscript.exe" //nologo "$(windows_path "$file")" "$@" ;;
    *) run_checked "${host_wine[@]}" "$file" "$@" ;;
  esac
}

# The probe of a bitness creates the class by its ProgID and names the server it got.
probe() {  # bitness, the server DLL it should get or "absent", the probe program
  local expected=$2
  [[ $expected == absent ]] || expected=$(windows_path "$expected")
  (use_bitness "$1" && run_checked "${host_wine[@]}" "$3" "$expected") || exit 1
}

both_bitnesses() {
  local other_bin=$1 other_bits=$((96 - bits))
  local other_dll="$other_bin/VKDClickrc.dll" other_probe="$other_bin/server_probe.exe"
  if [[ ! -f $other_dll || ! -f $other_probe ]]; then
    echo "SKIPPED: no $other_bits-bit build in $other_bin: build the other Windows preset first"
    exit 77
  fi
  local own_probe="$bin/server_probe.exe"
  unset CSP2A_DEVICE CSP2A_TRACE  # the simulated library's built-in scanner
  register_other() { (use_bitness "$other_bits" && dll=$other_dll && regsvr32 "$@") || fail "$other_bits-bit regsvr32 $*"; }
  # However the test ends, the prefix is left with this build's server alone.
  trap '(register_other /u; regsvr32) >/dev/null 2>&1 || true' EXIT

  register_other
  probe "$bits" "$dll" "$own_probe"
  probe "$other_bits" "$other_dll" "$other_probe"
  # Script hosts of both bitnesses, each with the server of its own.
  run_checked "${host_wine[@]}" "$system\\cscript.exe" //nologo "$(windows_path "$here/clicker_suite.vbs")" demo
  (use_bitness "$other_bits" &&
    run_checked "${host_wine[@]}" "$system\\cscript.exe" //nologo "$(windows_path "$here/clicker_suite.vbs")" demo) ||
    exit 1

  register_other /u
  expect_registered 'HKLM\Software\Classes'
  probe "$bits" "$dll" "$own_probe"
  probe "$other_bits" absent "$other_probe"
  register_other
  regsvr32 /u || fail "regsvr32 /u"
  (use_bitness "$other_bits" && dll=$other_dll && expect_registered 'HKLM\Software\Classes') || exit 1
  probe "$other_bits" "$other_dll" "$other_probe"
  probe "$bits" absent "$own_probe"
  regsvr32 || fail "registering again"
  register_other /u
  expect_registered 'HKLM\Software\Classes'
  probe "$bits" "$dll" "$own_probe"
}

case $command in
  start) start ;;
  both) both_bitnesses "$@" ;;
  stop) stop ;;
  registration) registration ;;
  per-user) per_user ;;
  run) run "$@" ;;
  *) fail "unknown command $command" ;;
esac
