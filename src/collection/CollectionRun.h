#pragma once

#include "CollectionOptions.h"
#include "DirectoryWalker.h"
#include "RunTarget.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class FileLists;
class StatAccumulators;

// One collection run, whoever asked for it: the statistics window, quillix-report or a bench.
// It takes the run's options and targets, leaves out a target that another target's walk
// covers, zeroes the accumulators and lists, walks each target in turn (its readiness, cluster
// size and file system looked at first), registers the chosen types, and keeps what became of
// every target. It raises no message: front ends say what they choose, through the hooks and
// the outcomes.
class CollectionRun {
public:
    enum class State {
        Walked,     // walked, completely or until a stop
        NotReady,   // a drive that did not answer: passed over
        CannotOpen, // its root could not be opened (reason says why)
        Inside,     // lies inside another target of the run and is walked with it
    };
    struct TargetOutcome {
        RunTarget target;
        State state = State::Walked;
        // Why it could not be opened; for a target inside another, the other's name.
        QString reason;
        // What its walk counted: files, their bytes and (when counted) their space on disk.
        qint64 files = 0;
        double bytes = 0;
        double allocated = 0;
    };
    // What a front end does around the targets; each may be empty.
    struct Hooks {
        // Each target in turn, ready or not, before anything else is done with it.
        std::function<void(const RunTarget &)> starting;
        // A ready target: must call walk (which walks it and tells how that went) once, doing
        // around it what the front end does before and after a walk.
        std::function<void(const RunTarget &, const std::function<State()> &walk)> around;
        // Each target's outcome, once it is walked or passed over.
        std::function<void(const TargetOutcome &)> finished;
    };

    CollectionRun(StatAccumulators &stats, FileLists &lists);

    // The walker, for its threads, stop flags, pump and test seams.
    DirectoryWalker &walker() { return m_walker; }
    const DirectoryWalker &walker() const { return m_walker; }
    // The largest files kept of every row of the runs from now on; 0 keeps none.
    void setListLimit(int limit) { m_listLimit = limit; }

    // Sets the next run up: the targets in order, each once, none that lies inside another
    // (said in notes()), and the options with PickList1 the targets' names and the overhang
    // counted for a single target. The accumulators take the options; nothing is zeroed yet.
    void prepare(const CollectionOptions &options, const QList<RunTarget> &targets);
    const CollectionOptions &options() const { return m_options; }
    const QList<RunTarget> &targets() const { return m_targets; }
    // "/home/ann lies inside c: and is walked with it", one per target left out.
    const QStringList &notes() const { return m_notes; }

    // Zeroes the accumulators and lists and walks every target in order, until a stop flag.
    void walk(const Hooks &hooks = {});

    // What the last walk did.
    const QList<TargetOutcome> &outcomes() const { return m_outcomes; }
    bool walkedAny() const;
    bool aborted() const { return m_aborted; }
    bool anyCannotOpen() const;
    const QDateTime &started() const { return m_started; }
    // When the last walk ended (stopped or not).
    const QDateTime &finished() const { return m_finished; }
    // The cluster size of the last target walked; the file system of a single target.
    qint32 clusterSize() const { return m_clusterSize; }
    QString fileSystem() const { return m_fileSystem; }
    const UnreadableFolders &unreadable() const { return m_walker.unreadable(); }
    // "Finished - 1,234 files processed", with its additions, for the counters so far.
    QString finishedStatus() const;
    StatAccumulators &stats() { return m_stats; }
    const StatAccumulators &stats() const { return m_stats; }
    const FileLists &lists() const { return m_lists; }

    // "Can't open drive c: [sys]" or "Can't open folder /srv/x", for a target whose root could
    // not be opened.
    static QString cannotOpenText(const RunTarget &target);

private:
    State walkTarget(const RunTarget &target, QString &reason);

    StatAccumulators &m_stats;
    FileLists &m_lists;
    DirectoryWalker m_walker;
    int m_listLimit = 0;
    CollectionOptions m_options;
    QList<RunTarget> m_targets;
    QList<TargetOutcome> m_inside;
    QStringList m_notes;
    QList<TargetOutcome> m_outcomes;
    QDateTime m_started;
    QDateTime m_finished;
    bool m_aborted = false;
    qint32 m_clusterSize = 0;
    QString m_fileSystem;
};
