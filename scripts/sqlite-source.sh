#!/usr/bin/env bash
# scripts/sqlite-source.sh DEST
# Makes SQLite's amalgamation (DEST/sqlite3.c, DEST/sqlite3.h) from the source of Debian's
# own sqlite3 package, for the builds whose compilers Debian ships no SQLite for (the
# Windows cross builds). The source comes from the archives this machine's apt already
# uses: their deb entries, turned into deb-src ones, go into an apt configuration of our
# own beside DEST, so that neither root nor any change to the machine's apt setup is
# needed. DEST appears whole or not at all; DEST/VERSION names the Debian version.
#
# Needs apt-get and dpkg-source (dpkg-dev), tclsh (tcl), make and a C compiler for the
# build machine (SQLite's configure and its amalgamation generator run there).
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 DEST" >&2; exit 2; }
dest=$(realpath -m "$1")
work="$dest.work"
rm -rf "$work"
mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/source"
trap 'rm -rf "$work"' EXIT

# deb-src twins of the machine's deb entries, one-line (*.list) and deb822 (*.sources)
# alike: the same URIs, suites, components and keys.
eval "$(apt-config shell source_list Dir::Etc::sourcelist/f source_parts Dir::Etc::sourceparts/d)"
for file in "$source_list" "$source_parts"/*.list; do
  if [ -f "$file" ]; then cat "$file"; fi
done | sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' >"$work/apt/sources.list"
for file in "$source_parts"/*.sources; do
  [ -f "$file" ] || continue
  # Stanzas are separated by blank lines; a stanza whose Types include deb is kept with
  # Types: deb-src, every other line of it (keys spanning several lines too) as it is.
  awk '
    function flush() {
      if (keep && !disabled) { printf "%s\n", stanza }
      stanza = ""; keep = 0; disabled = 0
    }
    /^[[:space:]]*$/ { flush(); next }
    /^#/ { next }
    tolower($1) == "types:" {
      for (i = 2; i <= NF; i++) if ($i == "deb") keep = 1
      stanza = stanza "Types: deb-src\n"; next
    }
    tolower($1) == "enabled:" && tolower($2) == "no" { disabled = 1 }
    { stanza = stanza $0 "\n" }
    END { flush() }
  ' "$file" >"$work/apt/sources.list.d/$(basename "$file")"
done

apt=(-o "Dir::Etc::SourceList=$work/apt/sources.list"
  -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
  -o "Dir::State::Lists=$work/apt/lists"
  -o "Dir::Cache=$work/apt/cache")
if [ "$(id -u)" -eq 0 ]; then
  # apt downloads as the unprivileged _apt user, who may not write into a folder of ours.
  apt+=(-o "APT::Sandbox::User=root")
fi

echo "sqlite-source: reading the source indexes of this machine's archives"
apt-get "${apt[@]}" -q update >"$work/update.log" 2>&1 || {
  # An archive without sources leaves the others usable; apt-get source says if none had it.
  echo "sqlite-source: apt-get update reported:" >&2
  cat "$work/update.log" >&2
}
echo "sqlite-source: fetching Debian's sqlite3 source"
(cd "$work/source" && apt-get "${apt[@]}" -q source sqlite3) >"$work/source.log" 2>&1 || {
  cat "$work/source.log" >&2
  echo "sqlite-source: apt-get source sqlite3 failed" >&2
  exit 1
}
tree=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
[ -n "$tree" ] && [ -x "$tree/configure" ] || { echo "sqlite-source: no source tree unpacked" >&2; exit 1; }
version=$(sed -n '1s/^[^(]*(\([^)]*\)).*/\1/p' "$tree/debian/changelog")

echo "sqlite-source: making the amalgamation of sqlite3 $version"
mkdir "$work/build"
(cd "$work/build" && "$tree/configure" --disable-tcl && make sqlite3.c) >"$work/build.log" 2>&1 || {
  tail -n 40 "$work/build.log" >&2
  echo "sqlite-source: the amalgamation could not be made" >&2
  exit 1
}

rm -rf "$dest.new"
mkdir "$dest.new"
cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$dest.new/"
echo "$version" >"$dest.new/VERSION"
rm -rf "$dest"
mv "$dest.new" "$dest"
echo "sqlite-source: $dest holds sqlite3.c and sqlite3.h of Debian's sqlite3 $version"
