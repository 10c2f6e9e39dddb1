#!/usr/bin/python3
"""The CSV of the 8000-level fixture opened by LibreOffice headless: 'tavik CSV' writes it, soffice
imports it (comma, double quote, UTF-8) and saves a flat OpenDocument sheet, and the sheet is read
back: 8001 rows (the header and one per level), the header cells as text, and in every level row
each non-empty cell of the numeric columns typed as a number (office:value-type "float") whose
value is the CSV's. Skips (status 77) without soffice or the shared folder.
    CsvSpreadsheetCheck.py TAVIK FIXTURE"""
import csv
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

tavik, fixture = sys.argv[1], pathlib.Path(sys.argv[2])
soffice = shutil.which("soffice")
if soffice is None:
    print("soffice (libreoffice-calc-nogui) is not installed: skipped")
    sys.exit(77)
if not fixture.exists():
    print(f"{fixture} is missing: skipped")
    sys.exit(77)

NS = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
      "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0"}
T = "{%s}" % NS["table"]
O = "{%s}" % NS["office"]

with tempfile.TemporaryDirectory() as work:
    work = pathlib.Path(work)
    subprocess.run([tavik, "CSV", str(fixture), str(work)], check=True)
    (source,) = work.glob("*.csv")
    subprocess.run([soffice, f"-env:UserInstallation={(work / 'profile').as_uri()}", "--headless",
                    "--infilter=CSV:44,34,76,1", "--convert-to", "fods", "--outdir", str(work), str(source)],
                   check=True, capture_output=True, timeout=300)
    with open(source, newline="", encoding="utf-8") as f:
        expected = list(csv.reader(f))
    sheet = ET.parse(source.with_suffix(".fods")).getroot().find(".//table:table", NS)

    rows = []
    for row in sheet.iter(T + "table-row"):
        cells = []
        for cell in row.iter(T + "table-cell"):
            repeat = int(cell.get(T + "number-columns-repeated", "1"))
            cells += [(cell.get(O + "value-type"), cell.get(O + "value"))] * min(repeat, 64)
        rows += [cells] * int(row.get(T + "number-rows-repeated", "1"))

    failures = []
    if len(rows) != 8001 or len(expected) != 8001:
        failures.append(f"{len(rows)} rows in the sheet, {len(expected)} in the CSV; 8001 expected")
    numeric = len(expected[0]) - 1  # every column but the flag names
    if any(kind != "string" for kind, _ in rows[0][:len(expected[0])]):
        failures.append("the header row is not text")
    numbers = 0
    for r, (cells, fields) in enumerate(zip(rows[1:], expected[1:]), start=2):
        for c in range(numeric):
            if fields[c] == "":
                continue
            kind, value = cells[c] if c < len(cells) else (None, None)
            if kind != "float" or abs(float(value) - float(fields[c])) > 1e-9 * max(1.0, abs(float(fields[c]))):
                failures.append(f"row {r} column {c + 1}: {kind} {value}, CSV {fields[c]}")
            numbers += 1
    for line in failures[:20]:
        print(line)
    print(f"{len(rows)} rows, {numbers} numeric cells checked, {len(failures)} failure(s)")
    sys.exit(1 if failures or numbers == 0 else 0)
