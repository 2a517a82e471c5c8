#!/usr/bin/env python3
"""quillon-cli preview: the SVG of a sample source and of the file converted
from it parse as XML and hold one trace per channel with the pattern's labels.

usage: svg_traces_test.py CLI SAMPLES"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"
EEG_LABELS = ["Fp1", "Fp2", "F3", "F4", "C3", "C4", "O1", "O2"]
PSG_LABELS = ["C3-A2", "LOC-A2", "Chin", "ECG", "Airflow", "Thorax", "SpO2"]


def run(cli, *args):
    result = subprocess.run([cli] + list(args), capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("quillon-cli %s failed (%d): %s" % (args[0], result.returncode, result.stderr))


def groups(path, kind):
    root = ElementTree.parse(path).getroot()
    assert root.tag == SVG + "svg", root.tag
    return [g for g in root.iter(SVG + "g") if g.get("class") == kind]


def check_traces(path, labels, label_ends=False):
    traces = groups(path, "trace")
    found = [g.get("data-label") for g in traces]
    ok = len(found) == len(labels) and all(
        f.endswith(l) if label_ends else f == l for f, l in zip(found, labels))
    assert ok, "%s: traces %s, expected %s" % (path, found, labels)
    for g in traces:
        assert g.find(SVG + "path") is not None, "%s: trace %s draws nothing" % (path, g.get("data-label"))
    ticks = [t.text for g in groups(path, "time-axis") for t in g.iter(SVG + "text")]
    assert "0 s" in ticks and "1 s" in ticks, "%s: time axis %s" % (path, ticks)


def main():
    cli, samples = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp()
    try:
        settings = ["--settings", os.path.join(samples, "COND", "QUILLON.INI")]
        out = lambda name: os.path.join(work, name)
        eeg = os.path.join(samples, "eeg_comma_time.csv")
        layout = settings + ["--preset", "1", "--rate", "200"]
        run(cli, "convert", eeg, *layout, "-o", out("eeg.DAT"))
        run(cli, "preview", eeg, *layout, "--seconds", "2", "-o", out("eeg_source.svg"))
        run(cli, "preview", out("eeg.DAT"), "--seconds", "2", "-o", out("eeg_file.svg"))
        check_traces(out("eeg_source.svg"), EEG_LABELS)
        check_traces(out("eeg_file.svg"), EEG_LABELS)
        # The title and label lines are the head: no frame, so no mark either.
        marks = [l for g in groups(out("eeg_source.svg"), "non-data") for l in g]
        assert len(marks) == 0, "eeg_source.svg: %d non-data marks" % len(marks)

        psg = os.path.join(samples, "psg_night.csv")
        layout = settings + ["--preset", "4", "--rate", "200", "--type", "psg"]
        run(cli, "convert", psg, *layout, "-o", out("psg.edf"))
        run(cli, "preview", psg, *layout, "-o", out("psg_source.svg"))
        run(cli, "preview", out("psg.edf"), "-o", out("psg_file.svg"))
        check_traces(out("psg_source.svg"), PSG_LABELS)
        # The EDF+ label carries the signal type before the pattern's label.
        check_traces(out("psg_file.svg"), PSG_LABELS, label_ends=True)
    finally:
        shutil.rmtree(work)
    print("preview SVGs: 4 pictures parsed, traces and labels as the patterns say")


if __name__ == "__main__":
    main()
