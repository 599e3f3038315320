#!/usr/bin/env python3
# derive_adif_counts.py - counts of accepted records in the real ADIF sample
# files for a few band and mode choices, worked out here independently of
# the program: a regular-expression tag reader (each <NAME:LEN[:TYPE]> takes
# LEN bytes; <EOR> ends a record; a file not starting with '<' skips to
# <EOH>) for .adi, Python's ElementTree for .adx, and the acceptance rules
# written out again. Run once; the reader test holds the printed numbers.
import re
import sys
import xml.etree.ElementTree as ET
from decimal import Decimal, ROUND_HALF_EVEN

BANDS = [("2190M", 135700, 137800), ("630M", 472000, 479000), ("560M", 501000, 504000),
         ("160M", 1800000, 2000000), ("80M", 3500000, 4000000), ("60M", 5102000, 5406500),
         ("40M", 7000000, 7300000), ("30M", 10100000, 10150000), ("20M", 14000000, 14350000),
         ("17M", 18068000, 18168000), ("15M", 21000000, 21450000), ("12M", 24890000, 24990000),
         ("10M", 28000000, 29700000)]


def band_of(freq):
    hz = int((Decimal(freq) * 1000000).quantize(Decimal(1), rounding=ROUND_HALF_EVEN))
    for name, lo, hi in BANDS:
        if lo <= hz <= hi:
            return name
    return "0M"


def accept(rec, band_filter, mode_filter):
    band, freq, mode = rec.get("BAND", ""), rec.get("FREQ", ""), rec.get("MODE", "")
    if not band and freq and re.fullmatch(r"\d*\.?\d*", freq) and re.search(r"\d", freq):
        band = band_of(freq)
    if band and band != band_filter:
        return False
    if mode_filter == "Any" or not mode:
        return True
    if mode_filter == "Digi":
        return mode.startswith(("JT", "FT", "RTTY", "WSQ")) or "PSK" in mode
    if mode_filter == "JT9":
        return mode.startswith("JT9")
    return mode == mode_filter


def adi_records(data):
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    pos = len(data) - len(data.lstrip(b"\r\n"))
    if data[pos:pos + 1] != b"<":
        m = re.search(rb"<eoh>", data, re.I)
        if not m:
            return
        pos = m.end()
    tag = re.compile(rb"<([A-Za-z0-9_]+)(?::(\d+)(?::[A-Za-z0-9_]*)?)?>")
    rec = {}
    while True:
        m = tag.search(data, pos)
        if not m:
            return
        name = m.group(1).upper().decode()
        pos = m.end()
        if m.group(2) is not None:
            n = int(m.group(2))
            value = data[pos:pos + n]
            pos += len(value)
            if name in ("CALL", "BAND", "FREQ", "MODE"):
                rec[name] = value.decode("latin-1").upper()
        elif name == "EOR":
            yield rec
            rec = {}
        elif name == "EOH":
            rec = {}


def adx_records(path):
    root = ET.parse(path).getroot()
    for records in root.iter():
        if records.tag.upper() != "RECORDS":
            continue
        for r in records:
            if r.tag.upper() != "RECORD":
                continue
            rec = {}
            for f in r:
                if f.tag.upper() in ("CALL", "BAND", "FREQ", "MODE"):
                    rec[f.tag.upper()] = "".join(f.itertext()).upper()
            yield rec


FILTERS = [("0M", "Any"), ("20M", "Any"), ("40M", "Any"), ("20M", "Digi"), ("40M", "JT9"),
           ("630M", "Any"), ("2190M", "JT9"), ("2190M", "Any"), ("160M", "Digi"),
           ("80M", "JT9-1"), ("630M", "JT9-2")]
folder = sys.argv[1] if len(sys.argv) > 1 else "../../../../shared/testdata/peers/adif"
for name in ["ADIF_316_test_QSOs_2025_08_27.adi", "Log4OM.adi", "lotwreport.adi",
             "wsjtx_log.adi", "goodfile.txt", "goodfile.adx"]:
    path = folder + "/" + name
    recs = list(adx_records(path) if name.endswith(".adx") else adi_records(open(path, "rb").read()))
    counts = [sum(accept(r, b, m) for r in recs) for b, m in FILTERS]
    print(name, len(recs), " ".join(f"{b}/{m}={c}" for (b, m), c in zip(FILTERS, counts)))
# The accepted calls of a few small selections, in file order.
for name, b, m in [("ADIF_316_test_QSOs_2025_08_27.adi", "2190M", "JT9"),
                   ("ADIF_316_test_QSOs_2025_08_27.adi", "40M", "JT9"),
                   ("goodfile.txt", "630M", "Any"), ("wsjtx_log.adi", "40M", "Any")]:
    recs = adi_records(open(folder + "/" + name, "rb").read())
    print(name, b, m, [r.get("CALL", "") for r in recs if accept(r, b, m)])
