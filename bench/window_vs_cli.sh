#!/usr/bin/env bash
# Window against tool, run by hand: the 32-channel, 500 Hz, 10-minute
# benchmark source converted to PSG by quillon-cli.exe and by the program's
# window (Conv, the target typed into the save dialog), both under Wine in
# the same run, RUNS times each; the longest time the window went without
# handling a message during its runs; and whether both wrote the same bytes.
#
#   bash bench/window_vs_cli.sh [WINDOWS_BUILD_DIR] [RUNS]   (build/win32, 3)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/convert_bench_lib.sh
build=${1:-build/win32}; runs=${2:-3}
[ -x "$build/bin/window_bench.exe" ] || { echo "build $build first (bash scripts/build.sh win32)" >&2; exit 1; }
work=$(mktemp -d /tmp/quillon-window-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "generating the source in $work ..."
gen "$work/ad10.csv" 10 ad
echo "source: $(size "$work/ad10.csv") bytes"
QUILLON_WINE_TIMEOUT=3000 bash tests/ui/run_under_wine.sh "$build/bin" window_bench.exe @INSTALL@ \
    "@W:$work/ad10.csv" "@W:$work" "$runs"
