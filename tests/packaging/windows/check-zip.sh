#!/usr/bin/env bash
# Checks what the .zip for Windows holds: the programs with their readme,
# manual and licence in one flat folder, stripped, depending on no DLL that
# Windows does not ship; the windowed program, where the build has one, a
# Windows GUI program.
# Usage: check-zip.sh ZIP OBJDUMP NM WITH_PROGRAM(0|1)
set -euo pipefail
zip=$1 objdump=$2 nm=$3 with_program=$4

status=0
fail() {
    echo "check-zip: $*" >&2
    status=1
}

[ -f "$zip" ] || { echo "check-zip: $zip was not made" >&2; exit 1; }
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")

expected=(quaddle-solve.exe quaddle-solve.txt README.txt LICENSE.txt)
if [ "$with_program" = 1 ]; then
    expected+=(quaddle.exe)
elif [ -e "$unpacked/quaddle.exe" ]; then
    fail "quaddle.exe is in the .zip of a build without it"
fi
for file in "${expected[@]}"; do
    [ -f "$unpacked/$file" ] || fail "$file is missing"
done
for dir in "$unpacked"/*/; do
    [ -d "$dir" ] && fail "a folder in the .zip: $(basename "$dir")"
done

# What every copy of Windows 10 has; anything else would have to be shipped.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|advapi32|ole32|oleaut32|uxtheme|version|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
for exe in "$unpacked"/*.exe; do
    name=$(basename "$exe")
    [ -z "$("$nm" "$exe" 2>/dev/null)" ] || fail "$name is not stripped"
    headers=$("$objdump" -p "$exe")
    while read -r dll; do
        grep -qiE "$system_dlls" <<<"$dll" || fail "$name needs $dll, which Windows does not ship"
    done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
    if [ "$name" = quaddle.exe ]; then
        grep -qE '^Subsystem\s+00000002' <<<"$headers" || fail "quaddle.exe is not a Windows GUI program"
    fi
done
exit $status
