#!/usr/bin/env python3
"""Checks every line of a file against the JSON Schema of `halomark status --json`.

Usage: check_status_schema.py SCHEMA LINES_FILE
Prints each line that is not valid JSON or does not validate, with the reason, and exits 1 if any.
"""
import json
import sys

import jsonschema


def main():
    with open(sys.argv[1], encoding="utf-8") as schema_file:
        schema = json.load(schema_file)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    failures = 0
    checked = 0
    with open(sys.argv[2], encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            if not line.strip():
                continue
            checked += 1
            try:
                document = json.loads(line)
            except json.JSONDecodeError as error:
                print(f"line {number}: not JSON: {error}")
                failures += 1
                continue
            for error in validator.iter_errors(document):
                print(f"line {number}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
                failures += 1
    if checked == 0:
        print("no lines to check")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
