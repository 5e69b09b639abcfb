#!/usr/bin/env bash
# Installs Quaddle with its Windows installer, silently, into the test's Wine
# prefix; checks the files, the Start-menu shortcut and the entry in the list
# of installed programs; runs the installed quaddle-solve.exe; uninstalls
# silently and checks that nothing of ours is left behind.
# Usage: check-installer.sh INSTALLER APP_ID NAME VERSION PUBLISHER VENDOR_KEY WITH_PROGRAM(0|1)
# WINEPREFIX (and the rest of wineprefix.sh's environment) comes from CTest.
set -uo pipefail
installer=$1 app_id=$2 name=$3 version=$4 publisher=$5 vendor_key=$6 with_program=$7
here=$(dirname "$(realpath "$0")")
# shellcheck source=../../windows/wineprefix.sh
source "$here/../../windows/wineprefix.sh"
wine_env "$WINEPREFIX"

status=0
fail() {
    echo "check-installer: $*" >&2
    status=1
}

drive_c=$WINEPREFIX/drive_c
install_dir="C:\\Program Files\\$name"
program_folder=$drive_c/Program\ Files/$name
shortcut=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/$name.lnk
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app_id"
# Every place the installer could leave something of ours.
leftovers() {
    [ -e "$program_folder" ] && echo "the program folder"
    compgen -G "$drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$name*" >/dev/null &&
        echo "a shortcut in the user's own Start menu"
    [ -e "$shortcut" ] && echo "the Start-menu shortcut"
    wine_reg_exists "$uninstall_key" && echo "the entry in the installed programs"
    for root in HKLM HKCU; do
        wine_reg_exists "$root\\Software\\$vendor_key" && echo "the registry key $root\\Software\\$vendor_key"
    done
}

[ -f "$installer" ] || { echo "check-installer: $installer was not made" >&2; exit 1; }
left=$(leftovers)
if [ -n "$left" ]; then
    echo "check-installer: the prefix holds Quaddle before the test; remove $WINEPREFIX:" >&2
    echo "$left" >&2
    exit 1
fi
# A failed run must not leave the next one a prefix with Quaddle in it.
cleanup() {
    [ -e "$program_folder" ] || return 0
    [ -e "$program_folder/Uninstall.exe" ] && wine_run "$program_folder/Uninstall.exe" /S >/dev/null 2>&1
    wine_wait
    rm -rf "$program_folder" "$shortcut"
    wine_run reg delete "$uninstall_key" /f >/dev/null 2>&1
    return 0
}
trap cleanup EXIT

wine_run "$installer" /S >/dev/null 2>&1 || {
    echo "check-installer: the silent install ends with status $?" >&2
    exit 1
}

files=(quaddle-solve.exe quaddle-solve.txt README.txt LICENSE.txt Uninstall.exe)
[ "$with_program" = 1 ] && files+=(quaddle.exe)
for file in "${files[@]}"; do
    [ -f "$program_folder/$file" ] || fail "$install_dir\\$file was not installed"
done

# The shortcut is for every user and points at the program, whose own icon
# it shows; a build without the windowed program makes none.
if [ "$with_program" = 1 ]; then
    if [ -f "$shortcut" ]; then
        link=$(strings -a -el "$shortcut")
        grep -qiF "$install_dir\\quaddle.exe" <<<"$link" || fail "the shortcut does not name quaddle.exe: $link"
    else
        fail "no Start-menu shortcut $name for all users"
    fi
elif [ -e "$shortcut" ]; then
    fail "a shortcut to a program the build does not have"
fi
compgen -G "$drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$name*" >/dev/null &&
    fail "a shortcut in the user's own Start menu: the install is not per machine"

values=$(wine_reg_values "$uninstall_key") || fail "no entry $uninstall_key"
expect_value() {
    local got
    got=$(awk -F '\t' -v name="$1" '$1 == name { print $2 }' <<<"$values")
    [ "$got" = "$2" ] || fail "$1 is '$got', expected '$2'"
}
expect_value DisplayName "$name"
expect_value DisplayVersion "$version"
expect_value Publisher "$publisher"
expect_value UninstallString "\"$install_dir\\Uninstall.exe\""
if [ "$with_program" = 1 ]; then
    expect_value DisplayIcon "$install_dir\\quaddle.exe,0"
fi

# The installed program runs, from where it was installed.
out=$(mktemp)
trap 'rm -f "$out"; cleanup' EXIT
wine_run "$program_folder/quaddle-solve.exe" --version >"$out" 2>&1 || fail "quaddle-solve --version fails"
[ "$(tr -d '\r' <"$out")" = "quaddle-solve $version" ] || fail "quaddle-solve --version says: $(cat "$out")"
wine_run "$program_folder/quaddle-solve.exe" 3 5 9 8 >"$out" 2>&1 || fail "quaddle-solve 3 5 9 8 fails"
grep -q '^1 (8-5)\*9-3' <(tr -d '\r' <"$out") || fail "quaddle-solve 3 5 9 8 says: $(cat "$out")"

# The uninstaller copies itself out of the folder it removes and runs that
# copy without waiting for it; the copy removes the registry entry last.
if [ -f "$program_folder/Uninstall.exe" ]; then
    wine_run "$program_folder/Uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall ends with status $?"
    for _ in $(seq 120); do
        wine_reg_exists "$uninstall_key" || break
        sleep 0.5
    done
fi
left=$(leftovers)
[ -z "$left" ] || fail "left behind by the uninstaller: $left"
exit $status
