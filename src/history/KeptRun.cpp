#include "KeptRun.h"

#include "collection/CollectionRun.h"
#include "collection/RunArchive.h"
#include "collection/StatAccumulators.h"
#include "reports/RunPages.h"

#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace {

// The host a run is kept under: QUILLIX_HOST where the machine's own name is not the one to
// keep (a container's, say), else the machine's name.
QString hostName()
{
    const QString named = qEnvironmentVariable("QUILLIX_HOST").trimmed().left(255);
    return named.isEmpty() ? QSysInfo::machineHostName() : named;
}

QString userName()
{
    passwd entry{};
    passwd *found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(::geteuid());
}

} // namespace

KeptRun KeptRun::record(const CollectionRun &collection)
{
    const StatAccumulators &stats = collection.stats();
    const CollectionOptions &options = stats.options();
    KeptRun run;
    // A run never walked (made up, or read back) is kept as of now.
    run.started =
        collection.started().isValid() ? collection.started() : QDateTime::currentDateTime();
    run.targets = RunTarget::namesOf(collection.targets());
    run.host = hostName();
    run.user = userName();
    run.mode = options.allFiles          ? QStringLiteral("all")
               : options.includeSelected ? QStringLiteral("include")
                                         : QStringLiteral("exclude");
    // A chosen type row is "*.doc", TAB, description: the extension is kept.
    for (const QString &row : options.PickList2)
        run.types.append(row.section(u'\t', 0, 0).remove(0, row.startsWith(u'*') ? 1 : 0));
    run.hiddenFolders = options.enterHiddenFolders;
    run.longExtensions = options.listLongExtensions;
    run.onDisk = options.countOnDisk;
    run.filesProcessed = stats.filesProcessed;
    run.filesFound = stats.filesFound;
    for (const double bytes : stats.sizeBytes)
        run.bytesFound += qint64(bytes);
    run.unreadableFolders = collection.unreadable().count();
    run.aborted = collection.aborted();
    run.status = collection.finishedStatus();
    run.clusterSize = collection.clusterSize();
    run.fileSystem = collection.fileSystem();
    run.tables = RunPages::tables(stats, collection.lists(), collection.targets(), run.clusterSize,
                                  run.fileSystem);
    run.archive = RunArchive::write(stats, collection.lists(), collection.unreadable());
    return run;
}

QString KeptRun::hostText() const
{
    return user.isEmpty() || host.isEmpty() ? host : user + u'@' + host;
}

QString KeptRun::modeText() const
{
    if (mode == u"include")
        return QStringLiteral("Only ") + types.join(u' ');
    if (mode == u"exclude")
        return QStringLiteral("All but ") + types.join(u' ');
    return QStringLiteral("All files");
}

QString KeptRun::optionsText() const
{
    QStringList options;
    if (hiddenFolders)
        options.append(QStringLiteral("hidden folders"));
    if (longExtensions)
        options.append(QStringLiteral("long extensions"));
    if (onDisk)
        options.append(QStringLiteral("space on disk"));
    return options.join(QStringLiteral(", "));
}
