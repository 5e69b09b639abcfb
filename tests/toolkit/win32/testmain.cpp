// The doctest main of the Win32 backend's tests: the toolkit is started once,
// before any window.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include "toolkit/testing.h"

int main(int argc, char **argv)
{
    toolkit::testing::Session session(argc, argv);
    doctest::Context context(argc, argv);
    return context.run();
}
