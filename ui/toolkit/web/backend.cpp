// The application-wide calls in the browser: the end of the program, the
// warning box, the shell's "open" on a web or mail address, the version.
#include "toolkit/backend.h"
#include "page.h"
#include "webwindow.h"

#include "quaddlefacts.h"

namespace toolkit::web {

namespace {

bool inPage = false;

// A scheme is a letter followed by letters, digits, "+", "-" or ".", then ":".
bool hasScheme(std::string_view address)
{
    const auto colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    const auto letter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    if (!letter(address[0]))
        return false;
    for (const char c : address.substr(1, colon - 1)) {
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

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
    if (request.operation != "open" || request.file.empty())
        return false;
    // A bare host name is a web page; "mailto:" and other schemes go to the
    // browser as they are, and it hands them on to the mail program.
    if (!web::hasScheme(request.file)) {
        web::openAddress("http://" + request.file, true);
        return true;
    }
    const bool web = request.file.starts_with("http:") || request.file.starts_with("https:");
    web::openAddress(request.file, web);
    return true;
}

AppVersion versionNumbers()
{
    // A page has no version record: the build's own numbers.
    return {quaddle::versionMajor, quaddle::versionMinor, quaddle::versionPatch};
}

} // namespace toolkit::backend
