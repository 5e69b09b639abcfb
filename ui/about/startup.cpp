// The start-up procedure.
#include "startup.h"

#include "frmabout.h"

void startUp()
{
    toolkit::form<frmAbout>().Show();
}
