// The version numbers come from the running program's own version record:
// this test program carries one with numbers of its own, which the build's
// version is not.
#include "about/frmabout.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

#include "quaddlefacts.h"

#include <doctest/doctest.h>

TEST_CASE("the version numbers are the program file's own")
{
    const toolkit::AppVersion version = toolkit::appVersion();
    CHECK(version.major == 7);
    CHECK(version.minor == 8);
    CHECK(version.revision == 9);
    REQUIRE(quaddle::versionMajor != 7);

    frmAbout &about = toolkit::form<frmAbout>();
    about.Show();
    CHECK(about.control("lblVersion").text() == "Ver:7.8.9");
    about.Unload();
    toolkit::testing::processEvents();
}
