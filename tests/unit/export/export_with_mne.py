"""Prints how MNE, an independent EDF reader, sees an exported EDF+ file:
the start, one line per signal (name, rate, samples, unit), then every
annotation as onset and text. With a second file, also the largest
difference in microvolts between the two files' signals over the first
file's samples. Any warning is an error. Exit code 77: MNE is missing.

    /usr/bin/python3 export_with_mne.py FILE [OTHER]
"""
import sys
import warnings

try:
    import mne
    import numpy as np
except ImportError:
    print("python3-mne is not installed; skipped")
    sys.exit(77)


def read(path):
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        return mne.io.read_raw_edf(path, preload=True, verbose="warning")


def main():
    raw = read(sys.argv[1])
    print("start", raw.info["meas_date"].strftime("%Y-%m-%d %H:%M:%S"))
    units = getattr(raw, "_orig_units", {})
    for name in raw.ch_names:
        print("%s\t%g\t%d\t%s" % (name, raw.info["sfreq"], raw.n_times, units.get(name, "")))
    for a in raw.annotations:
        print("%.6f\t%s" % (a["onset"], a["description"]))
    if len(sys.argv) > 2:
        other = read(sys.argv[2])
        n = raw.n_times
        difference = np.abs(raw.get_data() - other.get_data()[:, :n]).max() * 1e6
        print("largest difference %.6f uV over %d samples" % (difference, n))


if __name__ == "__main__":
    main()
