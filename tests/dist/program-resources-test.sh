#!/usr/bin/env bash
# Builds the package the way `make dist` does and reads the resources of the
# programs inside it back under Wine: each binary's version resource (with
# GetFileVersionInfo) against the package's properties and the project
# version, and each program's manifest (with the activation-context API)
# against the decisions it has to carry.
# Usage: program-resources-test.sh WORK_DIR BIN_DIR PROJECT_VERSION VERSION_PROBE MANIFEST_PROBE
#   WORK_DIR         scratch folder (wiped first)
#   BIN_DIR          the build's folder of programs, as dist.sh takes it
#   PROJECT_VERSION  the version CMake's project() declares
#   VERSION_PROBE, MANIFEST_PROBE  the probes of the same build
# Runs the probes in the caller's WINEPREFIX (else the build's own prefix).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1 bin=$2 project_version=$3 version_probe=$4 manifest_probe=$5
programs=(Brelvin.exe LINK.dll Penvaro.exe Camvito.exe Tilmaro.exe Sondaro.exe Kalmeno.exe Probyx.dll)
unset BRELVIN_SIGN_PKCS12

. "$here/checks.sh"
same() { [ "$1" = "$2" ] || { echo "found \"$1\", expected \"$2\""; return 1; }; }

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

package=$("$root/scripts/dist.sh" "$bin" "$work/packages" 2>"$work/dist.log") || { cat "$work/dist.log"; die "dist.sh"; }
table() { (cd "$work" && msiinfo export "$package" "$1") | tr -d '\r' | tail -n +4; }
property() { table Property | awk -F'\t' -v p="$1" '$1 == p { print $2 }'; }
# The long name of a packaged file ("SHORT~1|Long name" or just the name).
packaged_name() { table File | awk -F'\t' -v f="$1" '{ n = $3; sub(/^[^|]*\|/, "", n) } n == f { print n }'; }
product_version=$(property ProductVersion)
product_name=$(property ProductName)
manufacturer=$(property Manufacturer)

mkdir -p "$work/files"
msiextract -C "$work/files" "$package" >/dev/null || die "msiextract"
folder=$(find "$work/files" -name Brelvin.exe -printf '%h\n' | head -1)
[ -n "$folder" ] || die "the package holds no Brelvin.exe"

windows_path() { local p=$1; echo "Z:${p//\//\\}"; }
probe() { # probe, file: its key=value lines
  "$root/scripts/wine-run.sh" "$1" "$(windows_path "$2")" </dev/null 2>/dev/null | tr -d '\r'
}
value() { sed -n "s/^$1=//p" <<<"$2" | head -1; }

echo "== the package takes CMake's project version"
check "ProductVersion is the project version" same "$product_version" "$project_version"

echo "== version resources, read with GetFileVersionInfo"
descriptions=()
for f in "${programs[@]}"; do
  info=$(probe "$version_probe" "$folder/$f")
  [ "$(value version "$info")" != none ] && [ -n "$(value fixed.file "$info")" ] ||
    { check "$f has a version resource" false; continue; }
  check "$f: file version is the package's" same "$(value fixed.file "$info")" "$product_version.0"
  check "$f: product version is the package's" same "$(value fixed.product "$info")" "$product_version.0"
  check "$f: FileVersion text" same "$(value string.FileVersion "$info")" "$product_version"
  check "$f: ProductVersion text" same "$(value string.ProductVersion "$info")" "$product_version"
  check "$f: ProductName is the package's" same "$(value string.ProductName "$info")" "$product_name"
  check "$f: CompanyName is the package's manufacturer" same "$(value string.CompanyName "$info")" "$manufacturer"
  check "$f: OriginalFilename is its name in the package" same "$(value string.OriginalFilename "$info")" \
    "$(packaged_name "$f")"
  kind=dll
  [[ $f == *.exe ]] && kind=app
  check "$f: file type" same "$(value fixed.type "$info")" "$kind"
  descriptions+=("$(value string.FileDescription "$info")")
done
check "every binary has a FileDescription of its own" \
  same "$(printf '%s\n' "${descriptions[@]}" | grep -c .)/$(printf '%s\n' "${descriptions[@]}" | sort -u | grep -c .)" \
  "${#programs[@]}/${#programs[@]}"

echo "== manifests, read with the activation-context API"
supported_systems=$(printf '%s\n' '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' \
  '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' | sort)
uses_common_controls_6() { grep -q '^assembly=Microsoft\.Windows\.Common-Controls,.*version="6\.' <<<"$1"; }
no_common_controls_6() { ! uses_common_controls_6 "$1"; }
# program, run level, DPI-aware value, DPI awareness, common controls 6 (yes/no)
expect_manifest() {
  local f=$1 info
  info=$(probe "$manifest_probe" "$folder/$f")
  check "$f: manifest readable" same "$(value manifest "$info")" present || return
  check "$f: execution level $2" same "$(value runlevel "$info")" "$2"
  check "$f: no UI access" same "$(value uiAccess "$info")" 0
  check "$f: Windows 7, 8, 8.1 and 10 supported" same "$(sed -n 's/^os=//p' <<<"$info" | sort)" "$supported_systems"
  check "$f: dpiAware $3" same "$(value dpiAware "$info")" "$3"
  check "$f: dpiAwareness $4" same "$(value dpiAwareness "$info")" "$4"
  if [ "$5" = yes ]; then
    check "$f: common controls 6" uses_common_controls_6 "$info"
  else
    check "$f: the system's default common controls" no_common_controls_6 "$info"
  fi
}
# The driver and Penvaro request no execution level: they keep the file
# virtualization of the peers that share WBInit.ini. The driver stays DPI
# unaware: its pixels are the peers' pixels.
expect_manifest Brelvin.exe unspecified false unaware no
expect_manifest Penvaro.exe unspecified true system yes
expect_manifest Camvito.exe asInvoker false unaware yes
expect_manifest Tilmaro.exe asInvoker true system yes
# The calibration program draws at the driver's pixels and writes the file
# the driver reads: no execution level, DPI unaware, as the driver.
expect_manifest Kalmeno.exe unspecified false unaware no
# The board check reports every monitor's own scale factor.
expect_manifest Sondaro.exe asInvoker true/pm "PerMonitorV2, PerMonitor" yes

echo "== the driver closer, run by the package from its Binary table"
msiinfo extract "$package" Binary.DriverCloser >"$work/DriverCloser.exe" || die "extracting the driver closer"
info=$(probe "$version_probe" "$work/DriverCloser.exe")
check "DriverCloser.exe: file version is the package's" same "$(value fixed.file "$info")" "$product_version.0"
check "DriverCloser.exe: ProductName is the package's" same "$(value string.ProductName "$info")" "$product_name"
check "DriverCloser.exe: OriginalFilename" same "$(value string.OriginalFilename "$info")" DriverCloser.exe
# No window, so no DPI setting.
folder=$work expect_manifest DriverCloser.exe asInvoker "" "" no

echo "$failures failed"
[ "$failures" -eq 0 ]
