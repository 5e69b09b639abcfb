// doctest's main() and runner, built once and linked into each doctest
// program that does not bring a main() of its own.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>
