#!/usr/bin/env bash
# Builds quillon-cli (release preset), converts a bundled sample onto a fresh
# output volume in build/demo and shows the result with quillon-cli inspect.
# Safe to run again: the previous demo output is deleted first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --demo
build=${QUILLON_DEMO_BUILD:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target quillon_cli
cli=$build/tools/quillon-cli

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/volume"
# The sample settings, copied: a volume run advances EEGFileNo in them.
cp -r samples/COND "$demo/COND"

echo "== convert samples/eeg_comma_time.csv (preset 1: comma separated, time column, A/D values)"
"$cli" convert samples/eeg_comma_time.csv --settings "$demo/COND/QUILLON.INI" \
    --preset 1 --rate 200 --volume "$demo/volume" --create-disk-id DEMO-01
echo
echo "== inspect the result, frames 0 to 4"
"$cli" inspect "$demo/volume/DAT/88000001.DAT" --frames 0:4
