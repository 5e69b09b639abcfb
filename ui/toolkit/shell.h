// The desktop shell's "open" action on a document: a web address or a mailto:
// address. On Windows this is ShellExecuteA itself; elsewhere Qt hands the
// document to the desktop, never through a shell command line. Tests replace
// the request with a recorder here.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace toolkit {

// The show command that asks for the opened document to be shown (SW_SHOW).
inline constexpr int swShow = 5;

struct ShellRequest {
    WId owner;
    QString operation;
    QString file;
    QString parameters;
    QString directory;
    int showCommand;

    friend bool operator==(const ShellRequest &, const ShellRequest &) = default;
};

// Returns whether the shell accepted the request. Callers in this program do
// not look at it: a failed request changes nothing on screen.
bool ShellExecute(WId owner, const QString &operation, const QString &file,
                  const QString &parameters, const QString &directory, int showCommand);

// Replaces what ShellExecute does, for tests; an empty handler restores the
// real shell. Returns the handler that was in place.
using ShellHandler = std::function<void(const ShellRequest &request)>;
ShellHandler setShellHandler(ShellHandler handler);

} // namespace toolkit
