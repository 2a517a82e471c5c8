#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Quick and silent when
# everything is already there.
#
#   install-deps.sh          everything: native and Windows builds, Wine, tests
#   install-deps.sh --demo   only what the native quillon-cli needs
set -euo pipefail

demo_packages=(cmake ninja-build g++ make)
packages=(
    "${demo_packages[@]}" pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 wine32:i386 xvfb x11-utils
    locales fonts-ipafont-gothic
    clang libclang-rt-14-dev clang-format
    python3-mne
)
full=1
if [ "${1:-}" = "--demo" ]; then
    packages=("${demo_packages[@]}")
    full=
fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ -n "$full" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    need_update=1
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

[ -n "$full" ] || exit 0

# Wine runs the program with the ANSI code page 932 only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
