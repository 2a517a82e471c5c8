#!/usr/bin/env bash
# Before/after figures of one change, measured in the same run: two
# quillon-cli binaries convert the EEG and PSG benchmark sources (32
# channels, 500 Hz, 40 minutes, A/D and calibrated) by turns, seven times
# each, so both see the same machine load. Prints the best CPU time (user +
# system, microseconds from getrusage) and the best wall time of each.
#
#   bash bench/compare_builds.sh OLD_CLI NEW_CLI
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/convert_bench_lib.sh
old=$(realpath "$1")
new=$(realpath "$2")

work=$(mktemp -d /tmp/quillon-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "generating sources in $work ..."
gen "$work/ad.csv" 40 ad
gen "$work/cal.csv" 40 calibrated
printf '[SYSTEM]\r\nCopyFileType=2\r\nFrameTime=1\r\nOrgDataMag=1\r\n' > "$work/QUILLON.INI"

/usr/bin/python3 - "$old" "$new" "$work" <<'PY'
import os, resource, subprocess, sys, time
old, new, work = sys.argv[1:4]
common = ["--settings", work + "/QUILLON.INI", "--label-line", "0", "--bias", "1", "--rate", "500"]
outputs = {"eeg": ["-o", work + "/out.dat"],
           "psg": ["--type", "psg", "--data-start-line", "1", "-o", work + "/out.edf"]}
def run(cli, args):
    for name in ("out.dat", "out.REF", "out.edf"):
        try: os.remove(os.path.join(work, name))
        except FileNotFoundError: pass
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([cli] + args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
for kind, flag in (("ad", "--ad"), ("cal", "--calibrated")):
    source = work + "/" + kind + ".csv"
    size = os.path.getsize(source)
    for output, extra in outputs.items():
        best = {"old": [1e9, 1e9], "new": [1e9, 1e9]}
        for _ in range(7):
            for label, cli in (("old", old), ("new", new)):
                wall, cpu = run(cli, ["convert", source] + common + extra + [flag])
                best[label] = [min(best[label][0], wall), min(best[label][1], cpu)]
        o, n = best["old"], best["new"]
        print("%s %-4s %6.1f MB: cpu old %.3f s new %.3f s (%+.1f%% %s MB/s -> %s MB/s), wall old %.3f s new %.3f s"
              % (output, kind, size / 1e6, o[1], n[1], (o[1] / n[1] - 1) * 100,
                 int(size / o[1] / 1e6), int(size / n[1] / 1e6), o[0], n[0]))
PY
