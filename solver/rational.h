// Exact fractions: numerator and denominator in a signed integer type, always
// in lowest terms with a positive denominator, so equal values have equal
// members. Every operation checks for overflow and throws std::overflow_error
// rather than wrap. Rational (128 bits) holds anything the solver's hands can
// produce; Rational64 is the quick path that callers fall back from.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace modQuaddle {

template <typename Integer> class BasicRational
{
public:
    using Int = Integer;

    constexpr BasicRational() = default;
    constexpr BasicRational(long long whole)
        : m_num(whole)
    {}

    // num/den in lowest terms; den must not be zero.
    static BasicRational fraction(Int num, Int den) { return BasicRational(num, den); }

    // The exact value of a float; throws std::domain_error for inf and NaN.
    static BasicRational fromFloat(float value);

    // A number as written: an optional minus sign, digits with an optional
    // decimal point ("12.99999999" is 1299999999/100000000), or two whole
    // numbers as a fraction ("1/2"). Nothing for any other text or a zero
    // denominator; std::overflow_error for more digits than Int holds.
    static std::optional<BasicRational> parse(std::string_view text);

    BasicRational operator+(const BasicRational &other) const;
    BasicRational operator-(const BasicRational &other) const;
    BasicRational operator*(const BasicRational &other) const;
    // Nothing for a division by zero.
    std::optional<BasicRational> dividedBy(const BasicRational &other) const;

    friend bool operator==(const BasicRational &, const BasicRational &) = default;

    Int numerator() const { return m_num; }
    Int denominator() const { return m_den; }
    bool isZero() const { return m_num == 0; }

    std::string toString() const; // "p/q", or "p" for a whole number

    // The same value in a wider type.
    template <typename Other> explicit operator BasicRational<Other>() const
    {
        return BasicRational<Other>::fraction(m_num, m_den);
    }

private:
    BasicRational(Int num, Int den);

    Int m_num = 0;
    Int m_den = 1;
};

using Rational = BasicRational<__int128>;
using Rational64 = BasicRational<std::int64_t>;

extern template class BasicRational<__int128>;
extern template class BasicRational<std::int64_t>;

namespace checked {

[[noreturn]] inline void overflow()
{
    throw std::overflow_error("exact arithmetic overflowed");
}

template <typename Int> Int mul(Int a, Int b)
{
    Int product;
    if (__builtin_mul_overflow(a, b, &product))
        overflow();
    return product;
}

template <typename Int> Int add(Int a, Int b)
{
    Int sum;
    if (__builtin_add_overflow(a, b, &sum))
        overflow();
    return sum;
}

template <typename Int> Int negate(Int a)
{
    Int negated;
    if (__builtin_sub_overflow(Int(0), a, &negated))
        overflow();
    return negated;
}

} // namespace checked

} // namespace modQuaddle
