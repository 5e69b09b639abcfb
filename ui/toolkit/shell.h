// The desktop shell's "open" action on a document: a web address or a mailto:
// address, as ShellExecute takes it on Windows. Each backend hands the request
// to its desktop; tests replace it with a recorder here.
#pragma once

#include "toolkit.h"

#include <functional>
#include <string>
#include <string_view>

namespace toolkit {

// The show command that asks for the opened document to be shown (SW_SHOW).
inline constexpr int swShow = 5;

struct ShellRequest {
    NativeHandle owner;
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand;

    friend bool operator==(const ShellRequest &, const ShellRequest &) = default;
};

// Returns whether the shell accepted the request. Callers in this program do
// not look at it: a failed request changes nothing on screen.
bool ShellExecute(NativeHandle owner, std::string_view operation, std::string_view file,
                  std::string_view parameters, std::string_view directory, int showCommand);

// Replaces what ShellExecute does, for tests; an empty handler restores the
// real shell. Returns the handler that was in place.
using ShellHandler = std::function<void(const ShellRequest &request)>;
ShellHandler setShellHandler(ShellHandler handler);

} // namespace toolkit
