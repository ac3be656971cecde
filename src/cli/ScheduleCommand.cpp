#include "ScheduleCommand.h"

#include "common/WholeFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

ScheduleCommand::ScheduleCommand(std::function<void(const QString &)> out) : m_out(std::move(out))
{
}

bool ScheduleCommand::isPeriod(const QString &when)
{
    return when == u"daily" || when == u"weekly" || when == u"off";
}

bool ScheduleCommand::systemctl(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments);
    if (!process.waitForStarted(10000)) {
        m_lastReason = QStringLiteral("systemctl cannot be run: ") + process.errorString();
        return false;
    }
    // A user manager that does not answer is not waited for long.
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        m_lastReason = QStringLiteral("systemctl did not answer within 30 seconds");
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_lastReason = QString::fromLocal8Bit(process.readAll()).trimmed();
        if (m_lastReason.isEmpty())
            m_lastReason =
                QStringLiteral("systemctl failed (exit status %1)").arg(process.exitCode());
        return false;
    }
    return true;
}

bool ScheduleCommand::writeDropIn(const QString &when)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/systemd/user/") + QLatin1StringView(timer) +
                           QStringLiteral(".d");
    if (!QDir().mkpath(folder)) {
        m_lastReason = QStringLiteral("cannot make ") + folder;
        return false;
    }
    const QString path = folder + QStringLiteral("/schedule.conf");
    // The empty OnCalendar= clears the packaged one before the chosen period is set.
    const QByteArray text = "# Written by quillix-report --schedule.\n[Timer]\nOnCalendar=\n"
                            "OnCalendar=" +
                            when.toLatin1() + '\n';
    if (const QString reason = writeWholeFile(path, text); !reason.isEmpty()) {
        m_lastReason = path + QStringLiteral(": ") + reason;
        return false;
    }
    return true;
}

int ScheduleCommand::withoutSystemd(const QString &when, const QString &reason)
{
    m_out(QStringLiteral("The schedule is not changed: ") + reason);
    if (when == u"off") {
        m_out(QStringLiteral("Where a crontab line runs quillix-report --scheduled, remove it "
                             "with crontab -e."));
        return 1;
    }
    m_out(QStringLiteral("Without a systemd user manager, add this line with crontab -e to run "
                         "it %1:")
              .arg(when));
    m_out(when == u"daily" ? QStringLiteral("17 3 * * * quillix-report --scheduled")
                           : QStringLiteral("17 3 * * 0 quillix-report --scheduled"));
    return 1;
}

int ScheduleCommand::run(const QString &when)
{
    const QString unit = QString::fromLatin1(timer);
    if (when == u"off") {
        if (!systemctl({QStringLiteral("disable"), QStringLiteral("--now"), unit}))
            return withoutSystemd(when, m_lastReason);
        m_out(QStringLiteral("Scheduled runs are off."));
        return 0;
    }
    if (!writeDropIn(when))
        return withoutSystemd(when, m_lastReason);
    if (!systemctl({QStringLiteral("daemon-reload")}) ||
        !systemctl({QStringLiteral("enable"), QStringLiteral("--now"), unit}))
        return withoutSystemd(when, m_lastReason);
    m_out(QStringLiteral("Runs are kept %1 (systemctl --user list-timers shows the next). They "
                         "walk the targets of the window's last run, with its options.")
              .arg(when));
    return 0;
}
