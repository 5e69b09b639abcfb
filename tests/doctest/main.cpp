// doctest's main() and runner, built once and linked into each doctest
// program that does not bring a main() of its own.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include <cstdio>

namespace {
// A test's output that goes to a file (under Wine it always does) is held
// back until the program ends, and lost with it if it crashes: written as it
// comes, the log shows how far the program got.
[[maybe_unused]] const bool unbuffered = std::setvbuf(stdout, nullptr, _IONBF, 0) == 0;
} // namespace
