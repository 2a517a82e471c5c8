#!/usr/bin/env bash
# Runs a Windows test program under Wine with a private prefix, its own Xvfb
# display and a Japanese locale (ANSI code page 932), then removes all of it,
# also when the program fails or hangs.
#
#   run_under_wine.sh BIN_FOLDER PROGRAM.exe [ARG...]
#
# The EXE and DLL files of BIN_FOLDER are copied into a scratch install
# folder. In ARGs, @INSTALL@ becomes that folder's Windows path and a
# leading @W: turns the rest of the argument (a Linux path) into a Windows
# path.
set -u
bin_folder=$1; program=$2; shift 2
timeout_s=${QUILLON_WINE_TIMEOUT:-600}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillon-wine-XXXXXX")
xvfb_pid=""
# QUILLON_WINE_LOCALE: another locale (and so another ANSI code page).
locale=${QUILLON_WINE_LOCALE:-ja_JP.UTF-8}
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all LC_ALL=$locale LANG=$locale
# No Mono or Gecko installers: they would ask questions and need the network.
export WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
    # Our own wineserver only: it belongs to this WINEPREFIX.
    timeout 30 wineserver -k >/dev/null 2>&1
    timeout 30 wineserver -w >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 124' INT TERM

# A machine whose system runs no 32-bit programs has only Wine's 64-bit
# loader: 64-bit programs then run in a 64-bit prefix through it.
wine64_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
if ! wine --version >/dev/null 2>&1 && [ -x "$wine64_loader" ]; then
    mkdir -p "$scratch/loader"
    for tool in wine wineboot winepath; do
        argument=$([ $tool = wine ] || echo " $tool")
        printf '#!/bin/sh\nexec %s%s "$@"\n' "$wine64_loader" "$argument" >"$scratch/loader/$tool"
        chmod +x "$scratch/loader/$tool"
    done
    export PATH="$scratch/loader:$PATH" WINEARCH=win64
fi

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
if [ ! -s "$scratch/display" ]; then echo "Xvfb did not start" >&2; cat "$scratch/xvfb.log" >&2; exit 1; fi
export DISPLAY=":$(head -n1 "$scratch/display")"

mkdir -p "$scratch/install"
find "$bin_folder" -maxdepth 1 -type f \( -iname '*.exe' -o -iname '*.dll' \) \
    -exec cp {} "$scratch/install/" \;

# A prefix is ready when its system folder holds kernel32. Once in a CI run
# wineboot came back at once without one and the program could not start;
# a fresh prefix is tried again and wineboot's words kept for the log.
prefix_ready() { [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; }
for attempt in 1 2 3; do
    timeout 300 wineboot --init >"$scratch/wineboot.log" 2>&1
    timeout 60 wineserver -w >/dev/null 2>&1
    prefix_ready && break
    echo "wineboot attempt $attempt left no usable prefix:" >&2
    tail -n 20 "$scratch/wineboot.log" >&2
    timeout 30 wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    sleep 2
done
prefix_ready || { echo "no usable Wine prefix" >&2; exit 1; }
# QUILLON_WINE_DRIVES="q=/some/folder ...": drive letters mapped to folders,
# which Windows programs then see as fixed disks.
for mapping in ${QUILLON_WINE_DRIVES:-}; do
    mkdir -p "${mapping#*=}"
    ln -sfn "${mapping#*=}" "$WINEPREFIX/dosdevices/${mapping%%=*}:"
done
# QUILLON_WINE_DPI=144: the screen's DPI, where user32 reads it (the user's
# desktop settings) and where the display's font settings keep it; both
# before the program starts, which reads it once.
if [ -n "${QUILLON_WINE_DPI:-}" ]; then
    for key in 'HKEY_CURRENT_USER\Control Panel\Desktop' 'HKEY_CURRENT_CONFIG\Software\Fonts'; do
        timeout 60 wine reg add "$key" /v LogPixels /t REG_DWORD /d "$QUILLON_WINE_DPI" /f \
            >/dev/null 2>&1 || echo "could not set LogPixels under $key" >&2
    done
    timeout 60 wineserver -w >/dev/null 2>&1
fi
install_w=$(winepath -w "$scratch/install" 2>/dev/null)
args=()
for a in "$@"; do
    a=${a//@INSTALL@/$install_w}
    if [[ $a == @W:* ]]; then a=$(winepath -w "${a#@W:}" 2>/dev/null); fi
    args+=("$a")
done

timeout --kill-after=10 "$timeout_s" wine "$scratch/install/$program" "${args[@]}"
status=$?
[ $status -eq 124 ] && echo "timed out after ${timeout_s}s" >&2
exit $status
