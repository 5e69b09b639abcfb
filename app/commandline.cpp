#include "commandline.h"

#include "quaddlefacts.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char help[] = "Usage: quaddle [--every | --help | --version]\n"
                    "\n"
                    "Opens the Quaddle window: type four numbers from 1 to 13 and press\n"
                    "Calculate to see how + - * / and brackets make them 24. The result\n"
                    "box's context menu lists every solution of the four numbers.\n"
                    "For the same search in a terminal, see quaddle-solve --help.\n"
                    "\n"
                    "      --every    open the list of every solution at once, without the\n"
                    "                 About window: one to six cards, any target\n"
                    "  -h, --help     show this help and exit\n"
                    "  -V, --version  show the version and exit\n";

bool is(const char *arg, const char *shortName, const char *longName)
{
    return std::strcmp(arg, shortName) == 0 || std::strcmp(arg, longName) == 0;
}

// What Qt said while starting, held back until it is known whether the
// display opened.
struct StartMessage {
    QtMsgType type;
    const char *file; // literals in the caller's code, which stays loaded
    int line;
    const char *function;
    std::string category;
    QString text;
};
std::vector<StartMessage> heldMessages;
QtMessageHandler previousHandler = nullptr;

void holdStartMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, context.file, context.line, context.function,
                                context.category ? context.category : "", text});
        return;
    }
    // Without a display Qt gives up with a fatal message about its platform
    // plugin, then aborts with a core dump. Say what is wrong instead.
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        std::fputs("quaddle: cannot open a window: no display (DISPLAY is not set)\n", stderr);
    else
        std::fprintf(stderr, "quaddle: cannot open a window: could not connect to display %s\n",
                     display.isEmpty() ? qgetenv("WAYLAND_DISPLAY").constData()
                                       : display.constData());
    std::_Exit(EXIT_FAILURE);
}

} // namespace

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    if (argc != 2)
        return std::nullopt;
    if (is(argv[1], "-h", "--help")) {
        std::fputs(help, stdout);
    } else if (is(argv[1], "-V", "--version")) {
        std::printf("quaddle %s\n", quaddle::versionText);
    } else {
        return std::nullopt;
    }
    return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}

bool asksForEverySolution(int argc, char *argv[])
{
    return argc == 2 && std::strcmp(argv[1], "--every") == 0;
}

DisplayGuard::DisplayGuard()
{
    previousHandler = qInstallMessageHandler(holdStartMessage);
}

DisplayGuard::~DisplayGuard()
{
    qInstallMessageHandler(previousHandler);
    for (const StartMessage &message : heldMessages) {
        const QMessageLogContext context(message.file, message.line, message.function,
                                         message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages.clear();
}
