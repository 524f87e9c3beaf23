#!/usr/bin/env bash
# Benchmark figures: a group load of generated answer files through vorlzut against cat
# reading the same files, the peak memory of a group run against a one-file run, the breakdown
# by a details line against the group load, the trend of ten waves against their ten group
# loads, and the Google Benchmark figures of the scoring core, the load commands, the diagram
# panel and the chart, the JPEG writer against cjpeg, the PDF report, and the batch reports on
# one thread and on every core, also against cjpeg encoding their pictures.
#
# Usage: tools/bench.sh BUILD_DIR   (the build must be configured with -DVORL_BUILD_BENCH=ON)
# VORL_BENCH_FILES (default 10000) and VORL_BENCH_REPS (default 9) change the group size and
# the number of timed runs of each command; VORL_BENCH_LARGE (100000, 0 for none) the large
# group whose load and JSON peak memory are measured; VORL_BENCH_TABLE_ROWS (100000) the rows of the
# online form's export read against Python's csv reader and, as a workbook, against openpyxl;
# VORL_BENCH_ONLY=tables gives only those figures; VORL_BENCH_BATCH (200), VORL_BENCH_BATCH_SMALL (50)
# and VORL_BENCH_BATCH_REPS (3) those of the batch figures. VORL_BENCH_ONLY=batch gives only
# the batch figures.
set -euo pipefail

build=${1:?usage: tools/bench.sh BUILD_DIR}
bin="$build/bin"
files=${VORL_BENCH_FILES:-10000}
reps=${VORL_BENCH_REPS:-9}

for tool in vorlzut gen_answers runstat bench_scoring bench_window bench_diagram bench_charts \
    bench_jpeg bench_report bench_trend bench_tables; do
    if [ ! -x "$bin/$tool" ]; then
        echo "bench.sh: $bin/$tool is missing; build with -DVORL_BUILD_BENCH=ON" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vorl-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$bin/gen_answers" 1 "$work/one"
one=$(echo "$work"/one/*.txt)

# column N of FILE: median and minimum
stats() {
    sort -n -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c }
        END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1] }'
}
maxrss() { sort -n -k4,4 "$1" | tail -1 | awk '{ print $4 }'; }

# An online form's export read as a group: the CSV against Python's C csv reader parsing the same
# file, the workbook against openpyxl's read-only iteration, both with Debian's Python.
if [ "${VORL_BENCH_ONLY:-}" = "" ] || [ "${VORL_BENCH_ONLY:-}" = tables ]; then
    rows=${VORL_BENCH_TABLE_ROWS:-100000}
    "$bin/gen_answers" --table "$rows" "$work/form.csv"
    py_csv=(/usr/bin/python3 -c 'import csv, sys
n = 0
with open(sys.argv[1], newline="", encoding="utf-8") as f:
    for row in csv.reader(f):
        n += 1
print(n)' "$work/form.csv")
    "$bin/runstat" "${py_csv[@]}" >/dev/null
    : >"$work/py-csv.txt"
    : >"$work/table-json.txt"
    for ((i = 0; i < reps; ++i)); do
        "$bin/runstat" "${py_csv[@]}" >>"$work/py-csv.txt"
        "$bin/runstat" "$bin/vorlzut" --json "$work/form.csv" >>"$work/table-json.txt"
    done
    read -r count in_med in_best in_peak < <("$bin/bench_tables" "$work/form.csv" "$reps")
    if [ "$count" -ne "$rows" ]; then
        echo "bench.sh: the table was read with $count members, not $rows" >&2
        exit 1
    fi
    read -r py_med py_best < <(stats "$work/py-csv.txt" 1)
    read -r tj_med tj_best < <(stats "$work/table-json.txt" 1)
    echo
    echo "== An online form's export of $rows rows, 36 columns ($(($(wc -c <"$work/form.csv") / 1024)) KB UTF-8), $reps runs each =="
    awk -v pm="$py_med" -v pb="$py_best" -v im="$in_med" -v ib="$in_best" -v ip="$in_peak" \
        -v jm="$tj_med" -v jb="$tj_best" -v jr="$(maxrss "$work/table-json.txt")" 'BEGIN {
        printf "  %-34s median %8.1f ms   best %8.1f ms\n", "Python csv.reader of the file", pm, pb
        printf "  %-34s median %8.1f ms   best %8.1f ms   (peak %.1f MB)\n", "read as a group (in-process)", im, ib, ip
        printf "  %-34s median %8.1f ms   best %8.1f ms   (max RSS %.1f MB)\n", "vorlzut --json TABLE", jm, jb, jr / 1024
        printf "  %-34s median %8.2f      best %8.2f      (target: at most 0.3, in at most 80 MB)\n", "ratio group read / Python csv", im / pm, ib / pb
    }'

    xlsx_rows=${VORL_BENCH_XLSX_ROWS:-$rows}
    /usr/bin/python3 -c 'import csv, sys, openpyxl
wb = openpyxl.Workbook(write_only=True)
ws = wb.create_sheet("Ответы")
limit = int(sys.argv[3]) + 1
with open(sys.argv[1], newline="", encoding="utf-8") as f:
    for n, row in enumerate(csv.reader(f)):
        if n >= limit:
            break
        ws.append([int(c) if n and c.isdigit() else c for c in row])
wb.save(sys.argv[2])' "$work/form.csv" "$work/form.xlsx" "$xlsx_rows"
    py_xlsx=(/usr/bin/python3 -c 'import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
n = 0
for row in wb.worksheets[0].iter_rows(values_only=True):
    n += 1
print(n)' "$work/form.xlsx")
    : >"$work/py-xlsx.txt"
    xlsx_reps=${VORL_BENCH_XLSX_REPS:-3}
    for ((i = 0; i < xlsx_reps; ++i)); do
        "$bin/runstat" "${py_xlsx[@]}" >>"$work/py-xlsx.txt"
    done
    read -r xcount x_med x_best x_peak < <("$bin/bench_tables" "$work/form.xlsx" "$xlsx_reps")
    read -r px_med px_best < <(stats "$work/py-xlsx.txt" 1)
    echo
    echo "== The same rows as an openpyxl workbook ($(($(wc -c <"$work/form.xlsx") / 1024)) KB), $xcount members, $xlsx_reps runs each =="
    awk -v pm="$px_med" -v pb="$px_best" -v im="$x_med" -v ib="$x_best" -v ip="$x_peak" 'BEGIN {
        printf "  %-34s median %8.1f ms   best %8.1f ms\n", "openpyxl read-only iteration", pm, pb
        printf "  %-34s median %8.1f ms   best %8.1f ms   (peak %.1f MB)\n", "read as a group (in-process)", im, ib, ip
        printf "  %-34s median %8.2f      best %8.2f      (target: at most 0.1)\n", "ratio group read / openpyxl", im / pm, ib / pb
    }'
fi

if [ "${VORL_BENCH_ONLY:-}" = "" ]; then
    "$bin/gen_answers" "$files" "$work/group"

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
        printf "  %-34s median %8.2f      best %8.2f      (target: at most 0.6)\n", \
            "ratio vorlzut / cat", gm / cm, gb / cb
    }'

    echo
    echo "== Peak memory (max RSS) =="
    awk -v g="$grp_rss" -v o="$one_rss" -v n="$files" 'BEGIN {
        printf "  %-34s %8.1f MB\n", "vorlzut --json FILE", o / 1024
        printf "  %-34s %8.1f MB\n", "vorlzut --json FOLDER (" n " files)", g / 1024
        printf "  %-34s %8.1f MB   (target: within a few MB)\n", "difference", (g - o) / 1024
    }'

    # A large group: its load against cat, and the peak memory of its JSON, whole and split.
    large=${VORL_BENCH_LARGE:-100000}
    if [ "$large" -gt 0 ]; then
        "$bin/gen_answers" "$large" "$work/large" >/dev/null
        cat_large=(sh -c 'cd "$1" && exec find . -name "*.txt" -exec cat -- {} +' sh "$work/large")
        "$bin/runstat" "${cat_large[@]}" >/dev/null
        "$bin/runstat" "$bin/vorlzut" --json "$work/large" >/dev/null
        : >"$work/large-cat.txt"
        : >"$work/large-json.txt"
        : >"$work/large-by.txt"
        for ((i = 0; i < 3; ++i)); do
            "$bin/runstat" "${cat_large[@]}" >>"$work/large-cat.txt"
            "$bin/runstat" "$bin/vorlzut" --json "$work/large" >>"$work/large-json.txt"
            "$bin/runstat" "$bin/vorlzut" --json --by 4 "$work/large" >>"$work/large-by.txt"
        done
        read -r lc_med lc_min < <(stats "$work/large-cat.txt" 1)
        read -r lj_med lj_min < <(stats "$work/large-json.txt" 1)
        echo
        echo "== Group of $large generated answer files, warm cache, 3 runs each =="
        awk -v cm="$lc_med" -v cb="$lc_min" -v jm="$lj_med" -v jb="$lj_min" \
            -v jr="$(maxrss "$work/large-json.txt")" -v br="$(maxrss "$work/large-by.txt")" 'BEGIN {
            printf "  %-34s median %8.1f ms   best %8.1f ms\n", "cat of every file", cm, cb
            printf "  %-34s median %8.1f ms   best %8.1f ms\n", "vorlzut --json FOLDER", jm, jb
            printf "  %-34s median %8.2f      best %8.2f      (target: at most 0.35)\n", \
                "ratio vorlzut / cat", jm / cm, jb / cb
            printf "  %-34s %8.1f MB   (target: at most 50)\n", "peak of --json FOLDER", jr / 1024
            printf "  %-34s %8.1f MB   (target: at most 50)\n", "peak of --json --by 4 FOLDER", br / 1024
        }'
        rm -rf "$work/large"
    fi

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

    # The breakdown by a details line against the group load of the same folder, taking turns:
    # one pass over the files, so nearly the same time.
    "$bin/vorlzut" --json --by 4 "$work/group" >"$work/split.json"
    if ! grep -q "\"count\":$files," "$work/split.json"; then
        echo "bench.sh: vorlzut --json --by 4 did not count all $files files" >&2
        exit 1
    fi
    : >"$work/split.txt"
    : >"$work/whole.txt"
    for ((i = 0; i < reps; ++i)); do
        "$bin/runstat" "$bin/vorlzut" --json --by 4 "$work/group" >>"$work/split.txt"
        "$bin/runstat" "$bin/vorlzut" --json "$work/group" >>"$work/whole.txt"
    done
    read -r split_med split_min < <(stats "$work/split.txt" 1)
    read -r whole_med whole_min < <(stats "$work/whole.txt" 1)
    echo
    echo "== Breakdown by line 4 against the group load, $files files, $reps runs each =="
    awk -v sm="$split_med" -v sb="$split_min" -v wm="$whole_med" -v wb="$whole_min" \
        -v sr="$(maxrss "$work/split.txt")" -v wr="$(maxrss "$work/whole.txt")" 'BEGIN {
        printf "  %-34s median %8.1f ms   best %8.1f ms   (max RSS %.1f MB)\n", "vorlzut --json --by 4 FOLDER", sm, sb, sr / 1024
        printf "  %-34s median %8.1f ms   best %8.1f ms   (max RSS %.1f MB)\n", "vorlzut --json FOLDER", wm, wb, wr / 1024
        printf "  %-34s median %8.2f      best %8.2f      (target: at most 1.2)\n", "ratio breakdown / group", sm / wm, sb / wb
    }'

    echo
    echo "== Scoring core (Google Benchmark) =="
    "$bin/bench_scoring" 2>&1

    echo
    echo "== Trend: ten waves of $files files against the ten group loads of the same folders =="
    "$bin/bench_trend" "$files" 2>&1

    echo
    echo "== Load commands through the main window (Google Benchmark) =="
    "$bin/bench_window" 2>&1

    echo
    echo "== Diagram panel: fillTableAndDiagram(All), all three views and the labels (Google Benchmark) =="
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
fi

[ "${VORL_BENCH_ONLY:-}" = tables ] && exit 0

# Batch reports, each respondent its own input and twelve files: on one thread (--jobs 1) and
# on every core (the default), taking turns; then the default on 50 respondents against cjpeg
# encoding the batch's own 500 pictures (decoded to PPM) one after another, start-up and all.
batch_n=${VORL_BENCH_BATCH:-200}
batch_small=${VORL_BENCH_BATCH_SMALL:-50}
batch_reps=${VORL_BENCH_BATCH_REPS:-3}
cores=$(nproc 2>/dev/null || echo 1)
"$bin/gen_answers" "$batch_n" "$work/batch" >/dev/null
"$bin/gen_answers" "$batch_small" "$work/batch-small" >/dev/null
"$bin/vorlzut" --batch "$work/batch-warm" "$one" >/dev/null
: >"$work/batch-serial.txt"
: >"$work/batch-jobs.txt"
for ((i = 0; i < batch_reps; ++i)); do
    rm -rf "$work/batch-out"
    "$bin/runstat" "$bin/vorlzut" --jobs 1 --batch "$work/batch-out" "$work"/batch/*.txt \
        >>"$work/batch-serial.txt" 2>/dev/null
    rm -rf "$work/batch-out"
    "$bin/runstat" "$bin/vorlzut" --batch "$work/batch-out" "$work"/batch/*.txt \
        >>"$work/batch-jobs.txt" 2>/dev/null
done
written=$(find "$work/batch-out" -type f | wc -l)

mkdir -p "$work/batch-ppm"
rm -rf "$work/batch-small-out"
"$bin/vorlzut" --batch "$work/batch-small-out" "$work"/batch-small/*.txt >/dev/null
for jpg in "$work/batch-small-out"/*.jpg; do
    djpeg -outfile "$work/batch-ppm/$(basename "$jpg" .jpg).ppm" "$jpg"
done
pictures=$(find "$work/batch-ppm" -name '*.ppm' | wc -l)
cjpeg_all=(sh -c 'for f in "$1"/*.ppm; do cjpeg -quality 100 -baseline -outfile "$2" "$f" ||
    exit 1; done' sh "$work/batch-ppm" "$work/cjpeg-out.jpg")
: >"$work/batch-small.txt"
: >"$work/cjpeg-all.txt"
for ((i = 0; i < batch_reps; ++i)); do
    rm -rf "$work/batch-small-out"
    "$bin/runstat" "$bin/vorlzut" --batch "$work/batch-small-out" "$work"/batch-small/*.txt \
        >>"$work/batch-small.txt" 2>/dev/null
    "$bin/runstat" "${cjpeg_all[@]}" >>"$work/cjpeg-all.txt"
done

# wall, user and sys of a file: medians; wall also at best
batch_line() {
    read -r med best < <(stats "$1" 1)
    read -r user _ < <(stats "$1" 2)
    read -r sys _ < <(stats "$1" 3)
    echo "$med $best $user $sys $(maxrss "$1")"
}
read -r ser_med ser_min ser_user ser_sys ser_rss < <(batch_line "$work/batch-serial.txt")
read -r job_med job_min job_user job_sys job_rss < <(batch_line "$work/batch-jobs.txt")
read -r sm_med sm_min sm_user sm_sys _ < <(batch_line "$work/batch-small.txt")
read -r cj_med cj_min cj_user cj_sys _ < <(batch_line "$work/cjpeg-all.txt")
echo
echo "== vorlzut --batch, $batch_n respondents ($written files), $cores cores, $batch_reps runs each =="
awk -v n="$batch_n" -v sm="$ser_med" -v sb="$ser_min" -v su="$ser_user" -v ss="$ser_sys" \
    -v sr="$ser_rss" -v jm="$job_med" -v jb="$job_min" -v ju="$job_user" -v js="$job_sys" \
    -v jr="$job_rss" 'BEGIN {
    printf "  %-34s median %8.1f ms   best %8.1f ms   (CPU user %.0f + sys %.0f ms, max RSS %.1f MB)\n", \
        "--jobs 1", sm, sb, su, ss, sr / 1024
    printf "  %-34s median %8.1f ms   best %8.1f ms   (CPU user %.0f + sys %.0f ms, max RSS %.1f MB)\n", \
        "default (one job per core)", jm, jb, ju, js, jr / 1024
    printf "  %-34s median %8.2f ms   per respondent\n", "default", jm / n
    printf "  %-34s median %8.2f      best %8.2f      (target: at most 0.6)\n", \
        "ratio default / --jobs 1", jm / sm, jb / sb
}'
echo
echo "== vorlzut --batch, $batch_small respondents, against cjpeg on its $pictures pictures one after another =="
awk -v sm="$sm_med" -v sb="$sm_min" -v su="$sm_user" -v ss="$sm_sys" -v cm="$cj_med" \
    -v cb="$cj_min" -v cu="$cj_user" -v cs="$cj_sys" 'BEGIN {
    printf "  %-34s median %8.1f ms   best %8.1f ms   (CPU user %.0f + sys %.0f ms)\n", \
        "vorlzut --batch (default jobs)", sm, sb, su, ss
    printf "  %-34s median %8.1f ms   best %8.1f ms   (CPU user %.0f + sys %.0f ms)\n", \
        "cjpeg -quality 100 -baseline", cm, cb, cu, cs
    printf "  %-34s median %8.2f      best %8.2f      (target: at most 0.6)\n", \
        "ratio vorlzut / cjpeg", sm / cm, sb / cb
}'

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
