#!/usr/bin/env bash
# The package of the prefix's architecture (scripts/package.sh), as the exe's
# version and as the next, read with msiinfo, then installed, run, upgraded
# and removed by Wine's own msiexec; the older one is refused over the newer.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init
version=$(strings -el "$ORVANE_EXE" | grep -A1 -x ProductVersion | tail -n1)
newer=${version%.*}.$((${version##*.} + 1))
package=$(dirname "$0")/../../scripts/package.sh  # as the exe's version, then the next
"$package" "$ORVANE_EXE" "$WINEPREFIX/drive_c/Orvane-$version.msi" &&
  "$package" "$ORVANE_EXE" "$WINEPREFIX/drive_c/Orvane-$newer.msi" "$newer" ||
  e2e_fail "the packages were not built"
props() { # ALLUSERS, ProductVersion and UpgradeCode of package VERSION
  msiinfo export "$WINEPREFIX/drive_c/Orvane-$1.msi" Property | tr -d '\r' |
    grep -E $'^(ALLUSERS|ProductVersion|UpgradeCode)\t' | sort | cut -f2 | paste -sd' '
}
old=$(props "$version") new=$(props "$newer")
[[ $old = "1 $version {"*"}" && ${old##* } = "${new##* }" ]] ||
  e2e_fail "package properties '$old', then '$new'"
# The exe's File row carries its version: Windows Installer sees a versioned file.
exe_row=$(msiinfo export "$WINEPREFIX/drive_c/Orvane-$version.msi" File | tr -d '\r' |
  grep -E $'^OrvaneExe\t' | cut -f3,5)
[ "$exe_row" = $'Orvane.exe\t'"$version.0" ] ||
  e2e_fail "the exe's File row gives '$exe_row', not version $version.0"

msiexec() { e2e_wine_quiet msiexec "$1" "C:\\Orvane-$2.msi" /qn; }
key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvane'
dir=$WINEPREFIX/drive_c/Program\ Files/Orvane
exe='C:\Program Files\Orvane\Orvane.exe'
installed() { # VERSION: exe, task file and key, and one product of VERSION
  command=$(sed -n 's|.*<Command>\(.*\)</Command>.*|\1|p' "$dir/Orvane-task.xml")
  [ "$(e2e_wine cmd /c echo "${command%$'\r'}" | tr -d '\r')" = "$exe" ] &&
    [ "$(e2e_wine winpeek.exe exists "$exe" | tr -d '\r')" = exists ] ||
    e2e_fail "the task file names '$command', not the installed exe"
  e2e_wine reg query "$key" /v EventMessageFile | tr -d '\r' |
    grep -qxF "    EventMessageFile    REG_SZ    $exe" ||
    e2e_fail "the source's key does not name the installed exe"
  e2e_wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
    tr -d '\r' | grep -A1 -x '    DisplayName    REG_SZ    Orvane' | paste -sd' ' |
    grep -qxE " +DisplayName +REG_SZ +Orvane +DisplayVersion +REG_SZ +$1" ||
    e2e_fail "not one product of version $1 in Programs and Features"
}

msiexec /i "$version" || e2e_fail "msiexec /i ended with $?"
installed "$version"
e2e_wine_quiet schtasks /Create /XML "${exe%\\*}\\Orvane-task.xml" /TN 'Orvane weekly' ||
  e2e_fail "schtasks refused the installed task file"
# The installed exe, then another copy: the source stays the installed exe's.
e2e_simulate "* exit=0 ms=50"
report=()
for E2E_ORVANE_WIN in "$exe" "$E2E_ORVANE_WIN"; do
  e2e_start_orvane -S -E
  e2e_expect_exit "$E2E_ORVANE_PID" 120 0
  e2e_expect_events "information 100"
  report+=("<HEADER>" "Drive C: Defrag completed successfully" "")
done
e2e_expect_report_lines "$(e2e_report_file)" "${report[@]}"
installed "$version"

msiexec /i "$newer" || e2e_fail "the upgrade ended with $?"
installed "$newer"
msiexec /i "$version" && e2e_fail "the older package installed over the newer"
installed "$newer"

msiexec /x "$newer" || e2e_fail "msiexec /x ended with $?"
[ ! -e "$dir" ] || e2e_fail "files left: $(ls "$dir")"
e2e_wine_quiet reg query "$key" && e2e_fail "the source's key is left"
e2e_expect_report_lines "$(e2e_report_file)" "${report[@]}"
e2e_pass
