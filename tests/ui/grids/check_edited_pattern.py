#!/usr/bin/env python3
"""Converts the bundled night sample with the PSG pattern the grid test edited
and registered, and checks that the EDF+ file shows the edits: labels from
"Auto Sequence Label", the rate divided by 2 in row 1, the calibration 20 of
rows 3..7 (8 typed into row 6) and the 0.5 Hz low filter typed into row 1.

    check_edited_pattern.py QUILLON_CLI SAMPLES_FOLDER EDITED_SETTINGS
"""
import os
import shutil
import subprocess
import sys
import tempfile


def signal_fields(header, count, field):
    widths = [16, 80, 8, 8, 8, 8, 8, 80, 8, 32]
    at = 256 + sum(w * count for w in widths[:field])
    width = widths[field]
    return [header[at + i * width:at + (i + 1) * width].decode("utf-8").strip() for i in range(count)]


def main():
    cli, samples, edited = (os.path.abspath(a) for a in sys.argv[1:4])
    with tempfile.TemporaryDirectory() as scratch:
        os.mkdir(os.path.join(scratch, "COND"))
        shutil.copy(edited, os.path.join(scratch, "COND", "QUILLON.INI"))
        shutil.copy(os.path.join(samples, "COND", "PATIENT.INF"), os.path.join(scratch, "COND"))
        # No label line: the labels stay those of the pattern.
        run = subprocess.run([cli, "convert", os.path.join(samples, "psg_night.csv"),
                              "--settings", "COND/QUILLON.INI", "--type", "psg", "--preset", "0",
                              "--delimiter", "comma", "--bias", "1", "--data-start-line", "1",
                              "--channels", "7", "--ad", "--rate", "200", "--pattern", "1",
                              "-o", "edited.edf"],
                             cwd=scratch, capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stderr)
            return 1
        with open(os.path.join(scratch, "edited.edf"), "rb") as f:
            header = f.read(256 * 9)
    count = int(header[252:256])
    labels = signal_fields(header, count, 0)
    physical_max = signal_fields(header, count, 4)
    prefilter = signal_fields(header, count, 7)
    per_record = signal_fields(header, count, 8)
    checks = [
        (count == 8, "7 signals and the annotations: %d" % count),
        (labels[0] == "EEG 1" and labels[2] == "EMG 3", "labels: %s" % labels),
        (per_record[0] == "100" and per_record[1] == "200", "samples per record: %s" % per_record),
        # 32767 x EU / VU: 20 / 409 in rows 3..5, 8 / 409 in row 6.
        (physical_max[2].startswith("1602.3") and physical_max[5].startswith("640.9"),
         "physical maxima: %s" % physical_max),
        (prefilter[0].startswith("HP:0.5Hz"), "prefiltering: %s" % prefilter[0]),
    ]
    failed = [text for ok, text in checks if not ok]
    for text in failed:
        print("FAIL:", text)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
