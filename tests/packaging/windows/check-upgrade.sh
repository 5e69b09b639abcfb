#!/usr/bin/env bash
# Installs Quaddle into a folder the user chose; then a higher version over
# it, which has one file fewer and two more (one in a folder of its own) and
# goes where the last one is; then that version once more, into another
# folder. Checks after each that the one folder holds exactly that version's
# files and the prefix the two shortcuts and one entry in the installed
# programs, with that version; uninstalls, in another language than the last
# install, and checks that nothing of ours is left. An
# install over a version whose uninstaller fails must fail and change nothing.
# The installs run in an English, a German and a Chinese locale: the
# installer speaks Chinese in the Chinese one, English in the others, as the
# shortcut's tooltip and the every-solution shortcut's name show.
# Usage: check-upgrade.sh INSTALLER ZIP CPACK CPACK_CONFIG APP_ID NAME VERSION
#                         VENDOR_KEY WITH_PROGRAM(0|1) COMMENT COMMENT_ZH_CN
# The higher version is made here, by CPACK from CPACK_CONFIG with the files
# of ZIP changed. WINEPREFIX (and the rest of wineprefix.sh's environment)
# comes from CTest.
set -uo pipefail
installer=$1 zip=$2 cpack=$3 cpack_config=$4 app_id=$5 name=$6 version=$7 vendor_key=$8
with_program=$9 comment_en=${10} comment_zh=${11}
here=$(dirname "$(realpath "$0")")
# shellcheck source=../../windows/wineprefix.sh
source "$here/../../windows/wineprefix.sh"
wine_env "$WINEPREFIX"
# shellcheck source=installed.sh
source "$here/installed.sh"

# The folders chosen have no space: the installer takes /D unquoted, and Wine
# would quote it.
folders=("$drive_c/Program Files/$name" "$drive_c/Games" "$drive_c/Puzzles")

[ -f "$installer" ] || { echo "check-upgrade: $installer was not made" >&2; exit 1; }
for locale in en_US.UTF-8 de_DE.UTF-8 zh_CN.UTF-8; do
    LC_ALL=$locale locale 2>&1 | grep -q 'Cannot set' && {
        echo "check-upgrade: the locale $locale is missing (scripts/install-deps.sh makes it)" >&2
        exit 1
    }
done
expect_clean_prefix "${folders[@]}"
work=$(mktemp -d)
trap 'rm -rf "$work"; remove_installed "${folders[@]}"' EXIT

files_of() {
    { (cd "$1" && find . -type f -printf '%P\n'); echo Uninstall.exe; } | sort
}

# The higher version: quaddle-solve.txt goes, two files come.
stage=$work/stage
mkdir -p "$stage"
(cd "$stage" && "$(dirname "$cpack")/cmake" -E tar xf "$zip") || exit 1
old_files=$(files_of "$stage")
rm "$stage/quaddle-solve.txt"
mkdir "$stage/help"
echo "What changed" >"$stage/CHANGES.txt"
echo "<p>quaddle-solve</p>" >"$stage/help/quaddle-solve.html"
new_version=${version%.*}.$((${version##*.} + 1))
"$cpack" -G NSIS --config "$cpack_config" -B "$work/out" \
    -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$stage;." \
    -D CPACK_PACKAGE_VERSION="$new_version" -D CPACK_QUADDLE_VERSION_FOUR="$new_version.0" \
    -D CPACK_PACKAGE_FILE_NAME=quaddle-upgrade >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "check-upgrade: cpack could not make version $new_version" >&2
    exit 1
}
new_installer=$work/out/quaddle-upgrade.exe
new_files=$(files_of "$stage")

# The text of a file as hexadecimal digits, to look for UTF-16 in it.
hex() {
    od -An -tx1 -v | tr -d ' \n'
}

# Checks what one install left: the files, the shortcuts, the tooltip and the
# every-solution shortcut's name in the installer's language, and the one
# entry in the installed programs.
# Usage: expect_installed VERSION FILES COMMENT FOLDER (a Windows path in C:) EVERY_SHORTCUT
expect_installed() {
    local folder=${4#C:\\} files other
    folder=$drive_c/${folder//\\//}
    files=$(cd "$folder" 2>/dev/null && find . -type f -printf '%P\n' | sort)
    [ "$files" = "$2" ] || fail "version $1: $4 holds$(echo; diff <(echo "$2") <(echo "$files"))"
    for other in "${folders[@]}"; do
        [ "$other" != "$folder" ] && [ -e "$other" ] && fail "version $1 in $4, and $other is there too"
    done

    local shortcuts
    shortcuts=$(find "$programs_menu" -iname "$name*")
    users_shortcuts >/dev/null && fail "version $1: a shortcut in a user's own Start menu"
    if [ "$with_program" = 0 ]; then
        [ -z "$shortcuts" ] || fail "version $1: shortcuts to a program the build does not have: $shortcuts"
    else
        [ "$(sort <<<"$shortcuts")" = "$(printf '%s\n' "$shortcut" "$5" | sort)" ] ||
            fail "version $1: the Start menu holds '$shortcuts', not $shortcut and $5"
        local link
        link=$(hex <"$shortcut" 2>/dev/null)
        [[ $link == *"$(printf '%s' "$3" | iconv -t UTF-16LE | hex)"* ]] ||
            fail "version $1: the shortcut's tooltip is not '$3'"
    fi

    local programs entries entry
    programs=$(installed_programs)
    entries=$(awk -F '\t' -v name="$name" '$2 == "DisplayName" && $3 == name' <<<"$programs" | wc -l)
    [ "$entries" = 1 ] || fail "version $1: $entries entries of $name in the installed programs"
    entry=$(awk -F '\t' -v id="$app_id" '$1 != id { next }
        $2 == "DisplayVersion" { version = $3 } $2 == "InstallLocation" { folder = $3 }
        END { print version " in " folder }' <<<"$programs")
    [ "$entry" = "$1 in $4" ] || fail "version $1 in $4: the entry says $entry"
}

# Usage: run_installer LOCALE INSTALLER ARGS...
run_installer() {
    LC_ALL=$1 wine_run_captured "$2" /S "${@:3}" >/dev/null || {
        fail "the silent install of $2 in $1 ends with status $?"
        exit
    }
}

run_installer en_US.UTF-8 "$installer" '/D=C:\Games'
expect_installed "$version" "$old_files" "$comment_en" 'C:\Games' "$every_shortcut_en"
# An installed version whose uninstaller fails (a program that does not know
# its options stands in for it) stays as it was, and the new one says it did
# not install.
games=$drive_c/Games
mv "$games/Uninstall.exe" "$work/Uninstall.exe" && cp "$games/quaddle-solve.exe" "$games/Uninstall.exe"
wine_run "$new_installer" /S >/dev/null 2>&1 && fail "an install over an uninstaller that fails ends with status 0"
mv "$work/Uninstall.exe" "$games/Uninstall.exe"
expect_installed "$version" "$old_files" "$comment_en" 'C:\Games' "$every_shortcut_en"

run_installer de_DE.UTF-8 "$new_installer"
expect_installed "$new_version" "$new_files" "$comment_en" 'C:\Games' "$every_shortcut_en"
run_installer zh_CN.UTF-8 "$new_installer" '/D=C:\Puzzles'
expect_installed "$new_version" "$new_files" "$comment_zh" 'C:\Puzzles' "$every_shortcut_zh"

[ -f "$drive_c/Puzzles/Uninstall.exe" ] && LC_ALL=en_US.UTF-8 uninstall "$drive_c/Puzzles"
left=$(leftovers "${folders[@]}")
[ -z "$left" ] || fail "left behind by the uninstaller: $left"
exit $status
