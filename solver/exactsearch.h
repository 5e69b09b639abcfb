// The search in exact rational arithmetic, for the command-line solver.
#pragma once

#include "rational.h"

#include <array>
#include <string>

namespace modQuaddle {

// A hand for the exact search: its four values, exactly, and how to write them.
struct ExactHand {
    std::array<Rational, 4> values;
    std::array<std::string, 4> texts;
};

// FindSolutions with a candidate a solution when its exact value equals
// `target`, so no solution is lost to rounding (3 3 8 8 gives 8/(3-8/3)).
// Same order, same slots, texts written with the hand's texts. Throws
// std::overflow_error should the exact arithmetic ever run out of bits.
void FindSolutionsExact(const ExactHand &hand, const Rational &target = Rational(24));

// The same on the stored numbers: the exact values of the floats in Num and
// their usual texts. Throws std::domain_error for inf or NaN in the store.
void FindSolutionsExact();

} // namespace modQuaddle
