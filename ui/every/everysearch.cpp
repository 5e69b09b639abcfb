// The every-solution window's search, in a file of its own: the page's
// program leaves it out, as the page runs it in its worker (app/CMakeLists.txt).
#include "cards.h"
#include "everyanswer.h"
#include "everysolution.h"
#include "protocol.h"

#include <stdexcept>
#include <vector>

namespace every {

using namespace protocol;

std::string search(std::string_view request, std::stop_token stop)
{
    const std::vector<std::string_view> parts = lines(request);
    if (parts.size() < 2)
        throw std::invalid_argument("not a request");
    std::vector<modQuaddle::HandNumber> numbers;
    for (std::size_t k = 1; k < parts.size(); ++k) {
        const cards::Card card = cards::parseCard(parts[k]).value();
        numbers.push_back({cards::exactValue(card), card.text});
    }
    const modQuaddle::Rational target = modQuaddle::Rational::parse(parts[0]).value();

    std::string answer(solved);
    try {
        for (const std::string &solution :
             modQuaddle::FindEverySolution(numbers, target, std::move(stop)))
            answer += newline + solution;
    } catch (const std::overflow_error &) {
        return std::string(overflowed);
    }
    return answer;
}

} // namespace every
