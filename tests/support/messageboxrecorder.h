// Stands in for the modal warning box while it lives, recording what each box
// would have shown, so widget tests never block on a dialog.
#pragma once

#include "toolkit/toolkit.h"

#include <QStringList>

class MessageBoxRecorder
{
public:
    MessageBoxRecorder()
        : m_previous(
              toolkit::setMessageBoxHandler([this](const QString &title, const QString &prompt) {
                  m_titles.append(title);
                  m_prompts.append(prompt);
              }))
    {}
    ~MessageBoxRecorder() { toolkit::setMessageBoxHandler(m_previous); }
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    QStringList titles() const { return m_titles; }
    QStringList prompts() const { return m_prompts; }

private:
    toolkit::MessageBoxHandler m_previous;
    QStringList m_titles;
    QStringList m_prompts;
};
