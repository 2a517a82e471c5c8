"""Converts a small calibrated source with the PSG run and reads the EDF+
file with MNE, an independent reader: channel names, sampling rates,
length, start and physical values must match the source. Any warning from
the reader is an error. Exit code 77: MNE is not installed."""
import subprocess
import sys
import tempfile
import warnings
from datetime import datetime, timezone

try:
    import mne
    import numpy as np
except ImportError:
    print("python3-mne is not installed; skipped")
    sys.exit(77)


def source_values(rows):
    # The writer's columns, in microvolts.
    i = np.arange(rows)
    fp1 = ((i * 7) % 801 - 400) * 0.25
    chin = ((i * 13 + 100) % 801 - 400) * 0.25
    return fp1, chin


def read(path, **kwargs):
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        return mne.io.read_raw_edf(path, preload=True, verbose="warning", **kwargs)


def check(path):
    fp1, chin = source_values(12000)
    raw = read(path)
    assert raw.ch_names == ["EEG Fp1", "EMG Chin"], raw.ch_names
    assert raw.info["sfreq"] == 200, raw.info["sfreq"]
    assert raw.n_times == 12000, raw.n_times
    assert raw.info["meas_date"] == datetime(2023, 4, 5, 6, 7, 8, tzinfo=timezone.utc), \
        raw.info["meas_date"]
    # Quarter microvolts are exact in the file; MNE reads volts.
    np.testing.assert_allclose(raw.get_data(picks=["EEG Fp1"])[0], fp1 * 1e-6, rtol=0, atol=1e-12)

    # The half-rate channel alone, so that the reader does not resample it.
    emg = read(path, include=["EMG Chin"])
    assert emg.info["sfreq"] == 100, emg.info["sfreq"]
    assert emg.n_times == 6000, emg.n_times
    np.testing.assert_allclose(emg.get_data()[0], chin[::2] * 1e-6, rtol=0, atol=1e-12)

    texts = {a["description"] for a in raw.annotations if a["onset"] == 0}
    for expected in ["Record comment: night 1", "Hospital: Sleep Center",
                     "Comment 1: first night"]:
        assert expected in texts, (expected, texts)


def main():
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.argv[1], folder], check=True)
        check(folder + "/psg.edf")
    print("MNE", mne.__version__, "read the converted file as the source holds it")


if __name__ == "__main__":
    main()
