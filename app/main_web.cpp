// The program's entry in the browser: runs the start-up procedure and returns;
// the page's own event loop then runs the windows until the last one has
// been unloaded.
#include "about/startup.h"
#include "toolkit/web/webwindow.h"

int main()
{
    toolkit::web::runInPage();
    startUp();
    return 0;
}
