// The start-up procedure.
#include "startup.h"

#include "every/frmevery.h"
#include "frmabout.h"

void startUp()
{
    toolkit::form<frmAbout>().Show();
}

void startWithEverySolution()
{
    toolkit::form<frmEvery>().Show();
}
