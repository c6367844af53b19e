#!/usr/bin/env bash
# The Windows Installer package of the prefix's architecture, built by
# scripts/package.sh as the exe's version and as the next, installed, run,
# upgraded and removed by Wine's own msiexec; an older one refused over a
# newer; the tables read with msiinfo.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(strings -el "$ORVANE_EXE" | grep -A1 -x ProductVersion | tail -n1)
newer=${version%.*}.$((${version##*.} + 1))
"$root/scripts/package.sh" "$ORVANE_EXE" "$WINEPREFIX/drive_c/Orvane-$version.msi" &&
  "$root/scripts/package.sh" "$ORVANE_EXE" "$WINEPREFIX/drive_c/Orvane-$newer.msi" "$newer" ||
  e2e_fail "the packages were not built"
property() { # VERSION NAME: a row of the package's Property table
  msiinfo export "$WINEPREFIX/drive_c/Orvane-$1.msi" Property | tr -d '\r' |
    sed -n "s/^$2\t//p"
}
[ "$(property "$version" ALLUSERS)" = 1 ] || e2e_fail "ALLUSERS is not 1"
[ "$(property "$version" ProductVersion)" = "$version" ] ||
  e2e_fail "ProductVersion is not the exe's $version"
[ -n "$(property "$version" UpgradeCode)" ] &&
  [ "$(property "$version" UpgradeCode)" = "$(property "$newer" UpgradeCode)" ] ||
  e2e_fail "the UpgradeCode changes with the version"

msiexec() { # ACTION VERSION: msiexec ends 0
  e2e_wine_quiet msiexec "$1" "C:\\Orvane-$2.msi" /qn ||
    e2e_fail "msiexec $1 Orvane-$2.msi ended with $?"
}
source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvane'
dir=$WINEPREFIX/drive_c/Program\ Files/Orvane
E2E_ORVANE_WIN='C:\Program Files\Orvane\Orvane.exe'
installed() { # VERSION: the package's files and key, one product of VERSION
  [ -f "$dir/Orvane.exe" ] && [ -f "$dir/USAGE.txt" ] || e2e_fail "files missing"
  command=$(sed -n 's|.*<Command>\(.*\)</Command>.*|\1|p' "$dir/Orvane-task.xml" |
    tr -d '\r')
  [ "$(e2e_wine cmd /c echo "$command" | tr -d '\r')" = "$E2E_ORVANE_WIN" ] ||
    e2e_fail "the task file names $command"
  e2e_wine reg query "$source_key" /v EventMessageFile | tr -d '\r' |
    grep -qxF "    EventMessageFile    REG_SZ    $E2E_ORVANE_WIN" ||
    e2e_fail "the source's key does not name the installed exe"
  [ "$(e2e_wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
       tr -d '\r' | grep -A1 -x '    DisplayName    REG_SZ    Orvane')" = \
    "$(printf '    DisplayName    REG_SZ    Orvane\n    DisplayVersion    REG_SZ    %s' "$1")" ] ||
    e2e_fail "not one product of version $1 in Programs and Features"
}

msiexec /i "$version"
installed "$version"
e2e_simulate "* exit=0 ms=50"
e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 120 0
report=("<HEADER>" "Drive C: Defrag completed successfully" "")
e2e_expect_report_lines "$(e2e_report_file)" "${report[@]}"
e2e_expect_events "information 100"

msiexec /i "$newer"
installed "$newer"
e2e_wine_quiet msiexec /i "C:\\Orvane-$version.msi" /qn &&
  e2e_fail "the older package installed over the newer"
installed "$newer"

msiexec /x "$newer"
[ ! -e "$dir" ] || e2e_fail "files left: $(ls "$dir")"
e2e_wine_quiet reg query "$source_key" && e2e_fail "the source's key is left"
e2e_expect_report_lines "$(e2e_report_file)" "${report[@]}"
e2e_pass
