#pragma once

#include "config/Messages.h"

// The message service as real modal message boxes.
class WidgetMessages final : public Messages
{
public:
    bool show(Kind kind, const QString& text, const QString& caption) override;
};
