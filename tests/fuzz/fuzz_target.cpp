// libFuzzer target: arbitrary bytes as a --target, through the target reader
// and the way the value is written back (as text and as JSON). The reader is
// checked against the forms it documents, worked out here on the characters.
#include "cards.h"
#include "fuzzcheck.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using fuzzcheck::isDigit;
using fuzzcheck::require;

namespace {

// The parts of a target as written: digits, digits with a point, or two
// whole numbers with a slash, after an optional minus sign.
struct Written {
    bool negative = false;
    std::string num; // all digits, the point left out
    std::string den; // the denominator's digits, or empty for a decimal
    std::size_t decimals = 0;
};

bool allDigits(std::string_view text)
{
    for (const char c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

std::optional<Written> written(std::string_view text)
{
    Written w;
    if (!text.empty() && text.front() == '-') {
        w.negative = true;
        text.remove_prefix(1);
    }
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        const std::string_view num = text.substr(0, slash);
        const std::string_view den = text.substr(slash + 1);
        if (num.empty() || den.empty() || !allDigits(num) || !allDigits(den))
            return std::nullopt;
        w.num = num;
        w.den = den;
        return w;
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((whole.empty() && decimals.empty()) || !allDigits(whole) || !allDigits(decimals))
        return std::nullopt;
    w.num = std::string(whole) + std::string(decimals);
    w.decimals = decimals.size();
    return w;
}

std::optional<__int128> digitsValue(const std::string &digits)
{
    if (digits.size() > 36)
        return std::nullopt;
    __int128 value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

__int128 gcd(__int128 a, __int128 b)
{
    a = a < 0 ? -a : a;
    while (b != 0) {
        const __int128 rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

void checkTarget(std::string_view text)
{
    const std::optional<modQuaddle::Rational> target = cards::parseTarget(text);
    const std::optional<Written> w = written(text);
    if (!w) {
        require(!target, "read a text that is no target", text);
        return;
    }
    // The exact value of what was written, where it is short enough to work
    // out here: up to 36 digits on each side of the slash.
    const std::optional<__int128> num = digitsValue(w->num);
    std::optional<__int128> den = w->den.empty() ? std::optional<__int128>(1) : digitsValue(w->den);
    for (std::size_t k = 0; den && k < w->decimals; ++k)
        den = *den <= __int128(1) << 120 ? std::optional(*den * 10) : std::nullopt;
    if (den && *den == 0) {
        require(!target, "read a fraction over zero", text);
        return;
    }
    if (num && den) {
        require(target.has_value(), "did not read a target", text);
        // Equal as fractions: num/den in lowest terms is the target's pair.
        const __int128 divisor = gcd(*num, *den);
        const __int128 expectedNum = (w->negative ? -*num : *num) / divisor;
        require(target->numerator() == expectedNum && target->denominator() == *den / divisor,
                "the target is not the value written", text);
    }
    if (!target)
        return;

    require(target->denominator() > 0 && gcd(target->numerator(), target->denominator()) == 1,
            "the target is not in lowest terms", text);
    // Written back, it reads to the same value; JSON has a number only for a
    // whole number.
    const std::string back = target->toString();
    const std::optional<modQuaddle::Rational> again = cards::parseTarget(back);
    require(again && *again == *target, "the target's text does not read back", back);
    const std::string json = cards::targetJson(*target);
    require(json == (target->denominator() == 1 ? back : '"' + back + '"'), "target as JSON", json);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkTarget(std::string_view(reinterpret_cast<const char *>(data), size));
    return 0;
}
