#pragma once

#include "collection/FileLists.h"
#include "collection/StatAccumulators.h"

#include "reports/FileListPages.h"
#include "reports/RunPages.h"

#include <QDateTime>
#include <QStringList>

#include <atomic>
#include <cstdio>

class JsonWriter;
struct KeptRun;

// quillix-report: walks drives or folders like a collection run and prints every report page
// as text, or the statistics as JSON. Exit status: 0 done, 1 a target could not be entered,
// 2 bad input (nothing walked), 130 interrupted (the partial report is printed).
class ReportCommand {
public:
    ReportCommand(FILE *out, FILE *err);

    int run(const QStringList &arguments);

    // Raised by Ctrl-C; the walk unwinds and the partial report follows.
    static std::atomic<bool> interrupted;

private:
    using Target = RunPages::Target;

    int usageError(const QString &message);
    bool resolveTargets(const QStringList &arguments, QList<Target> &targets);
    int printDrives(bool json);
    // The pages as text tables, or as CSV tables when csv.
    void printText(const QList<Target> &targets, qint32 clusterSize, qint64 unreadableFolders,
                   bool aborted, bool csv);
    void printJson(const QList<Target> &targets, const QStringList &types, qint32 clusterSize,
                   qint64 unreadableFolders, bool aborted);
    void write(const QString &text);
    void writeFilesJson(JsonWriter &json, const ListedRow &row);
    // Every page as a table, in page order (Overhang only for a single target).
    QList<TextTable> reportPages(const QList<Target> &targets, qint32 clusterSize);
    // Keeps the run in the history database; a failure is said on the error stream only.
    void keepRun(const QList<Target> &targets, qint32 clusterSize, qint64 unreadableFolders,
                 bool aborted);
    int printHistory(bool json);
    void printComparison(const KeptRun &against, const QList<Target> &targets, qint32 clusterSize,
                         bool json);

    FILE *m_out;
    FILE *m_err;
    StatAccumulators m_stats;
    FileLists m_lists;
    QDateTime m_started;
};
