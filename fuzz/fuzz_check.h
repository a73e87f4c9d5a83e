#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run like a crash when a promise of the code under test is broken, so that the
// fuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
