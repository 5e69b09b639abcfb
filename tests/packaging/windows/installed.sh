# shellcheck shell=bash disable=SC2034,SC2154
# What Quaddle's installer puts into a Wine prefix, for the tests that install
# it: where to look, what counts as left behind, and how to remove it all when
# a test fails half-way. Sourced after tests/windows/wineprefix.sh and
# wine_env, with name (the program's name), app_id and vendor_key set; the
# tests use status, fail and the paths.

# shellcheck source=../../support/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../support/wait.sh"

status=0
fail() {
    echo "$(basename "$0" .sh): $*" >&2
    status=1
}

drive_c=$WINEPREFIX/drive_c
programs_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
shortcut=$programs_menu/$name.lnk
# The shortcut to the every-solution window, named in the installer's language.
every_shortcut_en="$programs_menu/$name - Every solution.lnk"
every_shortcut_zh="$programs_menu/$name 所有解法.lnk"
uninstalls="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
uninstall_key="HKLM\\$uninstalls\\$app_id"

# Every place the installer could leave something of ours; the arguments are
# the Linux paths of the folders it may have installed into.
leftovers() {
    local folder
    for folder in "$@"; do
        [ -e "$folder" ] && echo "the program folder $folder"
    done
    users_shortcuts | grep -q . && echo "a shortcut in a user's own Start menu"
    [ -e "$shortcut" ] && echo "the Start-menu shortcut"
    [ -e "$every_shortcut_en" ] && echo "the every-solution shortcut"
    [ -e "$every_shortcut_zh" ] && echo "the every-solution shortcut in Chinese"
    wine_reg_exists "$uninstall_key" && echo "the entry in the installed programs"
    local root
    for root in HKLM HKCU; do
        wine_reg_exists "$root\\Software\\$vendor_key" && echo "the registry key $root\\Software\\$vendor_key"
    done
}

# Every value in the list of installed programs (its 64-bit view, where the
# installer writes), one a line: the entry's key name, a tab, the value's
# name, a tab, its data. One reg query, as each takes Wine a while to start.
installed_programs() {
    local out line entry=""
    out=$(mktemp)
    wine_run reg query "HKLM\\$uninstalls" /s >"$out" 2>/dev/null
    while IFS= read -r line; do
        if [[ $line == HKEY_* ]]; then
            entry=${line##*\\}
        elif [[ $line =~ ^\ {4}(.*)\ {4}REG_[A-Z_]+\ {0,4}(.*)$ ]]; then
            printf '%s\t%s\t%s\n' "$entry" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
        fi
    done < <(tr -d '\r' <"$out")
    rm -f "$out"
}

# Shortcuts of ours in the users' own Start menus, where a per-machine install
# puts none.
users_shortcuts() {
    compgen -G "$drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$name*"
}

# Runs the uninstaller in FOLDER (a Linux path) silently and waits for it: it
# copies itself out of the folder it removes and runs that copy without
# waiting, and the copy removes the registry entry last.
uninstall() {
    wine_run_captured "$1/Uninstall.exe" /S >/dev/null || fail "the silent uninstall ends with status $?"
    uninstalled() { ! wine_reg_exists "$uninstall_key"; }
    wait_until 60 uninstalled || fail "the uninstaller had not finished within 60 s"
}

# Removes whatever of ours a failed test left in the folders given, so the
# next test starts from a prefix without Quaddle.
remove_installed() {
    local folder found=no
    for folder in "$@"; do
        [ -e "$folder" ] && found=yes
    done
    [ $found = yes ] || [ -e "$shortcut" ] || [ -e "$every_shortcut_en" ] ||
        [ -e "$every_shortcut_zh" ] || return 0
    for folder in "$@"; do
        [ -e "$folder/Uninstall.exe" ] && wine_run "$folder/Uninstall.exe" /S >/dev/null 2>&1
    done
    wine_wait
    rm -rf "$@" "$shortcut" "$every_shortcut_en" "$every_shortcut_zh"
    wine_run reg delete "$uninstall_key" /f >/dev/null 2>&1
    return 0
}

# Fails unless the prefix holds nothing of ours, before a test installs.
expect_clean_prefix() {
    local left
    left=$(leftovers "$@")
    [ -z "$left" ] && return 0
    echo "$(basename "$0" .sh): the prefix holds Quaddle before the test; remove $WINEPREFIX:" >&2
    echo "$left" >&2
    exit 1
}
