// libFuzzer target: arbitrary bytes as entry texts, through the leading-number
// conversion and through the whole Calculate command of a real main window.
#include "form1driver.h"
#include "main/calculate.h"
#include "main/form1.h"
#include "main/leadingnumber.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

toolkit::testing::Session *session = nullptr;
Form1 *mainWindow = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Lives as long as the process: libFuzzer ends with exit(), and a toolkit
    // shut down by exit handlers would outlive its windows' fonts.
    session = new toolkit::testing::Session(*argc, *argv);
    toolkit::setMessageBoxHandler([](std::string_view, std::string_view) {});
    mainWindow = &toolkit::form<Form1>();
    mainWindow->Show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Any bytes, valid UTF-8 or not, as a text box may hand over.
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    if (std::isnan(leadingNumber(bytes)))
        __builtin_trap(); // the conversion never makes up a NaN
    calculate::checkEntry(bytes);

    // As typed text: up to four entries separated by U+0001.
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (entries.size() < 4) {
        const std::size_t end = bytes.find('\x01', start);
        entries.emplace_back(bytes.substr(start, end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    const Form1Driver driver(*mainWindow);
    driver.setEntries(entries);
    driver.calculate();
    return 0;
}
