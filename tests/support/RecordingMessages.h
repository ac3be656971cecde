#pragma once

#include "platform/Messages.h"

#include <QStringList>

#include <functional>

// Records beeps and message boxes instead of showing them, so no test blocks on a modal box.
// Installs itself while it lives.
class RecordingMessages final : public Messages {
public:
    RecordingMessages();
    ~RecordingMessages() override;

    void beep() override { log.append(QStringLiteral("beep")); }
    void errorBox(const QString &text) override { log.append(QStringLiteral("Error: ") + text); }
    void infoBox(const QString &text) override
    {
        log.append(QStringLiteral("Information: ") + text);
        if (whileInfoShows)
            whileInfoShows();
    }

    bool confirm(const QString &text) override
    {
        log.append(QStringLiteral("Confirm: ") + text);
        return answer;
    }

    QStringList log;
    // What every question is answered.
    bool answer = true;
    // What happens while an information box would be open.
    std::function<void()> whileInfoShows;
};
