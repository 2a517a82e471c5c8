#!/usr/bin/env python3
"""Converts the sources the convert pages converted under Wine with
quillon-cli and the same settings, and compares the files byte for byte: the
EEG wave data files and their .REF files (on the volume and user-named) and
the PSG EDF+ file, which MNE must also read.

    compare_with_cli.py QUILLON_CLI SAMPLES_FOLDER ARTIFACT_PREFIX VOLUME_FOLDER
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import warnings


def convert(cli, scratch, arguments):
    run = subprocess.run([cli, "convert"] + arguments + ["--settings", "COND/QUILLON.INI",
                                                         "--preset", "0", "--delimiter", "comma",
                                                         "--pattern", "1"],
                         cwd=scratch, capture_output=True, text=True)
    if run.returncode != 0:
        print(run.stdout, run.stderr)
    return run.returncode == 0


def same(ours, theirs, what):
    with open(ours, "rb") as a, open(theirs, "rb") as b:
        equal = a.read() == b.read()
    print("%s: %s" % ("PASS" if equal else "FAIL", what))
    return equal


def reads_in_mne(path):
    """The window's EDF+ file as an independent reader sees it: 7 signals of
    30 s at 200 Hz, and not a single warning."""
    try:
        import mne
    except ImportError:
        print("python3-mne is not installed; the EDF+ read is skipped")
        return True
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        raw = mne.io.read_raw_edf(path, preload=True, verbose="warning")
    ok = len(raw.ch_names) == 7 and raw.info["sfreq"] == 200 and raw.n_times == 6000
    print("%s: MNE reads %d signals, %d samples at %g Hz" %
          ("PASS" if ok else "FAIL", len(raw.ch_names), raw.n_times, raw.info["sfreq"]))
    return ok


def main():
    cli, samples, prefix, volume = (os.path.abspath(a) for a in sys.argv[1:5])
    ok = True
    with tempfile.TemporaryDirectory() as scratch:
        os.mkdir(os.path.join(scratch, "COND"))
        for name in ("QUILLON.INI", "PATIENT.INF"):
            shutil.copy(os.path.join(samples, "COND", name), os.path.join(scratch, "COND"))
        os.mkdir(os.path.join(scratch, "volume"))
        ok &= convert(cli, scratch, [prefix + "-eeg-source.csv", "--type", "eeg32", "--bias", "0",
                                     "--data-start-line", "0", "--channels", "32", "--ad",
                                     "--rate", "500", "--volume", "volume",
                                     "--create-disk-id", "QTEST01"])
        for name in ("88000001.DAT", "88000001.REF"):
            ok &= same(os.path.join(volume, "DAT", name),
                       os.path.join(scratch, "volume", "DAT", name), "EEG " + name)
        # The user-named file was the third run: file number 3 in its header.
        settings = os.path.join(scratch, "COND", "QUILLON.INI")
        with open(settings, "rb") as f:
            text = f.read()
        with open(settings, "wb") as f:
            f.write(re.sub(rb"EEGFileNo=\d+", b"EEGFileNo=3", text))
        ok &= convert(cli, scratch, [prefix + "-eeg-source.csv", "--type", "eeg32", "--bias", "0",
                                     "--data-start-line", "0", "--channels", "32", "--ad",
                                     "--rate", "500", "-o", "named.dat"])
        for suffix in (".dat", ".REF"):
            ok &= same(prefix + "-named" + suffix, os.path.join(scratch, "named" + suffix),
                       "user-named EEG " + suffix)
        ok &= convert(cli, scratch, [os.path.join(samples, "psg_night.csv"), "--type", "psg",
                                     "--bias", "1", "--data-start-line", "1", "--channels", "7",
                                     "--calibrated", "--rate", "200", "--frame-time", "5",
                                     "--comment", "night test", "-o", "night.edf"])
        ok &= same(prefix + "-psg.edf", os.path.join(scratch, "night.edf"), "PSG EDF+")
    ok &= reads_in_mne(prefix + "-psg.edf")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
