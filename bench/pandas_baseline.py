"""The baseline of bench/eeg_convert.sh: read a CSV source with a time column
and a label line, and write frames of an event word and one big-endian
int16 sample per channel, scaled as a 10 uV sensitivity scales calibrated
values.

    /usr/bin/python3 bench/pandas_baseline.py SOURCE OUTPUT ad|cal
"""
import sys

import numpy as np
import pandas as pd


def main():
    source, output, kind = sys.argv[1], sys.argv[2], sys.argv[3]
    table = pd.read_csv(source, header=0)
    values = table.iloc[:, 1:].to_numpy()
    if kind == "ad":
        samples = values.astype(np.int64).astype(np.int16)
    else:
        scaled = np.trunc(values.astype(np.float64) * 409.6 / 50.0)
        samples = np.clip(scaled, -32767, 32767).astype(np.int16)
    frames = np.zeros((samples.shape[0], samples.shape[1] + 1), dtype=">i2")
    frames[:, 1:] = samples
    with open(output, "wb") as f:
        f.write(frames.tobytes())


if __name__ == "__main__":
    main()
