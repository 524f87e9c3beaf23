#!/usr/bin/python3
"""The statistics of --json and --json --by against R's, computed by R from the answer files.

Usage: check_statistics.py VORLZUT GEN_ANSWERS REFERENCE_R
Exits 77 (skipped) when Rscript is not installed.
"""

import csv
import io
import json
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile
import unittest

VORLZUT = GEN_ANSWERS = REFERENCE_R = ""
SKIPPED = 77
KEYS = ["summary.%d" % (i + 1) for i in range(12)] + ["scales.%d" % (i + 1) for i in range(24)]


def run(*arguments):
    env = dict(os.environ, LC_ALL="ru_RU.UTF-8")
    result = subprocess.run(arguments, capture_output=True, env=env, timeout=600)
    if result.returncode != 0:
        raise AssertionError("%s failed: %s" % (arguments[0], result.stderr.decode(errors="replace")))
    return result.stdout


def answer_file(department, answers):
    """An answer file of these answers, its totals those of the answers' blocks."""
    blocks = [sum(answers[8 * b:8 * b + 8]) for b in range(4)]
    base = [sum(answers[8 * b + k] + answers[8 * b + k + 4] for b in range(4)) for k in range(4)]
    totals = blocks + base + [blocks[0] + blocks[1], blocks[2] + blocks[3],
                              blocks[0] + blocks[2], blocks[1] + blocks[3]]
    lines = ["01.02.2025", "1", "Иванов", department, "", "", "", "Ответы:"]
    lines += [str(a) for a in answers] + ["Итоги:"] + ["%3d итог" % t for t in totals]
    return "".join(line + "\r\n" for line in lines).encode("cp1251")


def shown_rows(files, minimum):
    """The row each file is counted in: its line 4, or "Прочие" for the pooled small ones; and
    its line 4 itself, the distinct subgroup."""
    texts = {}
    for path in files:
        with open(path, "rb") as f:
            texts[path] = " ".join(f.read().decode("cp1251").split("\r\n")[3].split())
    sizes = {}
    for text in texts.values():
        sizes[text] = sizes.get(text, 0) + 1
    pool = sum(n for n in sizes.values() if n < minimum)
    assert pool == 0 or pool >= minimum, "a folder whose small subgroups need a large one"
    return ({p: (t if sizes[t] >= minimum else "Прочие") for p, t in texts.items()},
            {p: t.casefold() for p, t in texts.items()})


def close(ours, theirs):
    if theirs is None or ours is None:
        return ours is None and theirs is None
    return math.isclose(ours, theirs, rel_tol=1e-6, abs_tol=1e-12)


def rounded(ours, theirs, step):
    """ours is theirs as published: rounded to a step of this size (halves either way)."""
    if theirs is None or ours is None:
        return ours is None and theirs is None
    return abs(ours - theirs) <= step / 2 * (1 + 1e-6) + 1e-12


def significant_step(p):
    """The step of p written to two significant digits."""
    return 10 ** (math.floor(math.log10(p)) - 1) if p and p > 0 else 1e-300


class Folder:
    """A folder, the program's figures of it and R's."""

    def __init__(self, root, name, minimum, write):
        self.path = os.path.join(root, name)
        write(self.path)
        files = sorted(os.path.join(self.path, f) for f in os.listdir(self.path))
        self.rows, subgroups = shown_rows(files, minimum)
        labels = os.path.join(root, name + ".csv")
        with open(labels, "w", encoding="utf-8", newline="") as f:
            out = csv.writer(f)
            out.writerow(["path", "row", "subgroup"])
            out.writerows((p, r, subgroups[p]) for p, r in self.rows.items())
        figures = os.path.join(root, name + ".tsv")
        run("Rscript", REFERENCE_R, labels, figures)
        self.r = {}
        with open(figures, encoding="utf-8") as f:
            for line in f:
                key, value = line.rstrip("\n").split("\t")
                self.r[key] = None if value == "NA" else float(value)
        self.group = json.loads(run(VORLZUT, "--json", self.path))
        # Every shown row tested and every significant one marked, as R tests them.
        by = ["--by", "4", "--min-size", str(minimum), "--min-spread", str(minimum),
              "--min-diff", "0", self.path]
        self.split = json.loads(run(VORLZUT, "--json", *by))
        self.csv = list(csv.DictReader(io.StringIO(run(VORLZUT, "--csv", *by).decode())))
        self.default_split = json.loads(
            run(VORLZUT, "--json", "--by", "4", "--min-size", str(minimum), self.path))


def generated(count, seed):
    return lambda path: run(GEN_ANSWERS, str(count), path, str(seed))


def departments(path):
    """Three departments far apart on the first block, alike on the rest."""
    rng = random.Random(5)
    os.makedirs(path)
    for d, (name, size, level) in enumerate([("Продажи", 9, 6), ("Склад", 7, 2), ("Офис", 5, 4)]):
        for m in range(size):
            answers = [min(7, max(1, level + rng.choice([-1, 0, 1]))) for _ in range(8)]
            answers += [rng.randint(1, 7) for _ in range(24)]
            with open(os.path.join(path, "%s%02d.txt" % ("abc"[d], m)), "wb") as f:
                f.write(answer_file(name, answers))


def departments_and_one(path):
    """The departments and a department of one, whose tests are undefined and not counted."""
    departments(path)
    with open(os.path.join(path, "z.txt"), "wb") as f:
        f.write(answer_file("Охрана", [3] * 32))


def alike(count):
    """Files with the same answers, in two departments."""
    def write(path):
        os.makedirs(path)
        for m in range(count):
            with open(os.path.join(path, "m%d.txt" % m), "wb") as f:
                f.write(answer_file("Отдел %d" % (m % 2), [4, 5, 3, 6] * 8))
    return write


class StatisticsAgainstR(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        cls.folders = [
            Folder(cls.dir, "generated60", 1, generated(60, 3)),
            Folder(cls.dir, "pooled", 7, generated(45, 11)),
            Folder(cls.dir, "departments", 3, departments),
            Folder(cls.dir, "lone", 1, departments_and_one),
            Folder(cls.dir, "alike", 1, alike(4)),
            Folder(cls.dir, "one", 1, alike(1)),
            # The t quantile's hardest cases, one and two degrees of freedom.
            Folder(cls.dir, "two", 1, generated(2, 5)),
            Folder(cls.dir, "three", 1, generated(3, 9)),
        ]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def check(self, folder, what, ours, key):
        self.assertTrue(close(ours, folder.r.get(key, "missing")),
                        "%s %s: %s %r, R %r" % (folder.path, what, key, ours, folder.r.get(key)))

    def test_spread_and_confidence_interval(self):
        for folder in self.folders:
            spread = folder.group["spread"]
            for i, key in enumerate(KEYS):
                kind, index = key.split(".")
                s = spread[kind][int(index) - 1]
                self.assertEqual(s["n"], len(folder.rows))
                for figure in ("mean", "sd", "min", "max"):
                    self.check(folder, "spread", s[figure], "spread.%s.%s" % (key, figure))
                ci = s["ci95"] or [None, None]
                self.check(folder, "ci95", ci[0], "spread.%s.lo" % key)
                self.check(folder, "ci95", ci[1], "spread.%s.hi" % key)

    def test_agreement(self):
        for folder in self.folders:
            for kind, count in (("scales", 24), ("blocks", 4)):
                figures = folder.group["agreement"][kind]
                self.assertEqual(len(figures), count)
                for i, value in enumerate(figures):
                    self.check(folder, "rwg(j)", value, "agreement.%s.%d" % (kind, i + 1))

    def test_icc(self):
        """Over every distinct subgroup, published with two decimals."""
        for folder in self.folders:
            for statistic in ("icc1", "icc2"):
                for key in KEYS:
                    kind, index = key.split(".")
                    ours = folder.split[statistic][kind][int(index) - 1]
                    theirs = folder.r.get("%s.%s" % (statistic, key))
                    self.assertTrue(rounded(ours, theirs, 0.01),
                                    "%s %s.%s: %r, R %r" % (folder.path, statistic, key, ours, theirs))
                    self.assertEqual(folder.default_split[statistic][kind][int(index) - 1], ours)

    def test_welch_and_benjamini_hochberg(self):
        marked = 0
        for folder in self.folders:
            rows = folder.split["subgroups"]
            self.assertNotIn("p", rows[0])
            self.assertEqual(sorted(r["name"] for r in rows[1:]), sorted(set(folder.rows.values())))
            for row, line in zip(rows[1:], folder.csv[1:]):
                for key in KEYS:
                    kind, index = key.split(".")
                    p = row["p"][kind][int(index) - 1]
                    significant = row["significant"][kind][int(index) - 1]
                    theirs = folder.r.get("p.%s.%s" % (row["name"], key))
                    self.assertTrue(rounded(p, theirs, significant_step(theirs)),
                                    "%s p.%s.%s: %r, R %r" % (folder.path, row["name"], key, p, theirs))
                    self.check(folder, "significant", float(significant),
                               "significant.%s.%s" % (row["name"], key))
                    marked += significant
                    # The CSV's columns say the same.
                    column = "summary" if kind == "summary" else "scale"
                    text = line["p_%s%s" % (column, index)]
                    self.assertEqual(float(text) if text else None, p)
                    self.assertEqual(line["significant_%s%s" % (column, index)],
                                     "1" if significant else "0")
        self.assertGreater(marked, 0)

    def test_no_spread_or_test_below_the_spread_minimum(self):
        """By default a subgroup of fewer than 8 files has no p and no marks."""
        hidden = 0
        for folder in self.folders:
            for row in folder.default_split["subgroups"][1:]:
                if row["count"] < 8:
                    hidden += 1
                    self.assertFalse(row["spreadShown"])
                    for kind in ("summary", "scales"):
                        self.assertEqual(set(row["p"][kind]), {None}, row["name"])
                        self.assertEqual(set(row["significant"][kind]), {None}, row["name"])
        self.assertGreater(hidden, 0)

    def test_comparison_with_a_group(self):
        """--json --compare: a group against a group gets Welch's p and the marks after
        Benjamini-Hochberg over its 36 values, a respondent their mid-rank percentile in it."""
        marked = 0
        for profile, reference in ((2, 0), (4, 0), (5, 1), (4, 4)):
            profile, reference = self.folders[profile], self.folders[reference]
            listed = os.path.join(self.dir, "compared.csv")
            with open(listed, "w", encoding="utf-8", newline="") as f:
                csv.writer(f).writerows([["path"]] + [[p] for p in sorted(profile.rows)])
            respondent = sorted(profile.rows)[0]
            figures = os.path.join(self.dir, "compared.tsv")
            run("Rscript", REFERENCE_R, reference.path + ".csv", figures, listed, respondent)
            with open(figures, encoding="utf-8") as f:
                r = dict(line.rstrip("\n").split("\t") for line in f)
            # Groups of any size tested, every significant difference marked, as R does.
            every = ["--min-spread", "1", "--min-diff", "0"]
            group = json.loads(run(VORLZUT, "--json", *every, "--compare", reference.path,
                                   profile.path))
            person = json.loads(run(VORLZUT, "--json", *every, "--compare", reference.path,
                                    respondent))
            self.assertNotIn("percentile", group)
            self.assertNotIn("p", person)
            for key in KEYS:
                kind, index = key.split(".")
                for ours, name in ((group["p"], "compare.p"),
                                   (group["significant"], "compare.significant"),
                                   (person["percentile"], "percentile")):
                    value = ours[kind][int(index) - 1]
                    theirs = None if r[name + "." + key] == "NA" else float(r[name + "." + key])
                    self.assertTrue(close(None if value is None else float(value), theirs),
                                    "%s against %s: %s.%s %r, R %r"
                                    % (profile.path, reference.path, name, key, value, theirs))
                marked += group["significant"][kind][int(index) - 1]
        self.assertGreater(marked, 0)


if __name__ == "__main__":
    if shutil.which("Rscript") is None:
        print("Rscript is not installed: the statistics are not checked against R")
        sys.exit(SKIPPED)
    VORLZUT, GEN_ANSWERS, REFERENCE_R = sys.argv[1:4]
    del sys.argv[1:4]
    unittest.main(verbosity=2)
