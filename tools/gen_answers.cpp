// gen_answers N FOLDER [SEED]: writes N generated answer files into FOLDER for benchmarks.
// gen_answers --huge LINES FILE [SEED]: writes one answer file whose header lines named by the
// digits of LINES (1 to 7, e.g. 134567) are 256 KiB each without a blank, the worst header the
// reader accepts.
// gen_answers --table N FILE [SEED]: writes the same N respondents as one online form's export,
// a CSV table.

#include "AnswerGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: gen_answers N FOLDER [SEED]\n"
                         "       gen_answers --huge LINES FILE [SEED]\n"
                         "       gen_answers --table N FILE [SEED]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    const bool huge = argc > 1 && std::strcmp(argv[1], "--huge") == 0;
    const bool table = argc > 1 && std::strcmp(argv[1], "--table") == 0;
    if (huge || table) {
        ++argv;
        --argc;
    }
    if (argc < 3 || argc > 4)
        return usage();
    const std::uint64_t seed = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1;
    try {
        if (huge) {
            std::vector<int> lines;
            for (const char *c = argv[1]; *c; ++c) {
                if (*c < '1' || *c > '7') {
                    std::fprintf(stderr, "gen_answers: LINES are digits from 1 to 7\n");
                    return 2;
                }
                lines.push_back(*c - '0');
            }
            writeHugeHeaderAnswerFile(argv[2], seed, lines);
            return 0;
        }
        char *end = nullptr;
        const long count = std::strtol(argv[1], &end, 10);
        if (*end != '\0' || count < 1 || count > 10000000) {
            std::fprintf(stderr, "gen_answers: N must be a number from 1 to 10000000\n");
            return 2;
        }
        if (table) {
            std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
            const std::string bytes = generatedFormTable(int(count), seed);
            out.write(bytes.data(), std::streamsize(bytes.size()));
            if (!out)
                throw std::runtime_error(std::string("cannot write ") + argv[2]);
            return 0;
        }
        writeAnswerFiles(argv[2], int(count), seed);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "gen_answers: %s\n", e.what());
        return 1;
    }
    return 0;
}
