// main() of the window tests: the toolkit starts before any test opens a window.
#define DOCTEST_CONFIG_IMPLEMENT
#include "toolkit/testing.h"

#include <doctest/doctest.h>

#include <cstdio>

int main(int argc, char **argv)
{
    // Written as it comes, not held back until the end: a program that
    // crashes still leaves in the log how far it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    toolkit::testing::Session session(argc, argv);
    doctest::Context context(argc, argv);
    return context.run();
}
