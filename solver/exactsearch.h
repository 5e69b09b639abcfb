// The search in exact rational arithmetic, for the command-line solver.
#pragma once

namespace modQuaddle {

// FindSolutions with a candidate a solution when its exact value is 24, so no
// solution is lost to rounding (3 3 8 8 gives 8/(3-8/3)). Same order, same
// slots, same texts. Throws std::overflow_error should the exact arithmetic
// ever run out of bits (it cannot for numbers from 0 to 13) and
// std::domain_error for a store holding inf or NaN.
void FindSolutionsExact();

} // namespace modQuaddle
