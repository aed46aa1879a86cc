"""An exported EDF+ file read by MNE-Python, compared with its recording.

usage: python3 edf_mne_check.py RECORDING.vxa EXPORTED.edf
       python3 edf_mne_check.py --run VEXA-REC WORK-DIR [EXAMPLE.vxa]
         writes test recordings into WORK-DIR (and copies the format's worked
         example there), exports each with `VEXA-REC export FILE --edf OUT`
         and checks every one

The recording is read here on its own (Windows-1251 text, the header's
lines, tab-separated rows), the EDF+ file by MNE. Checked: the start date
and time, the labels and units, every sample within half a quantisation
step of its row's value (sample k is row k; sample 0 and the rows' missing
values are "no value", the digital minimum), the marks' annotation onsets
within 1 ms of their rows' times with their texts (a text EDFlib had to cut
is the run of annotations at one onset), and the description and the
environment values as annotations at time 0. Exits 1 with the differences.
"""
import datetime
import sys
import warnings

import numpy as np
import mne
from mne.io.edf.edf import _read_header

TITLES = {"V02t (l/min)": ("V02t (l/min)", "l/min"), "Ves(l/min)": ("Ves(l/min)", "l/min"),
          "02 (%)": ("02 (%)", "%"), "T (\u00b0C)": ("T (degC)", "degC"), "V (l)": ("V (l)", "l"),
          "F (1/min)": ("F (1/min)", "1/min"), "M (l/min)": ("M (l/min)", "l/min")}
ENVIRONMENT = ["Data-AtmPressure", "Data-BodyMass", "Data-TempEnviroment", "Data-Humidity"]


def read_recording(path):
    with open(path, "rb") as f:
        lines = f.read().decode("cp1251").split("\r\n")
    header, i = {}, 0
    while not lines[i].startswith("Data-Table:"):
        key, _, value = lines[i].partition(":")
        header[key] = value[1:] if value.startswith(" ") else value
        i += 1
    columns = [c for c in header["Column-Header"].split("\t") if c][:-1]
    rows, marks = [], {}
    for k, line in enumerate(lines[i + 1:-1], start=1):
        fields = line.split("\t")
        values = []
        for c in range(len(columns)):
            try:
                values.append(float(fields[c]))
            except (IndexError, ValueError):
                values.append(None)
        rows.append(values)
        mark = "\t".join(fields[len(columns):]) if len(fields) > len(columns) else ""
        if mark:
            marks[k] = mark
    return header, columns, rows, marks


def main(vxa, edf):
    problems = []
    header, columns, rows, marks = read_recording(vxa)
    interval = float(header["Sample-Interval"])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        raw = mne.io.read_raw_edf(edf, preload=True, verbose="error")
        info, units = _read_header(edf, (), False)

    start = datetime.datetime.strptime(header["Started-Record"], "%d.%m.%Y %H:%M:%S")
    if raw.info["meas_date"] != start.replace(tzinfo=datetime.timezone.utc):
        problems.append(f"start {raw.info['meas_date']} instead of {start}")
    expected = [TITLES[c] for c in columns]
    if raw.ch_names != [label for label, _ in expected]:
        problems.append(f"labels {raw.ch_names}")
    if [units[label] for label, _ in expected if label in units] != [unit for _, unit in expected]:
        problems.append(f"units {units}")
    if abs(raw.info["sfreq"] - 1 / interval) > 1e-9:
        problems.append(f"sampling rate {raw.info['sfreq']} instead of {1 / interval}")

    data = raw.get_data()
    physical_min = info["physical_min"] if "physical_min" in info else None
    steps = (info["physical_max"] - info["physical_min"]) / (info["digital_max"] - info["digital_min"])
    if data.shape[1] < len(rows) + 1:
        problems.append(f"{data.shape[1]} samples for {len(rows)} rows")
    else:
        for c in range(len(columns)):
            want = np.array([np.nan] + [r[c] if r[c] is not None else np.nan for r in rows] +
                            [np.nan] * (data.shape[1] - len(rows) - 1))
            null = np.isnan(want)
            off = np.abs(data[c][~null] - want[~null]) > steps[c] / 2 + 1e-12
            if off.any():
                k = int(np.flatnonzero(~null)[np.flatnonzero(off)[0]])
                problems.append(f"{columns[c]} sample {k}: {data[c][k]} instead of {want[k]}")
            if np.abs(data[c][null] - physical_min[c]).max(initial=0) > 1e-9:
                problems.append(f"{columns[c]}: a missing value does not read as the physical minimum")

    # Annotations: the pieces of one text (100 us apart) joined; time 0 apart.
    joined = []
    for onset, text in zip(raw.annotations.onset, raw.annotations.description):
        if joined and onset - joined[-1][0] < 0.001:
            joined[-1][1].append(text)
        else:
            joined.append((onset, [text]))
    at_zero = [t for onset, texts in joined if onset < 0.001 for t in texts]
    description = header["Description"].strip()
    want_zero = ([f"Description: {description}"] if description else []) + [
        f"{key}: {float(header[key]):.1f}" for key in ENVIRONMENT]
    if "".join(at_zero) != "".join(want_zero):
        problems.append(f"annotations at 0: {at_zero} instead of {want_zero}")
    found = {round(onset / interval): (onset, "".join(texts)) for onset, texts in joined if onset >= 0.001}
    if len(found) != len(marks):
        problems.append(f"{len(found)} marks instead of {len(marks)}")
    for k, mark in marks.items():
        onset, text = found.get(k, (None, None))
        if onset is None or abs(onset - k * interval) > 0.001 or text != mark:
            problems.append(f"row {k}: mark {mark!r} at {k * interval} s read as {text!r} at {onset}")

    for p in problems:
        print("edf_mne_check:", p)
    print(f"edf_mne_check: {edf}: {len(rows)} rows, {len(columns)} signals, {len(marks)} marks, "
          f"{'differs' if problems else 'as recorded'} (MNE {mne.__version__})")
    return 1 if problems else 0


def recording(interval, columns, rows, description="", environment=(760.0, 80.0, 20.0, 75.0),
              started="08.12.2026 14:23:05"):
    """A recording file's bytes as a session writes them; rows are lists of
    field texts, the mark (if any) last."""
    lines = ["Format-Version: 2", "Device-Name: Airo-510\t Flown-710",
             f"Channels-Count: {len(columns)}", f"Started-Record: {started}",
             f"Stopped-Record: {started}", f"Sample-Interval: {interval}",
             "Description: " + description.ljust(81) + " ", f"Data-Count: {len(rows):6d}",
             "Column-Header:\t" + "".join(c + "\t" for c in columns) + "Marks",
             "Data-Color: " + "".join("255\t" for _ in columns)]
    lines += [f"{key}: {value:.1f}" for key, value in zip(ENVIRONMENT, environment)]
    lines.append("Data-Table:")
    for row in rows:
        values, mark = row[:len(columns)], "".join(row[len(columns):])
        lines.append("".join(v + "\t" for v in values) + mark if len(values) == len(columns)
                     else "\t".join(values))
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")


def cases():
    long_mark = "после нагрузки: восстановление дыхания, 5 минут!!"  # 50 characters
    rows = []
    for k in range(1, 1201):
        v, f, m = 0.4 + (k % 7) / 10, 12 + k % 9, 6 + (k % 40) / 10
        t = 36.6 if k % 3 else 36.7  # a narrow range: the decimals must hold
        row = [f"{v:.1f}", f"{f:.1f}", f"{m:.1f}", f"{t:.1f}"]
        row.append({2: "start", 10: "нагрузка", 11: long_mark, 500: "a: b", 1200: "end"}.get(k, ""))
        rows.append(row)
    rows[20] = ["0.5", "13.0"]               # a row a crash cut short: M and T missing
    rows[21][1] = "x"                         # a value that is no number
    yield "breathing-0.5s.vxa", recording(0.5, ["V (l)", "F (1/min)", "M (l/min)", "T (\u00b0C)"], rows,
                                          description="Проба с нагрузкой, испытуемый 7",
                                          environment=(745.5, 72.3, 21.4, 40.0))
    flat = [["12.5", "0.0", "mark" if k == 3 else ""] for k in range(1, 8)]
    yield "flat-0.3s.vxa", recording(0.3, ["F (1/min)", "02 (%)"], flat)
    slow = [[f"{1 + k / 10:.1f}", ""] for k in range(1, 40)]
    slow[4][1] = "пятая"
    yield "slow-7.3s.vxa", recording(7.3, ["V02t (l/min)"], slow)


def run(vexa_rec, work, example=None):
    import os
    import shutil
    import subprocess
    os.makedirs(work, exist_ok=True)
    names = []
    for name, data in cases():
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)
        names.append(name)
    if example:
        shutil.copy(example, os.path.join(work, "example.vxa"))
        names.append("example.vxa")
    status = 0
    for name in names:
        vxa = os.path.join(work, name)
        edf = vxa[:-4] + ".edf"
        done = subprocess.run([vexa_rec, "export", vxa, "--edf", edf], capture_output=True, text=True)
        if done.returncode != 0:
            print(f"edf_mne_check: vexa-rec export {name}: status {done.returncode}: {done.stderr}")
            status = 1
            continue
        status |= main(vxa, edf)
    return status


if __name__ == "__main__":
    if sys.argv[1] == "--run":
        sys.exit(run(*sys.argv[2:5]))
    sys.exit(main(sys.argv[1], sys.argv[2]))
