#!/usr/bin/env bash
# Installs Quaddle with its Windows installer, silently, into the test's Wine
# prefix, in English; checks the files, the Start-menu shortcuts and the entry
# in the list of installed programs; runs the installed quaddle-solve.exe; uninstalls
# silently and checks that nothing of ours is left behind.
# Usage: check-installer.sh INSTALLER APP_ID NAME VERSION PUBLISHER VENDOR_KEY WITH_PROGRAM(0|1)
# WINEPREFIX (and the rest of wineprefix.sh's environment) comes from CTest.
set -uo pipefail
installer=$1 app_id=$2 name=$3 version=$4 publisher=$5 vendor_key=$6 with_program=$7
here=$(dirname "$(realpath "$0")")
# shellcheck source=../../windows/wineprefix.sh
source "$here/../../windows/wineprefix.sh"
wine_env "$WINEPREFIX"

# shellcheck source=installed.sh
source "$here/installed.sh"
install_dir="C:\\Program Files\\$name"
program_folder=$drive_c/Program\ Files/$name

[ -f "$installer" ] || { echo "check-installer: $installer was not made" >&2; exit 1; }
expect_clean_prefix "$program_folder"
# A failed run must not leave the next one a prefix with Quaddle in it.
trap 'remove_installed "$program_folder"' EXIT

LC_ALL=en_US.UTF-8 wine_run_captured "$installer" /S >/dev/null || {
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
    link=$(strings -a -el "$every_shortcut_en" 2>/dev/null)
    grep -qiF "$install_dir\quaddle.exe" <<<"$link" && grep -qxF -- --every <<<"$link" ||
        fail "the shortcut '$(basename "$every_shortcut_en")' does not run quaddle.exe --every: $link"
elif [ -e "$shortcut" ] || [ -e "$every_shortcut_en" ]; then
    fail "a shortcut to a program the build does not have"
fi
users_shortcuts >/dev/null && fail "a shortcut in the user's own Start menu: the install is not per machine"

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
trap 'rm -f "$out"; remove_installed "$program_folder"' EXIT
wine_run "$program_folder/quaddle-solve.exe" --version >"$out" 2>&1 || fail "quaddle-solve --version fails"
[ "$(tr -d '\r' <"$out")" = "quaddle-solve $version" ] || fail "quaddle-solve --version says: $(cat "$out")"
wine_run "$program_folder/quaddle-solve.exe" 3 5 9 8 >"$out" 2>&1 || fail "quaddle-solve 3 5 9 8 fails"
grep -q '^1 (8-5)\*9-3' <(tr -d '\r' <"$out") || fail "quaddle-solve 3 5 9 8 says: $(cat "$out")"

[ -f "$program_folder/Uninstall.exe" ] && uninstall "$program_folder"
left=$(leftovers "$program_folder")
[ -z "$left" ] || fail "left behind by the uninstaller: $left"
exit $status
