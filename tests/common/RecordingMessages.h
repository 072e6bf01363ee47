#pragma once

#include "config/Messages.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

// Records every message box instead of showing it, and answers confirmations from a
// script. Installed for its lifetime.
class RecordingMessages final : public Messages
{
public:
    struct Shown
    {
        Kind kind;
        QString text;
        QString caption;
    };

    RecordingMessages();
    ~RecordingMessages() override;

    bool show(Kind kind, const QString& text, const QString& caption) override;

    void setNextAnswer(bool yes) { m_answers.push_back(yes); }
    // Runs while a message is "open", as if the user acted before closing it.
    void setOnShow(std::function<void(const Shown&)> hook) { m_onShow = std::move(hook); }

    const std::vector<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
    std::deque<bool> m_answers;
    std::function<void(const Shown&)> m_onShow;
};
