#include "KeptRun.h"

#include "collection/RunArchive.h"
#include "collection/StatAccumulators.h"
#include "collection/StatusText.h"

KeptRun KeptRun::record(const StatAccumulators &stats, const FileLists &lists,
                        const QList<RunPages::Target> &targets, qint32 clusterSize,
                        qint64 unreadableFolders, bool aborted, const QDateTime &started)
{
    const CollectionOptions &options = stats.options();
    KeptRun run;
    run.started = started;
    for (const RunPages::Target &target : targets)
        run.targets.append(target.name);
    run.mode = options.allFiles          ? QStringLiteral("all")
               : options.includeSelected ? QStringLiteral("include")
                                         : QStringLiteral("exclude");
    // A chosen type row is "*.doc", TAB, description: the extension is kept.
    for (const QString &row : options.PickList2)
        run.types.append(row.section(u'\t', 0, 0).remove(0, row.startsWith(u'*') ? 1 : 0));
    run.hiddenFolders = options.enterHiddenFolders;
    run.longExtensions = options.listLongExtensions;
    run.filesProcessed = stats.filesProcessed;
    run.filesFound = stats.filesFound;
    for (const double bytes : stats.sizeBytes)
        run.bytesFound += qint64(bytes);
    run.unreadableFolders = unreadableFolders;
    run.aborted = aborted;
    run.status =
        finishedStatusText(stats.filesProcessed, stats.filesFound, aborted, unreadableFolders);
    run.clusterSize = clusterSize;
    if (targets.size() == 1)
        run.fileSystem = RunPages::fileSystemOf(targets.first());
    run.tables = RunPages::tables(stats, lists, targets, clusterSize, run.fileSystem);
    run.archive = RunArchive::write(stats, lists);
    return run;
}
