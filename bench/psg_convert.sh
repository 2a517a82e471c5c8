#!/usr/bin/env bash
# PSG conversion benchmark, run by hand: quillon-cli convert --type psg on the
# EEG benchmark's source (32 channels, 500 Hz, 10 minutes, a time column; A/D
# integers and calibrated values), every channel a 500 Hz signal of the
# default PSG rows, in one-second frames; and peak memory on a 4x longer
# source. Each measurement runs three times: best and worst wall time, the
# best CPU time (user + system) and the largest peak RSS from /usr/bin/time -v.
#
#   bash bench/psg_convert.sh [BUILD_DIR]   (default build/release)
#
# Needs /usr/bin/python3 (to write the sources) and time.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/convert_bench_lib.sh
cli=$(bench_cli "${1:-build/release}")

work=$(mktemp -d /tmp/quillon-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "generating sources in $work ..."
gen "$work/ad10.csv" 10 ad
gen "$work/cal10.csv" 10 calibrated
gen "$work/ad40.csv" 40 ad
printf '[SYSTEM]\r\nFrameTime=1\r\n' > "$work/QUILLON.INI"

opts=(--settings "$work/QUILLON.INI" --type psg --label-line 0 --data-start-line 1 --bias 1
      --rate 500 -o "$work/out.edf")
for kind in ad cal; do
    src="$work/${kind}10.csv"
    flag=--ad; [ $kind = cal ] && flag=--calibrated
    echo "== $(basename "$src"): $(size "$src") bytes"
    rm -f "$work"/out.*
    "$cli" convert "$src" "${opts[@]}" $flag
    measure "quillon-cli convert psg ($kind)" "$(size "$src")" "$cli" convert "$src" "${opts[@]}" $flag
done
src="$work/ad40.csv"
echo "== $(basename "$src"): $(size "$src") bytes (4x longer)"
rm -f "$work"/out.*
"$cli" convert "$src" "${opts[@]}" --ad
measure "quillon-cli convert psg (ad, 40 min)" "$(size "$src")" "$cli" convert "$src" "${opts[@]}" --ad
