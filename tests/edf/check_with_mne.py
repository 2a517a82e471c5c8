"""Reads the EDF+ files Ostrel wrote with MNE, an independent reader, and
checks names, rates, length, start, physical values and annotations. Any
warning from the reader is an error. Exit code 77: MNE is not installed."""
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


def digital(rows, column, step=1):
    i = np.arange(0, rows, step)
    return (i * 37 + column * 1000) % 20001 - 10000


def read(path, **kwargs):
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        return mne.io.read_raw_edf(path, preload=True, verbose="warning", **kwargs)


def check_psg(path):
    raw = read(path)
    assert raw.ch_names == ["EEG Fp1", "EMG Chin", "Resp Ch3"], raw.ch_names
    assert raw.info["sfreq"] == 200, raw.info["sfreq"]
    assert raw.n_times == 60 * 200, raw.n_times
    assert raw.info["meas_date"] == datetime(2023, 4, 5, 6, 7, 8, tzinfo=timezone.utc), \
        raw.info["meas_date"]
    assert raw.info["highpass"] == 0.3 and raw.info["lowpass"] == 35, \
        (raw.info["highpass"], raw.info["lowpass"])

    data = raw.get_data()
    # Physical = digital x EU / VU; uV is read as volts.
    np.testing.assert_allclose(data[0], digital(12000, 0) * 50 / 409 * 1e-6, rtol=1e-5)
    np.testing.assert_allclose(data[1], digital(12000, 1) * 100 / 1000 * 1e-6, rtol=1e-5)

    # The 100 Hz channel alone, so the reader does not resample it.
    resp = read(path, include=["Resp Ch3"])
    assert resp.info["sfreq"] == 100, resp.info["sfreq"]
    np.testing.assert_allclose(resp.get_data()[0], digital(12000, 2, step=2), rtol=1e-5)

    texts = {a["description"] for a in raw.annotations if a["onset"] == 0}
    for expected in ["Record comment: night 1", "Name: 山田太郎", "Name (kana): かな",
                     "Hospital: Sleep Center", "Technician: Sato",
                     "Comment 1: first night", "Signal 3 label: 呼吸",
                     "Height: 160.0 cm", "Weight: 60.000 kg", "Age: 25Y00M"]:
        assert expected in texts, (expected, texts)
    assert len(raw.annotations) == 10, raw.annotations


def check_mixed_filters(path):
    # Filters per channel type, one channel without any: still no warning.
    raw = read(path)
    assert raw.ch_names == ["EEG Fp1", "EMG Chin", "Resp Ch3"], raw.ch_names
    assert raw.n_times == 60 * 200, raw.n_times


def check_uneven(path):
    # Each channel alone, so the reader does not resample either.
    fp1 = read(path, include=["EEG Fp1"])
    assert fp1.info["sfreq"] == 250, fp1.info["sfreq"]
    assert fp1.n_times == 60 * 250, fp1.n_times
    # Without CAL the physical values are the counts, unitless.
    np.testing.assert_allclose(fp1.get_data()[0], digital(15000, 0), rtol=1e-5)
    resp = read(path, include=["Resp"])
    assert resp.info["sfreq"] == 62.5, resp.info["sfreq"]
    np.testing.assert_allclose(resp.get_data()[0], digital(15000, 2, step=4), rtol=1e-5)
    texts = {a["description"] for a in fp1.annotations if a["onset"] == 0}
    assert "Signal 1 (EEG Fp1): physical values are the stored A/D counts because CAL is 0; " \
           "unit as typed: uV" in texts, texts


def main():
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.argv[1], folder], check=True)
        check_psg(folder + "/psg.edf")
        check_mixed_filters(folder + "/mixed.edf")
        check_uneven(folder + "/uneven.edf")
    print("MNE", mne.__version__, "read the three files as written")


if __name__ == "__main__":
    main()
