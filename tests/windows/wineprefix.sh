#!/usr/bin/env bash
# The Wine prefix the Windows tests run in: made inside the build tree,
# passing for Windows 10, with nothing fetched (no Mono or Gecko prompt), no Linux menu entries written for
# the shortcuts an installer makes, the CJK fonts Debian installs linked into
# the faces Windows programs ask for, and the screen's DPI of the caller's
# choice. Windows fonts are neither shipped nor needed.
#
# Run it to make or update a prefix:
#   wineprefix.sh [--fresh] [--dpi N] PREFIX
#     --fresh   start from an empty prefix, even if PREFIX exists
#     --dpi N   the screen's DPI (96 unless given; 144 is 150 %)
# or to run a test program in the prefix $WINEPREFIX names:
#   wineprefix.sh run PROGRAM ARGS...
#     passes on the program's output and exit status, but fails a program
#     that wrote nothing at all, as no test program does. The output goes through
#     files: a Wine helper process the program starts (the desktop, services)
#     would otherwise hold CTest's pipe, and the test, open for seconds.
#     The prefix's server is stopped before and after (see wine_stop).
# or to stop the server of the prefix $WINEPREFIX names, and wait until it
# has gone:
#   wineprefix.sh stop
#
# Or source it in a test script, which gets these functions:
#   wine_env PREFIX      export WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES
#   wine_make [--fresh] [--dpi N]
#                        make or update the prefix wine_env chose
#   wine_set_dpi N       the DPI programs started from now on see
#   wine_run PROGRAM ARGS...
#                        run a Windows program; its status is returned
#   wine_run_captured PROGRAM ARGS...
#                        the same, its output passed on through files; a
#                        failure is reported with Wine's errors, and
#                        wine_wrote says whether the program wrote anything
#   wine_wait            wait until every process in the prefix has ended and
#                        the server with them (a few seconds after the last);
#                        fails if that has not happened within two minutes
#   wine_stop            stop the prefix's server and its programs, and wait
#                        until it has gone
#   wine_reg_value KEY NAME
#                        print one registry value's data; fails if absent
#   wine_reg_values KEY  print every value of a key: name, a tab, the data
#   wine_reg_exists KEY  succeed if the registry key exists
#   wine_path WINPATH    print the Linux path of a Windows path
# The Wine loader is $QUADDLE_WINE when set (CMake passes the one it found),
# otherwise wine64 from Debian's own folder or wine from PATH.

wine_loader() {
    if [ -n "${QUADDLE_WINE:-}" ]; then
        echo "$QUADDLE_WINE"
    elif [ -x /usr/lib/wine/wine64 ]; then
        echo /usr/lib/wine/wine64
    else
        command -v wine64 || command -v wine
    fi
}

wine_server() {
    local dir
    dir=$(dirname "$(wine_loader)")
    for server in "$dir/wineserver64" "$dir/wineserver"; do
        [ -x "$server" ] && { echo "$server"; return; }
    done
    command -v wineserver
}

wine_env() {
    export WINEPREFIX=$1
    export WINEDEBUG=-all
    # mscoree and mshtml off: Wine would offer to download Mono and Gecko.
    # winemenubuilder off: it would copy every Start-menu shortcut into the
    # Linux user's own menu.
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
    export WINESERVER
    WINESERVER=$(wine_server)
}

wine_run() {
    "$(wine_loader)" "$@"
}

# Wine's own messages are lines such as "0024:err:module:import_dll ...".
wine_message='^[0-9a-f]{4,8}:(err|warn|fixme|trace):'

# A test program's run: Wine's errors are on (its traces stay off) but kept
# apart from the program's output, as most runs have a few that mean nothing
# (no system tray on a bare X server, say); they are shown only when the
# program fails, with its status and whether it wrote anything at all.
wine_run_captured() {
    local out err status
    out=$(mktemp)
    err=$(mktemp)
    status=0
    WINEDEBUG=-all,err+all wine_run "$@" >"$out" 2>"$err" || status=$?
    cat "$out"
    grep -Ev "$wine_message" "$err" >&2 || true
    wine_wrote=no
    if [ -s "$out" ] || grep -qEv "$wine_message" "$err"; then
        wine_wrote=yes
    fi
    if [ $status -ne 0 ]; then
        wine_report_failure "$1" $status "$out" "$err"
    fi
    rm -f "$out" "$err"
    return $status
}

# Says how a Windows program run under Wine ended, for a test's log.
wine_report_failure() {
    local program status=$2 out=$3 err=$4 how
    program=$(basename "$1")
    how="ended with status $status"
    if [ "$status" -gt 128 ] && [ "$status" -le 192 ]; then
        how="was killed by SIG$(kill -l $((status - 128)))"
    fi
    [ "$wine_wrote" = yes ] || how+=" before writing anything"
    echo "wineprefix: $program $how" >&2
    if grep -qE "$wine_message" "$err"; then
        echo "wineprefix: Wine's errors from that run:" >&2
        grep -E "$wine_message" "$err" | tail -n 40 | sed 's/^/    /' >&2
    else
        echo "wineprefix: Wine reported no error" >&2
    fi
}

wine_wait() {
    timeout 120 "$WINESERVER" -w
}

# A Wine server shuts down once its last program has ended, and a program
# that starts while it goes meets a server that closes the door on it: it
# ends at once, with "wine client error" or without a word. So a test stops
# the server it started, and waits until it has gone (-k alone stops waiting
# after ten seconds), before the next program starts a server of its own.
wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if ! timeout 30 "$WINESERVER" -w; then
        echo "wineprefix: the Wine server of $WINEPREFIX did not end within 30 s of -k" >&2
        return 1
    fi
}

# A REG_MULTI_SZ value as a .reg file writes it: UTF-16 strings, each ended by
# a zero, and one more zero at the end.
reg_multi_sz() {
    local strings=""
    for s in "$@"; do strings+="$s"$'\n'; done
    printf '%s\n' "$strings" | tr '\n' '\0' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
        tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}

wine_reg_import() {
    local file
    file=$(mktemp --suffix=.reg)
    # regedit reads UTF-16 with a byte order mark whatever the locale, so the
    # Chinese face names survive a C locale.
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$file"
    wine_run_captured regedit /S "$(wine_run winepath -w "$file" 2>/dev/null)" >/dev/null
    local status=$?
    [ $status -eq 0 ] || echo "wineprefix: the registry settings were not imported into $WINEPREFIX" >&2
    rm -f "$file"
    return $status
}

# The DPI lives in two places: the user's own setting, which Windows 10 reads,
# and the hardware profile, which older programs and parts of Wine read.
dpi_reg() {
    printf '\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n' "$1"
    printf '\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\r\n"LogPixels"=dword:%08x\r\n' "$1"
}

wine_set_dpi() {
    { printf 'Windows Registry Editor Version 5.00\r\n'; dpi_reg "$1"; } | wine_reg_import
}

wine_make() {
    local fresh=no dpi=96
    while [ $# -gt 0 ]; do
        case $1 in
        --fresh) fresh=yes ;;
        --dpi) dpi=$2; shift ;;
        *) echo "wineprefix: unknown option $1" >&2; return 2 ;;
        esac
        shift
    done
    wine_stop || return 1
    if [ "$fresh" = yes ] && [ -d "$WINEPREFIX" ]; then
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX"
    # wineboot makes the prefix, or brings it up to date with this Wine.
    if ! wine_run_captured wineboot --init >/dev/null; then
        echo "wineprefix: $WINEPREFIX was not made or brought up to date" >&2
        return 1
    fi

    # Wine's own fonts have no Chinese. A face listed here falls back to the
    # CJK faces Debian installs for every character it lacks, as Windows
    # falls back to SimSun; 隶书 (LiSu) becomes the calligraphic AR PL UKai.
    local link key
    link=$(reg_multi_sz "wqy-zenhei.ttc,WenQuanYi Zen Hei" "ukai.ttc,AR PL UKai CN")
    key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion'
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[%s\\FontLink\\SystemLink]\r\n' "$key"
        for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" \
            "MS Sans Serif" "Segoe UI"; do
            printf '"%s"=hex(7):%s\r\n' "$face" "$link"
        done
        printf '\r\n[%s\\FontSubstitutes]\r\n' "$key"
        printf '"隶书"="AR PL UKai CN"\r\n"LiSu"="AR PL UKai CN"\r\n'
        dpi_reg "$dpi"
        # Wine passes for Windows 7 unless told otherwise; Quaddle needs 10.
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="win10"\r\n'
    } | wine_reg_import || return 1
    wine_stop
}

# Every value of a registry key, one a line: name, a tab, the data.
wine_reg_values() {
    local out status
    out=$(mktemp)
    # Through a file: a pipe would stay open while Wine's helper processes run.
    wine_run reg query "$1" >"$out" 2>/dev/null
    status=$?
    [ $status -eq 0 ] && tr -d '\r' <"$out" | sed -n 's/^    \(.*\)    REG_[A-Z_]*    \{0,1\}\(.*\)$/\1\t\2/p'
    rm -f "$out"
    return $status
}

wine_reg_value() {
    local values
    values=$(wine_reg_values "$1") || return 1
    awk -F '\t' -v name="$2" '$1 == name { print $2; found = 1 } END { exit !found }' <<<"$values"
}

wine_reg_exists() {
    wine_run reg query "$1" >/dev/null 2>&1
}

wine_path() {
    local out
    out=$(mktemp)
    wine_run winepath -u "$1" >"$out" 2>/dev/null
    tr -d '\r' <"$out"
    rm -f "$out"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    if [ "${1:-}" = stop ]; then
        wine_env "${WINEPREFIX:?wineprefix: stop needs WINEPREFIX}"
        wine_stop
        exit
    fi
    if [ "${1:-}" = run ]; then
        shift
        wine_env "${WINEPREFIX:?wineprefix: run needs WINEPREFIX}"
        wine_stop
        status=0
        wine_run_captured "$@" || status=$?
        wine_stop
        [ $status -eq 0 ] || exit $status
        # Every test program reports, if only that it passed. A Windows
        # program whose Wine server is stopped under it ends at once, without
        # a word, with status 1 or, as often, 0: that is no pass.
        if [ "$wine_wrote" = no ]; then
            echo "wineprefix: $(basename "$1") ended with status 0 before writing anything, as a program does whose Wine server has gone" >&2
            exit 1
        fi
        exit
    fi
    args=()
    while [ $# -gt 1 ]; do args+=("$1"); shift; done
    [ $# -eq 1 ] || { echo "usage: wineprefix.sh [--fresh] [--dpi N] PREFIX" >&2; exit 2; }
    wine_env "$(realpath -m "$1")"
    wine_make "${args[@]}"
fi
