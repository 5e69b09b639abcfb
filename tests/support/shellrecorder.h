// Stands in for the desktop shell while it lives, recording each request.
#pragma once

#include "toolkit/shell.h"

#include <vector>

class ShellRecorder
{
public:
    ShellRecorder()
        : m_previous(toolkit::setShellHandler(
              [this](const toolkit::ShellRequest &request) { m_requests.push_back(request); }))
    {}
    ~ShellRecorder() { toolkit::setShellHandler(m_previous); }
    ShellRecorder(const ShellRecorder &) = delete;
    ShellRecorder &operator=(const ShellRecorder &) = delete;

    const std::vector<toolkit::ShellRequest> &requests() const { return m_requests; }

private:
    toolkit::ShellHandler m_previous;
    std::vector<toolkit::ShellRequest> m_requests;
};
