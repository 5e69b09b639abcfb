// The parts of the Calculate command that do not need a window: checking one
// entry and joining the result slots into the text of the result box.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace calculate {

// The warnings, exactly as the user reads them.
QString emptyEntryMessage(); // the entry box is empty
QString outOfRangeMessage(); // the entry does not read as a number from 1 to 13

// An entry that is not empty and reads as a number from 1 to 13, both
// included, compared in double precision before rounding, is accepted and
// stored as the nearest float. Otherwise the warning to show.
struct EntryCheck {
    std::optional<float> value;
    QString warning;
};
EntryCheck checkEntry(QStringView text);

// strResult1, then each non-empty one of strResult2 to strResult4, each
// preceded by a carriage return and line feed.
QString resultText();

} // namespace calculate
