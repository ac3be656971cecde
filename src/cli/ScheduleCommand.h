#pragma once

#include <QString>

#include <functional>

// quillix-report --schedule: turns the systemd user timer that runs quillix-report --scheduled
// on (daily or weekly) or off. The timer and its service come with the package, disabled; the
// period is a drop-in of the user's own (~/.config/systemd/user/quillix-report.timer.d), so the
// packaged units stay as they are. systemctl is run with its arguments as a list, never through
// a shell. Where there is no systemd user manager, says what to put into cron instead.
class ScheduleCommand {
public:
    // out: what is said to the user, line by line.
    explicit ScheduleCommand(std::function<void(const QString &)> out);

    // when: "daily", "weekly" or "off". The exit status: 0 done, 1 not done (said why).
    int run(const QString &when);

    static bool isPeriod(const QString &when);
    static constexpr const char *timer = "quillix-report.timer";

private:
    // Runs systemctl --user with arguments; false after saying why it failed.
    bool systemctl(const QStringList &arguments);
    bool writeDropIn(const QString &when);
    int withoutSystemd(const QString &when, const QString &reason);

    std::function<void(const QString &)> m_out;
    QString m_lastReason; // why the last step failed
};
