#!/usr/bin/python3
"""Reads a spreadsheet back with an independent reader and prints it as JSON.

An .xlsx file through openpyxl: every sheet with its name, frozen cell,
filter range, column widths and cells ({"type": "number" | "date" | "text" |
"bool", "value", "format"}, by coordinate; dates as ISO texts). A .csv file
through Python's csv module, read as "utf-8-sig": its records as lists of
fields."""
import csv
import datetime
import json
import sys


def read_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheets = []
    for sheet in book.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                value = cell.value
                if value is None:
                    continue
                if isinstance(value, bool):
                    kind = "bool"
                elif isinstance(value, (int, float)):
                    kind = "number"
                elif isinstance(value, (datetime.datetime, datetime.date)):
                    kind = "date"
                    value = value.isoformat()
                else:
                    kind = "text"
                cells[cell.coordinate] = {"type": kind, "value": value,
                                          "format": cell.number_format}
        sheets.append({
            "name": sheet.title,
            "freeze": sheet.freeze_panes,
            "filter": sheet.auto_filter.ref,
            "widths": {k: d.width for k, d in sheet.column_dimensions.items()},
            "cells": cells,
        })
    return {"sheets": sheets}


def read_csv(path):
    with open(path, newline="", encoding="utf-8-sig") as f:
        return {"records": list(csv.reader(f, strict=True))}


def main():
    path = sys.argv[1]
    result = read_xlsx(path) if path.lower().endswith(".xlsx") else read_csv(path)
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
