#pragma once

#include "platform/Shell.h"

// Web addresses go to the desktop's browser.
class DesktopShell final : public Shell {
public:
    bool openUrl(const QString &address) override;
};
