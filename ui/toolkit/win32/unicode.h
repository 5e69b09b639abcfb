// The toolkit's texts are UTF-8; Windows takes UTF-16. They are converted
// here and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace toolkit::win32 {

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

} // namespace toolkit::win32
