#include "every/everyanswer.h"

#include "cards.h"
#include "everysolution.h"
#include "protocol.h"

#include <optional>
#include <stdexcept>
#include <vector>

namespace every {

using namespace protocol;

namespace {

// A word the user typed, for a message: at most six characters, and
// nothing that could take the line apart.
std::string quoted(std::string_view word)
{
    constexpr std::size_t most = 6;
    std::size_t characters = 0;
    std::size_t end = 0;
    while (end < word.size() && characters < most) {
        ++end;
        // Past the continuation bytes of a UTF-8 sequence.
        while (end < word.size() && (static_cast<unsigned char>(word[end]) & 0xC0) == 0x80)
            ++end;
        ++characters;
    }
    std::string text = "“" + cards::printable(word.substr(0, end));
    if (end < word.size())
        text += "…";
    return text + "”";
}

} // namespace

Reading readEntries(std::string_view hand, std::string_view target)
{
    const std::vector<std::string_view> words = cards::splitHand(hand);
    if (words.empty())
        return {{}, "请输入1至6个数。"};
    if (words.size() > modQuaddle::everySolutionMaxNumbers)
        return {{}, "最多6个数，这里有" + std::to_string(words.size()) + "个。"};

    std::string request;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string which = "第" + std::to_string(k + 1) + "个数" + quoted(words[k]);
        const std::optional<cards::Card> card = cards::parseCard(words[k]);
        if (!card)
            return {{}, which + "不是1－13的数或A、J、Q、K。"};
        try {
            cards::exactValue(*card);
        } catch (const std::overflow_error &) {
            return {{}, which + "位数太多。"};
        }
        request += newline + card->text;
    }

    const std::vector<std::string_view> targetWords = cards::splitHand(target);
    if (targetWords.empty())
        return {{}, "请输入目标数。"};
    const std::string which = "目标" + quoted(target);
    if (targetWords.size() > 1)
        return {{}, which + "不是一个数。"};
    std::optional<modQuaddle::Rational> value;
    try {
        value = modQuaddle::Rational::parse(targetWords.front());
    } catch (const std::overflow_error &) {
        return {{}, which + "位数太多。"};
    }
    if (!value)
        return {{}, which + "不是整数、小数或分数。"};
    return {value->toString() + request, {}};
}

Shown showAnswer(std::string_view answer)
{
    // Nothing at all: the work could not be done (toolkit::startJob).
    if (answer.empty())
        return {"未能计算，请再试一次。", ""};
    const std::vector<std::string_view> parts = lines(answer);
    if (parts.front() != solved)
        return {"数太大，无法精确计算。", ""};
    if (parts.size() == 1)
        return {"无解。", "无解"};
    Shown shown{"共有" + std::to_string(parts.size() - 1) + "种解法：", {}};
    for (std::size_t k = 1; k < parts.size(); ++k)
        shown.lines += (k == 1 ? "" : "\r\n") + std::string(parts[k]);
    return shown;
}

} // namespace every
