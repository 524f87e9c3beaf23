#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Generated answer files for benchmarks: realistic header lines, 32 answers from 1 to 7 around
// one of a few culture profiles, and totals computed from those answers. The same index and
// seed always give the same bytes.

// The whole file for respondent index (from 0): code page 1251, CR LF line ends.
std::string generatedAnswerFile(int index, std::uint64_t seed);

// The same respondents as an online form's export: a UTF-8 CSV with CR LF line ends, a header
// row, then a row per respondent: the time stamp, the name, the department and position (details
// lines 4 and 5) and the 32 answers, 36 columns.
std::string generatedFormTable(int count, std::uint64_t seed);

// The name of file index in a folder of count files: "r" and the index from 1, zero-padded so
// that the names sort in index order.
std::string generatedFileName(int index, int count);

// Writes count generated files into folder (created if missing). Throws std::runtime_error when
// a file cannot be written.
void writeAnswerFiles(const std::filesystem::path &folder, int count, std::uint64_t seed);

// The worst header an answer file may have: generatedAnswerFile with each header line (1 to 7)
// named in hugeLines replaced by kHugeHeaderLineBytes of letters without a single blank, so
// nothing can break it at a word.
inline constexpr std::size_t kHugeHeaderLineBytes = 256 * 1024;
std::string hugeHeaderAnswerFile(int index, std::uint64_t seed, const std::vector<int> &hugeLines);

// Writes one file of that kind as path.
void writeHugeHeaderAnswerFile(const std::filesystem::path &path, std::uint64_t seed,
                               const std::vector<int> &hugeLines);

// Code page 1251 bytes of a UTF-8 text holding ASCII and Russian letters only.
std::string toCp1251(const std::string &utf8);
