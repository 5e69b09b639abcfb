#include "hands.h"

namespace modQuaddle {

std::vector<Hand> allHands()
{
    std::vector<Hand> hands;
    hands.reserve(1820);
    for (int a = 1; a <= 13; ++a)
        for (int b = a; b <= 13; ++b)
            for (int c = b; c <= 13; ++c)
                for (int d = c; d <= 13; ++d)
                    hands.push_back({float(a), float(b), float(c), float(d)});
    return hands;
}

} // namespace modQuaddle
