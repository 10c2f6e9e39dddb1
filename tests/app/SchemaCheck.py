#!/usr/bin/python3
"""Runs 'tavik JSON' over every shared data file and validates each document it writes against
schema/sounding.schema.json with python3-jsonschema (draft 2020-12, formats checked). Every file
whose ecCodes JSON names an upper-air template must give at least one document (the status is the
batch tests' business: a scan that stops after the template reports, yet writes).
Skips (status 77) without the shared folder or the validator.
    SchemaCheck.py TAVIK SCHEMA SHARED_DIR"""
import json
import pathlib
import subprocess
import sys
import tempfile

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is not installed: skipped")
    sys.exit(77)

tavik, schema_path, shared = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
files = sorted(p for d in ("fixtures", "realdata") for p in (shared / d).glob("*") if p.suffix in (".bufr", ".bin"))
if not files:
    print(f"no shared data files in {shared}: skipped")
    sys.exit(77)

schema = json.loads(schema_path.read_text(encoding="utf-8"))
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema, format_checker=jsonschema.Draft202012Validator.FORMAT_CHECKER)

failures = 0
documents = 0
for data in files:
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([tavik, "JSON", str(data), out], capture_output=True)
        written = sorted(pathlib.Path(out).glob("*.json"))
        beside = data.with_suffix(".json")
        ecc = json.loads(beside.read_text(encoding="utf-8")) if beside.exists() else {}
        listed = ecc.get("section3", {}).get("descriptors", [])
        expects_some = ecc.get("template") is not None or "309056" in listed or "309057" in listed
        if expects_some and not written:
            print(f"{data.name}: status {run.returncode}, {len(written)} document(s): {run.stdout!r}")
            failures += 1
        for doc in written:
            documents += 1
            errors = list(validator.iter_errors(json.loads(doc.read_text(encoding="utf-8"))))
            for e in errors[:5]:
                print(f"{data.name} -> {doc.name}: {'/'.join(map(str, e.absolute_path))}: {e.message}")
            failures += bool(errors)

print(f"{len(files)} files, {documents} documents validated, {failures} failure(s)")
sys.exit(1 if failures or documents == 0 else 0)
