#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, testing and running
# Quaddle need, and only those that are missing. Runs apt-get directly as root,
# through sudo otherwise.
set -euo pipefail

# Usage: install-deps.sh [run|web|test]. "run" is what building and running
# the program needs; "web" what building the browser version and serving it on
# this machine needs; "test" (the default) adds what every test and check needs.
what=${1:-test}

web_packages=(
    # the compiler to WebAssembly, and Python's web server for the page
    cmake ninja-build emscripten python3
)
packages=(
    # build
    cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev
    # fonts the windows ask for: a CJK face for the Chinese texts, a
    # calligraphic one for the version label, a sans face for the rest
    fonts-wqy-zenhei fonts-arphic-ukai fonts-liberation2
)
alternatives=()
if [ "$what" = test ]; then
    packages+=(
        # the test framework of the tests that need no Qt (header-only)
        doctest-dev
        # benchmarks, sanitizer and fuzz builds
        libbenchmark-dev clang
        # the real-window test and the package checks
        xvfb xdotool xclip imagemagick dpkg-dev desktop-file-utils appstream lintian
        # the Windows build of quaddle-solve, its tests under Wine, its
        # manual as text and the Windows installer
        g++-mingw-w64-x86-64-posix wine64 groff-base nsis
        # the Windows program's window tests under Wine: a window manager,
        # and xprop to see that it is up
        openbox x11-utils
        # the locales the Windows installer is tried in (made below)
        locales
        # the browser build (WebAssembly), its tests under Node and in three
        # browser engines: Chromium through ChromeDriver, WebKitGTK's
        # MiniBrowser through WebKitWebDriver (on an Xvfb), both
        # driven from Python's selenium; Firefox through WebDriver BiDi, from
        # Node (puppeteer-core, below)
        "${web_packages[@]}" chromium chromium-driver python3-selenium
        webkit2gtk-driver firefox-esr
    )
    # Packages whose name differs between releases: the first one the
    # archive knows is taken.
    alternatives+=(
        "libclang-rt-dev libclang-rt-14-dev libclang-common-14-dev"
    )
elif [ "$what" = web ]; then
    packages=("${web_packages[@]}")
elif [ "$what" != run ]; then
    echo "install-deps: usage: install-deps.sh [run|web|test]" >&2
    exit 2
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "install-deps: need root or sudo to install packages" >&2
    exit 1
fi

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

updated=no
apt_update() {
    if [ "$updated" = no ]; then
        "${as_root[@]}" apt-get update -qq
        updated=yes
    fi
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
for group in "${alternatives[@]}"; do
    read -r -a choices <<<"$group"
    found=no
    for package in "${choices[@]}"; do
        if installed "$package"; then
            found=yes
            break
        fi
    done
    [ "$found" = yes ] && continue
    apt_update
    for package in "${choices[@]}"; do
        if apt-cache show "$package" >/dev/null 2>&1; then
            missing+=("$package")
            break
        fi
    done
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    apt_update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser tests' Node packages, exactly as package-lock.json pins them,
# beside the drivers that use them; again only when that lock has changed
# since they were installed. Nothing of them downloads a browser.
if [ "$what" = test ]; then
    if ! command -v npm >/dev/null 2>&1; then
        apt_update
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends nodejs npm
    fi
    drivers=$(cd "$(dirname "$0")/../tests/support" && pwd)
    if ! cmp -s "$drivers/package-lock.json" "$drivers/node_modules/.installed-lock.json"; then
        echo "install-deps: installing the browser drivers' Node packages"
        (cd "$drivers" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
        cp "$drivers/package-lock.json" "$drivers/node_modules/.installed-lock.json"
    fi
fi

# The Windows installer speaks the language of the user's Windows, which Wine
# takes from the locale: it is tried in a Chinese, an English and a German one.
if [ "$what" = test ]; then
    for locale in zh_CN en_US de_DE; do
        locale -a | grep -qx "$locale.utf8" ||
            "${as_root[@]}" localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
    done
fi
