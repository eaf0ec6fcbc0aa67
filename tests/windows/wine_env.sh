# Sourced by the scripts that run Windows programs under Wine (the test harness, the
# installer test, the late-bound benchmark): the environment of a quiet prefix of one's
# own, the loaders of both bitnesses, and a fresh prefix. Set WINEPREFIX first.
export WINEDEBUG=-all
# No Mono or Gecko installer in a test prefix; no windows on anybody's display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# The user locale of Wine follows the Unix one: the US conventions the checks expect.
export LC_ALL=C.UTF-8

# Debian's "wine" starts the 32-bit loader whenever wine32 is installed, and a 32-bit
# reg or cscript sees the 32-bit registry; the 64-bit programs need the 64-bit loader.
if command -v wine64 >/dev/null; then
  wine64=wine64
elif [[ -x /usr/lib/wine/wine64 ]]; then
  wine64=/usr/lib/wine/wine64
else
  wine64=wine
fi
# The loader, system folder, registry view and type library platform of a bitness.
use_bitness() {
  case $1 in
    64) host_wine=("$wine64") system='C:\windows\system32' view=64 typelib_platform=win64 ;;
    32) host_wine=(wine) system='C:\windows\syswow64' view=32 typelib_platform=win32 ;;
    *) fail "bitness $1, expected 64 or 32" ;;
  esac
}

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# A new, empty prefix in WINEPREFIX, its wineserver kept running.
fresh_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # A prefix's wineserver ends shortly after its last program, and starting it again
  # costs seconds: keep it for the whole run. Wine's background programs must not hold
  # the test's output open, or ctest waits for them.
  wineserver -p120 </dev/null >/dev/null 2>&1
  "$wine64" wineboot --init </dev/null >/dev/null 2>&1
  # On Windows this key always exists; a fresh prefix lacks it.
  "$wine64" reg add 'HKCU\Software\Classes\CLSID' /f >/dev/null 2>&1
}
