#!/usr/bin/python3
"""The workbook as a spreadsheet user gets it, read back by an independent reader (openpyxl).

Runs the built program as a user would: answer files in code page 1251, then --xlsx, --json and
--csv on the same input, under the Russian locale, and compares every cell of the workbook, its
type included, with what the other two exports say.

Usage: read_workbook.py VORLZUT
"""

import csv
import io
import json
import math
import os
import statistics
import subprocess
import sys
import tempfile
import unittest

import openpyxl
from openpyxl.utils import get_column_letter
from openpyxl.utils.escape import unescape

VORLZUT = ""
TEXT_HEADINGS = ["Файл", "Код", "Ф.И.О", "Дата", "Строка 4", "Строка 5", "Строка 6", "Строка 7"]
FIRST_DETAIL = 4
ANSWERS, SUMMARIES, SCALES = 32, 12, 24
FIRST_PERCENT = len(TEXT_HEADINGS) + ANSWERS  # 0-based column of summary1
COLUMNS = len(TEXT_HEADINGS) + ANSWERS + SUMMARIES + SCALES
SPREAD_TITLES = ["Показатель", "n", "Среднее", "Ст. откл.", "Минимум", "Максимум"]
STATISTICS_TITLES = ["ДИ 95 %: от", "ДИ 95 %: до", "rwg(j)"]
# The names of the results table: factors (II), base scales, the factor (III) cells, factors (I).
SUMMARY_NAMES = ["Инновация", "Адаптация", "Конкуренция", "Интеграция", "Поощрение", "Вовлечение",
                 "Согласие", "Коммуникация", "Мотивация", "Климат", "Развитие", "Взаимодействие"]
# A scale is named by its factor (II) and its base scale, a factor (III) cell by its factor (II)
# and "Мотивация" or "Климат".
SCALE_NAMES = (["%s / %s" % (SUMMARY_NAMES[f], SUMMARY_NAMES[4 + b])
                for f in range(4) for b in range(4)]
               + ["%s / %s" % (SUMMARY_NAMES[f], SUMMARY_NAMES[8 + c])
                  for f in range(4) for c in range(2)])
HEADINGS = TEXT_HEADINGS + ["Ответ %d" % (a + 1) for a in range(ANSWERS)] + SUMMARY_NAMES \
    + SCALE_NAMES


def answer_file(code, name, answers, date="12.03.2004", details=None):
    """The 53 lines of an answer file; totals at the matching point of the answers' range."""
    details = details or ["Отдел продаж", "Менеджер №2", "Стаж «5 лет»", "Высшее"]
    mean = sum(answers) / len(answers)
    totals = [round((8 if k < 8 else 16) * mean) for k in range(12)]
    lines = [date, code, name] + details + ["Ответы:"]
    lines += [str(a) for a in answers] + ["Итоги:"] + ["%3d итог" % t for t in totals]
    return "".join(line + "\r\n" for line in lines).encode("cp1251")


def program_environment():
    """The users' world: a Russian locale, whose C library writes "," as the decimal mark."""
    env = {k: v for k, v in os.environ.items()
           if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE", "DISPLAY", "QT_QPA_PLATFORM"))}
    env["LC_ALL"] = "ru_RU.UTF-8"
    return env


def run(*arguments):
    result = subprocess.run([VORLZUT, *arguments], capture_output=True, env=program_environment(),
                            timeout=300)
    if result.returncode != 0:
        raise AssertionError("vorlzut %s failed: %s" % (" ".join(arguments),
                                                          result.stderr.decode("utf-8", "replace")))
    return result.stdout


def csv_rows(path):
    return list(csv.reader(io.StringIO(run("--csv", path).decode("utf-8"), newline="")))


class WorkbookTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def write(self, relative, data):
        path = os.path.join(self.dir.name, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def workbook(self, path):
        out = os.path.join(self.dir.name, "Table.xlsx")
        self.assertEqual(run("--xlsx", out, path), b"")
        return openpyxl.load_workbook(out)

    # ---- cells

    def assertText(self, cell, expected):
        """A text cell showing exactly the text: no formula, no guard apostrophe. A spreadsheet
        reads the format's escapes _xHHHH_ in a cell, which openpyxl leaves to its caller."""
        if expected == "":
            self.assertIsNone(cell.value, cell.coordinate)
        else:
            self.assertEqual(cell.data_type, "s", cell.coordinate)
            self.assertEqual(unescape(cell.value), expected, cell.coordinate)
        self.assertEqual(cell.number_format, "@", cell.coordinate)

    def assertNumber(self, cell, expected, number_format):
        self.assertEqual(cell.data_type, "n", cell.coordinate)
        self.assertIsInstance(cell.value, (int, float), cell.coordinate)
        self.assertTrue(math.isclose(cell.value, expected, rel_tol=1e-14, abs_tol=1e-12),
                        "%s: %r != %r" % (cell.coordinate, cell.value, expected))
        self.assertEqual(cell.number_format, number_format, cell.coordinate)

    def assertMemberRow(self, sheet, row, csv_row, own_json):
        """One member's row against its CSV row and what --json says of its file alone."""
        cells = sheet[row]
        self.assertEqual(len(cells), COLUMNS)
        for column, value in enumerate(csv_row[:4]):
            self.assertText(cells[column], value)
        # Each details line in a column of its own, so a filter can pick a department.
        for line, value in enumerate(own_json["details"].split("\n")):
            self.assertText(cells[FIRST_DETAIL + line], value)
        self.assertText(cells[1], own_json["code"])
        self.assertText(cells[2], own_json["name"])
        numbers = own_json["answers"] + own_json["summary"] + own_json["scales"]
        self.assertEqual(len(csv_row[4:]), len(numbers))
        for i, (text, value) in enumerate(zip(csv_row[4:], numbers)):
            cell = cells[len(TEXT_HEADINGS) + i]
            self.assertEqual(float(text), value)
            if i < ANSWERS:
                self.assertIsInstance(cell.value, int, cell.coordinate)
                self.assertNumber(cell, value, "0")
            else:
                self.assertNumber(cell, value, "0.0")

    def assertHeader(self, sheet):
        """Headed as the window names the values; a long heading wraps between its words."""
        self.assertEqual([c.value for c in sheet[1]], HEADINGS)
        for cell in sheet[1]:
            self.assertEqual(cell.data_type, "s")
            self.assertTrue(cell.font.b, cell.coordinate)
            self.assertTrue(cell.alignment.wrap_text, cell.coordinate)
        self.assertEqual(sheet.freeze_panes, "A2")
        lines = sheet.row_dimensions[1].height / sheet.sheet_format.defaultRowHeight
        for column, heading in enumerate(HEADINGS, start=1):
            width = sheet.column_dimensions[get_column_letter(column)].width
            self.assertGreaterEqual(width, max(map(len, heading.split(" "))) + 2, heading)
            self.assertLessEqual(math.ceil((len(heading) + 2) / width), lines, heading)

    def assertColoured(self, sheet, rows):
        """Bold green above 60 and bold red below 40 on the percentages of the rows given."""
        first, last = get_column_letter(FIRST_PERCENT + 1), get_column_letter(COLUMNS)
        wanted = {("greaterThan", "60", "FF008000"), ("lessThan", "40", "FFFF0000")}
        found = {}
        for formatting in sheet.conditional_formatting:
            for rule in formatting.rules:
                key = (rule.operator, rule.formula[0], rule.dxf.font.color.rgb)
                self.assertTrue(rule.dxf.font.b)
                for cells in formatting.sqref.ranges:
                    found.setdefault(key, set()).update(
                        r for r in range(cells.min_row, cells.max_row + 1)
                        if cells.min_col == FIRST_PERCENT + 1 and cells.max_col == COLUMNS)
        self.assertEqual(set(found), wanted, "%s:%s" % (first, last))
        for key in wanted:
            self.assertEqual(found[key], set(rows), key)

    # ---- the workbooks

    def test_respondent_codes_and_formula_texts_stay_texts(self):
        path = self.write("r.txt", answer_file(
            "0007", "=1+2", [7] * 8 + [1] * 8 + [4] * 16,
            details=["+7 900 000", "-Смирнов", "@дом", "обычный"]))
        book = self.workbook(path)
        self.assertEqual(book.sheetnames, ["Результаты"])
        sheet = book["Результаты"]
        rows = csv_rows(path)
        own = json.loads(run("--json", path))
        self.assertHeader(sheet)
        self.assertEqual(sheet.max_row, 2)
        self.assertMemberRow(sheet, 2, rows[1], own)
        self.assertEqual(sheet["B2"].value, "0007")
        self.assertEqual(sheet["C2"].value, "=1+2")
        self.assertEqual([c.value for c in sheet[2][FIRST_DETAIL:8]],
                         ["+7 900 000", "-Смирнов", "@дом", "обычный"])
        self.assertEqual(sheet.auto_filter.ref, "A1:%s2" % get_column_letter(COLUMNS))
        self.assertColoured(sheet, [2])
        # Both colours occur, so the thresholds have something to show.
        percents = [c.value for c in sheet[2][FIRST_PERCENT:]]
        self.assertTrue(any(v > 60 for v in percents) and any(v < 40 for v in percents))

        version = run("--version").decode().strip()
        self.assertEqual(book.properties.title, "Таблица результатов 0007")
        self.assertIn(version, book.properties.creator)
        self.assertIn("VORL.ZUTan", book.properties.creator)

    def test_texts_the_xml_cannot_carry_come_back_whole(self):
        # A control character, a tab, texts that read like the format's escapes, and U+FFFF
        # from a file read as UTF-8.
        code, name = "a\x01b", "tab\there _x0041_ _x005F_"
        details = ["\x1b[2J", "_X00e9_", "\uffff", "x_x12_"]
        lines = ["12.03.2004", code, name] + details + ["Ответы:"] + ["4"] * 32 + ["Итоги:"]
        lines += ["%3d итог" % (32 if k < 8 else 64) for k in range(12)]
        path = self.write("c.txt", "".join(line + "\r\n" for line in lines).encode("utf-8"))
        book = self.workbook(path)
        sheet = book["Результаты"]
        own = json.loads(run("--json", path))
        self.assertEqual((own["code"], own["name"]), (code, name))
        self.assertMemberRow(sheet, 2, csv_rows(path)[1], own)
        self.assertEqual(book.properties.title, "Таблица результатов a\ufffdb")

    def test_group_rows_statistics_and_spread(self):
        members = [("a.txt", "0503", "-Смирнов Иван", [5] * 32),
                   ("B.txt", "@1", "+Петрова", [2, 6] * 16),
                   ("c.txt", "", "Волкова", [7] * 16 + [3] * 16)]
        for file, code, name, answers in members:
            self.write("group/" + file, answer_file(code, name, answers))
        folder = os.path.join(self.dir.name, "group")
        book = self.workbook(folder)
        self.assertEqual(book.sheetnames, ["Результаты", "Разброс"])
        sheet = book["Результаты"]
        rows = csv_rows(folder)
        self.assertEqual(len(rows), 1 + 3 + 4)
        self.assertEqual(sheet.max_row, len(rows))
        self.assertHeader(sheet)
        for m, (file, code, _, _) in enumerate(members):
            own = json.loads(run("--json", os.path.join(folder, file)))
            self.assertMemberRow(sheet, 2 + m, rows[1 + m], own)
        self.assertEqual(sheet["B2"].value, "0503")
        self.assertEqual(sheet["C2"].value, "-Смирнов Иван")

        for s, name in enumerate(["mean", "sd", "min", "max"]):
            row, cells = rows[4 + s], sheet[5 + s]
            self.assertEqual(row[0], name)
            self.assertEqual(cells[0].value, name)
            self.assertTrue(all(c.value is None for c in cells[1:len(TEXT_HEADINGS)]))
            for i, text in enumerate(row[4:]):
                self.assertNumber(cells[len(TEXT_HEADINGS) + i], float(text),
                                  "0.00" if i < ANSWERS else "0.0")
        # The group's mean profile is the mean row.
        group = json.loads(run("--json", folder))
        for i, value in enumerate(group["summary"] + group["scales"]):
            self.assertTrue(math.isclose(sheet[5][FIRST_PERCENT + i].value, value,
                                         rel_tol=1e-12))
        # The filter sorts the members only; the sd is no level and keeps its black.
        self.assertEqual(sheet.auto_filter.ref, "A1:%s4" % get_column_letter(COLUMNS))
        self.assertColoured(sheet, [2, 3, 4, 5, 7, 8])

        # The spread of each summary value and scale over the member rows, computed here on
        # its own; the interval and the agreement as --json gives them (checked against R).
        spread = book["Разброс"]
        self.assertEqual([c.value for c in spread[1]], SPREAD_TITLES + STATISTICS_TITLES)
        self.assertEqual(spread.max_row, 1 + SUMMARIES + SCALES)
        figures = group["spread"]["summary"] + group["spread"]["scales"]
        agreement = group["agreement"]["blocks"] + [None] * 8 + group["agreement"]["scales"]
        for i in range(SUMMARIES + SCALES):
            cells = spread[2 + i]
            self.assertText(cells[0], (SUMMARY_NAMES + SCALE_NAMES)[i])
            values = [sheet[2 + m][FIRST_PERCENT + i].value for m in range(len(members))]
            self.assertNumber(cells[1], len(values), "0")
            expected = [statistics.mean(values), statistics.stdev(values), min(values),
                        max(values)] + figures[i]["ci95"]
            for s, value in enumerate(expected):
                self.assertNumber(cells[2 + s], value, "0.0")
            if agreement[i] is None:
                self.assertIsNone(cells[8].value)
            else:
                self.assertNumber(cells[8], agreement[i], "0.00")
        self.assertEqual(book.properties.title, "Таблица результатов 0000")


if __name__ == "__main__":
    VORLZUT = sys.argv.pop(1)
    unittest.main(verbosity=2)
