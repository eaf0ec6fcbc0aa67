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
  # An index that fails to download (a mirror in the middle of its sync) leaves the
  # others usable: what can be installed still is.
  apt-get update -q || echo "warning: apt-get update failed for some index; going on with what it has" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" && return 0
  [[ " ${missing[*]}" == *:* ]] && install_beside_foreign_architecture "${missing[@]}"
}

# When the security index of a foreign architecture is missing, its libraries exist only
# in the release's main suite, older than the native ones installed from the security
# suite, and a library both architectures share must be of one version in both. So the
# packages come from the main suite, and a native library installed newer than its other
# architecture can have is brought to the version both have.
install_beside_foreign_architecture() {
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local pins=() attempt output line package arch native foreign
  for attempt in 1 2 3 4 5 6 7 8; do
    if output=$(apt-get install -s -t "$codename" "$@" "${pins[@]}" 2>&1); then
      echo "installing from $codename${pins[*]:+, with ${pins[*]}}"
      DEBIAN_FRONTEND=noninteractive apt-get install -y -q --allow-downgrades -t "$codename" "$@" "${pins[@]}"
      return
    fi
    local added=0
    while read -r line; do
      package=${line%%:*} arch=${line#*:}
      native=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null) || continue
      foreign=$(apt-cache policy "$package:$arch" | sed -n 's/^ *Candidate: //p')
      [ -n "$foreign" ] && [ "$foreign" != "(none)" ] && [ "$foreign" != "$native" ] || continue
      [[ " ${pins[*]} " == *" $package=$foreign "* ]] && continue
      pins+=("$package=$foreign" "$package:$arch=$foreign")
      added=1
    done < <(grep -o 'Depends: [^ ]*:[a-z0-9]* ' <<<"$output" | sed 's/Depends: //; s/ $//' | sort -u)
    [ "$added" -eq 1 ] || break
  done
  echo "$output" >&2
  return 1
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
