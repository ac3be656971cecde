#pragma once

#include "platform/Messages.h"

// The program's beep and modal message boxes, over the window that is active.
class WidgetMessages final : public Messages {
public:
    void beep() override;
    void errorBox(const QString &text) override;
    void infoBox(const QString &text) override;
    bool confirm(const QString &text) override;
};
