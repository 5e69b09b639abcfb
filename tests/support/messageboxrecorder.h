// Stands in for the modal warning box while it lives, recording what each box
// would have shown, so window tests never block on a dialog.
#pragma once

#include "toolkit/toolkit.h"

#include <string>
#include <vector>

class MessageBoxRecorder
{
public:
    MessageBoxRecorder()
        : m_previous(toolkit::setMessageBoxHandler(
              [this](std::string_view title, std::string_view prompt) {
                  m_titles.emplace_back(title);
                  m_prompts.emplace_back(prompt);
              }))
    {}
    ~MessageBoxRecorder() { toolkit::setMessageBoxHandler(m_previous); }
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    const std::vector<std::string> &titles() const { return m_titles; }
    const std::vector<std::string> &prompts() const { return m_prompts; }

private:
    toolkit::MessageBoxHandler m_previous;
    std::vector<std::string> m_titles;
    std::vector<std::string> m_prompts;
};
