// gen_answers N FOLDER [SEED]: writes N generated answer files into FOLDER for benchmarks.

#include "AnswerGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: gen_answers N FOLDER [SEED]\n");
        return 2;
    }
    char *end = nullptr;
    const long count = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || count < 1 || count > 10000000) {
        std::fprintf(stderr, "gen_answers: N must be a number from 1 to 10000000\n");
        return 2;
    }
    const std::uint64_t seed = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1;
    try {
        writeAnswerFiles(argv[2], int(count), seed);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "gen_answers: %s\n", e.what());
        return 1;
    }
    return 0;
}
