#include "LinuxVolumes.h"

#include "MountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isRemovableDevice(quint64 device)
{
    const QString base =
        QStringLiteral("/sys/dev/block/%1:%2/").arg(major(device)).arg(minor(device));
    // A partition has no flag of its own; its disk, the folder above, has.
    for (const QString &flag :
         {base + QStringLiteral("removable"), base + QStringLiteral("../removable")}) {
        const QByteArray value = readSmallFile(flag).trimmed();
        if (!value.isEmpty())
            return value == "1";
    }
    return false;
}

// Names in /dev/disk/by-label escape unsafe characters as \xHH.
QString decodeLabel(const QString &name)
{
    QByteArray bytes = QFile::encodeName(name);
    QByteArray decoded;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bool ok = false;
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            const int value = bytes.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                decoded.append(char(value));
                i += 3;
                continue;
            }
        }
        decoded.append(bytes[i]);
    }
    return QString::fromUtf8(decoded);
}

QString labelOfDevice(const QString &source)
{
    if (!source.startsWith(u"/dev/"))
        return QString();
    const QString device = QFileInfo(source).canonicalFilePath();
    const QDir labels(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo &link : labels.entryInfoList(QDir::System | QDir::Files)) {
        if (QFileInfo(link.absoluteFilePath()).canonicalFilePath() == device)
            return decodeLabel(link.fileName());
    }
    return QString();
}

struct PendingQuery {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool ok = false;
    bool abandoned = false; // its caller stopped waiting
    struct statvfs result {};
};

// Under pendingMutex: the query still running for a path, and the answers that came after
// their caller had given up, kept for the next question.
std::mutex pendingMutex;
std::map<QByteArray, std::shared_ptr<PendingQuery>> pendingQueries;
std::map<QByteArray, struct statvfs> lateAnswers;
std::atomic<int> waitLimitMs{LinuxVolumes::readyTimeoutMs};

VolumeSpace spaceOf(const struct statvfs &s)
{
    const quint64 unit = s.f_frsize ? s.f_frsize : s.f_bsize;
    return VolumeSpace{quint64(s.f_blocks) * unit, quint64(s.f_bfree) * unit, unit};
}

} // namespace

QList<MountEntry> LinuxVolumes::systemMounts()
{
    return MountTable::parseMountInfo(readSmallFile(QStringLiteral("/proc/self/mountinfo")));
}

QList<DriveInfo> LinuxVolumes::drives() const
{
    return MountTable::selectDrives(systemMounts(), {isRemovableDevice, labelOfDevice});
}

int LinuxVolumes::drivesLeftOut() const
{
    int leftOut = 0;
    MountTable::selectDrives(systemMounts(), {}, &leftOut);
    return leftOut;
}

QChar LinuxVolumes::currentDriveLetter() const
{
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return QChar();
    return MountTable::driveOfPath(drives(), QByteArray(buffer));
}

std::optional<VolumeSpace> LinuxVolumes::space(QChar letter) const
{
    const std::optional<DriveInfo> info = drive(letter);
    if (!info)
        return std::nullopt;
    return querySpace(info->mountPoint, waitLimitMs.load());
}

void LinuxVolumes::setWaitLimit(int milliseconds)
{
    waitLimitMs = milliseconds;
}

std::optional<VolumeSpace> LinuxVolumes::querySpace(const QByteArray &path, int timeoutMs,
                                                    SpaceCall call)
{
    std::shared_ptr<PendingQuery> query;
    {
        const std::lock_guard lock(pendingMutex);
        if (const auto late = lateAnswers.find(path); late != lateAnswers.end()) {
            const VolumeSpace space = spaceOf(late->second);
            lateAnswers.erase(late);
            return space;
        }
        // A question still unanswered is not asked again, nor waited for twice.
        if (pendingQueries.count(path))
            return std::nullopt;
        query = std::make_shared<PendingQuery>();
        pendingQueries[path] = query;
        std::thread([query, path, call] {
            struct statvfs result {};
            const bool ok = call(path.constData(), &result) == 0;
            {
                // Answered and no longer pending in one step, so that a question asked right
                // after this answer never finds it still pending.
                const std::lock_guard registryLock(pendingMutex);
                const std::lock_guard queryLock(query->mutex);
                query->done = true;
                query->ok = ok;
                query->result = result;
                pendingQueries.erase(path);
                if (query->abandoned && ok)
                    lateAnswers[path] = result;
            }
            query->finished.notify_all();
        }).detach();
    }
    std::unique_lock lock(query->mutex);
    if (!query->finished.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return query->done; })) {
        query->abandoned = true;
        return std::nullopt;
    }
    if (!query->ok)
        return std::nullopt;
    return spaceOf(query->result);
}
