#pragma once

#include "platform/Shell.h"

// Web addresses and files go to the desktop's programs; a file is shown in the file manager
// through the freedesktop interface where one answers on the session bus.
class DesktopShell final : public Shell {
public:
    bool openUrl(const QString &address) override;
    bool showInFileManager(const QByteArray &path) override;
};
