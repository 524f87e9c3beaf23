#!/usr/bin/env bash
# Benchmark figures: a group load of generated answer files through vorlzut against cat
# reading the same files, the peak memory of a group run against a one-file run, and the
# Google Benchmark figures of the scoring core, the load commands, the diagram panel and the
# chart, the JPEG writer against cjpeg, the PDF report and the batch reports.
#
# Usage: tools/bench.sh BUILD_DIR   (the build must be configured with -DVORL_BUILD_BENCH=ON)
# VORL_BENCH_FILES (default 10000) and VORL_BENCH_REPS (default 9) change the group size and
# the number of timed runs of each command.
set -euo pipefail

build=${1:?usage: tools/bench.sh BUILD_DIR}
bin="$build/bin"
files=${VORL_BENCH_FILES:-10000}
reps=${VORL_BENCH_REPS:-9}

for tool in vorlzut gen_answers runstat bench_scoring bench_window bench_diagram bench_charts \
    bench_jpeg bench_report; do
    if [ ! -x "$bin/$tool" ]; then
        echo "bench.sh: $bin/$tool is missing; build with -DVORL_BUILD_BENCH=ON" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vorl-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$bin/gen_answers" "$files" "$work/group"
"$bin/gen_answers" 1 "$work/one"
one=$(echo "$work"/one/*.txt)

# Both runs must succeed and the group must count every file, or the figures mean nothing.
"$bin/runstat" -o "$work/group.json" "$bin/vorlzut" --json "$work/group" >/dev/null
if ! grep -q "\"count\": *$files[,}]" "$work/group.json"; then
    echo "bench.sh: vorlzut did not read all $files files" >&2
    exit 1
fi
"$bin/runstat" -o "$work/one.json" "$bin/vorlzut" --json "$one" >/dev/null

# The reference: one shell that lists the folder and one cat that reads every file.
cat_group=(sh -c 'cd "$1" && exec cat -- *.txt' sh "$work/group")

# Warm the page cache and the dynamic loader's files before timing.
for _ in 1 2; do
    "$bin/runstat" "${cat_group[@]}" >/dev/null
    "$bin/runstat" "$bin/vorlzut" --json "$work/group" >/dev/null
    "$bin/runstat" "$bin/vorlzut" --json "$one" >/dev/null
done

# Each line of these files: wall ms, user ms, sys ms, max RSS in KB. The commands take turns
# so that a slow moment of the machine does not fall on one of them only.
: >"$work/cat.txt"
: >"$work/group.txt"
: >"$work/one.txt"
for ((i = 0; i < reps; ++i)); do
    "$bin/runstat" "${cat_group[@]}" >>"$work/cat.txt"
    "$bin/runstat" "$bin/vorlzut" --json "$work/group" >>"$work/group.txt"
    "$bin/runstat" "$bin/vorlzut" --json "$one" >>"$work/one.txt"
done

# column N of FILE: median and minimum
stats() {
    sort -n -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c }
        END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1] }'
}
maxrss() { sort -n -k4,4 "$1" | tail -1 | awk '{ print $4 }'; }

read -r cat_med cat_min < <(stats "$work/cat.txt" 1)
read -r grp_med grp_min < <(stats "$work/group.txt" 1)
read -r grp_user _ < <(stats "$work/group.txt" 2)
read -r grp_sys _ < <(stats "$work/group.txt" 3)
read -r one_med one_min < <(stats "$work/one.txt" 1)
grp_rss=$(maxrss "$work/group.txt")
one_rss=$(maxrss "$work/one.txt")
bytes=$(cat "$work"/group/*.txt | wc -c)

echo
echo "== Group load of $files generated answer files ($((bytes / 1024)) KB), warm cache, $reps runs each =="
awk -v cm="$cat_med" -v cb="$cat_min" -v gm="$grp_med" -v gb="$grp_min" -v gu="$grp_user" \
    -v gs="$grp_sys" -v om="$one_med" -v ob="$one_min" 'BEGIN {
    printf "  %-34s median %8.1f ms   best %8.1f ms\n", "cat of every file (sh + cat *.txt)", cm, cb
    printf "  %-34s median %8.1f ms   best %8.1f ms   (user %.1f ms, sys %.1f ms)\n", \
        "vorlzut --json FOLDER", gm, gb, gu, gs
    printf "  %-34s median %8.1f ms   best %8.1f ms   (start-up and one file)\n", \
        "vorlzut --json FILE", om, ob
    printf "  %-34s median %8.2f      best %8.2f      (target: at most 2)\n", \
        "ratio vorlzut / cat", gm / cm, gb / cb
}'

echo
echo "== Peak memory (max RSS) =="
awk -v g="$grp_rss" -v o="$one_rss" -v n="$files" 'BEGIN {
    printf "  %-34s %8.1f MB\n", "vorlzut --json FILE", o / 1024
    printf "  %-34s %8.1f MB\n", "vorlzut --json FOLDER (" n " files)", g / 1024
    printf "  %-34s %8.1f MB   (target: within a few MB)\n", "difference", (g - o) / 1024
}'

# The table of individual results against the JSON export of the same folder, taking turns.
"$bin/vorlzut" --csv "$work/group" >"$work/group.csv"
if [ "$(wc -l <"$work/group.csv")" -ne $((files + 5)) ]; then
    echo "bench.sh: vorlzut --csv did not write a row for each of the $files files" >&2
    exit 1
fi
: >"$work/csv.txt"
: >"$work/json.txt"
: >"$work/xlsx.txt"
for ((i = 0; i < reps; ++i)); do
    "$bin/runstat" "$bin/vorlzut" --csv "$work/group" >>"$work/csv.txt"
    "$bin/runstat" "$bin/vorlzut" --json "$work/group" >>"$work/json.txt"
    "$bin/runstat" "$bin/vorlzut" --xlsx "$work/group.xlsx" "$work/group" >>"$work/xlsx.txt"
done
read -r csv_med csv_min < <(stats "$work/csv.txt" 1)
read -r json_med json_min < <(stats "$work/json.txt" 1)
read -r xlsx_med xlsx_min < <(stats "$work/xlsx.txt" 1)
echo
echo "== Table of individual results: --csv and --xlsx against --json, $files files, $reps runs each =="
awk -v cm="$csv_med" -v cb="$csv_min" -v jm="$json_med" -v jb="$json_min" \
    -v xm="$xlsx_med" -v xb="$xlsx_min" -v cr="$(maxrss "$work/csv.txt")" \
    -v xr="$(maxrss "$work/xlsx.txt")" -v xs="$(wc -c <"$work/group.xlsx")" 'BEGIN {
    printf "  %-34s median %8.1f ms   best %8.1f ms   (max RSS %.1f MB)\n", "vorlzut --csv FOLDER", cm, cb, cr / 1024
    printf "  %-34s median %8.1f ms   best %8.1f ms\n", "vorlzut --json FOLDER", jm, jb
    printf "  %-34s median %8.2f      best %8.2f      (target: at most 1.3)\n", "ratio csv / json", cm / jm, cb / jb
    printf "  %-34s median %8.1f ms   best %8.1f ms   (max RSS %.1f MB, file %.1f MB)\n", "vorlzut --xlsx OUT FOLDER", xm, xb, xr / 1024, xs / 1048576
    printf "  %-34s median %8.2f      best %8.2f\n", "ratio xlsx / csv", xm / cm, xb / cb
}'

echo
echo "== Scoring core (Google Benchmark) =="
"$bin/bench_scoring" 2>&1

echo
echo "== Load commands through the main window (Google Benchmark) =="
"$bin/bench_window" 2>&1

echo
echo "== Diagram panel: ShowResults(4), all three views and the labels (Google Benchmark) =="
"$bin/bench_diagram" "$(dirname "$0")/../samples/petrova.txt" 2>&1

echo
echo "== Chart: a full frame of view A at 416 x 294, and a repaint from the cached picture (Google Benchmark) =="
"$bin/bench_charts" 2>&1

echo
echo "== JPEG writer of the picture saves against cjpeg, same pixels =="
"$bin/bench_jpeg" "$work/jpeg" 2>/dev/null

echo
echo "== PDF report of one respondent: the whole document, its size and pages (Google Benchmark) =="
"$bin/bench_report" "$(dirname "$0")/../samples/petrova.txt" 2>&1

# Batch reports: 200 respondents, each its own input, twelve files each.
batch_n=${VORL_BENCH_BATCH:-200}
"$bin/gen_answers" "$batch_n" "$work/batch" >/dev/null
"$bin/vorlzut" --batch "$work/batch-warm" "$one" >/dev/null
"$bin/runstat" "$bin/vorlzut" --batch "$work/batch-out" "$work"/batch/*.txt >"$work/batch.txt" \
    2>/dev/null
written=$(find "$work/batch-out" -type f | wc -l)
echo
echo "== vorlzut --batch over $batch_n respondents ($written files written) =="
awk -v n="$batch_n" '{ printf "  %-34s %8.1f ms   %8.2f ms per respondent\n", "whole run", $1, $1 / n }' \
    "$work/batch.txt"

# The worst headers the reader accepts: six header lines of 256 KiB without a blank (date, name
# and the four details; the code stays short so the file names do), and a name line of that
# kind, each through the batch against a common answer file, taking turns.
"$bin/gen_answers" --huge 134567 "$work/huge-header.txt"
"$bin/gen_answers" --huge 3 "$work/huge-name.txt"
: >"$work/batch-common.txt"
: >"$work/batch-huge-header.txt"
: >"$work/batch-huge-name.txt"
for ((i = 0; i < reps; ++i)); do
    "$bin/runstat" "$bin/vorlzut" --batch "$work/huge-out/common" "$one" \
        >>"$work/batch-common.txt"
    for input in huge-header huge-name; do
        "$bin/runstat" "$bin/vorlzut" --batch "$work/huge-out/$input" "$work/$input.txt" \
            >>"$work/batch-$input.txt"
    done
done
if [ "$(find "$work/huge-out" -type f | wc -l)" -ne 36 ]; then
    echo "bench.sh: vorlzut --batch did not write the files of all three inputs" >&2
    exit 1
fi
echo
echo "== vorlzut --batch of one input: huge header lines against a common file, $reps runs each =="
for input in common huge-header huge-name; do
    read -r med best < <(stats "$work/batch-$input.txt" 1)
    read -r user _ < <(stats "$work/batch-$input.txt" 2)
    awk -v n="$input" -v m="$med" -v b="$best" -v u="$user" -v r="$(maxrss "$work/batch-$input.txt")" \
        'BEGIN { printf "  %-34s median %8.1f ms   best %8.1f ms   (user %.1f ms, max RSS %.1f MB)\n", \
            n, m, b, u, r / 1024 }'
done
echo "  (target: at most about a second for any input within the limits)"
