# The statistics of a folder of answer files as R and its multilevel package compute them, for
# the program's figures to be checked against: reads the answer files itself.
#
# Usage: Rscript statistics_reference.R LABELS.csv OUT.tsv [COMPARED.csv RESPONDENT]
# LABELS.csv: columns path, row (the breakdown row a file is counted in) and subgroup (the
# text of its line 4, the distinct subgroup the ICCs are taken over). OUT.tsv: one figure
# a line, "key<TAB>value", NA where R finds none.
suppressMessages(library(multilevel))
args <- commandArgs(trailingOnly = TRUE)
labels <- read.csv(args[1], encoding = "UTF-8", stringsAsFactors = FALSE)

# An answer file: answers on lines 9-40, the twelve totals on lines 42-53 (a number, then text).
read_member <- function(path) {
  lines <- readLines(path, encoding = "latin1", warn = FALSE)
  answers <- as.integer(lines[9:40])
  totals <- as.integer(sub("^ *(-?[0-9]+).*$", "\\1", lines[42:53]))
  scales <- sapply(1:16, function(s) {
    b <- (s - 1) %/% 4; k <- (s - 1) %% 4 + 1
    answers[8 * b + k] + answers[8 * b + k + 4]
  })
  cells <- sapply(1:8, function(j) scales[2 * j - 1] + scales[2 * j])
  percent <- function(raw, low, high) (raw - low) * 100 / (high - low)
  c(answers,
    percent(totals[1:8], 8, 56), percent(totals[9:12], 16, 112),
    percent(scales, 2, 14), percent(cells, 4, 28))
}
data <- t(sapply(labels$path, read_member))
answers <- data[, 1:32, drop = FALSE]
values <- data[, 33:68, drop = FALSE]
key <- function(i) if (i <= 12) paste0("summary.", i) else paste0("scales.", i - 12)
out <- character()
put <- function(name, value) {
  text <- if (is.null(value) || is.na(value)) "NA" else sprintf("%.17g", value)
  out <<- c(out, paste(name, text, sep = "\t"))
}

# The whole folder's spread and confidence interval.
n <- nrow(values)
for (i in 1:36) {
  x <- values[, i]
  s <- if (n > 1) sd(x) else NA
  half <- if (n > 1) qt(0.975, n - 1) * s / sqrt(n) else NA
  put(paste0("spread.", key(i), ".mean"), mean(x))
  put(paste0("spread.", key(i), ".sd"), s)
  put(paste0("spread.", key(i), ".min"), min(x))
  put(paste0("spread.", key(i), ".max"), max(x))
  put(paste0("spread.", key(i), ".lo"), mean(x) - half)
  put(paste0("spread.", key(i), ".hi"), mean(x) + half)
}

# Agreement: rwg(j) over the answers of each scale, cell and block, null variance 4.
rwg <- function(items) rwg.j(answers[, items, drop = FALSE], rep(1, n), ranvar = 4)$rwg.j
scale_answers <- function(s) {
  if (s > 16) return(c(scale_answers(2 * (s - 16) - 1), scale_answers(2 * (s - 16))))
  b <- (s - 1) %/% 4; k <- (s - 1) %% 4 + 1
  c(8 * b + k, 8 * b + k + 4)
}
for (s in 1:24) put(paste0("agreement.scales.", s), rwg(scale_answers(s)))
for (b in 1:4) put(paste0("agreement.blocks.", b), rwg((8 * (b - 1) + 1):(8 * b)))

# The breakdown: Welch of each row against the rest, BH over all.
rows <- unique(labels$row[labels$row != ""])
shown <- labels$row != ""
p <- numeric()
for (r in rows) {
  for (i in 1:36) {
    x <- values[labels$row == r, i]
    y <- values[labels$row != r, i]
    p[paste0("p.", r, ".", key(i))] <-
      tryCatch(t.test(x, y)$p.value, error = function(e) NA)
  }
}
adjusted <- p.adjust(p, "BH")
for (name in names(p)) {
  put(name, p[[name]])
  put(sub("^p\\.", "significant.", name),
      if (is.na(adjusted[[name]])) 0 else as.numeric(adjusted[[name]] < 0.05))
}
# The ICCs over every distinct subgroup (the column subgroup), the small ones each on its own.
# A sum of squares between the subgroups that exact arithmetic makes zero (equal means) is
# zero: ICC(2) is then undefined, and ICC(1) -1/(k - 1), or undefined with no spread at all.
groups <- unique(labels$subgroup)
for (i in 1:36) {
  icc1 <- NA
  icc2 <- NA
  if (length(groups) > 1) {
    v <- values[, i]
    g <- factor(labels$subgroup)
    means <- tapply(v, g, mean)
    between <- sum(tapply(v, g, length) * (means - mean(v))^2)
    if (between > 1e-9 * sum(v^2)) {
      model <- aov(v ~ g, data = data.frame(v = v, g = g))
      icc1 <- ICC1(model)
      icc2 <- ICC2(model)
    } else if (sum((v - means[g])^2) > 0) {
      icc1 <- -1 / (length(v) / length(groups) - 1)
    }
  }
  put(paste0("icc1.", key(i)), icc1)
  put(paste0("icc2.", key(i)), icc2)
}
# A comparison, when asked: Welch's test of a compared group's files (a CSV with a column path)
# against this folder, BH over the 36; a respondent's mid-rank percentile within this folder.
if (length(args) >= 3) {
  other <- read.csv(args[3], encoding = "UTF-8", stringsAsFactors = FALSE)
  theirs <- t(sapply(other$path, read_member))[, 33:68, drop = FALSE]
  p <- sapply(1:36, function(i)
    tryCatch(t.test(theirs[, i], values[, i])$p.value, error = function(e) NA))
  adjusted <- p.adjust(p, "BH")
  for (i in 1:36) {
    put(paste0("compare.p.", key(i)), p[i])
    put(paste0("compare.significant.", key(i)),
        if (is.na(adjusted[i])) 0 else as.numeric(adjusted[i] < 0.05))
  }
  v <- read_member(args[4])[33:68]
  for (i in 1:36) {
    tie <- abs(values[, i] - v[i]) < 1e-9
    put(paste0("percentile.", key(i)),
        100 * (sum(values[, i] < v[i] & !tie) + 0.5 * sum(tie)) / n)
  }
}
writeLines(out, args[2], useBytes = TRUE)
