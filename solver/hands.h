// The hands the tools, tests and benchmarks sweep over.
#pragma once

#include <array>
#include <vector>

namespace modQuaddle {

using Hand = std::array<float, 4>;

// Every hand of four whole numbers from 1 to 13 with the order ignored, each
// sorted ascending, in ascending order: the 1,820 hands a deck can deal.
std::vector<Hand> allHands();

} // namespace modQuaddle
