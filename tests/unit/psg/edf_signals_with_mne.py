"""Prints how MNE, an independent EDF reader, sees an EDF+ file: the start
as "start YYYY-MM-DD HH:MM:SS", then one line per signal with its name,
sampling rate and number of samples, separated by tabs. Each signal is read
alone so that the reader keeps its own rate. Any warning is an error.
Exit code 77: MNE is not installed.

    /usr/bin/python3 edf_signals_with_mne.py FILE
"""
import sys
import warnings

try:
    import mne
except ImportError:
    print("python3-mne is not installed; skipped")
    sys.exit(77)


def read(path, **kwargs):
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        return mne.io.read_raw_edf(path, preload=True, verbose="warning", **kwargs)


def main():
    path = sys.argv[1]
    raw = read(path)
    print("start", raw.info["meas_date"].strftime("%Y-%m-%d %H:%M:%S"))
    for name in raw.ch_names:
        signal = read(path, include=[name])
        print("%s\t%g\t%d" % (name, signal.info["sfreq"], signal.n_times))


if __name__ == "__main__":
    main()
