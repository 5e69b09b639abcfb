// Exact fractions with checked arithmetic.
#include "rational.h"

#include <algorithm>
#include <cmath>

namespace modQuaddle {

namespace {

template <typename Int> struct Unsigned;
template <> struct Unsigned<std::int64_t> {
    using Type = std::uint64_t;
};
template <> struct Unsigned<__int128> {
    using Type = unsigned __int128;
};

// On the magnitudes as unsigned numbers: the most negative value, which the
// checked operations can give (-2^63 is 2^62 * -2), has no positive
// counterpart in Int. For a positive b the result fits in Int.
template <typename Int> Int gcd(Int a, Int b)
{
    using U = typename Unsigned<Int>::Type;
    const auto magnitude = [](Int value) {
        return value < 0 ? U(0) - U(value) : U(value);
    };
    U x = magnitude(a);
    U y = magnitude(b);
    while (y != 0) {
        const U rest = x % y;
        x = y;
        y = rest;
    }
    return static_cast<Int>(x);
}

// Digits as a whole number; nothing for an empty text or anything but digits.
template <typename Int> std::optional<Int> digitsValue(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    Int value = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        value = checked::add(checked::mul(value, Int(10)), Int(digit - '0'));
    }
    return value;
}

} // namespace

template <typename Int> BasicRational<Int>::BasicRational(Int num, Int den)
{
    if (den < 0) {
        num = checked::negate(num);
        den = checked::negate(den);
    }
    const Int divisor = gcd(num, den);
    m_num = divisor > 1 ? num / divisor : num;
    m_den = divisor > 1 ? den / divisor : den;
}

template <typename Int> BasicRational<Int> BasicRational<Int>::fromFloat(float value)
{
    if (!std::isfinite(value))
        throw std::domain_error("not a finite number");
    // value = mantissa * 2^exponent with a 24-bit whole mantissa.
    int exponent = 0;
    const float fraction = std::frexp(value, &exponent);
    const auto mantissa = static_cast<Int>(std::ldexp(fraction, 24));
    exponent -= 24;
    constexpr int bits = static_cast<int>(sizeof(Int) * 8) - 2;
    if (exponent >= 0)
        return BasicRational(checked::mul(mantissa, Int(1) << std::min(exponent, bits)), 1);
    if (-exponent > bits)
        throw std::domain_error("too small for exact arithmetic");
    return BasicRational(mantissa, Int(1) << -exponent);
}

template <typename Int>
std::optional<BasicRational<Int>> BasicRational<Int>::parse(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);

    std::optional<Int> num;
    std::optional<Int> den = Int(1);
    if (const auto slash = text.find('/'); slash != std::string_view::npos) {
        num = digitsValue<Int>(text.substr(0, slash));
        den = digitsValue<Int>(text.substr(slash + 1));
    } else if (const auto point = text.find('.'); point != std::string_view::npos) {
        // "2.5", "2." and ".5", but not "." alone.
        const std::string_view whole = text.substr(0, point);
        const std::string_view decimals = text.substr(point + 1);
        if (whole.empty() && decimals.empty())
            return std::nullopt;
        if (!whole.empty() && !digitsValue<Int>(whole))
            return std::nullopt;
        std::string digits(whole);
        digits += decimals;
        num = digitsValue<Int>(digits);
        for (std::size_t k = 0; k < decimals.size(); ++k)
            den = checked::mul(*den, Int(10));
    } else {
        num = digitsValue<Int>(text);
    }
    if (!num || !den || *den == 0)
        return std::nullopt;
    return BasicRational(negative ? -*num : *num, *den);
}

template <typename Int>
BasicRational<Int> BasicRational<Int>::operator+(const BasicRational &other) const
{
    return BasicRational(
        checked::add(checked::mul(m_num, other.m_den), checked::mul(other.m_num, m_den)),
        checked::mul(m_den, other.m_den));
}

template <typename Int>
BasicRational<Int> BasicRational<Int>::operator-(const BasicRational &other) const
{
    return *this + BasicRational(checked::negate(other.m_num), other.m_den);
}

template <typename Int>
BasicRational<Int> BasicRational<Int>::operator*(const BasicRational &other) const
{
    return BasicRational(checked::mul(m_num, other.m_num), checked::mul(m_den, other.m_den));
}

template <typename Int>
std::optional<BasicRational<Int>> BasicRational<Int>::dividedBy(const BasicRational &other) const
{
    if (other.m_num == 0)
        return std::nullopt;
    return BasicRational(checked::mul(m_num, other.m_den), checked::mul(m_den, other.m_num));
}

template <typename Int> std::string BasicRational<Int>::toString() const
{
    const auto digits = [](Int value) {
        const bool negative = value < 0;
        std::string text;
        do {
            const int digit = static_cast<int>(value % 10);
            text.insert(text.begin(), static_cast<char>('0' + (digit < 0 ? -digit : digit)));
            value /= 10;
        } while (value != 0);
        return negative ? "-" + text : text;
    };
    return m_den == 1 ? digits(m_num) : digits(m_num) + "/" + digits(m_den);
}

template class BasicRational<__int128>;
template class BasicRational<std::int64_t>;

} // namespace modQuaddle
