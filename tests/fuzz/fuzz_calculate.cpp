// libFuzzer target: arbitrary bytes as entry texts, through the leading-number
// conversion and through the whole Calculate command of a real main window.
#include "form1driver.h"
#include "main/calculate.h"
#include "main/form1.h"
#include "main/leadingnumber.h"
#include "toolkit/toolkit.h"

#include <QApplication>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

Form1 *mainWindow = nullptr;

// The bytes as UTF-16 code units, so every character can appear, unpaired
// surrogates included.
QString utf16(const std::uint8_t *data, std::size_t size)
{
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Lives as long as the process: libFuzzer ends with exit(), and an
    // application destroyed by exit handlers would outlive its windows' fonts.
    new QApplication(*argc, *argv);
    toolkit::setMessageBoxHandler([](const QString &, const QString &) {});
    mainWindow = &toolkit::form<Form1>();
    mainWindow->Show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString units = utf16(data, size);
    if (std::isnan(leadingNumber(units)))
        __builtin_trap(); // the conversion never makes up a NaN
    calculate::checkEntry(units);

    // As typed text: up to four entries separated by U+0001.
    const QStringList entries =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))
            .split(QChar(1));
    const Form1Driver driver(*mainWindow);
    driver.setEntries(entries.mid(0, 4));
    driver.calculate();
    return 0;
}
