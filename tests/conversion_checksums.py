#!/usr/bin/env python3
"""Checksums of many conversions, to show a change keeps the bytes it must.

    conversion_checksums.py CLI record FILE     convert, write one line per case
    conversion_checksums.py CLI compare FILE    convert, report every case that differs

Each case runs `CLI convert` on a sample (or a generated source) in a scratch
folder with a copy of the sample settings, and hashes what a user gets: the
exit status, standard output and error, every file the run wrote (the wave and
its .REF, the EDF+ file, the volume's files) and the settings file afterwards.
Failing cases (refusals) are part of the set: their texts must stay too.
"""
import hashlib
import itertools
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(HERE, "..", "samples")

# sample, preset, rate, extra layout options
SOURCES = [
    ("eeg_comma_time.csv", 1, 200, []),
    ("eeg_blank.txt", 2, 100, []),
    ("eeg_tab.txt", 3, 250, []),
    ("eeg_calibrated.csv", 4, 500, []),
    ("eeg_japanese_labels.csv", 5, 200, []),
    ("psg_night.csv", 4, 200, []),
    ("generated_ad.csv", 0, 500, ["--delimiter", "comma", "--bias", "1", "--label-line", "0",
                                  "--data-start-line", "1", "--ad"]),
    ("generated_cal.csv", 0, 500, ["--delimiter", "comma", "--bias", "1", "--label-line", "0",
                                   "--data-start-line", "1", "--calibrated"]),
]

EEG_OUTPUTS = [
    ("eeg32-file", ["--type", "eeg32", "-o", "out.DAT"]),
    ("eeg24-file", ["--type", "eeg24", "-o", "out.DAT"]),
    ("eeg32-volume", ["--volume", "vol", "--create-disk-id", "DISK01"]),
    ("eeg24-pattern2-volume", ["--type", "eeg24", "--pattern", "2", "--volume", "vol",
                               "--create-disk-id", "D2"]),
]
PSG_OUTPUTS = [("psg-ft%d" % t, ["--type", "psg", "--frame-time", str(t), "-o", "out.edf"])
               for t in (1, 2, 5, 10)]
VARIANTS = [
    ("plain", []),
    ("invert-notch60", ["--invert", "--notch", "60", "--start", "2021-03-04 05:06:07"]),
]
# Edge cases outside the grid above: refusals, magnifications, time resolution.
EXTRA = [
    ("eeg_calibrated.csv", ["--preset", "4", "--rate", "500", "--mag", "10", "-o", "out.DAT"]),
    ("eeg_calibrated.csv", ["--preset", "4", "--rate", "500", "--mag", "1/10", "-o", "out.DAT"]),
    ("eeg_calibrated.csv", ["--preset", "4", "--rate", "500", "--ad", "-o", "out.DAT"]),
    ("eeg_comma_time.csv", ["--preset", "1", "--rate", "200", "--channels", "4", "-o", "out.DAT"]),
    ("eeg_comma_time.csv", ["--preset", "1", "--rate", "200", "--channels", "12", "-o", "out.DAT"]),
    ("eeg_comma_time.csv", ["--preset", "2", "--rate", "200", "-o", "out.DAT"]),
    ("eeg_comma_time.csv", ["--preset", "1", "--rate", "200", "--keep-pattern", "-o", "out.DAT"]),
    ("psg_night.csv", ["--preset", "4", "--rate", "200", "--type", "psg", "--comment", "night 1",
                       "-o", "out.edf"]),
    ("psg_night.csv", ["--preset", "4", "--rate", "1000", "--type", "psg",
                       "--time-resolution", "1", "-o", "out.edf"]),
    ("eeg_tab.txt", ["--preset", "3", "--rate", "250", "--delimiter", "tab", "-o", "out.DAT"]),
    ("missing.csv", ["--preset", "1", "--rate", "200", "-o", "out.DAT"]),
    ("eeg_blank.txt", ["--preset", "2", "--rate", "100", "--data-start-line", "900",
                       "-o", "out.DAT"]),
]


def generate(path, kind, seconds=40, rate=500, channels=32):
    with open(path, "w", newline="") as f:
        f.write("Time," + ",".join("Ch%d" % (c + 1) for c in range(channels)) + "\r\n")
        for n in range(rate * seconds):
            t = "%.3f" % (n / rate)
            if kind == "ad":
                values = ",".join(str((n * 37 + c * 1013) % 4001 - 2000) for c in range(channels))
            else:
                values = ",".join("%.2f" % (((n * 37 + c * 1013) % 40001 - 20000) / 100.0)
                                  for c in range(channels))
            f.write(t + "," + values + "\r\n")


def cases():
    for (source, preset, rate, layout), (vname, variant) in itertools.product(SOURCES, VARIANTS):
        base = ["--rate", str(rate)] + (["--preset", str(preset)] if preset else []) + layout
        for oname, output in EEG_OUTPUTS + PSG_OUTPUTS:
            yield "%s/%s/%s" % (source, oname, vname), source, base + variant + output
    for i, (source, args) in enumerate(EXTRA):
        yield "%s/extra%d" % (source, i), source, args


def run_case(cli, scratch, source, args):
    work = tempfile.mkdtemp(dir=scratch)
    shutil.copytree(os.path.join(SAMPLES, "COND"), os.path.join(work, "COND"))
    os.mkdir(os.path.join(work, "vol"))
    digest = hashlib.sha256()
    result = subprocess.run([cli, "convert", os.path.join(scratch, source),
                             "--settings", os.path.join(work, "COND", "QUILLON.INI")] + args,
                            cwd=work, capture_output=True, timeout=600)
    digest.update(b"exit %d\n" % result.returncode)
    for text in (result.stdout, result.stderr):
        digest.update(text.replace(work.encode(), b"WORK").replace(scratch.encode(), b"SCRATCH"))
    for root, dirs, files in os.walk(work):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(root, name)
            digest.update(os.path.relpath(path, work).encode() + b"\n")
            with open(path, "rb") as f:
                digest.update(f.read())
    shutil.rmtree(work)
    return digest.hexdigest(), result.returncode


def main():
    if len(sys.argv) != 4 or sys.argv[2] not in ("record", "compare"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    cli, mode, listing = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
    scratch = tempfile.mkdtemp(prefix="quillon-checksums-")
    try:
        for name in os.listdir(SAMPLES):
            if os.path.isfile(os.path.join(SAMPLES, name)):
                shutil.copy(os.path.join(SAMPLES, name), scratch)
        generate(os.path.join(scratch, "generated_ad.csv"), "ad")
        generate(os.path.join(scratch, "generated_cal.csv"), "cal")
        lines = []
        for name, source, args in cases():
            digest, status = run_case(cli, scratch, source, args)
            lines.append("%s %d %s" % (digest, status, name))
    finally:
        shutil.rmtree(scratch)
    if mode == "record":
        with open(listing, "w") as f:
            f.write("\n".join(lines) + "\n")
        print("%d conversions recorded (%d succeeded)"
              % (len(lines), sum(1 for l in lines if l.split()[1] == "0")))
        return 0
    with open(listing) as f:
        expected = f.read().split("\n")[:-1]
    differ = [e for e, l in itertools.zip_longest(expected, lines) if e != l]
    for e in differ:
        print("differs: %s" % e)
    print("%d conversions, %d identical, %d differ" % (len(lines), len(lines) - len(differ),
                                                       len(differ)))
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
