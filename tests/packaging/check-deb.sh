#!/usr/bin/env bash
# Builds the Debian package with CPack and checks what it holds and declares.
# Usage: check-deb.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
cd "$1"
version=$2
app_id=${3//./\\.}
arch=$(dpkg --print-architecture)
deb=quaddle_${version}_${arch}.deb

rm -f "$deb"
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
[ -f "$deb" ] || { echo "check-deb: $deb was not made" >&2; exit 1; }

status=0
expect() {
    if ! grep -qE "$2" <<<"$1"; then
        echo "check-deb: missing $3" >&2
        status=1
    fi
}
depends=$(dpkg-deb -f "$deb" Depends)
expect "$depends" 'libqt6widgets6' 'a dependency on Qt Widgets'
expect "$depends" 'qt6-qpa-plugins' 'a dependency on the Qt platform plugins'
expect "$depends" 'fonts-wqy-zenhei' 'a dependency on a CJK font'
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
expect "$contents" '^\./usr/bin/quaddle$' 'the program'
expect "$contents" '^\./usr/bin/quaddle-solve$' 'the command-line solver'
expect "$contents" '/usr/share/man/man1/quaddle-solve\.1\.gz$' 'the man page of quaddle-solve'
expect "$contents" '/usr/share/man/man1/quaddle\.1\.gz$' 'the man page of quaddle'
expect "$contents" '/usr/share/doc/quaddle/changelog\.gz$' 'the changelog'
expect "$contents" "/usr/share/applications/$app_id\.desktop$" 'the menu entry'
expect "$contents" "/usr/share/metainfo/$app_id\.metainfo\.xml$" 'the AppStream file'
expect "$contents" "/usr/share/icons/hicolor/48x48/apps/$app_id\.png$" 'the 48x48 icon'
expect "$contents" "/usr/share/icons/hicolor/scalable/apps/$app_id\.svg$" 'the scalable icon'
expect "$contents" '/usr/share/doc/quaddle/copyright$' 'the copyright file'

# Installed binaries look for libraries only where the system keeps them, and
# are linked with full RELRO.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for program in quaddle quaddle-solve; do
    dynamic=$(readelf -d "$unpacked/usr/bin/$program")
    if grep -qE 'RPATH|RUNPATH' <<<"$dynamic"; then
        echo "check-deb: $program has a library search path" >&2
        status=1
    fi
    expect "$dynamic" 'BIND_NOW' "full RELRO in $program"
done

# Debian's own checks: no error and no warning.
if command -v lintian >/dev/null; then
    tags=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EW]: ' || true)
    if [ -n "$tags" ]; then
        echo "check-deb: lintian reports:" >&2
        echo "$tags" >&2
        status=1
    fi
fi
exit $status
