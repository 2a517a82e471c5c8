# Shared by the conversion benchmarks (sourced): the tool, the benchmark
# source and the measurement. gen and measure use $work, the benchmark's
# scratch folder.

# bench_cli BUILD_DIR: builds quillon-cli there if needed (release preset)
# and prints its absolute path; checks the tools the measurement needs.
bench_cli() {
    local build=$1
    if [ ! -x "$build/tools/quillon-cli" ]; then
        cmake --preset release -B "$build" >/dev/null
        cmake --build "$build" --target quillon_cli >&2
    fi
    for need in /usr/bin/time /usr/bin/python3; do
        [ -x "$need" ] || { echo "missing $need (apt-get install time python3)" >&2; exit 1; }
    done
    realpath "$build/tools/quillon-cli"
}

# gen FILE MINUTES ad|calibrated: 32 channels at 500 Hz with a time column
# and a label line; A/D integers or calibrated values with two decimals.
gen() {
    /usr/bin/python3 - "$@" <<'PY'
import math, sys
path, minutes, kind = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rate, channels = 500, 32
with open(path, "w", newline="") as f:
    f.write("Time," + ",".join("Ch%d" % (c + 1) for c in range(channels)) + "\r\n")
    table = [[math.sin(2 * math.pi * (n / 500.0) * (8 + c * 0.25) + c) for c in range(channels)]
             for n in range(500)]
    for n in range(rate * 60 * minutes):
        row = table[n % 500]
        t = "%02d:%02d:%06.3f" % (n // 1800000, n // 30000 % 60, n % 30000 / 500.0)
        if kind == "ad":
            values = ",".join(str(int(1800 * v) + (n * 7 + c * 13) % 97 - 48) for c, v in enumerate(row))
        else:
            values = ",".join("%.2f" % (90 * v + ((n * 7 + c * 13) % 97 - 48) / 10.0) for c, v in enumerate(row))
        f.write(t + "," + values + "\r\n")
PY
}

# measure LABEL SOURCE_BYTES COMMAND...: three runs (the outputs $work/out.*
# removed before each); best and worst wall time, the best CPU time (user +
# system, steadier while others use the machine) and the largest peak RSS.
measure() {
    local label=$1 bytes=$2; shift 2
    local times=() rss=() cpu=()
    for i in 1 2 3; do
        rm -f "$work"/out.*
        local start end
        start=$(date +%s%N)
        /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || { cat "$work/time.txt"; exit 1; }
        end=$(date +%s%N)
        times+=("$(( (end - start) / 1000000 ))")
        rss+=("$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")")
        cpu+=("$(awk -F': ' '/User time|System time/ {s += $2} END {printf "%d", s * 1000}' "$work/time.txt")")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v label="$label" -v bytes="$bytes" \
        -v rss="$(printf '%s\n' "${rss[@]}" | sort -n | tail -1)" \
        -v cpu="$(printf '%s\n' "${cpu[@]}" | sort -n | head -1)" '
        { t[NR] = $1 / 1000 } END {
            printf "%-34s wall best %6.3f s worst %6.3f s (%6.1f MB/s), cpu best %6.3f s (%6.1f MB/s), peak RSS %5.1f MiB\n",
                   label, t[1], t[3], bytes / t[1] / 1e6, cpu / 1000, bytes / (cpu / 1000) / 1e6, rss / 1024 }'
}

size() { stat -c %s "$1"; }
