// main() of the window tests: the toolkit starts before any test opens a window.
#define DOCTEST_CONFIG_IMPLEMENT
#include "toolkit/testing.h"

#include <doctest/doctest.h>

int main(int argc, char **argv)
{
    toolkit::testing::Session session(argc, argv);
    doctest::Context context(argc, argv);
    return context.run();
}
