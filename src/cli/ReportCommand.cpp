#include "ReportCommand.h"

#include "JsonWriter.h"
#include "collection/DirectoryWalker.h"
#include "collection/StatusText.h"
#include "common/CheckListModel.h"
#include "common/Utility.h"
#include "drives/DriveServices.h"
#include "filetypes/TypeRow.h"
#include "history/HistoryStore.h"
#include "history/RunComparison.h"
#include "platform/LinuxVolumes.h"
#include "platform/Messages.h"
#include "platform/Volumes.h"
#include "reports/CsvWriter.h"
#include "reports/ReportTables.h"
#include "reports/RunPages.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
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

} // namespace

ReportCommand::ReportCommand(FILE *out, FILE *err) : m_out(out), m_err(err) {}

void ReportCommand::write(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), m_out);
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
    const QCommandLineOption save(
        QStringLiteral("save"),
        QStringLiteral("Keep the run in the history database (~/.local/share/Quillix)."));
    const QCommandLineOption history(QStringLiteral("history"),
                                     QStringLiteral("List the kept runs and exit."));
    const QCommandLineOption compare(
        QStringLiteral("compare"),
        QStringLiteral("Print the change of the Types, Sizes and date listings against a kept "
                       "run (its id, or latest) instead of the pages."),
        QStringLiteral("ID|latest"));
    parser.addOptions({format, include, exclude, drives, noProgress, threads, top, hiddenFolders,
                       longExtensions, save, history, compare});
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
    const QString outputFormat = parser.value(format);
    if (outputFormat != u"text" && outputFormat != u"json" && outputFormat != u"csv")
        return usageError(
            QStringLiteral("unknown format '%1': use text, json or csv").arg(outputFormat));
    if (parser.isSet(include) && parser.isSet(exclude))
        return usageError(QStringLiteral("--include and --exclude cannot be used together"));
    if (parser.isSet(drives))
        return printDrives(outputFormat == u"json");
    if (parser.isSet(history))
        return printHistory(outputFormat == u"json");
    int threadCount = 0;
    if (parser.isSet(threads)) {
        bool valid = false;
        threadCount = parser.value(threads).toInt(&valid);
        if (!valid || threadCount < 1 || threadCount > 256)
            return usageError(QStringLiteral("--threads takes a number from 1 to 256, not '%1'")
                                  .arg(parser.value(threads)));
    }

    bool validTop = false;
    const int topCount = parser.value(top).toInt(&validTop);
    if (!validTop || topCount < 0 || topCount > 100000)
        return usageError(QStringLiteral("--top takes a number from 0 to 100000, not '%1'")
                              .arg(parser.value(top)));
    m_lists.clear();
    m_lists.setLimit(topCount);

    // The run to compare against is found before anything is walked.
    std::optional<KeptRun> against;
    if (parser.isSet(compare)) {
        HistoryStore store(HistoryStore::defaultPath());
        const QString wanted = parser.value(compare);
        const QList<KeptRun> runs = store.runs();
        if (!store.error().isEmpty()) {
            std::fprintf(m_err, "%s: %s\n", programName.toLocal8Bit().constData(),
                         store.error().toLocal8Bit().constData());
            return 1;
        }
        bool number = false;
        const qint64 id = wanted == u"latest" ? (runs.isEmpty() ? -1 : runs.first().id)
                                              : wanted.toLongLong(&number);
        if (wanted == u"latest" || number)
            against = store.run(id);
        if (!against)
            return usageError(QStringLiteral("no kept run '%1' (see --history)").arg(wanted));
    }

    m_started = QDateTime::currentDateTime();
    CollectionOptions options;
    QStringList types;
    if (parser.isSet(include) || parser.isSet(exclude)) {
        const bool including = parser.isSet(include);
        types = parseExtensions(parser.value(including ? include : exclude));
        if (types.isEmpty())
            return usageError(QStringLiteral("the extension list of --%1 is empty")
                                  .arg(including ? u"include" : u"exclude"));
        options.allFiles = false;
        options.includeSelected = including;
        options.excludeSelected = !including;
        for (const QString &extension : types)
            options.PickList2.append(u'*' + extension + u'\t' + fileTypeDescription(extension));
        options.PickList2.sort();
    }

    QList<Target> targets;
    if (!resolveTargets(parser.positionalArguments(), targets))
        return 2;
    for (const Target &target : targets)
        options.PickList1.append(target.name);
    options.collectOverhang = targets.size() == 1;
    options.enterHiddenFolders = parser.isSet(hiddenFolders);
    options.listLongExtensions = parser.isSet(longExtensions);
    m_stats.setOptions(options);
    m_stats.clearVariables();

    DirectoryWalker walker(m_stats);
    walker.setThreads(threadCount);
    walker.setFileLists(&m_lists);
    walker.setStopFlags(&interrupted, nullptr);
    ProgressLine progress(m_err, walker);
    const bool showProgress = !parser.isSet(noProgress) && ::isatty(::fileno(m_err));
    if (showProgress) {
        m_stats.setStatusObserver([&](const QString &text) { progress.setFolder(text); });
        walker.setPump([&] { progress.show(); }, 100);
    }

    bool failed = false;
    qint32 clusterSize = 0;
    for (const Target &target : targets) {
        if (interrupted)
            break;
        m_stats.setCurrentDrive(target.name);
        DirectoryWalker::Outcome outcome;
        if (target.folder.isEmpty()) {
            clusterSize = computeClusterSize(target.name);
            outcome = walker.ScanAllDrives(target.name);
            if (outcome == DirectoryWalker::Outcome::NotReady)
                std::fprintf(m_err, "Drive %s is not ready.\n",
                             target.name.toLocal8Bit().constData());
        } else {
            clusterSize = folderClusterSize(target.folder);
            outcome = walker.walkFolder(target.folder, target.name);
            if (outcome == DirectoryWalker::Outcome::CannotOpen)
                Messages::current().errorBox(QStringLiteral("Can't open drive ") + target.name);
        }
        failed = failed || outcome == DirectoryWalker::Outcome::CannotOpen;
    }
    if (showProgress)
        progress.clear();

    const bool aborted = interrupted;
    ReportTables::registerChosenTypes(m_stats);
    if (against)
        printComparison(*against, targets, clusterSize, outputFormat == u"json");
    else if (outputFormat == u"json")
        printJson(targets, types, clusterSize, walker.unreadableFolders(), aborted);
    else
        printText(targets, clusterSize, walker.unreadableFolders(), aborted,
                  outputFormat == u"csv");
    std::fflush(m_out);
    if (parser.isSet(save))
        keepRun(targets, clusterSize, walker.unreadableFolders(), aborted);
    return aborted ? 130 : (failed ? 1 : 0);
}

bool ReportCommand::resolveTargets(const QStringList &arguments, QList<Target> &targets)
{
    CheckListModel driveList;
    fillDriveList(driveList, false);
    if (arguments.isEmpty()) {
        for (const QString &row : driveList.checkedRows())
            targets.append({row, {}});
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
            targets.append({row, {}});
            continue;
        }
        const QByteArray folder =
            QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(argument)));
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            usageError(QStringLiteral("%1 is not a readable folder").arg(argument));
            return false;
        }
        ::close(fd);
        targets.append({argument, folder});
    }
    return true;
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

QList<TextTable> ReportCommand::reportPages(const QList<Target> &targets, qint32 clusterSize)
{
    return RunPages::tables(m_stats, m_lists, targets, clusterSize,
                            targets.size() == 1 ? RunPages::fileSystemOf(targets.first())
                                                : QString());
}

void ReportCommand::printText(const QList<Target> &targets, qint32 clusterSize,
                              qint64 unreadableFolders, bool aborted, bool csv)
{
    const QList<TextTable> pages = reportPages(targets, clusterSize);
    const QList<TextTable> files =
        m_lists.enabled() ? FileListPages::filesTables(FileListPages::rowsOf(m_stats), m_lists)
                          : QList<TextTable>();
    // As CSV, one table per page, a blank line apart, the page's name in the first cell of
    // its heading row.
    bool first = true;
    auto emitTable = [&](const TextTable &table) {
        if (!csv) {
            write(table.toPlainText() + u'\n');
            return;
        }
        TextTable named = table;
        if (!named.headings.isEmpty())
            named.headings.first() = table.title;
        const QByteArray text =
            (first ? QByteArray() : QByteArray("\r\n")) + CsvWriter::fromTable(named);
        std::fwrite(text.constData(), 1, size_t(text.size()), m_out);
        first = false;
    };
    for (const TextTable &page : pages) {
        emitTable(page);
        const QString listTitle = QStringLiteral("Largest files by ") + page.title;
        for (const TextTable &list : files)
            if (list.title == listTitle)
                emitTable(list);
        if (page.title == u"Space")
            for (const TextTable &folders : FileListPages::folderTables(m_lists))
                emitTable(folders);
    }
    if (!csv)
        write(finishedStatusText(m_stats.filesProcessed, m_stats.filesFound, aborted,
                                 unreadableFolders) +
              u'\n');
}

void ReportCommand::keepRun(const QList<Target> &targets, qint32 clusterSize,
                            qint64 unreadableFolders, bool aborted)
{
    const KeptRun run = KeptRun::record(m_stats, m_lists, targets, clusterSize, unreadableFolders,
                                        aborted, m_started);
    // Keeping the run is a bonus: a database that cannot take it is said once, and the
    // report stands as printed.
    HistoryStore store(HistoryStore::defaultPath());
    if (!store.save(run))
        std::fprintf(m_err, "%s: the run is not kept: %s\n", programName.toLocal8Bit().constData(),
                     store.error().toLocal8Bit().constData());
}

void ReportCommand::printComparison(const KeptRun &against, const QList<Target> &targets,
                                    qint32 clusterSize, bool json)
{
    const QList<PageChange> pages =
        RunComparison::compare(against.tables, reportPages(targets, clusterSize));
    const QString name =
        QStringLiteral("run %1 (%2)").arg(against.id).arg(against.started.toString(Qt::ISODate));
    if (!json) {
        for (const TextTable &table : RunComparison::changeTables(pages, name))
            write(table.toPlainText() + u'\n');
        return;
    }
    JsonWriter writer;
    auto figures = [&](const char *key, qint64 files, qint64 bytes) {
        writer.key(QString::fromLatin1(key));
        writer.beginObject();
        writer.key(QStringLiteral("files"));
        writer.value(double(files));
        writer.key(QStringLiteral("bytes"));
        writer.value(double(bytes));
        writer.endObject();
    };
    writer.beginObject();
    writer.key(QStringLiteral("against"));
    writer.beginObject();
    writer.key(QStringLiteral("id"));
    writer.value(double(against.id));
    writer.key(QStringLiteral("started"));
    writer.value(against.started.toString(Qt::ISODate));
    writer.endObject();
    writer.key(QStringLiteral("pages"));
    writer.beginArray();
    for (const PageChange &page : pages) {
        writer.beginObject();
        writer.key(QStringLiteral("page"));
        writer.value(page.page);
        writer.key(QStringLiteral("rows"));
        writer.beginArray();
        for (const RowChange &row : page.rows) {
            writer.beginObject();
            writer.key(QStringLiteral("label"));
            writer.value(row.label);
            writer.key(QStringLiteral("state"));
            writer.value(RunComparison::stateText(row.state));
            figures("before", row.filesBefore, row.bytesBefore);
            figures("after", row.filesAfter, row.bytesAfter);
            figures("change", row.filesAfter - row.filesBefore, row.bytesAfter - row.bytesBefore);
            writer.endObject();
        }
        writer.endArray();
        writer.endObject();
    }
    writer.endArray();
    writer.endObject();
    write(writer.text() + u'\n');
}

int ReportCommand::printHistory(bool json)
{
    HistoryStore store(HistoryStore::defaultPath());
    const QList<KeptRun> runs = store.runs();
    if (!store.error().isEmpty()) {
        std::fprintf(m_err, "%s: %s\n", programName.toLocal8Bit().constData(),
                     store.error().toLocal8Bit().constData());
        return 1;
    }
    TextTable table;
    table.title = QStringLiteral("Kept runs");
    table.headings =
        QStringList{QStringLiteral("Id"),     QStringLiteral("Started"), QStringLiteral("Targets"),
                    QStringLiteral("Mode"),   QStringLiteral("Files"),   QStringLiteral("Bytes"),
                    QStringLiteral("Aborted")};
    table.rightAligned = {true, false, false, false, true, true, false};
    JsonWriter writer;
    writer.beginArray();
    for (const KeptRun &run : runs) {
        const QString started = run.started.toString(Qt::ISODate);
        table.rows.append({QString::number(run.id), started, run.targets.join(QStringLiteral("; ")),
                           run.mode, intToGrouped(run.filesProcessed), intToGrouped(run.bytesFound),
                           run.aborted ? QStringLiteral("yes") : QStringLiteral("no")});
        writer.beginObject();
        writer.key(QStringLiteral("id"));
        writer.value(double(run.id));
        writer.key(QStringLiteral("started"));
        writer.value(started);
        writer.key(QStringLiteral("targets"));
        writer.beginArray();
        for (const QString &target : run.targets)
            writer.value(target);
        writer.endArray();
        writer.key(QStringLiteral("mode"));
        writer.value(run.mode);
        writer.key(QStringLiteral("filesProcessed"));
        writer.value(double(run.filesProcessed));
        writer.key(QStringLiteral("filesFound"));
        writer.value(double(run.filesFound));
        writer.key(QStringLiteral("bytesFound"));
        writer.value(double(run.bytesFound));
        writer.key(QStringLiteral("aborted"));
        writer.value(run.aborted);
        writer.key(QStringLiteral("status"));
        writer.value(run.status);
        writer.endObject();
    }
    writer.endArray();
    write(json ? writer.text() + u'\n' : table.toPlainText());
    return 0;
}

void ReportCommand::writeFilesJson(JsonWriter &json, const ListedRow &row)
{
    if (!m_lists.enabled())
        return;
    json.key(QStringLiteral("files"));
    json.beginArray();
    for (const KeptFile &file : m_lists.files(row.row)) {
        json.beginObject();
        json.key(QStringLiteral("path"));
        json.fileName(m_lists.path(file));
        json.key(QStringLiteral("bytes"));
        json.value(double(file.size));
        const std::pair<const char *, PackedFileDate> dates[] = {
            {"modified", file.modified}, {"created", file.created}, {"accessed", file.accessed}};
        for (const auto &[name, date] : dates) {
            json.key(QString::fromLatin1(name));
            const QString text = FileListPages::isoDateText(date);
            if (text.isEmpty())
                json.null();
            else
                json.value(text);
        }
        json.key(QStringLiteral("attributes"));
        json.value(FileListPages::attributeText(file.attributes));
        json.endObject();
    }
    json.endArray();
}

void ReportCommand::printJson(const QList<Target> &targets, const QStringList &types,
                              qint32 clusterSize, qint64 unreadableFolders, bool aborted)
{
    const CollectionOptions &options = m_stats.options();
    JsonWriter json;
    auto filesAndBytes = [&](double files, double bytes) {
        json.key(QStringLiteral("files"));
        json.value(files);
        json.key(QStringLiteral("bytes"));
        json.value(bytes);
    };
    auto numbers = [&](const auto &values) {
        json.beginArray();
        for (double value : values)
            json.value(value);
        json.endArray();
    };
    auto bands = [&](int first, int last, auto label, const auto &counts, const auto &bytes,
                     auto listedRow) {
        json.beginArray();
        for (int band = first; band <= last; ++band) {
            json.beginObject();
            json.key(QStringLiteral("label"));
            json.value(label(band));
            filesAndBytes(counts[size_t(band)], bytes[size_t(band)]);
            writeFilesJson(json, listedRow(band));
            json.endObject();
        }
        json.endArray();
    };
    auto ageRows = [&](ListRow::Kind stamp) {
        return [&, stamp](int band) { return FileListPages::ageRow(m_stats, stamp, band); };
    };

    json.beginObject();
    json.key(QStringLiteral("targets"));
    json.beginArray();
    for (const Target &target : targets)
        json.value(target.name);
    json.endArray();
    json.key(QStringLiteral("mode"));
    json.value(options.allFiles          ? QStringLiteral("all")
               : options.includeSelected ? QStringLiteral("include")
                                         : QStringLiteral("exclude"));
    json.key(QStringLiteral("types"));
    json.beginArray();
    for (const QString &type : types)
        json.value(type);
    json.endArray();
    json.key(QStringLiteral("filesProcessed"));
    json.value(double(m_stats.filesProcessed));
    json.key(QStringLiteral("filesFound"));
    json.value(double(m_stats.filesFound));
    json.key(QStringLiteral("aborted"));
    json.value(aborted);
    json.key(QStringLiteral("unreadableFolders"));
    json.value(double(unreadableFolders));
    json.key(QStringLiteral("clusterSize"));
    json.value(double(clusterSize));
    json.key(QStringLiteral("unlistedFiles"));
    json.value(double(m_stats.unlistedFiles));
    json.key(QStringLiteral("unlistedBytes"));
    json.value(double(m_stats.unlistedBytes));

    json.key(QStringLiteral("extensions"));
    json.beginArray();
    for (const ExtensionRow &row : m_stats.lbTypes.rows()) {
        json.beginObject();
        json.key(QStringLiteral("ext"));
        json.value(QString::fromLocal8Bit(row.key));
        filesAndBytes(double(row.files), double(row.bytes));
        writeFilesJson(json, FileListPages::typesRow(m_stats, row.key));
        json.endObject();
    }
    json.endArray();

    json.key(QStringLiteral("sizeBands"));
    bands(1, 12, ReportTables::sizeBandLabel, m_stats.sizeCount, m_stats.sizeBytes,
          [&](int band) { return FileListPages::sizesRow(m_stats, band); });
    json.key(QStringLiteral("ages"));
    json.beginObject();
    json.key(QStringLiteral("accessed"));
    bands(0, 9, ReportTables::ageBandLabel, m_stats.accessedAgeCount, m_stats.accessedAgeBytes,
          ageRows(ListRow::AccessedAge));
    json.key(QStringLiteral("created"));
    bands(0, 9, ReportTables::ageBandLabel, m_stats.createdAgeCount, m_stats.createdAgeBytes,
          ageRows(ListRow::CreatedAge));
    json.key(QStringLiteral("modified"));
    bands(0, 9, ReportTables::ageBandLabel, m_stats.modifiedAgeCount, m_stats.modifiedAgeBytes,
          ageRows(ListRow::ModifiedAge));
    json.endObject();

    json.key(QStringLiteral("slots"));
    json.beginObject();
    json.key(QStringLiteral("modified"));
    numbers(m_stats.modifiedSlots);
    json.key(QStringLiteral("created"));
    numbers(m_stats.createdSlots);
    json.key(QStringLiteral("accessed"));
    numbers(m_stats.accessedSlots);
    json.endObject();
    if (m_lists.enabled()) {
        // The files of each half hour, as the slots above: 48 per stamp.
        json.key(QStringLiteral("slotFiles"));
        json.beginObject();
        for (const auto &[name, stamp] : {std::pair{"modified", ListRow::ModifiedSlot},
                                          std::pair{"created", ListRow::CreatedSlot},
                                          std::pair{"accessed", ListRow::AccessedSlot}}) {
            json.key(QString::fromLatin1(name));
            json.beginArray();
            for (int slot = 0; slot < StatAccumulators::slotCount; ++slot) {
                json.beginObject();
                writeFilesJson(json, FileListPages::slotRow(m_stats, stamp, slot));
                json.endObject();
            }
            json.endArray();
        }
        json.endObject();
    }

    json.key(QStringLiteral("attributes"));
    json.beginObject();
    const QList<std::tuple<QString, qint64, double, quint32>> attributes{
        {QStringLiteral("readOnly"), m_stats.readOnlyCount, m_stats.readOnlyBytes, faReadOnly},
        {QStringLiteral("hidden"), m_stats.hiddenCount, m_stats.hiddenBytes, faHidden},
        {QStringLiteral("system"), m_stats.systemCount, m_stats.systemBytes, faSystem},
        {QStringLiteral("archive"), m_stats.archiveCount, m_stats.archiveBytes, faArchive}};
    for (const auto &[name, count, bytes, bit] : attributes) {
        json.key(name);
        json.beginObject();
        filesAndBytes(double(count), bytes);
        writeFilesJson(json, FileListPages::attributeRow(m_stats, bit));
        json.endObject();
    }
    json.endObject();

    json.key(QStringLiteral("overhang"));
    json.beginObject();
    const double waste[] = {m_stats.overhang4K, m_stats.overhang8K, m_stats.overhang16K,
                            m_stats.overhang32K, m_stats.overhang64K};
    for (size_t i = 0; i < StatAccumulators::clusterSizes.size(); ++i) {
        json.key(QString::number(StatAccumulators::clusterSizes[i]));
        json.value(waste[i]);
    }
    json.endObject();
    if (m_lists.enabled()) {
        json.key(QStringLiteral("largestFolders"));
        json.beginArray();
        for (const FileLists::TargetFolders &target : m_lists.largestFolders()) {
            json.beginObject();
            json.key(QStringLiteral("target"));
            json.value(target.target);
            json.key(QStringLiteral("folders"));
            json.beginArray();
            for (const FolderRecords::Total &folder : target.folders) {
                json.beginObject();
                json.key(QStringLiteral("path"));
                json.fileName(m_lists.folderPath(folder.folder));
                json.key(QStringLiteral("bytes"));
                json.value(double(folder.bytes));
                json.endObject();
            }
            json.endArray();
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
    write(json.text() + u'\n');
}
