# Sourced by the scripts: installs the Debian packages a job needs when they are missing.
# As root it runs apt-get update and apt-get install; otherwise it names what is missing.

ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing Debian packages: ${missing[*]} (run as root, or install them)" >&2
    return 1
  fi
  echo "installing: ${missing[*]}"
  # A package of another architecture (wine32:i386) needs that architecture enabled first.
  for package in "${missing[@]}"; do
    [[ $package == *:* ]] || continue
    dpkg --print-foreign-architectures | grep -qx "${package##*:}" || dpkg --add-architecture "${package##*:}"
  done
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

# What every build needs (strace: a test watches the simulated library's writes; the
# header-only nlohmann-json and CLI11 reach the cross builds too; the store's SQLite, and
# libpq for the PostgreSQL store with the server its tests and benchmark start).
BASE_PACKAGES=(g++ cmake ninja-build libgtest-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev strace libsqlite3-dev
  libpq-dev postgresql)
# The clang preset (libFuzzer and the sanitizer runtimes).
CLANG_PACKAGES=(clang libclang-rt-14-dev)
# The Windows cross builds and their tests under Wine; SQLite's amalgamation made from
# Debian's source (scripts/sqlite-source.sh: apt-get source needs dpkg-dev, SQLite's
# generator tclsh and make).
WINDOWS_PACKAGES=(mingw-w64 mingw-w64-tools wine wine64 wine64-tools libwine-dev dpkg-dev tcl make)
# The x86 build's tests run as 32-bit programs in the same prefix; it builds the installers
# (wixl) and its installer test reads them (msitools).
WINDOWS_X86_PACKAGES=(wine32:i386 wixl msitools)

# preset_packages PRESET: the packages the preset's build and tests need.
preset_packages() {
  case "$1" in
    clang) echo "${BASE_PACKAGES[*]} ${CLANG_PACKAGES[*]}" ;;
    mingw-x64) echo "${BASE_PACKAGES[*]} ${WINDOWS_PACKAGES[*]}" ;;
    mingw-x86) echo "${BASE_PACKAGES[*]} ${WINDOWS_PACKAGES[*]} ${WINDOWS_X86_PACKAGES[*]}" ;;
    *) echo "${BASE_PACKAGES[*]}" ;;
  esac
}
