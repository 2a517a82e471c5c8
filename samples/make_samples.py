#!/usr/bin/env python3
"""Writes the bundled sample sources and the sample settings in samples/.

The files are committed; run this again only to change them. Everything is
deterministic. Japanese text is written as code page 932 bytes from escapes
so that this script stays plain ASCII."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def cp932(escaped_utf8):
    """Turns a Python escape string (unicode escapes) into cp932 bytes."""
    return escaped_utf8.encode("cp932")


def wave(channel, n, rate, amplitude):
    """A mixture of an alpha-like and a slow component, per channel."""
    t = n / rate
    alpha = math.sin(2 * math.pi * (8 + channel * 0.5) * t + channel)
    slow = math.sin(2 * math.pi * (0.7 + channel * 0.1) * t)
    return amplitude * (0.8 * alpha + 0.3 * slow)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def clock(seconds):
    h = int(seconds // 3600)
    m = int(seconds // 60) % 60
    return "%02d:%02d:%06.3f" % (h, m, seconds % 60)


def comma_with_time():
    rate, lines = 200, 2400
    labels = ["Fp1", "Fp2", "F3", "F4", "C3", "C4", "O1", "O2"]
    out = ["Sample recording, 8 channels, 200 Hz, A/D values", "Time," + ",".join(labels)]
    for n in range(lines):
        values = [str(int(round(wave(c, n, rate, 1500)))) for c in range(len(labels))]
        out.append(clock(n / rate) + "," + ",".join(values))
    write("eeg_comma_time.csv", ("\r\n".join(out) + "\r\n").encode("ascii"))


def blank_separated():
    rate, lines = 100, 1000
    out = ["Fp1 Fp2 O1 O2"]
    for n in range(lines):
        out.append(" ".join("%6d" % int(round(wave(c, n, rate, 900))) for c in range(4)))
    write("eeg_blank.txt", ("\n".join(out) + "\n").encode("ascii"))


def tab_separated():
    rate, lines = 250, 1500
    labels = ["F7", "F8", "T3", "T4", "T5", "T6"]
    out = ["No\t" + "\t".join(labels)]
    for n in range(lines):
        values = [str(int(round(wave(c, n, rate, 1200)))) for c in range(len(labels))]
        out.append(str(n + 1) + "\t" + "\t".join(values))
    write("eeg_tab.txt", ("\r\n".join(out) + "\r\n").encode("ascii"))


def calibrated():
    rate, lines = 500, 2500
    labels = ["Fp1", "Fp2", "C3", "C4", "O1", "O2", "EOG", "ECG"]
    out = ["Seconds," + ",".join(labels)]
    for n in range(lines):
        values = ["%.2f" % wave(c, n, rate, 60.0) for c in range(len(labels))]
        out.append("%.3f," % (n / rate) + ",".join(values))
    write("eeg_calibrated.csv", ("\r\n".join(out) + "\r\n").encode("ascii"))


def japanese_labels():
    rate, lines = 200, 600
    # Time, left frontal, right frontal, left central, right central.
    label_line = cp932("\u6642\u523b,\u524d\u982d\u5de6,\u524d\u982d\u53f3,"
                       "\u4e2d\u5fc3\u5de6,\u4e2d\u5fc3\u53f3")
    body = []
    for n in range(lines):
        values = [str(int(round(wave(c, n, rate, 1000)))) for c in range(4)]
        body.append("%.3f," % (n / rate) + ",".join(values))
    write("eeg_japanese_labels.csv",
          label_line + b"\r\n" + ("\r\n".join(body) + "\r\n").encode("ascii"))


def psg_night():
    """Half a minute of a night recording, calibrated: an EEG, an EOG and a
    chin EMG in microvolts, an ECG in millivolts, airflow and thoracic
    effort in microvolts and the oxygen saturation in percent."""
    rate, lines = 200, 6000
    labels = ["C3-A2", "LOC-A2", "Chin", "ECG", "Airflow", "Thorax", "SpO2"]
    out = ["Sample," + ",".join(labels)]
    for n in range(lines):
        t = n / rate
        eeg = 30 * math.sin(2 * math.pi * 10 * t) + 15 * math.sin(2 * math.pi * 5 * t + 1)
        eog = 80 * math.sin(2 * math.pi * 0.3 * t)
        emg = 12 * math.sin(2 * math.pi * 37 * t) * math.sin(2 * math.pi * 61 * t + 2)
        beat = (t * 1.1) % 1.0
        ecg = 1.2 * math.exp(-((beat - 0.5) / 0.02) ** 2) - 0.1 * math.sin(2 * math.pi * beat)
        flow = 200 * math.sin(2 * math.pi * 0.25 * t)
        effort = 150 * math.sin(2 * math.pi * 0.25 * t - 0.6)
        spo2 = 97 + 0.5 * math.sin(2 * math.pi * t / 20)
        out.append("%d,%.1f,%.1f,%.1f,%.3f,%.1f,%.1f,%.1f"
                   % (n, eeg, eog, emg, ecg, flow, effort, spo2))
    write("psg_night.csv", ("\r\n".join(out) + "\r\n").encode("ascii"))


ELECTRODES = ["Fp1", "Fp2", "F3", "F4", "C3", "C4", "P3", "P4", "O1", "O2", "F7", "F8",
              "T3", "T4", "T5", "T6", "Fz", "Cz", "Pz", "A1", "A2", "E"]


def electrode(name):
    return ELECTRODES.index(name)


def row_list(values):
    return "".join("%d," % v for v in values)


def settings():
    lines = [
        "; Sample settings of Quillon and quillon-cli (code page 932).",
        "[SYSTEM]", "MaxCh=32", "FrameTime=1", "OrgFileType=1", "CopyFileType=2",
        "EEGFileNo=1", "DelimitChar=0", "PolarityCopy=0", "CopyPrivateFile=0", "CopyDrive=4",
        "ElectrodeType=2", "NotchFreq=1", "OrgDataMag=1", "SaveEnable=1", "",
    ]
    presets = [
        # label, delimiter, calibrated, bias, label line, data start line
        ("Comma, time column (A/D)", 0, 0, 1, 1, 2),
        ("Blank separated (A/D)", 1, 0, 0, 0, 1),
        ("Tab separated, line number (A/D)", 1, 0, 1, 0, 1),
        ("Comma, seconds, calibrated uV", 0, 1, 1, 0, 1),
        ("Comma, Japanese labels (A/D)", 0, 0, 1, 0, 1),
    ]
    for i, (label, delimiter, calibrated_values, bias, label_line, data_line) in enumerate(presets):
        lines += ["[ORGCOND%d]" % i, "Enable=1", "DelimitChar=%d" % delimiter,
                  "OrgCalDataType=%d" % calibrated_values, "DataLineBias=%d" % bias,
                  "ChStartLine=%d" % label_line, "DataStartLine=%d" % data_line,
                  "Label=%s" % label, ""]
    lines += ["[MONT2]"] + ["%d=%s" % (i, name) for i, name in enumerate(ELECTRODES)]
    lines += ["%d=--" % i for i in range(len(ELECTRODES), 64)] + [""]
    # Pattern 1: referential 10-20 traces following the pattern-wide settings.
    g1 = [electrode(e) for e in ["Fp1", "Fp2", "F3", "F4", "C3", "C4", "O1", "O2",
                                 "F7", "F8", "T3", "T4"]]
    g2 = [electrode("A1") if i % 2 == 0 else electrode("A2") for i in range(len(g1))]
    n = len(g1)
    lines += ["[EEGPattern1]", "PATTERN=Referential 10-20", "Ref=1", "ACCSens=6", "ACCLff=4",
              "ACCHff=3", "ACCCal=5", "Notch=1", "Rapid=0",
              "SOURCE=" + row_list([1] * n), "G1=" + row_list(g1), "G2=" + row_list(g2),
              "RECIN=" + row_list(range(n)), "SENS=" + row_list([20] * n),
              "LFF=" + row_list([20] * n), "HFF=" + row_list([20] * n),
              "CAL=" + row_list([20] * n), "SHOW=" + row_list([1] * n),
              "COLOR=" + row_list([1 + i % 16 for i in range(n)]),
              "WIDTH=" + row_list([10] * n), ""]
    # Pattern 2: six EEG traces, an EOG and an ECG trace with their own settings.
    kinds = [1, 1, 1, 1, 1, 1, 3, 4]
    lines += ["[EEGPattern2]", "PATTERN=EEG with EOG and ECG", "Ref=0", "ACCSens=6",
              "ACCLff=4", "ACCHff=3", "ACCCal=5", "Notch=0", "Rapid=0",
              "SOURCE=" + row_list(kinds),
              "G1=" + row_list([electrode(e) for e in ["Fp1", "Fp2", "C3", "C4", "O1", "O2",
                                                        "E", "E"]]),
              "G2=" + row_list([electrode("A1")] * 6 + [electrode("E")] * 2),
              "RECIN=" + row_list(range(8)), "SENS=" + row_list([6] * 6 + [11, 13]),
              "LFF=" + row_list([4] * 6 + [1, 5]), "HFF=" + row_list([3] * 8),
              "CAL=" + row_list([5] * 6 + [5, 9]), "SHOW=" + row_list([1] * 8),
              "COLOR=" + row_list([1, 1, 2, 2, 3, 3, 5, 6]), "WIDTH=" + row_list([10] * 8), ""]
    lines += psg_pattern()
    text = "\r\n".join(lines).encode("ascii")
    write(os.path.join("COND", "QUILLON.INI"), text)


def psg_pattern():
    """Pattern 1 for PSG output, one row per channel of psg_night.csv. EU
    and VU give the physical value of VU A/D counts; Sens is stored in
    hundredths, LFF in thousandths of a hertz, HFF in hertz; the rate
    column divides the source rate."""
    rows = [
        # label, unit, type, rate divisor, EU, VU, Sens, LFF, HFF
        ("C3-A2", "uV", 4, 1, 50, 409, 5000, 300, 35),
        ("LOC-A2", "uV", 5, 1, 50, 409, 5000, 300, 35),
        ("Chin", "uV", 6, 1, 50, 409, 2000, 10000, 100),
        ("ECG", "mV", 7, 1, 1, 4000, 100, 300, 70),
        ("Airflow", "uV", 9, 4, 50, 409, 10000, 100, 15),
        ("Thorax", "uV", 10, 10, 50, 409, 10000, 100, 15),
        ("SpO2", "%", 11, 50, 100, 1000, 100, 0, 0),
    ]
    lines = ["[PSGPattern1]", "PATTERN=PSG night"]
    lines += ["ChLabel%d=%s" % (i + 1, row[0]) for i, row in enumerate(rows)]
    lines += ["ChUnit%d=%s" % (i + 1, row[1]) for i, row in enumerate(rows)]
    columns = ["Signal", "Rate", "EU", "VU", "Sens", "LFF", "HFF"]
    lines += ["ChEnable=" + row_list([1] * len(rows))]
    lines += ["%s=%s" % (key, row_list(row[2 + i] for row in rows))
              for i, key in enumerate(columns)]
    lines += ["MAG=" + row_list([1] * len(rows)), ""]
    return lines


def patient():
    lines = [
        b"[PATIENT]", b"ID=000-0123",
        b"Name1=" + cp932("\u5c71\u7530 \u82b1\u5b50"),         # family and given name
        b"Name2=" + cp932("\u3084\u307e\u3060 \u306f\u306a\u3053"),  # the same in kana
        b"Sex=F", b"Year=1980", b"Month=4", b"Day=12", b"AgeYear=44", b"AgeMonth=0",
        b"Height=1620", b"Weight=55000",
        b"Departmemt=Neurology", b"Hospital=Sleep Center", b"",
    ]
    write(os.path.join("COND", "PATIENT.INF"), b"\r\n".join(lines))


if __name__ == "__main__":
    comma_with_time()
    blank_separated()
    tab_separated()
    calibrated()
    japanese_labels()
    psg_night()
    settings()
    patient()
