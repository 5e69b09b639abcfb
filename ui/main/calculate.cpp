// Entry check and result text of the Calculate command.
#include "calculate.h"

#include "leadingnumber.h"
#include "modQuaddle.h"

namespace calculate {

EntryCheck checkEntry(std::string_view text)
{
    if (text.empty())
        return {std::nullopt, emptyEntryMessage};
    const double value = leadingNumber(text);
    if (!(value >= 1.0 && value <= 13.0)) // also rejects NaN, should it ever appear
        return {std::nullopt, outOfRangeMessage};
    return {static_cast<float>(value), {}};
}

std::string resultText()
{
    // The fifth slot is not shown: the box has room for four lines.
    std::string text = modQuaddle::strResult1;
    for (int shape = 2; shape <= 4; ++shape) {
        if (const std::string &slot = modQuaddle::resultSlot(shape); !slot.empty())
            text += "\r\n" + slot;
    }
    return text;
}

} // namespace calculate
