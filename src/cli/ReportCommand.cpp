#include "ReportCommand.h"

#include "JsonWriter.h"
#include "ReportJson.h"
#include "ScheduleCommand.h"
#include "collection/CollectionRun.h"
#include "collection/FolderTree.h"
#include "collection/RunSettings.h"
#include "collection/StatusText.h"
#include "common/CheckListModel.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "common/WholeFile.h"
#include "drives/DriveServices.h"
#include "filetypes/TypeRow.h"
#include "history/HistoryStore.h"
#include "history/RunComparison.h"
#include "platform/Messages.h"
#include "platform/ProfileFile.h"
#include "platform/Volumes.h"
#include "reports/CsvWriter.h"
#include "reports/FileListPages.h"
#include "reports/PrometheusMetrics.h"
#include "reports/ReportPage.h"
#include "reports/RunPages.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>

#include <fcntl.h>
#include <unistd.h>

std::atomic<bool> ReportCommand::interrupted{false};

namespace {

const QString programName = QStringLiteral("quillix-report");

// The extensions of an --include or --exclude list, lower case with their dot.
QStringList parseExtensions(const QString &list)
{
    QStringList extensions;
    for (QString item : list.split(u',', Qt::SkipEmptyParts)) {
        item = item.trimmed().toLower();
        if (item.startsWith(u'*'))
            item.remove(0, 1);
        if (item.isEmpty() || item == u".")
            continue;
        if (!item.startsWith(u'.'))
            item.prepend(u'.');
        if (!extensions.contains(item))
            extensions.append(item);
    }
    return extensions;
}

class ProgressLine {
public:
    ProgressLine(FILE *err, const DirectoryWalker &walker) : m_err(err), m_walker(walker) {}
    void setFolder(const QString &folder) { m_folder = folder; }
    void show()
    {
        QString line = intToGrouped(m_walker.filesSoFar()) + QStringLiteral(" files  ") + m_folder;
        if (line.size() > 100)
            line = line.left(48) + QStringLiteral("...") + line.right(49);
        std::fprintf(m_err, "\r\033[K%s", line.toLocal8Bit().constData());
        std::fflush(m_err);
    }
    void clear()
    {
        std::fprintf(m_err, "\r\033[K");
        std::fflush(m_err);
    }

private:
    FILE *m_err;
    const DirectoryWalker &m_walker;
    QString m_folder;
};

// The folders a run could not read, as a table under the pages.
TextTable unreadableTable(const UnreadableFolders &unreadable)
{
    TextTable table;
    table.title = QStringLiteral("Unreadable folders");
    table.headings = QStringList{QStringLiteral("Folder"), QStringLiteral("Reason")};
    for (const UnreadableFolders::Folder &folder : unreadable.folders())
        table.rows.append({printableFileName(folder.path), folder.reason()});
    const qint64 left = unreadable.count() - qint64(unreadable.folders().size());
    if (left > 0)
        table.notes.append(QStringLiteral("and %1 more").arg(intToGrouped(left)));
    return table;
}

} // namespace

ReportCommand::ReportCommand(FILE *out, FILE *err) : m_out(out), m_err(err) {}

void ReportCommand::write(const QString &text)
{
    writeBytes(text.toLocal8Bit());
}

void ReportCommand::writeBytes(QByteArrayView bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
}

void ReportCommand::note(const QString &text)
{
    std::fprintf(m_err, "%s: %s\n", programName.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
}

int ReportCommand::usageError(const QString &message)
{
    std::fprintf(m_err, "%s: %s\nTry '%s --help' for more information.\n",
                 programName.toLocal8Bit().constData(), message.toLocal8Bit().constData(),
                 programName.toLocal8Bit().constData());
    return 2;
}

int ReportCommand::run(const QStringList &arguments)
{
    Request request;
    if (const std::optional<int> done = parse(arguments, request))
        return *done;
    switch (request.action) {
    case Request::Drives:
        return printDrives(request.format == Format::Json);
    case Request::History:
        return printHistory(request);
    case Request::Schedule:
        return ScheduleCommand([this](const QString &text) { write(text + u'\n'); })
            .run(request.schedule);
    case Request::Collect:
        break;
    }
    return collect(request);
}

std::optional<int> ReportCommand::parse(const QStringList &arguments, Request &request)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Walks drives or folders and reports on every file: by extension, size, "
                       "wasted cluster space, age, attributes and time of day."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("Output as text (default), json or csv."),
                                    QStringLiteral("text|json|csv"), QStringLiteral("text"));
    const QCommandLineOption include(QStringLiteral("include"),
                                     QStringLiteral("Count only these extensions (.doc,.txt)."),
                                     QStringLiteral("EXTS"));
    const QCommandLineOption exclude(QStringLiteral("exclude"),
                                     QStringLiteral("Count all files except these extensions."),
                                     QStringLiteral("EXTS"));
    const QCommandLineOption drives(QStringLiteral("drives"),
                                    QStringLiteral("Print the drive table and exit."));
    const QCommandLineOption noProgress(QStringLiteral("no-progress"),
                                        QStringLiteral("Show no progress while walking."));
    const QCommandLineOption threads(
        QStringLiteral("threads"),
        QStringLiteral("Walk with N threads (default: one per core; 1 walks on one thread)."),
        QStringLiteral("N"));
    const QCommandLineOption top(
        QStringLiteral("top"),
        QStringLiteral("List the N largest files of every row and the N largest folders of "
                       "every target (default 0: none)."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption hiddenFolders(
        QStringLiteral("hidden-folders"),
        QStringLiteral("Walk hidden folders too (hidden files are counted either way)."));
    const QCommandLineOption longExtensions(
        QStringLiteral("long-extensions"),
        QStringLiteral("Give extensions of any length rows of their own (default: up to four "
                       "letters)."));
    const QCommandLineOption onDisk(
        QStringLiteral("on-disk"),
        QStringLiteral("Show beside the sizes the space the files take on disk (each file with "
                       "several names once), as du counts it."));
    const QCommandLineOption save(
        QStringLiteral("save"), QStringLiteral("Keep the run in the history (see --history-db)."));
    const QCommandLineOption history(QStringLiteral("history"),
                                     QStringLiteral("List the kept runs and exit."));
    const QCommandLineOption compare(
        QStringLiteral("compare"),
        QStringLiteral("Print the change of the Types, Sizes and date listings against a kept "
                       "run (its id, or latest) instead of the pages; without a target, the "
                       "kept run's targets are walked again."),
        QStringLiteral("ID|latest"));
    const QCommandLineOption skip(
        QStringLiteral("skip"),
        QStringLiteral("Do not enter folders of this name (a pattern as node_modules, .cache, "
                       "*.tmp); repeatable. They are counted as skipped."),
        QStringLiteral("PATTERN"));
    const QCommandLineOption folders(
        QStringLiteral("folders"),
        QStringLiteral("Print the folder tree to DEPTH levels below the targets, largest "
                       "first, with size, files and share."),
        QStringLiteral("DEPTH"));
    const QCommandLineOption historyDb(
        QStringLiteral("history-db"),
        QStringLiteral("The history to keep, list or compare with: a file, or a PostgreSQL "
                       "database (postgresql://user@host:port/db; the password from ~/.pgpass "
                       "or PGPASSWORD). Default: QUILLIX_HISTORY_DB, else HistoryDatabase= of "
                       "the settings, else the file in ~/.local/share/Quillix."),
        QStringLiteral("FILE|URL"));
    const QCommandLineOption prometheus(
        QStringLiteral("prometheus"),
        QStringLiteral("Also write the run's figures as Prometheus metrics to FILE (for "
                       "node_exporter's textfile collector), replaced as a whole."),
        QStringLiteral("FILE"));
    const QCommandLineOption scheduled(
        QStringLiteral("scheduled"),
        QStringLiteral("As the timer runs it: walk the targets of the window's last run with its "
                       "options (or the targets given), keep the run, write the metrics to "
                       "PrometheusFile= of the settings when set, and print nothing but "
                       "failures."));
    const QCommandLineOption schedule(
        QStringLiteral("schedule"),
        QStringLiteral("Turn scheduled runs on (daily or weekly) or off, through the systemd "
                       "user timer quillix-report.timer."),
        QStringLiteral("daily|weekly|off"));
    parser.addOptions({format, include, exclude, drives, noProgress, threads, top, hiddenFolders,
                       longExtensions, onDisk, save, history, compare, skip, folders, historyDb,
                       prometheus, scheduled, schedule});
    parser.addPositionalArgument(
        QStringLiteral("TARGET"),
        QStringLiteral("A drive letter with colon (c:) or a folder; none: the current drive."),
        QStringLiteral("[TARGET...]"));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        write(parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        write(programName + u' ' + QCoreApplication::applicationVersion() + u'\n');
        return 0;
    }
    const QString formatName = parser.value(format);
    if (formatName != u"text" && formatName != u"json" && formatName != u"csv")
        return usageError(
            QStringLiteral("unknown format '%1': use text, json or csv").arg(formatName));
    request.format = formatName == u"json"  ? Format::Json
                     : formatName == u"csv" ? Format::Csv
                                            : Format::Text;
    if (parser.isSet(include) && parser.isSet(exclude))
        return usageError(QStringLiteral("--include and --exclude cannot be used together"));
    request.action = parser.isSet(drives)     ? Request::Drives
                     : parser.isSet(history)  ? Request::History
                     : parser.isSet(schedule) ? Request::Schedule
                                              : Request::Collect;
    request.schedule = parser.value(schedule);
    if (parser.isSet(schedule) && !ScheduleCommand::isPeriod(request.schedule))
        return usageError(QStringLiteral("--schedule takes daily, weekly or off, not '%1'")
                              .arg(request.schedule));
    // --drives, --history and --schedule do not walk; what walks or keeps a run does not go
    // with them.
    for (const QCommandLineOption *lister : {&drives, &history, &schedule}) {
        if (!parser.isSet(*lister))
            continue;
        for (const QCommandLineOption *other :
             {&drives, &history, &schedule, &save, &compare, &prometheus, &scheduled})
            if (other != lister && parser.isSet(*other))
                return usageError(QStringLiteral("--%1 cannot be used with --%2")
                                      .arg(lister->names().first(), other->names().first()));
        if (!parser.positionalArguments().isEmpty())
            return usageError(QStringLiteral("--%1 takes no target").arg(lister->names().first()));
    }
    if (parser.isSet(threads)) {
        bool valid = false;
        request.threads = parser.value(threads).toInt(&valid);
        if (!valid || request.threads < 1 || request.threads > 256)
            return usageError(QStringLiteral("--threads takes a number from 1 to 256, not '%1'")
                                  .arg(parser.value(threads)));
    }
    bool validTop = false;
    request.top = parser.value(top).toInt(&validTop);
    if (!validTop || request.top < 0 || request.top > 100000)
        return usageError(QStringLiteral("--top takes a number from 0 to 100000, not '%1'")
                              .arg(parser.value(top)));
    if (parser.isSet(folders)) {
        bool valid = false;
        request.folders = parser.value(folders).toInt(&valid);
        if (!valid || request.folders < 0 || request.folders > 64)
            return usageError(QStringLiteral("--folders takes a depth from 0 to 64, not '%1'")
                                  .arg(parser.value(folders)));
    }
    CollectionOptions &options = request.options;
    for (const QString &pattern : parser.values(skip)) {
        if (pattern.isEmpty() || pattern.contains(u'/'))
            return usageError(
                QStringLiteral("--skip takes a folder's name or a pattern of names, not '%1'")
                    .arg(pattern));
        options.skipFolders.append(pattern);
    }
    if (parser.isSet(include) || parser.isSet(exclude)) {
        const bool including = parser.isSet(include);
        request.types = parseExtensions(parser.value(including ? include : exclude));
        if (request.types.isEmpty())
            return usageError(QStringLiteral("the extension list of --%1 is empty")
                                  .arg(including ? u"include" : u"exclude"));
        options.allFiles = false;
        options.includeSelected = including;
        options.excludeSelected = !including;
        for (const QString &extension : request.types)
            options.PickList2.append(u'*' + extension + u'\t' + fileTypeDescription(extension));
        options.PickList2.sort();
    }
    options.enterHiddenFolders = parser.isSet(hiddenFolders);
    options.listLongExtensions = parser.isSet(longExtensions);
    options.countOnDisk = parser.isSet(onDisk);
    request.save = parser.isSet(save);
    request.progress = !parser.isSet(noProgress) && ::isatty(::fileno(m_err));
    if (parser.isSet(compare))
        request.compare = parser.value(compare);
    request.historyDb = parser.value(historyDb);
    if (parser.isSet(historyDb) && !HistoryLocation(request.historyDb).isValid())
        return usageError(QStringLiteral("--history-db: ") +
                          HistoryLocation(request.historyDb).error());
    request.prometheus = parser.value(prometheus);
    if (parser.isSet(prometheus) && request.prometheus.isEmpty())
        return usageError(QStringLiteral("--prometheus takes a file name"));
    request.targets = parser.positionalArguments();
    if (parser.isSet(scheduled)) {
        if (request.compare)
            return usageError(QStringLiteral("--scheduled cannot be used with --compare"));
        // What the window's last run looked at, as it looked at it.
        QString error;
        const RunSettings settings =
            RunSettings::read(ProfileFile(ProfileFile::defaultPath()), &error);
        if (!error.isEmpty())
            note(error);
        if (request.targets.isEmpty()) {
            for (const QChar letter : settings.drives)
                request.targets.append(QString(letter) + u':');
            request.targets += settings.folders;
        }
        if (request.targets.isEmpty())
            return usageError(QStringLiteral("no targets are remembered: collect statistics once "
                                             "in the window, or name the targets"));
        options.enterHiddenFolders |= settings.enterHiddenFolders;
        options.listLongExtensions |= settings.listLongExtensions;
        options.countOnDisk |= settings.countOnDisk;
        for (const QString &pattern : settings.skipFolders)
            if (!options.skipFolders.contains(pattern))
                options.skipFolders.append(pattern);
        if (request.prometheus.isEmpty())
            request.prometheus = settings.prometheusFile;
        request.save = true;
        request.quiet = true;
        request.progress = false;
    }
    return std::nullopt;
}

int ReportCommand::collect(const Request &request)
{
    // The run to compare against is found before anything is walked; without targets of its
    // own, the comparison walks the kept run's again.
    std::optional<KeptRun> against;
    QStringList targetArguments = request.targets;
    if (request.compare) {
        int status = 0;
        against = keptRun(historyLocation(request), *request.compare, status);
        if (!against)
            return status;
        if (targetArguments.isEmpty())
            for (const QString &target : against->targets)
                targetArguments.append(
                    RunTarget::fromRow(target).isFolder() ? target : target.left(1) + u':');
    }
    QList<RunTarget> targets;
    if (!resolveTargets(targetArguments, targets))
        return 2;

    CollectionRun run(m_stats, m_lists);
    run.setListLimit(request.top);
    m_lists.setFolderTree(request.folders >= 0);
    // Each folder's largest files are for the folder tree and a kept run: not kept for lists
    // alone, where they would cost a name kept for most files walked.
    m_lists.setFolderFiles(request.folders >= 0 || request.save);
    run.walker().setThreads(request.threads);
    run.walker().setStopFlags(&interrupted, nullptr);
    ProgressLine progress(m_err, run.walker());
    if (request.progress) {
        m_stats.setStatusObserver([&](const QString &text) { progress.setFolder(text); });
        run.walker().setPump([&] { progress.show(); }, 100);
    }
    run.prepare(request.options, targets);
    for (const QString &text : run.notes())
        note(text);
    CollectionRun::Hooks hooks;
    hooks.finished = [&](const CollectionRun::TargetOutcome &outcome) {
        if (request.progress)
            progress.clear();
        if (outcome.state == CollectionRun::State::NotReady)
            std::fprintf(m_err, "Drive %s is not ready.\n",
                         outcome.target.name.toLocal8Bit().constData());
        else if (outcome.state == CollectionRun::State::CannotOpen)
            Messages::current().errorBox(CollectionRun::cannotOpenText(outcome.target) +
                                         QStringLiteral(": ") + outcome.reason);
    };
    run.walk(hooks);

    // A scheduled run prints nothing but what went wrong.
    if (request.quiet) {
    } else if (against) {
        printComparison(*against, run, request.format);
    } else if (request.format == Format::Json) {
        ReportJson::run(run, request.types, request.folders,
                        [this](QByteArrayView text) { writeBytes(text); });
    } else {
        printPages(run, request.format, request.folders);
    }
    std::fflush(m_out);
    // The metrics and keeping the run are a bonus: what cannot be written or kept is said
    // once, and the report stands as printed.
    bool lost = false;
    if (!request.prometheus.isEmpty()) {
        const QString reason = writeWholeFile(request.prometheus, PrometheusMetrics::text(run));
        if (!reason.isEmpty()) {
            note(QStringLiteral("the metrics are not written to %1: %2")
                     .arg(printableText(request.prometheus), reason));
            lost = true;
        }
    }
    if (request.save) {
        HistoryStore store(historyLocation(request));
        if (!store.save(KeptRun::record(run))) {
            note(QStringLiteral("the run is not kept: ") + store.error());
            lost = true;
        }
    }
    if (run.aborted())
        return 130;
    return run.anyCannotOpen() ? 1 : (lost ? notKept : 0);
}

bool ReportCommand::resolveTargets(const QStringList &arguments, QList<RunTarget> &targets)
{
    CheckListModel driveList;
    fillDriveList(driveList, false);
    if (arguments.isEmpty()) {
        for (const QString &row : driveList.checkedRows())
            targets.append(RunTarget::fromRow(row));
        if (targets.isEmpty()) {
            usageError(QStringLiteral("no current drive: name a drive or a folder"));
            return false;
        }
        return true;
    }
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:$"));
    for (const QString &argument : arguments) {
        if (driveLetter.match(argument).hasMatch()) {
            const QChar letter = argument[0].toLower();
            QString row;
            for (const QString &candidate : driveList.rows())
                if (candidate[0] == letter)
                    row = candidate;
            if (row.isEmpty()) {
                usageError(
                    QStringLiteral("%1 is not in the drive table (see --drives)").arg(argument));
                return false;
            }
            targets.append(RunTarget::fromRow(row));
            continue;
        }
        const RunTarget folder = RunTarget::fromFolder(QFile::encodeName(argument));
        const int fd = argument.isEmpty()
                           ? -1
                           : ::open(folder.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            usageError(QStringLiteral("'%1' is not a readable folder").arg(argument));
            return false;
        }
        ::close(fd);
        targets.append(folder);
    }
    return true;
}

QString ReportCommand::historyLocation(const Request &request) const
{
    return HistoryLocation::chosen(request.historyDb, ProfileFile::defaultPath());
}

std::optional<KeptRun> ReportCommand::keptRun(const QString &location, const QString &wanted,
                                              int &status)
{
    HistoryStore store(location);
    const QList<KeptRun> runs = store.runs();
    if (!store.error().isEmpty()) {
        note(store.error());
        status = 1;
        return std::nullopt;
    }
    bool number = false;
    const qint64 id =
        wanted == u"latest" ? (runs.isEmpty() ? -1 : runs.first().id) : wanted.toLongLong(&number);
    std::optional<KeptRun> found;
    if (wanted == u"latest" || number)
        found = store.run(id);
    if (found)
        return found;
    if (!store.error().isEmpty()) {
        // Kept, but damaged or unreadable: said as such.
        note(store.error());
        status = 1;
    } else {
        status = usageError(QStringLiteral("no kept run '%1' (see --history)").arg(wanted));
    }
    return std::nullopt;
}

int ReportCommand::printDrives(bool json)
{
    CheckListModel driveList;
    fillDriveList(driveList, false);
    TextTable table;
    table.headings = QStringList{QStringLiteral("Drive"),      QStringLiteral("Type"),
                                 QStringLiteral("Ready"),      QStringLiteral("Total bytes"),
                                 QStringLiteral("Free bytes"), QStringLiteral("Cluster size")};
    table.rightAligned = {false, false, false, true, true, true};
    JsonWriter writer;
    writer.beginArray();
    for (const QString &row : driveList.rows()) {
        const QChar letter = row[0];
        const std::optional<DriveInfo> drive = Volumes::current().drive(letter);
        const bool ready = isDriveReady(letter);
        const DiskSpace space = getDiskSpace(letter);
        const qint32 cluster = computeClusterSize(row);
        const QString typeText = drive ? driveTypeText(drive->type) : QString();
        table.rows.append({row, typeText, ready ? QStringLiteral("yes") : QStringLiteral("no"),
                           floatToGrouped(space.totalBytes), floatToGrouped(space.freeBytes),
                           intToGrouped(cluster)});
        writer.beginObject();
        writer.key(QStringLiteral("row"));
        writer.value(row);
        writer.key(QStringLiteral("type"));
        writer.value(typeText);
        writer.key(QStringLiteral("mountPoint"));
        writer.value(drive ? QFile::decodeName(drive->mountPoint) : QString());
        writer.key(QStringLiteral("ready"));
        writer.value(ready);
        writer.key(QStringLiteral("totalBytes"));
        writer.value(space.totalBytes);
        writer.key(QStringLiteral("freeBytes"));
        writer.value(space.freeBytes);
        writer.key(QStringLiteral("clusterSize"));
        writer.value(double(cluster));
        writer.endObject();
    }
    writer.endArray();
    write(json ? writer.text() + u'\n' : table.toPlainText());
    if (const int leftOut = Volumes::current().drivesLeftOut()) {
        const QString note =
            QStringLiteral("%1 more drive(s) have no letter: the letters end at z:.\n")
                .arg(leftOut);
        if (json)
            std::fputs(note.toLocal8Bit().constData(), m_err);
        else
            write(note);
    }
    return 0;
}

void ReportCommand::printPages(const CollectionRun &run, Format format, int folderDepth)
{
    const QList<TextTable> pages =
        RunPages::tables(m_stats, m_lists, run.targets(), run.clusterSize(), run.fileSystem());
    const QList<ListedRow> listedRows =
        m_lists.enabled() ? FileListPages::rowsOf(m_stats) : QList<ListedRow>();
    // As CSV, one table per page, a blank line apart, the page's name in the first cell of
    // its heading row. Each table is written as it is made, the lists of files page by page.
    bool first = true;
    auto emitTable = [&](const TextTable &table) {
        if (format == Format::Text) {
            table.writePlainText([this](const QString &text) { write(text); });
            write(QStringLiteral("\n"));
            return;
        }
        TextTable named = table;
        if (!named.headings.isEmpty())
            named.headings.first() = table.title;
        if (!first)
            writeBytes("\r\n");
        CsvWriter::writeTable(named, [this](const QByteArray &bytes) { writeBytes(bytes); });
        first = false;
    };
    for (const TextTable &page : pages) {
        emitTable(page);
        QList<ListedRow> pageRows;
        for (const ListedRow &row : listedRows)
            if (row.page == page.title)
                pageRows.append(row);
        for (const TextTable &list : FileListPages::filesTables(pageRows, m_lists))
            emitTable(list);
        if (page.page != ReportPage::Space)
            continue;
        for (const TextTable &folders : FileListPages::folderTables(m_lists))
            emitTable(folders);
        if (folderDepth >= 0 && m_lists.hasFolderTree())
            emitTable(FileListPages::folderTreeTable(FolderTree(m_lists.folders()), folderDepth,
                                                     m_stats.options().countOnDisk,
                                                     format == Format::Text));
    }
    if (run.unreadable().count() > 0)
        emitTable(unreadableTable(run.unreadable()));
    if (format == Format::Text)
        write(run.finishedStatus() + u'\n');
}

void ReportCommand::printComparison(const KeptRun &against, const CollectionRun &run, Format format)
{
    KeptRun now = KeptRun::record(run);
    const QList<PageChange> pages = RunComparison::compare(against, now);
    // Runs that looked at other targets or with other options are compared all the same,
    // under a note that says how they differ.
    const QStringList differences = RunComparison::differences(against, now);
    if (format == Format::Json) {
        write(ReportJson::comparison(against, pages, differences));
        return;
    }
    for (const QString &difference : differences) {
        if (format == Format::Text)
            write(QStringLiteral("Note: the runs differ: ") + difference + u'\n');
        else
            note(QStringLiteral("the runs differ: ") + difference);
    }
    if (format == Format::Text && !differences.isEmpty())
        write(QStringLiteral("\n"));
    const QList<TextTable> tables =
        RunComparison::changeTables(pages, RunComparison::runName(against),
                                    QStringLiteral("this run"), against.onDisk && now.onDisk);
    bool first = true;
    for (const TextTable &table : tables) {
        if (format == Format::Text) {
            write(table.toPlainText() + u'\n');
            continue;
        }
        TextTable named = table;
        named.headings.first() = table.title;
        writeBytes((first ? QByteArray() : QByteArray("\r\n")) + CsvWriter::fromTable(named));
        first = false;
    }
}

int ReportCommand::printHistory(const Request &request)
{
    const bool json = request.format == Format::Json;
    HistoryStore store(historyLocation(request));
    const QList<KeptRun> runs = store.runs();
    if (!store.error().isEmpty()) {
        note(store.error());
        return 1;
    }
    if (json) {
        write(ReportJson::history(runs));
        return 0;
    }
    TextTable table;
    table.title = QStringLiteral("Kept runs");
    table.headings = QStringList{
        QStringLiteral("Id"),      QStringLiteral("Started"), QStringLiteral("Host"),
        QStringLiteral("Targets"), QStringLiteral("Mode"),    QStringLiteral("Options"),
        QStringLiteral("Files"),   QStringLiteral("Bytes"),   QStringLiteral("Aborted")};
    table.rightAligned = {true, false, false, false, false, false, true, true, false};
    for (const KeptRun &run : runs)
        table.rows.append({QString::number(run.id), run.started.toString(Qt::ISODate),
                           run.hostText(), run.targets.join(QStringLiteral("; ")), run.modeText(),
                           run.optionsText(), intToGrouped(run.filesProcessed),
                           intToGrouped(run.bytesFound),
                           run.aborted ? QStringLiteral("yes") : QStringLiteral("no")});
    write(table.toPlainText());
    return 0;
}
