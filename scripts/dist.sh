#!/usr/bin/env bash
# Builds the installer package of the suite from built programs.
# Usage: dist.sh [BIN_DIR [OUT_DIR [VERSION]]]
#   BIN_DIR  folder with Brelvin.exe, LINK.dll, Penvaro.exe, Camvito.exe,
#            Tilmaro.exe, Probyx.dll (default: build/windows/bin, the 32-bit
#            shipping build); a program not found there is taken from the
#            build folder that holds BIN_DIR
#   OUT_DIR  where the package goes (default: build/windows/dist)
#   VERSION  major.minor.build (default: $BRELVIN_VERSION or 1.0.0)
# Prints the path of the package. Needs wixl and msibuild (Debian: wixl,
# msitools).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
bin=${1:-$root/build/windows/bin}
out=${2:-$root/build/windows/dist}
version=${3:-${BRELVIN_VERSION:-1.0.0}}
programs=(Brelvin.exe LINK.dll Penvaro.exe Camvito.exe Tilmaro.exe Probyx.dll)
texts=(Language.ini Language.zh-CN.ini WBInit.ini)

for tool in wixl msibuild; do
  command -v "$tool" >/dev/null || { echo "dist.sh: $tool is missing (apt-get install wixl msitools)" >&2; exit 1; }
done
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "dist.sh: version '$version' is not major.minor.build" >&2; exit 1; }
# The path of a built program: BIN_DIR first, else the one place in the build
# folder around it where the program's own target put it.
locate_program() {
  local found
  if [ -f "$bin/$1" ]; then echo "$bin/$1"; return; fi
  [ -d "$bin/.." ] || return 0
  found=$(find "$bin/.." -name "$1" -type f -not -path '*/CMakeFiles/*' -not -path '*/wineprefix/*' \
            -not -path '*/dist/*' 2>/dev/null | head -1)
  [ -z "$found" ] || echo "$found"
}

missing=()
declare -A source
for f in "${programs[@]}"; do
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
for f in "${programs[@]}"; do cp "${source[$f]}" "$stage/"; done
for f in "${texts[@]}" Brelvin.wxs; do cp "$root/dist/$f" "$stage/"; done

package="$out/Brelvin-$version.msi"
rm -f "$package"
(cd "$stage" && wixl --arch x86 --define Version="$version" --output "$package" Brelvin.wxs)
while IFS= read -r statement; do
  [[ -z $statement || $statement == --* ]] && continue
  msibuild "$package" -q "$statement"
done <"$root/dist/package-tables.sql"
rm -rf "$stage"
echo "$package"
