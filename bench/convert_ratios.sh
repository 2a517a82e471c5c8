#!/usr/bin/env bash
# Conversion against reading the text: quillon-cli convert (EEG and PSG, A/D
# and calibrated), the pandas script of bench/pandas_baseline.py and `wc -l`
# on the same generated source, by turns (one round runs each command once,
# each round starting with the next command),
# and the median wall, user and system time and the peak memory of each
# (/usr/bin/time's figures of each run). Prints the ratios pandas/ours and ours/wc.
#
#   bash bench/convert_ratios.sh [BUILD_DIR [RUNS [MINUTES]]]
#       defaults build/release, 7 runs, a 10-minute source (32 channels,
#       500 Hz, a time column)
#   bash bench/convert_ratios.sh --long COPIES [BUILD_DIR [RUNS]]
#       a long A/D source: the 10-minute source's lines COPIES times (51
#       copies are 2.7 GB), EEG only and no pandas (it holds the whole table
#       in memory); the page cache is dropped before every run when this
#       user may (root), so the source is read from the disk
#
# Before each run of quillon-cli, bench/core_distance.cpp (built here when a
# C++ compiler is there) times a round trip between the two processors; the
# runs are then also told apart by it: on a shared host the processors are
# sometimes far apart, and a conversion's two threads hand each other most
# of the source.
#
# With BEFORE_CLI=path another quillon-cli (a build before a change) takes
# its turn too, with its ratios. With REALTIME=1 (root) every command runs
# under `chrt -f 10`, so that other programs of a shared machine do not
# take its processors while it runs.
#
# Needs /usr/bin/python3 and time; the pandas commands need python3-pandas
# and are left out without it.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/convert_bench_lib.sh
copies=0
if [ "${1:-}" = --long ]; then
    copies=$2
    shift 2
fi
cli=$(bench_cli "${1:-build/release}")
runs=${2:-7}
minutes=${3:-10}

work=$(mktemp -d /tmp/quillon-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "generating sources in $work ..."
gen "$work/ad.csv" "$minutes" ad
if [ "$copies" -gt 0 ]; then
    { head -n 1 "$work/ad.csv"
      for _ in $(seq "$copies"); do tail -n +2 "$work/ad.csv"; done; } > "$work/long.csv"
    rm "$work/ad.csv"
else
    gen "$work/cal.csv" "$minutes" calibrated
fi
printf '[SYSTEM]\r\nCopyFileType=2\r\nOrgDataMag=1\r\n' > "$work/EEG.INI"
printf '[SYSTEM]\r\nFrameTime=1\r\n' > "$work/PSG.INI"
distance=""
if c++ -std=c++17 -O2 -pthread bench/core_distance.cpp -o "$work/core-distance" 2>/dev/null; then
    distance=$work/core-distance
fi
# The generated sources on the disk before any timing: otherwise the kernel
# writes them back in the middle of the runs, on the same processors.
sync

/usr/bin/python3 - "$cli" "$work" "$runs" "$copies" "${BEFORE_CLI:-}" "${REALTIME:-0}" "$distance" <<'PY'
import os, statistics, subprocess, sys, time
cli, work, runs, copies, before = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
prefix = ["chrt", "-f", "10"] if sys.argv[6] == "1" else []
distance = sys.argv[7]
# A round trip this long or longer: the processors are far apart. Seen on a
# shared 2-processor host: 70-330 ns near, 400-600 ns far.
FAR_NS = 350
if prefix: print("every command under chrt -f 10")
try:
    import pandas  # noqa: F401
    have_pandas = copies == 0
except ImportError:
    have_pandas = False
    print("pandas: not installed (apt-get install python3-pandas): its ratios are left out")
drop = copies > 0 and os.access("/proc/sys/vm/drop_caches", os.W_OK)
if copies > 0:
    print("page cache dropped before every run" if drop else
          "page cache NOT dropped (needs root): the source may be read from the cache")

def ours(kind, output, cli=cli):
    flag = "--ad" if kind == "ad" else "--calibrated"
    common = ["--label-line", "0", "--bias", "1", "--rate", "500", flag]
    if output == "eeg":
        return [cli, "convert", src(kind), "--settings", work + "/EEG.INI", "-o",
                work + "/out.dat"] + common
    return [cli, "convert", src(kind), "--settings", work + "/PSG.INI", "--type", "psg",
            "--data-start-line", "1", "-o", work + "/out.edf"] + common

def src(kind):
    return work + ("/long.csv" if copies > 0 else "/%s.csv" % kind)

def run(argv):
    for name in ("out.dat", "out.REF", "out.edf", "out.pandas"):
        try: os.remove(os.path.join(work, name))
        except FileNotFoundError: pass
    if drop:
        os.sync()
        with open("/proc/sys/vm/drop_caches", "w") as f: f.write("3\n")
    # /usr/bin/time reports the peak: a child of this Python process would
    # count the Python copy it was forked as.
    timed = work + "/time.txt"
    start = time.perf_counter()
    status = subprocess.call(prefix + ["/usr/bin/time", "-f", "%U %S %M", "-o", timed] + argv,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    if status != 0: sys.exit("failed: %s" % " ".join(argv))
    with open(timed) as f: user, system, peak = f.read().split()[-3:]
    return wall, float(user), float(system), int(peak) / 1024.0

def round_trip():
    if not distance: return None
    out = subprocess.run([distance], capture_output=True, text=True).stdout.split()
    return int(out[0]) if out and int(out[0]) > 0 else None

def by_distance(name, rows, trips):
    """The runs of a quillon-cli told apart by the round trip before each."""
    known = [(t, row[0]) for t, row in zip(trips, rows) if t is not None]
    if not known: return
    far = [wall for t, wall in known if t >= FAR_NS]
    near = [wall for t, wall in known if t < FAR_NS]
    line = "  %-7s round trips %d-%d ns, far in %d of %d runs" % (
        name, min(t for t, _ in known), max(t for t, _ in known), len(far), len(known))
    for label, walls in (("near", near), ("far", far)):
        if walls: line += "; %s %.3f s" % (label, statistics.median(walls))
    print(line)

groups = [("ad", "eeg")] if copies > 0 else [("ad", "eeg"), ("cal", "eeg"), ("ad", "psg"), ("cal", "psg")]
for kind, output in groups:
    commands = {"ours": ours(kind, output), "wc -l": ["wc", "-l", src(kind)]}
    if before:
        commands["before"] = ours(kind, output, before)
    if have_pandas:
        commands["pandas"] = ["/usr/bin/python3", "bench/pandas_baseline.py", src(kind),
                              work + "/out.pandas", kind]
    figures = {name: [] for name in commands}
    trips = {name: [] for name in commands}
    names = list(commands)
    for round in range(runs):
        # Each round starts with the next command, so that none always
        # follows the same one (pandas leaves the caches to whatever follows).
        for name in names[round % len(names):] + names[:round % len(names)]:
            if name in ("ours", "before"): trips[name].append(round_trip())
            figures[name].append(run(commands[name]))
    size = os.path.getsize(src(kind))
    print("== %s %s, %.1f MB, median of %d by turns" % (output.upper(), kind, size / 1e6, runs))
    medians = {}
    for name, rows in figures.items():
        wall, user, system, peak = (statistics.median(column) for column in zip(*rows))
        medians[name] = wall
        walls = [row[0] for row in rows]
        print("  %-7s wall %7.3f s (%6.0f MB/s)  user %7.3f s  sys %6.3f s  peak %6.1f MiB"
              "  runs %.3f-%.3f s"
              % (name, wall, size / wall / 1e6, user, system, peak, min(walls), max(walls)))
    for name in [n for n in ("ours", "before") if n in medians]:
        by_distance(name, figures[name], trips[name])
    for name in [n for n in ("ours", "before") if n in medians]:
        line = "  %s / wc -l %.2fx" % (name, medians[name] / medians["wc -l"])
        if "pandas" in medians:
            line += ", pandas / %s %.1fx" % (name, medians["pandas"] / medians[name])
        print(line)
PY
