#pragma once

#include "platform/Messages.h"

// Nobody reads a fuzzer's message boxes.
class SilentMessages final : public Messages {
public:
    void beep() override {}
    void errorBox(const QString &) override {}
    void infoBox(const QString &) override {}
    bool confirm(const QString &) override { return false; }
};
