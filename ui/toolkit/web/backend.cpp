// The application-wide calls in the browser: the end of the program, the
// warning box, the shell's "open" on a web or mail address, the version.
#include "toolkit/backend.h"
#include "page.h"
#include "webwindow.h"

#include "quaddlefacts.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace toolkit::web {

namespace {

bool inPage = false;

} // namespace

void runInPage()
{
    inPage = true;
}

} // namespace toolkit::web

namespace toolkit::backend {

void quit()
{
    // The windows and their timers are gone; the page stays, and says so.
    if (web::inPage)
        web::showEnded("Quaddle 已结束。", "重新打开");
}

void showWarning(std::string_view title, std::string_view prompt)
{
    // The button reads "确定" like the rest of the program, whatever the
    // browser's language.
    web::warningBox(title, prompt, "确定");
}

bool openDocument(const ShellRequest &request)
{
    if (request.operation != "open")
        return false;
    // The toolkit hands on only web pages and mail addresses, each with its
    // scheme: a page opens in a tab of its own, "mailto:" goes to the browser,
    // which hands it on to the mail program.
    const std::string scheme = schemeOf(request.file);
    web::openAddress(request.file, scheme == "http" || scheme == "https");
    return true;
}

AppVersion versionNumbers()
{
    // A page has no version record: the build's own numbers.
    return {quaddle::versionMajor, quaddle::versionMinor, quaddle::versionPatch};
}

} // namespace toolkit::backend
