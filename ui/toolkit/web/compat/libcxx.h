// Included before every source of the browser build. The C++ library that
// comes with Debian's Emscripten lacks std::bit_cast, which the compiler
// provides as a builtin, and the floating-point forms of to_chars and
// from_chars, which C's own conversions give exactly (they round correctly
// and read '.' as the decimal point in the C locale, the only one a page has).
#pragma once

#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <version>

namespace std {

#ifndef __cpp_lib_bit_cast
template <class To, class From> constexpr To bit_cast(const From &from) noexcept
{
    return __builtin_bit_cast(To, from);
}
#endif

#ifndef __cpp_lib_to_chars
inline to_chars_result to_chars(char *first, char *last, double value, chars_format format,
                                int precision)
{
    const char *pattern = format == chars_format::scientific ? "%.*e"
                          : format == chars_format::fixed    ? "%.*f"
                                                             : "%.*g";
    const int length = std::snprintf(nullptr, 0, pattern, precision, value);
    if (length < 0 || length > last - first)
        return {last, errc::value_too_large};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, precision, value);
    return {std::copy_n(text.data(), length, first), errc{}};
}

inline to_chars_result to_chars(char *first, char *last, float value, chars_format format,
                                int precision)
{
    return to_chars(first, last, static_cast<double>(value), format, precision);
}

inline from_chars_result from_chars(const char *first, const char *last, double &value,
                                    chars_format = chars_format::general)
{
    const std::string text(first, last);
    char *end = nullptr;
    errno = 0;
    const double read = std::strtod(text.c_str(), &end);
    if (end == text.c_str())
        return {first, errc::invalid_argument};
    const char *stop = first + (end - text.c_str());
    if (errno == ERANGE)
        return {stop, errc::result_out_of_range};
    value = read;
    return {stop, errc{}};
}
#endif

} // namespace std
