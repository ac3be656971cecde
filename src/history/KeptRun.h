#pragma once

#include "reports/RunPages.h"
#include "reports/TextTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class FileLists;
class StatAccumulators;

// A finished (or aborted) run as it is kept.
struct KeptRun {
    qint64 id = 0;
    QDateTime started;
    QStringList targets;
    QString mode; // "all", "include" or "exclude"
    QStringList types;
    bool hiddenFolders = false;
    bool longExtensions = false;
    qint64 filesProcessed = 0;
    qint64 filesFound = 0;
    qint64 bytesFound = 0;
    qint64 unreadableFolders = 0;
    bool aborted = false;
    QString status;
    // The Overhang page's cluster size and file system (a single target's).
    qint32 clusterSize = 0;
    QString fileSystem;
    // Every table of every page (title, headings, rows), in page order.
    QList<TextTable> tables;
    // The figures and lists to show the run again (RunArchive); empty when the run was kept
    // without them, or is listed only.
    QByteArray archive;

    // The run the accumulators and lists hold now, over targets, begun at started.
    static KeptRun record(const StatAccumulators &stats, const FileLists &lists,
                          const QList<RunPages::Target> &targets, qint32 clusterSize,
                          qint64 unreadableFolders, bool aborted, const QDateTime &started);
};
