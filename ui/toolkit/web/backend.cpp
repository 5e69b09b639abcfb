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

// The scheme of an address, in lower case (schemes are case-insensitive), or
// nothing for a bare host name. A scheme is a letter followed by letters,
// digits, "+", "-" or ".", then ":". A host name followed by a port
// ("example.com:8080", "localhost:8000/path") looks the same, so a colon
// followed by a number that ends the address or its host part is a port.
std::string schemeOf(std::string_view address)
{
    const auto colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    const std::string_view rest = address.substr(colon + 1);
    const auto digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
    const bool port =
        digits > 0 && (digits == rest.size() ||
                       std::string_view("/?#").find(rest[digits]) != std::string_view::npos);
    if (port)
        return {};
    const auto letter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    if (!letter(address[0]))
        return {};
    std::string scheme;
    for (const char c : address.substr(0, colon)) {
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return {};
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return scheme;
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
    // A bare host name, with or without a port, is a web page, opened in a tab
    // of its own; "mailto:" goes to the browser, which hands it on to the mail
    // program. No other scheme is opened: one such as "javascript:" would run
    // in this page.
    const std::string scheme = web::schemeOf(request.file);
    if (scheme.empty()) {
        web::openAddress("http://" + request.file, true);
        return true;
    }
    const bool page = scheme == "http" || scheme == "https";
    if (!page && scheme != "mailto")
        return false;
    web::openAddress(request.file, page);
    return true;
}

AppVersion versionNumbers()
{
    // A page has no version record: the build's own numbers.
    return {quaddle::versionMajor, quaddle::versionMinor, quaddle::versionPatch};
}

} // namespace toolkit::backend
