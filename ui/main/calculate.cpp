// Entry check and result text of the Calculate command.
#include "calculate.h"

#include "leadingnumber.h"
#include "modQuaddle.h"

namespace calculate {

QString emptyEntryMessage()
{
    return QStringLiteral("请输入数字！");
}

QString outOfRangeMessage()
{
    return QStringLiteral("请输入一个1－13的数！");
}

EntryCheck checkEntry(QStringView text)
{
    if (text.isEmpty())
        return {std::nullopt, emptyEntryMessage()};
    const double value = leadingNumber(text);
    if (!(value >= 1.0 && value <= 13.0)) // also rejects NaN, should it ever appear
        return {std::nullopt, outOfRangeMessage()};
    return {static_cast<float>(value), QString()};
}

QString resultText()
{
    // The fifth slot is not shown: the box has room for four lines.
    QString text = QString::fromStdString(modQuaddle::strResult1);
    for (int shape = 2; shape <= 4; ++shape) {
        if (const std::string &slot = modQuaddle::resultSlot(shape); !slot.empty())
            text += QLatin1String("\r\n") + QString::fromStdString(slot);
    }
    return text;
}

} // namespace calculate
