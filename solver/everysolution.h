// Every distinct solution of a hand: all of its numbers, each used once,
// combined with + - * / and brackets into a target, in exact arithmetic.
#pragma once

#include "rational.h"

#include <stop_token>
#include <string>
#include <vector>

namespace modQuaddle {

// One number of the hand: its exact value and how to write it.
struct HandNumber {
    Rational value;
    std::string text;
};

inline constexpr std::size_t everySolutionMaxNumbers = 6;

// The solutions of `numbers` (1 to everySolutionMaxNumbers of them) for
// `target`, each once, sorted, written with the fewest brackets that the
// usual precedence needs.
//
// Two expressions are the same solution when they are equal after ordering
// the operands of + and *, and flattening chains of + and - into one sum of
// signed terms and chains of * and / into one product of factors and divisors
// (so a-(b-c) is a-b+c and a/(b/c) is a*c/b). Nothing else is the same:
// 1*x and x/1 differ, as do a*(b+c) and a*b+a*c, and (a-b)*(c-d) and
// (b-a)*(d-c). Numbers are compared by value, so equal numbers are
// interchangeable, and a value is written with the text of its first number.
//
// Throws std::invalid_argument for a count of numbers outside the range and
// std::overflow_error should the exact arithmetic run out of bits. Gives up
// soon after `stop` is requested, and returns nothing then.
std::vector<std::string> FindEverySolution(const std::vector<HandNumber> &numbers,
                                           const Rational &target = Rational(24),
                                           std::stop_token stop = {});

} // namespace modQuaddle
