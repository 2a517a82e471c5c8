#!/usr/bin/env bash
# Batch conversion benchmark, run by hand: COUNT sources of MINUTES minutes
# each (32 channels, 500 Hz, A/D integers, about 46 MB for 10 minutes)
# converted by a shell loop of single runs, and by one batch with --jobs 1,
# --jobs 2 and --jobs <processors>. Prints the wall time of each. The
# sources are one generated file copied COUNT times (generating each would
# take longer than converting it); the outputs are removed before each way.
#
#   bash bench/batch_vs_loop.sh [COUNT [MINUTES [BUILD_DIR]]]   (64 10 build/release)
#
# Needs COUNT x (46 + 20) MB of space under $TMPDIR (/tmp), for 10 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/convert_bench_lib.sh
count=${1:-64}
minutes=${2:-10}
cli=$(bench_cli "${3:-build/release}")
cores=$(nproc)

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-batch-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "generating $count sources of $minutes minutes in $work ..."
gen "$work/source.csv" "$minutes" ad
sources=()
for i in $(seq -w 1 "$count"); do
    cp "$work/source.csv" "$work/s$i.csv"
    sources+=("$work/s$i.csv")
done
rm "$work/source.csv"
printf '[SYSTEM]\r\nCopyFileType=2\r\nOrgDataMag=1\r\n' > "$work/QUILLON.INI"
opts=(--settings "$work/QUILLON.INI" --label-line 0 --bias 1 --rate 500 --ad)
echo "$count sources, $(du -sh "$work" | cut -f1) in all; $cores processors"

# timed LABEL COMMAND...: one run with a fresh output folder; its wall time.
timed() {
    local label=$1 start end; shift
    rm -rf "$work/out" && mkdir "$work/out"
    start=$(date +%s%N)
    "$@" >"$work/log.txt" 2>&1 || { tail -5 "$work/log.txt"; exit 1; }
    end=$(date +%s%N)
    printf '%-34s wall %7.2f s (%5.2f s a source)\n' "$label" \
        "$(echo "($end - $start) / 1000000000" | bc -l)" \
        "$(echo "($end - $start) / 1000000000 / $count" | bc -l)"
}

loop() {
    for source in "${sources[@]}"; do
        "$cli" convert "$source" "${opts[@]}" -o "$work/out/$(basename "$source" .csv).DAT"
    done
}

timed "shell loop of single runs" loop
timed "batch --jobs 1" "$cli" convert "${sources[@]}" "${opts[@]}" --output-dir "$work/out" --jobs 1
timed "batch --jobs 2" "$cli" convert "${sources[@]}" "${opts[@]}" --output-dir "$work/out" --jobs 2
if [ "$cores" -ne 2 ] && [ "$cores" -ne 1 ]; then
    timed "batch --jobs $cores" "$cli" convert "${sources[@]}" "${opts[@]}" \
        --output-dir "$work/out" --jobs "$cores"
fi
