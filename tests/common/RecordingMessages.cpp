#include "tests/common/RecordingMessages.h"

#include <QStringList>

RecordingMessages::RecordingMessages()
{
    Messages::install(this);
}

RecordingMessages::~RecordingMessages()
{
    Messages::install(nullptr);
}

bool RecordingMessages::show(Kind kind, const QString& text, const QString& caption)
{
    m_shown.push_back({kind, text, caption});
    if (m_onShow)
        m_onShow(m_shown.back());
    if (kind != Kind::Confirmation)
        return true;
    // An unscripted confirmation is answered No: a test must ask for Yes explicitly.
    if (m_answers.empty())
        return false;
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

QStringList RecordingMessages::texts() const
{
    QStringList list;
    for (const Shown& s : m_shown)
        list << s.text;
    return list;
}
