#!/usr/bin/env bash
# Batch conversion benchmark, run by hand: COUNT sources of MINUTES minutes
# each (32 channels, 500 Hz, A/D integers, about 46 MB for 10 minutes)
# converted by a shell loop of single runs, and by one batch with --jobs 1,
# --jobs 2 and --jobs <processors>. Prints the wall time of each. The
# sources are one generated file copied COUNT times (generating each would
# take longer than converting it); the outputs are removed before each run.
# Each way runs three times: best and worst wall time, best CPU time.
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

# timed LABEL COMMAND...: three runs, each with a fresh output folder; the
# best and worst wall time, and the best CPU time of all its processes
# (user + system, steadier while others use the machine).
timed() {
    local label=$1 walls=() cpus=() start end; shift
    for run in 1 2 3; do
        rm -rf "$work/out" && mkdir "$work/out"
        start=$(date +%s%N)
        /usr/bin/time -f '%U %S' -o "$work/time.txt" "$@" >"$work/log.txt" 2>&1 ||
            { tail -5 "$work/log.txt"; exit 1; }
        end=$(date +%s%N)
        walls+=("$(( (end - start) / 1000000 ))")
        cpus+=("$(awk '{printf "%d", ($1 + $2) * 1000}' "$work/time.txt")")
    done
    printf '%s\n' "${walls[@]}" | sort -n | awk -v label="$label" -v count="$count" \
        -v cpu="$(printf '%s\n' "${cpus[@]}" | sort -n | head -1)" '
        { t[NR] = $1 / 1000 } END {
            printf "%-26s wall best %7.2f s (%5.2f s a source) worst %7.2f s, cpu best %7.2f s\n",
                   label, t[1], t[1] / count, t[3], cpu / 1000 }'
}

# The loop a user writes, as a script of its own so that it is timed whole.
{
    printf 'for source in'; printf ' %q' "${sources[@]}"; printf '; do\n'
    printf '    %q convert "$source"' "$cli"; printf ' %q' "${opts[@]}"
    printf ' -o %q/out/"$(basename "$source" .csv)".DAT || exit 1\ndone\n' "$work"
} >"$work/loop.sh"

timed "shell loop of single runs" bash "$work/loop.sh"
timed "batch --jobs 1" "$cli" convert "${sources[@]}" "${opts[@]}" --output-dir "$work/out" --jobs 1
timed "batch --jobs 2" "$cli" convert "${sources[@]}" "${opts[@]}" --output-dir "$work/out" --jobs 2
if [ "$cores" -ne 2 ] && [ "$cores" -ne 1 ]; then
    timed "batch --jobs $cores" "$cli" convert "${sources[@]}" "${opts[@]}" \
        --output-dir "$work/out" --jobs "$cores"
fi
