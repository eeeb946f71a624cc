#!/usr/bin/env bash
# Builds the installer package of the suite from built programs, signed when a
# certificate is given.
# Usage: dist.sh [BIN_DIR [OUT_DIR [VERSION]]]
#   BIN_DIR  folder with Brelvin.exe, LINK.dll, Penvaro.exe, Camvito.exe,
#            Tilmaro.exe, Sondaro.exe, Kalmeno.exe, Probyx.dll, DriverCloser.exe and
#            SettingsCheck.dll (default: build/windows/bin, the 32-bit
#            shipping build); a program not found there is taken from the
#            build folder that holds BIN_DIR
#   OUT_DIR  where the package goes (default: build/windows/dist)
#   VERSION  major.minor.build; by default the project version that the
#            build folder around BIN_DIR was configured with, the one in
#            every program's version resource (give it only to make packages
#            of other versions from the same programs, as upgrade tests do)
# DriverCloser.exe and SettingsCheck.dll are not installed: the package runs
# them from its Binary table, the first before it replaces or removes the
# driver, the second to check the install properties before anything is
# written.
# Signing (Authenticode, with osslsigncode): the eight programs, then the
# package, when BRELVIN_SIGN_PKCS12 names a PKCS#12 file with the code-signing
# certificate and its key; BRELVIN_SIGN_PASSWORD is its password (may be
# empty), BRELVIN_SIGN_TIMESTAMP an optional RFC 3161 time-stamp server. Without
# BRELVIN_SIGN_PKCS12 the package is built unsigned, and this is said on stderr.
# Beside the package: the Group Policy templates, as PolicyDefinitions/ with
# Brelvin.admx and its texts in en-US/ and zh-CN/, laid out as they are
# copied into a domain's central store or C:\Windows\PolicyDefinitions.
# The templates and the package's option rows are made from the options
# table (common/Options.h) by dist/options/generate.py, with the table printed
# by OptionTableDump, built here for this machine (the programs packed are
# built for Windows).
# Prints the path of the package. Needs wixl and msibuild (Debian: wixl,
# msitools), c++ and python3, and osslsigncode to sign.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
bin=${1:-$root/build/windows/bin}
out=${2:-$root/build/windows/dist}
programs=(Brelvin.exe LINK.dll Penvaro.exe Camvito.exe Tilmaro.exe Sondaro.exe Kalmeno.exe Probyx.dll)
helpers=(DriverCloser.exe SettingsCheck.dll)
texts=(Language.ini Language.zh-CN.ini WBInit.ini)
icon=$root/driver/win32/res/Brelvin.ico
sign_pkcs12=${BRELVIN_SIGN_PKCS12:-}

for tool in wixl msibuild; do
  command -v "$tool" >/dev/null || { echo "dist.sh: $tool is missing (apt-get install wixl msitools)" >&2; exit 1; }
done
for tool in c++ python3; do
  command -v "$tool" >/dev/null || { echo "dist.sh: $tool is missing (apt-get install g++ python3)" >&2; exit 1; }
done
if [ -n "$sign_pkcs12" ]; then
  command -v osslsigncode >/dev/null || { echo "dist.sh: osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 1; }
  [ -r "$sign_pkcs12" ] || { echo "dist.sh: cannot read the signing certificate $sign_pkcs12" >&2; exit 1; }
fi

# The build folder that holds BIN_DIR (the nearest one with a CMake cache).
build_dir() {
  local dir
  dir=$(cd "$bin" 2>/dev/null && pwd) || return 0
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ ! -f "$dir/CMakeCache.txt" ] || echo "$dir"
}
build=$(build_dir)
configured_version() {
  [ -z "$build" ] || sed -n 's/^BRELVIN_VERSION:INTERNAL=//p' "$build/CMakeCache.txt"
}
version=${3:-$(configured_version)}
[ -n "$version" ] || { echo "dist.sh: no version given and no configured build folder around $bin" >&2; exit 1; }
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "dist.sh: version '$version' is not major.minor.build" >&2; exit 1; }

# The path of a built program: BIN_DIR first, else where the build folder
# around it says its target put it, else the one place in that folder.
locate_program() {
  local found
  if [ -f "$bin/$1" ]; then echo "$bin/$1"; return; fi
  if [ -n "$build" ] && [ -f "$build/packaged-programs.txt" ]; then
    found=$(awk -v name="/$1" 'substr($0, length($0) - length(name) + 1) == name { print; exit }' \
              "$build/packaged-programs.txt")
    if [ -n "$found" ] && [ -f "$found" ]; then echo "$found"; return; fi
  fi
  [ -d "$bin/.." ] || return 0
  found=$(find "$bin/.." -name "$1" -type f -not -path '*/CMakeFiles/*' -not -path '*/wineprefix/*' \
            -not -path '*/dist/*' 2>/dev/null | head -1)
  [ -z "$found" ] || echo "$found"
}

missing=()
declare -A source
for f in "${programs[@]}" "${helpers[@]}"; do
  source[$f]=$(locate_program "$f")
  [ -n "${source[$f]}" ] || missing+=("$f")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "dist.sh: not built in $bin: ${missing[*]}" >&2
  exit 1
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
# wixl takes file sources relative to the folder it runs in, so the package
# is assembled in one staging folder.
stage="$out/stage-$version"
rm -rf "$stage"
mkdir -p "$stage"
trap 'rm -rf "$stage"' EXIT
for f in "${programs[@]}" "${helpers[@]}"; do cp "${source[$f]}" "$stage/"; done
for f in "${texts[@]}" Brelvin.wxs; do cp "$root/dist/$f" "$stage/"; done
cp "$icon" "$stage/Brelvin.ico"

# What the options table makes. The table's program links what it needs of
# the portable core, taken from an archive of all of it.
made="$stage/made"
mkdir -p "$made/objects"
if ! { (cd "$made/objects" && c++ -std=c++17 -I"$root/common/include" -c "$root"/common/src/*.cpp) &&
       ar rcs "$made/common.a" "$made"/objects/*.o &&
       c++ -std=c++17 -I"$root/common/include" -o "$made/OptionTableDump" "$root/dist/options/OptionTableDump.cpp" \
         "$made/common.a" &&
       "$made/OptionTableDump" >"$made/option-table.tsv" &&
       python3 "$root/dist/options/generate.py" "$made/option-table.tsv" "$made"; } >"$made/log" 2>&1; then
  cat "$made/log" >&2
  echo "dist.sh: making the files of the options table failed" >&2
  exit 1
fi

# Signs one file in place. The password goes through a file only this user
# can read, never on a command line.
sign() {
  local file=$1 signed="$1.signed" options=()
  [ -z "${BRELVIN_SIGN_TIMESTAMP:-}" ] || options+=(-ts "$BRELVIN_SIGN_TIMESTAMP")
  if ! osslsigncode sign -pkcs12 "$sign_pkcs12" -readpass "$stage/.password" -h sha256 \
         -n "Brelvin Whiteboard" "${options[@]}" -in "$file" -out "$signed" >"$stage/.sign.log" 2>&1; then
    cat "$stage/.sign.log" >&2
    echo "dist.sh: signing $(basename "$file") failed" >&2
    exit 1
  fi
  mv "$signed" "$file"
}
if [ -n "$sign_pkcs12" ]; then
  (umask 077 && printf '%s' "${BRELVIN_SIGN_PASSWORD:-}" >"$stage/.password")
  for f in "${programs[@]}" "${helpers[@]}"; do sign "$stage/$f"; done
else
  echo "dist.sh: no certificate (BRELVIN_SIGN_PKCS12 unset): the programs and the package are unsigned" >&2
fi

# The size Programs and Features shows, in KiB: every file the package installs.
size_kib=$(( ( $(cat "${programs[@]/#/$stage/}" "${texts[@]/#/$stage/}" | wc -c) + 1023 ) / 1024 ))

# The package is made in the staging folder and moved out only when it is
# complete, so a failed step (a signature, say) leaves no package behind.
package="$out/Brelvin-$version.msi"
rm -f "$package"
(cd "$stage" && wixl --arch x86 --define Version="$version" --define SizeKiB="$size_kib" --output package.msi Brelvin.wxs)
# The finishing statements name the package's version and UpgradeCode as
# wixl wrote them, so Brelvin.wxs stays the one place that states them.
upgrade_code=$(cd "$stage" && msiinfo export package.msi Property | tr -d '\r' | awk -F'\t' '$1 == "UpgradeCode" { print $2 }')
[ -n "$upgrade_code" ] || { echo "dist.sh: the package built from Brelvin.wxs has no UpgradeCode" >&2; exit 1; }
while IFS= read -r statement; do
  [[ -z $statement || $statement == --* ]] && continue
  statement=${statement//@VERSION@/$version}
  msibuild "$stage/package.msi" -q "${statement//@UPGRADECODE@/${upgrade_code^^}}"
done <"$made/package-tables.sql"
# The package's signature covers every table and stream, so it comes last.
[ -z "$sign_pkcs12" ] || sign "$stage/package.msi"
mv "$stage/package.msi" "$package"
rm -rf "$out/PolicyDefinitions"
mkdir -p "$out/PolicyDefinitions"
cp -R "$made/policies/." "$out/PolicyDefinitions/"
echo "$package"
