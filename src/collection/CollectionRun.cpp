#include "CollectionRun.h"

#include "FileLists.h"
#include "StatAccumulators.h"
#include "StatusText.h"
#include "common/FileNameText.h"
#include "platform/DirListing.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <unistd.h>

namespace {

// Where a target's walk reaches: its real path and the mount it stays on.
struct Reach {
    QByteArray path;
    MountIdentity mount;
};

std::optional<Reach> reachOf(const RunTarget &target)
{
    const QByteArray root = target.rootPath();
    if (root.isEmpty() || !target.isReady())
        return std::nullopt;
    char *real = ::realpath(root.constData(), nullptr);
    if (!real)
        return std::nullopt;
    Reach reach{QByteArray(real), {}};
    std::free(real);
    const int fd = ::open(reach.path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const bool known = DirListing::identifyMount(fd, reach.mount);
    ::close(fd);
    return known ? std::optional<Reach>(reach) : std::nullopt;
}

// The walk of outer reaches inner: the same mount (a walk never leaves its own), at or below
// outer's folder, and through no hidden folder unless the run enters them.
bool covers(const Reach &outer, const Reach &inner, bool enterHidden)
{
    const bool sameMount = outer.mount.hasMountId && inner.mount.hasMountId
                               ? outer.mount.mountId == inner.mount.mountId
                               : outer.mount.device == inner.mount.device;
    if (!sameMount)
        return false;
    if (inner.path == outer.path)
        return true;
    const QByteArray prefix = outer.path.endsWith('/') ? outer.path : outer.path + '/';
    if (!inner.path.startsWith(prefix))
        return false;
    if (enterHidden)
        return true;
    for (const QByteArray &part : inner.path.mid(prefix.size()).split('/'))
        if (part.startsWith('.'))
            return false;
    return true;
}

} // namespace

CollectionRun::CollectionRun(StatAccumulators &stats, FileLists &lists)
    : m_stats(stats), m_lists(lists), m_walker(stats)
{
}

void CollectionRun::prepare(const CollectionOptions &options, const QList<RunTarget> &targets)
{
    m_targets.clear();
    m_inside.clear();
    m_notes.clear();
    QList<RunTarget> unique;
    for (const RunTarget &target : targets)
        if (!target.name.isEmpty() && !unique.contains(target))
            unique.append(target);

    std::vector<std::optional<Reach>> reaches;
    for (const RunTarget &target : unique)
        reaches.push_back(reachOf(target));
    // A target inside another is left out; of two that reach the same tree, the first stays.
    auto within = [&](qsizetype inner, qsizetype outer) {
        if (inner == outer || !reaches[size_t(inner)] || !reaches[size_t(outer)])
            return false;
        const Reach &in = *reaches[size_t(inner)];
        const Reach &out = *reaches[size_t(outer)];
        if (!covers(out, in, options.enterHiddenFolders))
            return false;
        return !covers(in, out, options.enterHiddenFolders) || outer < inner;
    };
    std::vector<bool> left(size_t(unique.size()), false);
    for (qsizetype i = 0; i < unique.size(); ++i)
        for (qsizetype j = 0; j < unique.size() && !left[size_t(i)]; ++j)
            left[size_t(i)] = within(i, j);
    for (qsizetype i = 0; i < unique.size(); ++i) {
        if (!left[size_t(i)]) {
            m_targets.append(unique[i]);
            continue;
        }
        // Named by a target that stays: the outermost one.
        for (qsizetype j = 0; j < unique.size(); ++j)
            if (!left[size_t(j)] && within(i, j)) {
                m_inside.append({unique[i], State::Inside, unique[j].name});
                m_notes.append(unique[i].name + QStringLiteral(" lies inside ") + unique[j].name +
                               QStringLiteral(" and is walked with it"));
                break;
            }
    }

    m_options = options;
    m_options.PickList1 = RunTarget::namesOf(m_targets);
    m_options.collectOverhang = m_targets.size() == 1;
    m_stats.setOptions(m_options);
}

void CollectionRun::walk(const Hooks &hooks)
{
    m_started = QDateTime::currentDateTime();
    m_outcomes.clear();
    m_aborted = false;
    m_clusterSize = 0;
    m_fileSystem = m_targets.size() == 1 ? m_targets.first().fileSystem() : QString();
    m_stats.setOptions(m_options);
    m_stats.clearVariables();
    m_lists.clear();
    m_lists.setLimit(m_listLimit);
    m_walker.setFileLists(&m_lists);
    m_walker.clearUnreadable();
    m_walker.clearLinkedFiles();

    for (const RunTarget &target : m_targets) {
        if (m_walker.stopRequested())
            break;
        m_stats.setCurrentDrive(target.name);
        if (hooks.starting)
            hooks.starting(target);
        TargetOutcome outcome{target, State::NotReady, {}};
        const auto bytesSoFar = [this] {
            return std::accumulate(m_stats.sizeBytes.begin(), m_stats.sizeBytes.end(), 0.0);
        };
        const qint64 filesBefore = m_stats.filesFound;
        const double bytesBefore = bytesSoFar();
        const double allocatedBefore = m_stats.onDisk.files;
        if (target.isReady()) {
            m_clusterSize = target.clusterSize();
            const std::function<State()> walkIt = [&] {
                outcome.state = walkTarget(target, outcome.reason);
                return outcome.state;
            };
            if (hooks.around)
                hooks.around(target, walkIt);
            else
                walkIt();
        }
        outcome.files = m_stats.filesFound - filesBefore;
        outcome.bytes = bytesSoFar() - bytesBefore;
        outcome.allocated = m_stats.onDisk.files - allocatedBefore;
        m_outcomes.append(outcome);
        if (hooks.finished)
            hooks.finished(outcome);
    }
    m_outcomes += m_inside;
    m_stats.registerChosenTypes();
    m_aborted = m_walker.stopRequested();
    m_finished = QDateTime::currentDateTime();
}

CollectionRun::State CollectionRun::walkTarget(const RunTarget &target, QString &reason)
{
    const DirectoryWalker::Outcome outcome = target.isFolder()
                                                 ? m_walker.walkFolder(target.folder, target.name)
                                                 : m_walker.ScanAllDrives(target.name);
    // Every page built after this walk has a row for each chosen type.
    m_stats.registerChosenTypes();
    switch (outcome) {
    case DirectoryWalker::Outcome::Walked:
        return State::Walked;
    case DirectoryWalker::Outcome::NotReady:
        return State::NotReady;
    case DirectoryWalker::Outcome::CannotOpen:
        break;
    }
    reason = QString::fromLocal8Bit(std::strerror(m_walker.lastError()));
    return State::CannotOpen;
}

bool CollectionRun::walkedAny() const
{
    for (const TargetOutcome &outcome : m_outcomes)
        if (outcome.state == State::Walked || outcome.state == State::CannotOpen)
            return true;
    return false;
}

bool CollectionRun::anyCannotOpen() const
{
    for (const TargetOutcome &outcome : m_outcomes)
        if (outcome.state == State::CannotOpen)
            return true;
    return false;
}

QString CollectionRun::finishedStatus() const
{
    return finishedStatusText(m_stats.filesProcessed, m_stats.filesFound, m_walker.stopRequested(),
                              m_walker.unreadableFolders(), m_walker.unreadable().skipped());
}

QString CollectionRun::cannotOpenText(const RunTarget &target)
{
    return (target.isFolder() ? QStringLiteral("Can't open folder ")
                              : QStringLiteral("Can't open drive ")) +
           withoutHiddenControls(target.name);
}
