#!/usr/bin/env bash
# Builds both Windows presets and writes build/Quillon-<version>-win32.zip
# and -win64.zip, each the folder a user copies (see README, "Installing on
# Windows").
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    (cd "build/$preset" && cpack -G ZIP -B "$PWD/package" >/dev/null)
    cp "build/$preset"/package/Quillon-*-"$preset".zip build/
done
ls -l build/Quillon-*-win*.zip
