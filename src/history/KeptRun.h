#pragma once

#include "reports/TextTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class CollectionRun;

// A finished (or aborted) run as it is kept.
struct KeptRun {
    qint64 id = 0;
    QDateTime started;
    QStringList targets;
    // Where and by whom it was walked.
    QString host;
    QString user;
    QString mode; // "all", "include" or "exclude"
    QStringList types;
    bool hiddenFolders = false;
    bool longExtensions = false;
    bool onDisk = false; // the space on disk was counted
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

    // The run just walked, as it is kept: the one way a run enters the history.
    static KeptRun record(const CollectionRun &run);
    // "ann@laptop", or the host alone where the user is not known.
    QString hostText() const;
    // "All files", "Only .doc .txt", "All but .tmp".
    QString modeText() const;
    // "hidden folders, long extensions", or empty for neither.
    QString optionsText() const;
};
