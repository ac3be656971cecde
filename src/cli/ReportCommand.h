#pragma once

#include "collection/CollectionOptions.h"
#include "collection/FileLists.h"
#include "collection/RunTarget.h"
#include "collection/StatAccumulators.h"

#include <QStringList>

#include <atomic>
#include <cstdio>
#include <optional>

class CollectionRun;
struct KeptRun;

// quillix-report: walks drives or folders in one collection run, as the window does, and prints
// every report page as text or CSV, or the statistics as JSON; or compares the run with a kept
// one; or lists the drive table or the kept runs. Exit status: 0 done, 1 a target could not be
// entered (or the history could not be read), 2 bad input (nothing walked), 3 the run was
// reported but --save could not keep it (or --prometheus could not write its file), 130
// interrupted (the partial report is printed).
class ReportCommand {
public:
    static constexpr int notKept = 3;

    ReportCommand(FILE *out, FILE *err);

    int run(const QStringList &arguments);

    // Raised by Ctrl-C; the walk unwinds and the partial report follows.
    static std::atomic<bool> interrupted;

private:
    enum class Format { Text, Json, Csv };
    // What the command line asks for.
    struct Request {
        enum Action { Drives, History, Collect, Schedule };
        Action action = Collect;
        Format format = Format::Text;
        int threads = 0; // one per core
        int top = 0;
        int folders = -1; // the depth of the folder tree printed; -1: none
        CollectionOptions options;
        QStringList types; // of --include or --exclude, as given
        bool save = false;
        bool progress = false;
        std::optional<QString> compare; // the kept run's id, or "latest"
        QStringList targets;
        QString historyDb;  // of --history-db; empty: the environment's, settings' or default
        QString prometheus; // the metrics file of --prometheus
        bool quiet = false; // --scheduled: no pages printed
        QString schedule;   // of --schedule
    };

    // Reads the command line into request; an exit status when there is nothing more to do
    // (help, version, bad input).
    std::optional<int> parse(const QStringList &arguments, Request &request);
    // Walks the request's targets in one collection run and prints, compares and keeps it.
    int collect(const Request &request);

    int usageError(const QString &message);
    void note(const QString &text);
    // The targets named on the command line (drive letters with colon, or folders); none: the
    // current drive. False after saying what is wrong.
    bool resolveTargets(const QStringList &arguments, QList<RunTarget> &targets);
    int printDrives(bool json);
    int printHistory(const Request &request);
    // Where the history lives, as the request, the environment or the settings choose.
    QString historyLocation(const Request &request) const;
    // The run against, by id or "latest"; nothing after saying why (status then set).
    std::optional<KeptRun> keptRun(const QString &location, const QString &wanted, int &status);
    // The pages as text tables, or as CSV tables.
    void printPages(const CollectionRun &run, Format format, int folderDepth);
    void printComparison(const KeptRun &against, const CollectionRun &run, Format format);
    void write(const QString &text);
    void writeBytes(QByteArrayView bytes);

    FILE *m_out;
    FILE *m_err;
    StatAccumulators m_stats;
    FileLists m_lists;
};
