#!/usr/bin/env bash
# Installs and uninstalls the packages as a user would, in a fresh Wine prefix of its own:
#   msi_install.sh WORK BIN64 BIN32 MACHINE_MSI USER_MSI NEXT_MSI
# For each package (for the machine with the simulated scanner library chosen, then for
# the current user without it, as it is unless chosen): msiexec /i, then msiexec /x,
# which leaves no file of ours, and the classes (both views), the uninstall lists and the
# installer's keys as they were, key by key. Installed for the machine, hosts of both
# bitnesses create the class and download from the library beside their server
# (clicker_suite.vbs demo through each cscript, server_probe), and a C++ client of each
# bitness loads the type library by its identifier from the registry; then NEXT_MSI, the
# same package as a later version, replaces it (a major upgrade), and msiexec /x of that
# one removes everything. Wine's COM reads the machine's classes alone, so no host under
# Wine finds a class registered for the user: installed for the user, the package's keys
# are checked instead, all under HKCU, none under HKLM. BIN64 and BIN32 hold the test
# programs of the two Windows builds.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
work=$(cd "$1" && pwd)
bin64=$2 bin32=$3 machine_msi=$4 user_msi=$5 next_msi=$6
for file in "$bin64/server_probe.exe" "$bin32/server_probe.exe" "$machine_msi" "$user_msi" "$next_msi"; do
  [[ -f $file ]] || { echo "FAILED: $file is missing: build both Windows presets, x64 first" >&2; exit 1; }
done

export WINEPREFIX="$work/prefix"
source "$here/wine_env.sh"
source "$work/identity.sh"

passed=0
pass() { passed=$((passed + 1)); }

# The keys compared before and after, one line per key and per value ("[key]|value"),
# sorted; the 64-bit view holds the 32-bit one under Wow6432Node.
compared_roots=(
  'HKLM\Software\Classes' 'HKCU\Software\Classes'
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer'
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  'HKCU\Software\Microsoft\Installer'
)
export_lines() {  # file, roots...
  local out=$1 root
  shift
  for root in "$@"; do
    # A root that does not exist yet exports nothing.
    "$wine64" reg export "$root" "$(windows_path "$work/export.reg")" /y /reg:64 >/dev/null 2>&1 || continue
    iconv -f UTF-16 -t UTF-8 "$work/export.reg" | tr -d '\r' |
      awk '/^\[/ { key = $0; print key; next } NF && key != "" { print key "|" $0 }'
  done | LC_ALL=C sort >"$out"
}
snapshot() { export_lines "$work/$1.lines" "${compared_roots[@]}"; }

# A GUID as Windows Installer writes it into key names: each of the first three groups
# reversed, each byte of the last two with its digits swapped.
packed_guid() {
  local hex=${1//[\{\}-]/} packed="" i
  for i in 0:8 8:4 12:4; do packed+=$(rev <<<"${hex:${i%:*}:${i#*:}}"); done
  for ((i = 16; i < 32; i += 2)); do packed+=${hex:i+1:1}${hex:i:1}; done
  printf '%s' "$packed"
}

package_property() {  # package, name
  msiinfo export "$1" Property | tr -d '\r' | awk -v name="$2" '$1 == name { print $2 }'
}

# Everything of ours the lines can name: the component's identifiers and the packages'.
ours_pattern() {  # packages...
  local package code
  printf '%s\n' "$clsid" "$libid" "$iid" "$prog_id"
  for package in "$@"; do
    for code in "$(package_property "$package" ProductCode)" "$(package_property "$package" UpgradeCode)"; do
      [[ -n $code ]] || fail "no product or upgrade code in $package"
      printf '%s\n%s\n' "$code" "$(packed_guid "$code")"
    done
  done
}

# The same keys and values as before, key by key. Windows Installer creates and removes
# the empty keys above its own (Installer\Products, UserData\...), which Windows always
# has and a fresh prefix has not: an empty key counts only when it is one of ours.
expect_as_before() {  # before, after, packages...
  local before=$1 after=$2 differences
  shift 2
  differences=$(LC_ALL=C comm -3 "$work/$before.lines" "$work/$after.lines" |
    grep -v -E '^\s*\[[^]]*\]$' || true)
  differences+=$(LC_ALL=C comm -3 "$work/$before.lines" "$work/$after.lines" | grep -E '^\s*\[[^]]*\]$' |
    grep -i -F -f <(ours_pattern "$@") || true)
  [[ -z $differences ]] || {
    echo "the registry differs from before the install:"$'\n'"$differences" >&2
    return 1
  }
}

installed_files() { find "$WINEPREFIX/drive_c" -ipath '*vkdclicker*' 2>/dev/null | sort; }

# Hosts of both bitnesses use the installed component: servers in folder64 and folder32.
use_installed() {  # folder64, folder32 (Windows paths)
  local bits folder bin
  for bits in 64 32; do
    if ((bits == 64)); then folder=$1 bin=$bin64; else folder=$2 bin=$bin32; fi
    (
      use_bitness "$bits"
      unset CSP2A_DEVICE CSP2A_TRACE  # the simulated library's built-in scanner
      run_checked "${host_wine[@]}" "$system\\cscript.exe" //nologo "$(windows_path "$here/clicker_suite.vbs")" demo
      run_checked "${host_wine[@]}" "$bin/server_probe.exe" "$folder\\VKDClickrc.dll"
      run_checked "${host_wine[@]}" "$bin/registered_type_library.exe" "$folder\\VKDClickrc.dll"
    ) || fail "the $bits-bit hosts with the server in $folder"
    pass
  done
}

# Prints the output, then checks the result line and the exit code.
run_checked() {
  local status=0 output last
  "$@" >"$work/output.txt" 2>&1 || status=$?
  output=$(tr -d '\r' <"$work/output.txt")
  last=$(printf '%s\n' "$output" | sed '/^[[:space:]]*$/d' | tail -n 1)
  if [[ ! $last =~ ^RESULT:\ ([0-9]+)\ passed,\ 0\ failed$ ]] || ((status != 0)); then
    printf '%s\n' "$output"
    fail "$* (exit code $status)"
  fi
}

msiexec() { "$wine64" msiexec "$@" /qn </dev/null >/dev/null 2>&1; }

# Installed for the user: the class, its ProgID, the type library of each bitness and
# the interface under HKCU\Software\Classes; the machine's classes (both views) as they
# were, and nothing of ours anywhere else under HKLM but in the installer's own records
# (which Wine and Windows keep under HKLM also for an install for the user; Wine puts its
# uninstall entry there too).
expect_registered_for_user() {  # name, package, folder64, folder32
  local name=$1 added outside machine line
  snapshot "$name-installed"
  added=$(LC_ALL=C comm -13 "$work/$name-before.lines" "$work/$name-installed.lines" |
    grep -i -F -e "$clsid" -e "$libid" -e "$iid" -e "$prog_id" || true)
  local classes='[HKEY_CURRENT_USER\Software\Classes'
  local b='\' server64="${3//\\/\\\\}\\\\VKDClickrc.dll" server32="${4//\\/\\\\}\\\\VKDClickrc.dll"
  for line in "${b}CLSID$b$clsid${b}InprocServer32]|@=" "$b$prog_id${b}CLSID]|@=\"$clsid\"" \
    "${b}TypeLib$b$libid$b$typelib_version${b}0${b}win64]|@=\"$server64\"" \
    "${b}TypeLib$b$libid$b$typelib_version${b}0${b}win32]|@=\"$server32\"" \
    "${b}Interface$b$iid]|@=\"_Clicker\""; do
    grep -q -i -F -- "$classes$line" <<<"$added" || fail "installed for the user, without $classes$line"
  done
  outside=$(grep -v -F "$classes" <<<"$added" || true)
  [[ -z $outside ]] || fail "keys of ours outside HKCU\Software\Classes:"$'\n'"$outside"
  machine=$(LC_ALL=C comm -3 "$work/$name-before.lines" "$work/$name-installed.lines" |
    grep -F '[HKEY_LOCAL_MACHINE\Software\Classes' || true)
  export_lines "$work/$name-hklm.lines" 'HKLM\Software'
  machine+=$(grep -i -F -e "$clsid" -e "$libid" -e "$iid" -e "$prog_id" -e 'VKDClicker' "$work/$name-hklm.lines" |
    grep -v -i -F -e 'CurrentVersion\Installer\' -e 'CurrentVersion\Uninstall\' || true)
  [[ -z $machine ]] || fail "the install for the user wrote under HKLM:"$'\n'"$machine"
  pass
}

# The servers in their folders, the simulated library beside them or not.
expect_installed_files() {  # folder64, folder32, "with" or "without" the simulated library
  local folder unix
  for folder in "$1" "$2"; do
    unix=$WINEPREFIX/drive_c/$(tr '\\' / <<<"${folder#C:\\}")
    [[ -f $unix/VKDClickrc.dll ]] || fail "no server in $folder"
    if [[ $3 == with && ! -f $unix/csp2a.dll ]]; then fail "no simulated library in $folder"; fi
    if [[ $3 == without && -f $unix/csp2a.dll ]]; then fail "the simulated library in $folder, though not chosen"; fi
  done
  pass
}

# The later package replaced the earlier one: its entry alone in the uninstall list, and
# the servers in place.
expect_upgraded() {  # earlier package, later package, folder64, folder32
  local uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  reg_exists() { "$wine64" reg query "$1" /reg:64 >/dev/null 2>&1; }
  reg_exists "$uninstall\\$(package_property "$2" ProductCode)" || fail "the later version is not installed"
  if reg_exists "$uninstall\\$(package_property "$1" ProductCode)"; then fail "the earlier version stayed beside the later"; fi
  expect_installed_files "$3" "$4" with
}

round_trip() {  # package, folder64, folder32, scope (machine or user)
  local package=$1 removed=$1 name
  name=$(basename "$package" .msi)
  snapshot "$name-before"
  if [[ $4 == machine ]]; then
    msiexec /i "$(windows_path "$package")" ADDLOCAL=ALL || fail "msiexec /i $name ADDLOCAL=ALL"
    use_installed "$2" "$3"
    msiexec /i "$(windows_path "$next_msi")" ADDLOCAL=ALL || fail "msiexec /i $(basename "$next_msi")"
    expect_upgraded "$package" "$next_msi" "$2" "$3"
    removed=$next_msi
  else
    msiexec /i "$(windows_path "$package")" || fail "msiexec /i $name"
    expect_installed_files "$2" "$3" without
    expect_registered_for_user "$name" "$package" "$2" "$3"
  fi
  msiexec /x "$(windows_path "$removed")" || fail "msiexec /x $(basename "$removed")"
  local left
  left=$(installed_files)
  [[ -z $left ]] || fail "files of ours are left after msiexec /x $(basename "$removed"):"$'\n'"$left"
  snapshot "$name-after"
  expect_as_before "$name-before" "$name-after" "$package" "$next_msi" ||
    fail "msiexec /x $(basename "$removed") left the registry changed"
  pass
}

fresh_prefix
# A script host registers its own type libraries when a script first uses them (the
# suite's RegExp, WScript): before the first snapshot, so that only the packages' keys
# come and go.
printf 'Set r = New RegExp\r\nWScript.Echo r.Test("a")\r\n' >"$work/warm_up.vbs"
for bits in 64 32; do
  (use_bitness "$bits" && "${host_wine[@]}" "$system\\cscript.exe" //nologo "$(windows_path "$work/warm_up.vbs")" >/dev/null 2>&1) ||
    fail "the $bits-bit cscript"
done
user_programs='C:\users\'"$(id -un)"'\AppData\Local\Programs'
round_trip "$machine_msi" 'C:\Program Files\VKDClicker' 'C:\Program Files (x86)\VKDClicker' machine
round_trip "$user_msi" "$user_programs\VKDClicker\x64" "$user_programs\VKDClicker\x86" user

# The comparison sees a key of ours that an uninstall would leave.
"$wine64" reg add "HKLM\\Software\\Classes\\CLSID\\$clsid" /f >/dev/null 2>&1
snapshot planted
if expect_as_before "$(basename "$machine_msi" .msi)-before" planted "$machine_msi" "$next_msi" 2>/dev/null; then
  fail "a key left behind went unseen"
fi
pass

wineserver -k >/dev/null 2>&1 || true
echo "RESULT: $passed passed, 0 failed"
