#!/usr/bin/env bash
# EEG conversion benchmark, run by hand: quillon-cli convert against a short
# pandas script on a 32-channel, 500 Hz, 10-minute source with a time column
# (A/D integers and calibrated values), and peak memory on a 4x longer one.
# Each measurement runs three times: best and worst wall time, the best CPU
# time (user + system, steadier while others use the machine) and the peak
# RSS from /usr/bin/time -v.
#
#   bash bench/eeg_convert.sh [BUILD_DIR]   (default build/release)
#
# Needs Debian's python3-pandas (used with /usr/bin/python3) and time.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/convert_bench_lib.sh
cli=$(bench_cli "${1:-build/release}")
/usr/bin/python3 -c 'import pandas' 2>/dev/null || { echo "missing python3-pandas"; exit 1; }

work=$(mktemp -d /tmp/quillon-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "generating sources in $work ..."
gen "$work/ad10.csv" 10 ad
gen "$work/cal10.csv" 10 calibrated
gen "$work/ad40.csv" 40 ad
printf '[SYSTEM]\r\nCopyFileType=2\r\nOrgDataMag=1\r\n' > "$work/QUILLON.INI"

opts=(--settings "$work/QUILLON.INI" --label-line 0 --bias 1 --rate 500 -o "$work/out.dat")
for kind in ad cal; do
    src="$work/${kind}10.csv"
    flag=--ad; [ $kind = cal ] && flag=--calibrated
    echo "== $(basename "$src"): $(size "$src") bytes"
    measure "quillon-cli convert ($kind)" "$(size "$src")" "$cli" convert "$src" "${opts[@]}" $flag
    measure "pandas baseline ($kind)" "$(size "$src")" /usr/bin/python3 bench/pandas_baseline.py \
        "$src" "$work/out.pandas" $kind
done
src="$work/ad40.csv"
echo "== $(basename "$src"): $(size "$src") bytes (4x longer)"
measure "quillon-cli convert (ad, 40 min)" "$(size "$src")" "$cli" convert "$src" "${opts[@]}" --ad
