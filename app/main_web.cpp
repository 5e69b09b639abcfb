// The program's entry in the browser: runs the start-up procedure and returns;
// the page's own event loop then runs the windows until the last one has
// been unloaded. The page's address may ask for the window that lists every
// solution instead (rules.js).
#include "about/startup.h"
#include "toolkit/web/webwindow.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, q_everyAsked, (), {
    return quaddleRules.everyAsked() ? 1 : 0;
});
// clang-format on

int main()
{
    toolkit::web::runInPage();
    if (q_everyAsked())
        startWithEverySolution();
    else
        startUp();
    return 0;
}
