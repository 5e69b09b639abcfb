// Evaluates a solution text such as "(8-5)*9-3" in exact rational arithmetic,
// with the usual precedence, so tests can check that a text really makes 24
// without trusting the solver's own floating point.
#pragma once

#include <cstdint>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace exact {

struct Fraction {
    std::int64_t num = 0;
    std::int64_t den = 1;

    static Fraction make(std::int64_t n, std::int64_t d)
    {
        if (d == 0)
            throw std::domain_error("division by zero");
        if (d < 0) {
            n = -n;
            d = -d;
        }
        const std::int64_t g = std::gcd(n, d);
        return {n / g, d / g};
    }
    friend bool operator==(const Fraction &, const Fraction &) = default;
};

class Parser
{
public:
    explicit Parser(std::string_view text)
        : m_text(text)
    {}

    // The value of the whole text; throws on anything that is not a well-formed
    // expression of whole numbers, + - * / and brackets.
    Fraction evaluate()
    {
        const Fraction value = sum();
        if (m_pos != m_text.size())
            throw std::invalid_argument("trailing characters");
        return value;
    }

private:
    Fraction sum()
    {
        Fraction value = product();
        while (peek() == '+' || peek() == '-') {
            const char op = m_text[m_pos++];
            const Fraction rhs = product();
            value = op == '+' ? Fraction::make(value.num * rhs.den + rhs.num * value.den,
                                               value.den * rhs.den)
                              : Fraction::make(value.num * rhs.den - rhs.num * value.den,
                                               value.den * rhs.den);
        }
        return value;
    }

    Fraction product()
    {
        Fraction value = primary();
        while (peek() == '*' || peek() == '/') {
            const char op = m_text[m_pos++];
            const Fraction rhs = primary();
            value = op == '*' ? Fraction::make(value.num * rhs.num, value.den * rhs.den)
                              : Fraction::make(value.num * rhs.den, value.den * rhs.num);
        }
        return value;
    }

    Fraction primary()
    {
        if (peek() == '(') {
            ++m_pos;
            const Fraction value = sum();
            if (peek() != ')')
                throw std::invalid_argument("missing )");
            ++m_pos;
            return value;
        }
        std::int64_t n = 0;
        const std::size_t start = m_pos;
        while (peek() >= '0' && peek() <= '9')
            n = n * 10 + (m_text[m_pos++] - '0');
        if (m_pos == start)
            throw std::invalid_argument("number expected");
        return {n, 1};
    }

    char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

inline Fraction evaluate(std::string_view text)
{
    return Parser(text).evaluate();
}

} // namespace exact
