#!/usr/bin/env python3
"""Two EDF+ files hold the same recording: every header field alike but the
annotation signals' samples per record, every ordinary sample alike, and
the same annotations record by record, onsets compared as numbers. EDFlib
versions differ in the annotation space of a record and in how many
decimals an onset is written with ("+0.0001" and "+0.000100").

usage: edf_same_content.py A.edf B.edf"""
import sys
from decimal import Decimal


def annotations(chunk):
    """(onset, duration, texts) of each TAL in an annotation signal's bytes."""
    tals = []
    for tal in chunk.split(b"\0"):
        if not tal:
            continue
        time, *texts = tal.split(b"\x14")
        onset, _, duration = time.partition(b"\x15")
        tals.append((Decimal(onset.decode()), duration, texts))
    return tals


def parse(path):
    data = open(path, "rb").read()
    ns = int(data[252:256])
    widths = [16, 80, 8, 8, 8, 8, 8, 80, 8, 32]
    fields, at = [], 256
    for w in widths:
        fields.append([data[at + s * w:at + (s + 1) * w] for s in range(ns)])
        at += w * ns
    labels, samples = fields[0], [int(n) for n in fields[8]]
    annotation = [label.strip() == b"EDF Annotations" for label in labels]
    records = int(data[236:244])
    size = sum(samples) * 2
    if len(data) != 256 * (ns + 1) + records * size:
        sys.exit(f"{path}: {len(data)} bytes, not the {records} records its header gives")
    body = []
    for r in range(records):
        at, signals = 256 * (ns + 1) + r * size, []
        for s in range(ns):
            chunk = data[at:at + samples[s] * 2]
            signals.append(annotations(chunk) if annotation[s] else chunk)
            at += samples[s] * 2
        body.append(signals)
    head = [f for i, f in enumerate(fields) if i != 8]
    ordinary = [n for n, a in zip(samples, annotation) if not a]
    return data[:256], head, ordinary, annotation, body


a, b = parse(sys.argv[1]), parse(sys.argv[2])
names = ["the first 256 header bytes", "the signal headers", "the ordinary signals' samples per record",
         "which signals are annotations", "the data records"]
for name, x, y in zip(names, a, b):
    if x != y:
        sys.exit(f"{sys.argv[1]} and {sys.argv[2]} differ in {name}")
