#!/usr/bin/env bash
# Installs, upgrades and removes the suite's package under Wine in a fresh
# prefix, and checks what each step leaves behind, with the driver running
# as it does in a user's session: the upgrade replaces the running driver
# with the new version without a restart, the removal ends it and keeps the
# program folder's calibration, which a reinstall finds again. The event
# source comes and goes with the package. Options given as install
# properties go into WBInit.ini and stay through an upgrade and a repair
# without them; a bad one, LANGUAGE included, ends the install before
# anything changes. A calibrated WBInit.ini that an administrator copies into
# the program folder, before an install or over an installed one, stays as
# it is, and the users' write right is granted on it. A rebuilt package of
# the installed version takes its place; an older one is refused with 1603;
# a script removes whatever version is installed through the UpgradeCode.
# Usage: msi-install-test.sh WORK_DIR PROBE_EXE RUNNING_PROBE_EXE PROGRAM...
#   WORK_DIR           scratch folder (wiped first): packages and the Wine prefix
#   PROBE_EXE          DriverStartProbe.exe of the same build
#   RUNNING_PROBE_EXE  RunningDriverProbe.exe of the same build
#   PROGRAM            the built programs and libraries of the package
# Exit code 0: all passed; 77: skipped, the package's programs cannot run
# here (32-bit programs on a machine without 32-bit support); else failed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1 probe=$2 running_probe=$3
shift 3
. "$root/scripts/wine-env.sh"

failures=0
check() { # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
die() { echo "FAILED: $*"; exit 1; }

# Writes a.b.c as the fixed file and product version (a.b.c.0) into a
# program's version resource, in place.
stamp_version() { # file, a.b.c
  local file=$1 major minor build offset bytes="" word
  IFS=. read -r major minor build <<<"$2"
  offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$file" | head -1 | cut -d: -f1)
  [ -n "$offset" ] || return 1
  for word in $(( major << 16 | minor )) $(( build << 16 )) $(( major << 16 | minor )) $(( build << 16 )); do
    bytes+=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(( word & 255 )) $(( word >> 8 & 255 )) \
               $(( word >> 16 & 255 )) $(( word >> 24 & 255 )))
  done
  # Past the signature and the structure version: file MS, LS, product MS, LS.
  printf "$bytes" | dd of="$file" bs=1 seek=$(( offset + 8 )) conv=notrunc status=none
}

rm -rf "$work"
mkdir -p "$work/bin" "$work/bin-1.1.0"
work=$(cd "$work" && pwd)
cp "$@" "$work/bin/" || die "copying the programs"
"$root/scripts/dist.sh" "$work/bin" "$work/packages" 1.0.0 >/dev/null 2>&1 || die "building package 1.0.0"
# The newer package's driver says that it is newer, as a real one would.
cp "$work"/bin/* "$work/bin-1.1.0/" && stamp_version "$work/bin-1.1.0/Brelvin.exe" 1.1.0 ||
  die "stamping version 1.1.0 into the newer package's Brelvin.exe"
"$root/scripts/dist.sh" "$work/bin-1.1.0" "$work/packages" 1.1.0 >/dev/null 2>&1 || die "building package 1.1.0"
# The same programs and version built again: a new ProductCode, as every build has.
"$root/scripts/dist.sh" "$work/bin-1.1.0" "$work/rebuilt" 1.1.0 >/dev/null 2>&1 || die "rebuilding package 1.1.0"

export WINEPREFIX="$work/prefix"
if [ "$(wine_loader_for "$work/bin/Brelvin.exe")" = wine ] && ! can_run_32bit; then
  # The package runs its own programs while it installs, so nothing of it
  # can be tried here.
  echo "skipped: the package's 32-bit programs cannot run on this machine"
  exit 77
fi
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" >"$work/prefix.log" 2>&1 || die "creating the Wine prefix (see $work/prefix.log)"
if can_run_32bit; then wine=wine; else wine=/usr/lib/wine/wine64; export WINELOADER=$wine; fi
wineserver -p
trap 'wineserver -k 2>/dev/null' EXIT
"$wine" cmd /c exit </dev/null >/dev/null 2>&1

drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files (x86)/Brelvin Whiteboard"
[ -d "$drive_c/Program Files (x86)" ] || folder="$drive_c/Program Files/Brelvin Whiteboard"
# ALLUSERS=1 puts the shortcuts into the all-users Start menu on Windows;
# Wine's installer puts them into the installing user's.
menus=("$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brelvin Whiteboard")
for user_menu in "$drive_c"/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs; do
  menus+=("$user_menu/Brelvin Whiteboard")
done
files=(Brelvin.exe LINK.dll Penvaro.exe Camvito.exe Tilmaro.exe Sondaro.exe Kalmeno.exe Probyx.dll Language.ini WBInit.ini)
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# A 64-bit prefix keeps the 32-bit package's keys in the 32-bit view.
[ ! -d "$drive_c/Program Files (x86)" ] || { run_key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Run'
  uninstall_key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'; }

msi() { "$wine" msiexec "$@" </dev/null >/dev/null 2>&1; }
msi_fails() { ! msi "$@"; }
# msiexec's exit code as a shell sees it, modulo 256 (1603 arrives as 67).
msi_exits_with() { # code, msiexec arguments...
  local expected=$(( $1 % 256 )) status
  shift
  msi "$@"
  status=$?
  [ "$status" -eq "$expected" ] || { echo "   exit status $status, not $expected"; return 1; }
}
# With the installer's trace, which shows the command line of each program a
# custom action starts (Wine's log does not).
msi_trace="$work/msi-trace.txt"
msi_traced() { WINEDEBUG=trace+msi "$wine" msiexec "$@" </dev/null >/dev/null 2>"$msi_trace"; }
# The installer started icacls on the program folder's WBInit.ini with modify
# rights for the built-in Users group (by SID). Whether the right is then on
# the file cannot be seen here: Wine's icacls changes nothing, and a Wine
# without 32-bit support has none in the 32-bit system folder to start.
users_write_granted() {
  local file
  # Compared without backslashes and quotes, which the trace doubles and escapes.
  file=$(windows_path "$folder/WBInit.ini" | tr -d '\\')
  grep -a 'HANDLE_CustomType34 cmd' "$msi_trace" | tr -d '\\"' |
    grep -aiqF "icacls.exe $file /grant *S-1-5-32-545:M" || { echo "   no icacls grant on WBInit.ini in $msi_trace"; return 1; }
}
all_files_installed() { local f; for f in "${files[@]}"; do [ -f "$folder/$f" ] || return 1; done; }
# Everything but the calibration, which removal keeps.
no_program_file_left() { local f; for f in "${files[@]}"; do [ "$f" = WBInit.ini ] || [ ! -e "$folder/$f" ] || return 1; done; }
run_value() { "$wine" reg query "$run_key" /v Brelvin 2>/dev/null | tr -d '\r' | grep -i 'Brelvin.exe'; }
# The command the Run value holds, as Windows starts it at logon.
run_command() { run_value | sed 's/^.*REG_SZ[[:space:]]*//'; }
run_value_points_to_folder() { run_value | grep -qi 'Brelvin Whiteboard\\Brelvin.exe'; }
no_run_value() { ! run_value >/dev/null; }
shortcuts_present() {
  local m
  for m in "${menus[@]}"; do [ -f "$m/Penvaro.lnk" ] && [ -f "$m/Camvito.lnk" ] && [ -f "$m/Tilmaro.lnk" ] && [ -f "$m/Sondaro.lnk" ] &&
    [ -f "$m/Kalmeno.lnk" ] && [ -f "$m/Kalmeno - Check.lnk" ] && return 0; done
  return 1
}
no_shortcuts() {
  local m tool
  for m in "${menus[@]}"; do for tool in Penvaro Camvito Tilmaro Sondaro Kalmeno "Kalmeno - Check"; do [ ! -e "$m/$tool.lnk" ] || return 1; done; done
}
installed_versions() { "$wine" reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | grep -i 'DisplayVersion' | grep -o '[0-9][0-9.]*' | sort; }
only_version() { [ "$(installed_versions | xargs)" = "$1" ]; }
# The path as Windows programs in the prefix see it: C: for the prefix's own
# drive, Z: for the rest of the file system.
windows_path() {
  local p
  p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  case $p in
    "$drive_c"/*) p="C:${p#"$drive_c"}" ;;
    *) p="Z:$p" ;;
  esac
  echo "${p//\//\\}"
}
same_file() { cmp -s "$1" "$2"; }
ini_holds() { grep -q "$2" "$1"; }
# The lines of one section of an INI file, blank lines left out.
ini_section() { # file, section
  tr -d '\r' <"$1" | awk -v s="[$2]" 'tolower($0) == tolower(s) { on = 1; next } /^\[/ { on = 0 } on && NF'
}
# The section holds exactly these lines, in this order.
section_is() { # file, section, "KEY=value KEY=value"
  local held
  held=$(ini_section "$1" "$2" | xargs)
  [ "$held" = "$3" ] || { echo "   [$2] holds: ${held:-nothing}"; return 1; }
}
# The file is the starting file with only these sections added.
starting_file_and() { # file, section...
  local file=$1
  shift
  cmp -s <(tr -d '\r' <"$file" | awk -v s=" $* " '/^\[/ { name = tolower(substr($0, 2, length($0) - 2)); on = index(tolower(s), " " name " ") > 0; if (on) next } !on && NF') \
    <(tr -d '\r' <"$root/dist/WBInit.ini" | awk NF)
}
# The driver on the prefix's desktop, as RunningDriverProbe reports it into
# $running (pid=, image=, version=).
running="$work/running.txt"
driver_probe() { "$wine" "$running_probe" "$@" </dev/null >"$running" 2>&1 || { sed 's/^/   /' "$running"; return 1; }; }
running_value() { tr -d '\r' <"$running" | sed -n "s/^$1=//p" | head -1; }
# The running driver is the program folder's Brelvin.exe, of this version.
driver_is() { # a.b.c.d
  local image expected
  image=$(running_value image) expected=$(windows_path "$folder/Brelvin.exe")
  [ "${image,,}" = "${expected,,}" ] && [ "$(running_value version)" = "$1" ] ||
    { echo "   runs $image, version $(running_value version)"; return 1; }
}
# The suite's event source in the Application log (not redirected for a
# 32-bit package: HKLM\SYSTEM is one view for both).
event_source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Brelvin'
event_source_value() {
  "$wine" reg query "$event_source_key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]*/, ""); print }'
}
# EventMessageFile names the program folder's Brelvin.exe, which holds the
# message table; TypesSupported is information, warning and error.
event_source_registered() {
  local file types expected
  file=$(event_source_value EventMessageFile) types=$(event_source_value TypesSupported)
  expected=$(windows_path "$folder/Brelvin.exe")
  [ "${file,,}" = "${expected,,}" ] && [ "$types" = 0x7 ] ||
    { echo "   EventMessageFile=$file TypesSupported=$types"; return 1; }
}
no_event_source() { ! "$wine" reg query "$event_source_key" >/dev/null 2>&1; }
# Files that wait for a restart to be replaced or removed.
no_replacement_waits_for_restart() {
  ! "$wine" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
      2>/dev/null | grep -qi 'Brelvin'
}

# The package's face in Programs and Features, as the package states it and
# as the installed product registers it.
package_1_0="$work/packages/Brelvin-1.0.0.msi"
# (msiinfo writes a table's binary cells as files into the current folder.)
table() { (cd "$work" && msiinfo export "$package_1_0" "$1") | tr -d '\r' | tail -n +4; }
property() { table Property | awk -F'\t' -v p="$1" '$1 == p { print $2 }'; }
property_is() { [ "$(property "$1")" = "$2" ]; }
icon_is_the_product_icon() {
  local icon
  icon=$(property ARPPRODUCTICON)
  [ -n "$icon" ] && table Icon | cut -f1 | grep -qx "$icon" &&
    msiinfo extract "$package_1_0" "Icon.$icon" | cmp -s - "$root/driver/win32/res/Brelvin.ico"
}
help_link_is_a_web_address() { [[ $(property ARPHELPLINK) =~ ^https?://[^/]+/ ]]; }
# Every file of the package, in KiB rounded up.
size_is_the_files_size() {
  local bytes
  bytes=$(table File | awk -F'\t' '{ sum += $4 } END { print sum + 0 }')
  [ "$bytes" -gt 0 ] && property_is ARPSIZE "$(( (bytes + 1023) / 1024 ))"
}
install_location_set_from_folder() {
  table CustomAction | awk -F'\t' '$2 == 51 && $3 == "ARPINSTALLLOCATION" && $4 == "[INSTALLDIR]" { found = 1 } END { exit !found }' &&
    [ "$(table InstallExecuteSequence | awk -F'\t' '$1 == "SetArpInstallLocation" { print $3 }')" -gt \
      "$(table InstallExecuteSequence | awk -F'\t' '$1 == "CostFinalize" { print $3 }')" ]
}
# A value of the suite's entry under the Uninstall key.
uninstall_value() {
  "$wine" reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk -v name="$1" '
    /^HKEY_/ { if (suite && seen) { print found; exit } suite = 0; seen = 0; next }
    $1 == "DisplayName" && index($0, "Brelvin Whiteboard") { suite = 1 }
    $1 == name { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]*/, ""); found = $0; seen = 1 }
    END { if (suite && seen) print found }'
}
registered_as_stated() { [ "$(uninstall_value "$1")" = "$(property "$2")" ]; }
registered_location_is_folder() {
  local location expected
  location=$(uninstall_value InstallLocation)
  expected=$(windows_path "$folder")
  [ -n "$location" ] && [ "${location%\\}" = "$expected" ]
}
registered_icon_is_the_product_icon() {
  local path
  path=$("$wine" reg query 'HKCR\Installer\Products' /s 2>/dev/null | tr -d '\r' |
           awk '$1 == "ProductIcon" { sub(/^[ \t]*ProductIcon[ \t]+REG_SZ[ \t]*/, ""); print; exit }')
  [[ $path == [Cc]:\\* ]] || return 1
  path="$drive_c/${path:3}"
  cmp -s "${path//\\//}" "$root/driver/win32/res/Brelvin.ico"
}

echo "== the package's face in Programs and Features (msiinfo)"
check "no Change button (ARPNOMODIFY)" property_is ARPNOMODIFY 1
check "the manufacturer is named" property_is Manufacturer "Brelvin Whiteboard"
check "the product icon is the driver's icon (ARPPRODUCTICON, Icon table)" icon_is_the_product_icon
check "a help link (ARPHELPLINK)" help_link_is_a_web_address
check "the size is stated: all files, in KiB (ARPSIZE)" size_is_the_files_size
check "the install location is the program folder (ARPINSTALLLOCATION)" install_location_set_from_folder

echo "== install 1.0.0 (default texts) as a deployment that starts no driver, with options"
check "msiexec /i /qn STARTDRIVER=0 TUIO=1 TUIO_PORT=3334 MONITOR=secondary TUIO_HOST= succeeds" \
  msi /i "$(windows_path "$work/packages/Brelvin-1.0.0.msi")" /qn STARTDRIVER=0 TUIO=1 TUIO_PORT=3334 \
  MONITOR=secondary TUIO_HOST=
check "no driver was started (STARTDRIVER=0)" driver_probe await-none 0
check "all eight files are in the program folder" all_files_installed
check "the English Language.ini is installed" same_file "$folder/Language.ini" "$root/dist/Language.ini"
check "the starting WBInit.ini is installed with the given options added" \
  starting_file_and "$folder/WBInit.ini" Multitouch Display
check "[Multitouch] holds the two options given, nothing for those empty or not given" \
  section_is "$folder/WBInit.ini" Multitouch "TUIO=1 TUIO_PORT=3334"
check "[Display] holds the monitor given" section_is "$folder/WBInit.ini" Display "MONITOR=secondary"
check "the Run value starts Brelvin.exe from the program folder" run_value_points_to_folder
check "the event source Brelvin is registered with Brelvin.exe as its message file" event_source_registered
check "Start-menu shortcuts for Penvaro, Camvito, Tilmaro, Sondaro and Kalmeno (and its check)" shortcuts_present
check "version 1.0.0 is registered" only_version 1.0.0
check "Programs and Features shows the help link" registered_as_stated HelpLink ARPHELPLINK
check "Programs and Features shows the stated size" registered_as_stated Size ARPSIZE
check "Programs and Features shows the manufacturer" registered_as_stated Publisher Manufacturer
check "Programs and Features shows the program folder" registered_location_is_folder
check "the registered product icon is the driver's icon" registered_icon_is_the_product_icon

check "Brelvin.exe from the program folder shows its window and loads its settings" \
  "$wine" "$probe" "$(windows_path "$folder/Brelvin.exe")"

echo "== the user logs on: the Run value starts the driver"
check "the Run value's command starts the driver" driver_probe start "$(run_command)"
old_driver=$(running_value pid)
check "the running driver is version 1.0.0 from the program folder" driver_is 1.0.0.0

echo "== a calibration happens, a user has a per-user copy"
printf '\r\n[coordinate]\r\norient=1\r\n' >>"$folder/WBInit.ini"
touch -d '+1 minute' "$folder/WBInit.ini"
appdata=$(find "$drive_c/users" -maxdepth 3 -type d -path '*/AppData/Roaming' | head -1)
mkdir -p "$appdata/CvSoftware/Drivers"
cp "$root/dist/WBInit.ini" "$appdata/CvSoftware/Drivers/WBInit.ini"

echo "== a bad install property ends an upgrade before anything changes"
settings_before=$(cat "$folder/WBInit.ini")
install_log="$work/bad-property.log"
check "msiexec /i /qn TUIO_HOST=board-pc MONITOR=projector of the newer package fails" \
  msi_fails /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" /qn TUIO_HOST=board-pc MONITOR=projector \
  /l*v "$(windows_path "$install_log")"
check "the log names the property, its value and what it takes" \
  grep -aq 'TUIO_HOST=board-pc cannot be used: TUIO_HOST takes a numeric IPv4 address' "$install_log"
check "and so for the monitor" \
  grep -aq 'MONITOR=projector cannot be used: MONITOR takes primary, secondary, largest or a display' "$install_log"
check "version 1.0.0 is still the one registered" only_version 1.0.0
check "Brelvin.exe is still that of 1.0.0" same_file "$folder/Brelvin.exe" "$work/bin/Brelvin.exe"
check "WBInit.ini is unchanged" [ "$(cat "$folder/WBInit.ini")" = "$settings_before" ]
check "the running driver was left alone" driver_probe await-other 0
check "it is the same driver as before" [ "$(running_value pid)" = "$old_driver" ]
language_log="$work/bad-language.log"
check "msiexec /i /qn LANGUAGE=zh-CN of the newer package ends with 1603" \
  msi_exits_with 1603 /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" /qn LANGUAGE=zh-CN \
  /l*v "$(windows_path "$language_log")"
check "the log says what LANGUAGE takes" grep -aq \
  'LANGUAGE=zh-CN cannot be used: LANGUAGE takes en (English texts) or zh (Simplified Chinese texts)' "$language_log"
check "version 1.0.0 is still the one registered" only_version 1.0.0
check "with its English texts" same_file "$folder/Language.ini" "$root/dist/Language.ini"

echo "== upgrade to 1.1.0 with the Chinese texts while the driver runs"
check "msiexec /i /qn LANGUAGE=Zh (any case) of the newer package succeeds" \
  msi /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" /qn LANGUAGE=Zh
check "only version 1.1.0 remains registered" only_version 1.1.0
check "all eight files are still in the program folder" all_files_installed
check "the newer Brelvin.exe was put in place" same_file "$folder/Brelvin.exe" "$work/bin-1.1.0/Brelvin.exe"
check "nothing waits for a restart" no_replacement_waits_for_restart
check "the old driver ended and a new one runs" driver_probe await-other "$old_driver"
new_driver=$(running_value pid)
check "the running driver is the new version 1.1.0 from the program folder" driver_is 1.1.0.0
check "the Chinese Language.ini replaced the English one" same_file "$folder/Language.ini" "$root/dist/Language.zh-CN.ini"
check "the calibrated WBInit.ini survived the upgrade" ini_holds "$folder/WBInit.ini" 'orient=1'
check "the options given to 1.0.0 stay without their properties" \
  section_is "$folder/WBInit.ini" Multitouch "TUIO=1 TUIO_PORT=3334"
check "and so does the monitor" section_is "$folder/WBInit.ini" Display "MONITOR=secondary"
check "the Run value is still there" run_value_points_to_folder
check "the event source is still registered" event_source_registered
check "the shortcuts are still there" shortcuts_present

echo "== uninstall while the driver runs"
check "msiexec /x /qn succeeds" msi /x "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" /qn
check "the driver was ended and none started" driver_probe await-none "$new_driver"
check "no program file is left" no_program_file_left
check "the calibrated WBInit.ini stays in the program folder" ini_holds "$folder/WBInit.ini" 'orient=1'
check "with the options the package wrote" section_is "$folder/WBInit.ini" Multitouch "TUIO=1 TUIO_PORT=3334"
check "nothing waits for a restart" no_replacement_waits_for_restart
check "the Run value is gone" no_run_value
check "the event source is gone" no_event_source
check "the shortcuts are gone" no_shortcuts
check "no version is registered" only_version ""
check "the per-user settings copy is left alone" [ -f "$appdata/CvSoftware/Drivers/WBInit.ini" ]

# An administrator's calibration from the board PC, as a copy by hand leaves
# it: the file as the driver last wrote it, with a line of the administrator's.
copied_in() { # kept copy, line
  { tr -d '\r' <"$folder/WBInit.ini" | sed 's/$/\r/'; printf '; %s\r\n' "$2"; } >"$1" && cp "$1" "$folder/WBInit.ini"
}

echo "== reinstall over a calibration copied into the program folder before it"
calibrated="$work/calibrated.ini"
copied_in "$calibrated" "Calibrated on this board, copied in before the install"
check "msiexec /i /qn succeeds" msi_traced /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" /qn
check "the users are granted the right to write WBInit.ini (icacls)" users_write_granted
check "the calibration is kept, not replaced by the starting one" ini_holds "$folder/WBInit.ini" 'orient=1'
check "all eight files are in the program folder" all_files_installed
check "the event source is registered again" event_source_registered
check "the driver was started for the installing user" driver_probe await-other 0
check "the started driver is version 1.1.0 from the program folder" driver_is 1.1.0.0
check "the copied-in WBInit.ini is byte for byte as copied, the driver's start included" \
  same_file "$folder/WBInit.ini" "$calibrated"

echo "== repair as msiexec /fa does, over a calibration copied in by hand"
# Wine's msiexec cannot repair through /f (it takes the package for a
# ProductCode); /fa is REINSTALL=ALL with REINSTALLMODE=a.
copied_in "$calibrated" "Calibrated again, copied over the installed file"
reinstalled_driver=$(running_value pid)
check "msiexec /i REINSTALL=ALL REINSTALLMODE=a /qn succeeds" \
  msi_traced /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" REINSTALL=ALL REINSTALLMODE=a /qn
check "the copied-in WBInit.ini is byte for byte as copied" same_file "$folder/WBInit.ini" "$calibrated"
check "the repair grants the users' right again (icacls)" users_write_granted
check "the driver was ended and started again" driver_probe await-other "$reinstalled_driver"

echo "== repair"
reinstalled_driver=$(running_value pid)
check "msiexec /i REINSTALL=ALL /qn succeeds" msi /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" REINSTALL=ALL /qn
check "the calibrated WBInit.ini was kept byte for byte" same_file "$folder/WBInit.ini" "$calibrated"
check "the options stay without their properties" section_is "$folder/WBInit.ini" Multitouch "TUIO=1 TUIO_PORT=3334"
check "the driver was ended and started again" driver_probe await-other "$reinstalled_driver"

echo "== an older package over a newer one"
# Before any further upgrade: Wine's installer deletes the UpgradeCode's whole
# registration when an upgrade removes the older product (Windows removes that
# product's entry only), so after it nothing finds the newer one by its
# UpgradeCode here.
check "msiexec /i /qn of 1.0.0 ends with 1603" msi_exits_with 1603 /i "$(windows_path "$package_1_0")" /qn
check "version 1.1.0 is still the one registered" only_version 1.1.0
check "Brelvin.exe is still that of 1.1.0" same_file "$folder/Brelvin.exe" "$work/bin-1.1.0/Brelvin.exe"

echo "== removal of whatever version is installed, found by its UpgradeCode"
# The administrators' script, as the user guide gives it.
remover="$work/remove-any-version.vbs"
cat >"$remover" <<'VBS'
' Removes every installed version of Brelvin Whiteboard, whatever its
' ProductCode: Windows Installer lists them by the UpgradeCode.
Option Explicit
Const UpgradeCode = "{BB0AB027-7C4F-42B0-9E01-E1B1E25AECB2}"
Dim installer, shell, product, status, result
Set installer = CreateObject("WindowsInstaller.Installer")
Set shell = CreateObject("WScript.Shell")
result = 0
For Each product In installer.RelatedProducts(UpgradeCode)
  status = shell.Run("msiexec /x " & product & " /qn /norestart /l*v """ & _
    shell.ExpandEnvironmentStrings("%WINDIR%\Temp\Brelvin-remove-") & product & ".log""", 0, True)
  WScript.Echo product & " " & status
  If status <> 0 Then result = status
Next
WScript.Quit result
VBS
check "the script finds the installed product and removes it (exit 0)" \
  "$wine" cscript //nologo "$(windows_path "$remover")" </dev/null
check "no version is registered" only_version ""
check "no program file is left" no_program_file_left
check "the calibrated WBInit.ini stays in the program folder" same_file "$folder/WBInit.ini" "$calibrated"

echo "== a rebuilt package of the installed version"
check "msiexec /i /qn of 1.1.0 succeeds" msi /i "$(windows_path "$work/packages/Brelvin-1.1.0.msi")" /qn
check "the driver was started" driver_probe await-other 0
rebuilt_driver=$(running_value pid)
check "msiexec /i /qn of 1.1.0 built again (another ProductCode) succeeds" \
  msi /i "$(windows_path "$work/rebuilt/Brelvin-1.1.0.msi")" /qn
check "it took the installed one's place: one product, version 1.1.0" only_version 1.1.0
check "all eight files are in the program folder" all_files_installed
check "the calibrated WBInit.ini was kept byte for byte" same_file "$folder/WBInit.ini" "$calibrated"
check "the driver was ended and started again" driver_probe await-other "$rebuilt_driver"

echo "$failures failed"
[ "$failures" -eq 0 ]
