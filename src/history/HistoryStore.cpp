#include "HistoryStore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The schema, one step per version: step k upgrades version k to version k + 1.
// Written for both engines: %ROWID is the runs' own key, and PostgreSQL takes its 64-bit
// integers and byte strings by their own names (statement()).
const QList<QStringList> migrations{
    {QStringLiteral("CREATE TABLE runs (id %ROWID, started TEXT NOT NULL, "
                    "targets TEXT NOT NULL, mode TEXT NOT NULL, types TEXT NOT NULL, "
                    "hidden_folders INTEGER NOT NULL, long_extensions INTEGER NOT NULL, "
                    "files_processed INTEGER NOT NULL, files_found INTEGER NOT NULL, "
                    "aborted INTEGER NOT NULL, status TEXT NOT NULL)"),
     QStringLiteral("CREATE TABLE page_rows (run INTEGER NOT NULL REFERENCES runs(id) ON DELETE "
                    "CASCADE, page INTEGER NOT NULL, title TEXT NOT NULL, position INTEGER NOT "
                    "NULL, cells TEXT NOT NULL)")},
    {QStringLiteral("ALTER TABLE runs ADD COLUMN unreadable_folders INTEGER NOT NULL DEFAULT 0"),
     QStringLiteral("CREATE INDEX page_rows_run ON page_rows(run, page, position)")},
    {QStringLiteral("ALTER TABLE runs ADD COLUMN bytes_found INTEGER NOT NULL DEFAULT 0"),
     QStringLiteral("ALTER TABLE runs ADD COLUMN cluster_size INTEGER NOT NULL DEFAULT 0"),
     QStringLiteral("ALTER TABLE runs ADD COLUMN file_system TEXT NOT NULL DEFAULT ''"),
     // Apart from the runs, so that listing them never reads the larger archives.
     QStringLiteral("CREATE TABLE run_archives (run INTEGER PRIMARY KEY REFERENCES runs(id) ON "
                    "DELETE CASCADE, data BLOB NOT NULL)")},
    {QStringLiteral("ALTER TABLE runs ADD COLUMN on_disk INTEGER NOT NULL DEFAULT 0")},
    // Many hosts may keep their runs in one history.
    {QStringLiteral("ALTER TABLE runs ADD COLUMN host TEXT NOT NULL DEFAULT ''"),
     QStringLiteral("ALTER TABLE runs ADD COLUMN user_name TEXT NOT NULL DEFAULT ''"),
     QStringLiteral("CREATE INDEX runs_host ON runs(host, started)")},
};

QString statement(const QString &portable, HistoryLocation::Engine engine)
{
    QString made = portable;
    if (engine == HistoryLocation::Engine::SQLite)
        return made.replace(QStringLiteral("%ROWID"), QStringLiteral("INTEGER PRIMARY KEY"));
    return made.replace(QStringLiteral("%ROWID"), QStringLiteral("BIGSERIAL PRIMARY KEY"))
        .replace(QStringLiteral("INTEGER"), QStringLiteral("BIGINT"))
        .replace(QStringLiteral("BLOB"), QStringLiteral("BYTEA"));
}

// Held by whoever migrates a PostgreSQL history, until the end of its transaction: many hosts
// starting at once migrate it once. ("Quillix" in ASCII.)
constexpr qint64 migrationLock = 0x5175696c6c6978;

QString listText(const QStringList &items)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(items)).toJson(QJsonDocument::Compact));
}

QStringList textList(const QString &text)
{
    QStringList items;
    for (const QJsonValue &value : QJsonDocument::fromJson(text.toUtf8()).array())
        items.append(value.toString());
    return items;
}

} // namespace

QString HistoryStore::defaultPath()
{
    // One history for the window and the report, whatever the program's own name.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quillix/history.sqlite");
}

HistoryStore::HistoryStore(const QString &location)
    : m_location(location), m_path(m_location.path()),
      m_connection(QStringLiteral("history-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

HistoryStore::~HistoryStore()
{
    {
        QSqlDatabase database = QSqlDatabase::database(m_connection, false);
        if (database.isValid())
            database.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (m_file >= 0)
        ::close(m_file);
}

bool HistoryStore::fail(const QString &what, const QString &reason)
{
    // A driver's reason may run over lines (libpq's do): one line, for a status line.
    m_error = what + QStringLiteral(" ") + m_location.shown() + QStringLiteral(": ") +
              reason.simplified();
    return false;
}

bool HistoryStore::connect(bool readOnly, bool immutable)
{
    {
        QSqlDatabase old = QSqlDatabase::database(m_connection, false);
        if (old.isValid())
            old.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (!m_location.isValid())
        return fail(QStringLiteral("Unable to open"), m_location.error());
    if (m_location.engine() == HistoryLocation::Engine::PostgreSQL) {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
        if (!database.isValid())
            return fail(QStringLiteral("Unable to open"),
                        QStringLiteral("Qt's PostgreSQL driver is not installed (Debian: "
                                       "libqt6sql6-psql)"));
        database.setHostName(m_location.host());
        database.setPort(m_location.port());
        database.setUserName(m_location.user());
        database.setDatabaseName(m_location.database());
        database.setConnectOptions(m_location.connectOptions());
        if (!database.open())
            return fail(QStringLiteral("Unable to open"), database.lastError().text());
        m_readOnly = false;
        return true;
    }
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    // Another Quillix writing is waited for a while: every process's run is kept.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    if (immutable) {
        // A file nobody may change here (no shared memory can be made beside it) is read
        // as it stands.
        database.setDatabaseName(QStringLiteral("file:") +
                                 QString::fromLatin1(QUrl::toPercentEncoding(m_path, "/")) +
                                 QStringLiteral("?immutable=1"));
        options += QStringLiteral(";QSQLITE_OPEN_URI");
    } else {
        database.setDatabaseName(m_path);
    }
    database.setConnectOptions(options);
    if (!database.open())
        return fail(QStringLiteral("Unable to open"), database.lastError().text());
    m_readOnly = readOnly;
    return true;
}

bool HistoryStore::open()
{
    if (m_open && !m_readOnly)
        return true;
    m_open = false;
    if (m_location.engine() == HistoryLocation::Engine::PostgreSQL) {
        if (!connect(false) || !migrate())
            return false;
        m_open = true;
        return true;
    }
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(QStringLiteral("Unable to make the folder of"), QStringLiteral("no access"));
    // A new database is its user's alone before SQLite writes a byte; an old one is made so
    // once its schema is known to be this program's (a newer one is left as it is). The file
    // stays open until SQLite has closed it: closing a descriptor of the file would drop the
    // locks SQLite holds on it, and another process could then take the log from under it.
    if (m_file < 0) {
        const QByteArray file = QFile::encodeName(m_path);
        m_file = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_file < 0)
            return fail(QStringLiteral("Unable to open"),
                        QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!connect(false) || !migrate())
        return false;
    ::fchmod(m_file, 0600);
    m_open = true;
    return true;
}

bool HistoryStore::openForReading()
{
    if (m_open)
        return true;
    // A server's history is read as it is written, after an upgrade where one is due.
    if (m_location.engine() == HistoryLocation::Engine::PostgreSQL)
        return open();
    std::optional<int> version;
    QString reason;
    for (const bool immutable : {false, true}) {
        if (!connect(true, immutable))
            return false;
        QSqlQuery query(QSqlDatabase::database(m_connection));
        if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next()) {
            version = query.value(0).toInt();
            break;
        }
        if (reason.isEmpty())
            reason = query.lastError().text();
        // Only a file its reader may not write is read as unchanging.
        if (::access(QFile::encodeName(m_path).constData(), W_OK) == 0)
            break;
    }
    if (!version)
        return fail(QStringLiteral("Unable to read"), reason);
    if (*version < 0 || *version > schemaVersion)
        return fail(QStringLiteral("Not reading"),
                    QStringLiteral("it was written by a newer Quillix (schema %1, this one knows "
                                   "%2); it is left as it is")
                        .arg(*version)
                        .arg(schemaVersion));
    // An older schema is upgraded first, where the file can be written.
    if (*version < schemaVersion)
        return open();
    m_open = true;
    return true;
}

bool HistoryStore::migrate()
{
    const bool server = m_location.engine() == HistoryLocation::Engine::PostgreSQL;
    QSqlDatabase database = QSqlDatabase::database(m_connection);
    QSqlQuery query(database);
    // The version is read and the schema upgraded under one lock (SQLite's write lock, or an
    // advisory lock released with the transaction): a second process or host waits here, then
    // finds the schema made. Nothing is written before the version is known.
    if (!query.exec(server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return fail(QStringLiteral("Unable to open"), query.lastError().text());
    auto rollBack = [&](const QString &what, const QString &reason) {
        QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
        return fail(what, reason);
    };
    // A server keeps the version in a table of its own (made once: a notice that it is there
    // already is of no use).
    const bool versionRead =
        server ? query.exec(QStringLiteral("SET LOCAL client_min_messages TO WARNING")) &&
                     query.exec(
                         QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(migrationLock)) &&
                     query.exec(QStringLiteral(
                         "CREATE TABLE IF NOT EXISTS quillix_schema (version INTEGER NOT NULL)")) &&
                     query.exec(QStringLiteral("SELECT version FROM quillix_schema"))
               : query.exec(QStringLiteral("PRAGMA user_version"));
    if (!versionRead)
        return rollBack(QStringLiteral("Unable to read"), query.lastError().text());
    const bool versioned = query.next();
    if (!server && !versioned)
        return rollBack(QStringLiteral("Unable to read"), query.lastError().text());
    const int version = versioned ? query.value(0).toInt() : 0;
    query.finish();
    if (version < 0 || version > schemaVersion)
        return rollBack(QStringLiteral("Not keeping runs in"),
                        QStringLiteral("it was written by a newer Quillix (schema %1, this one "
                                       "knows %2); it is left as it is")
                            .arg(version)
                            .arg(schemaVersion));
    const QString newVersion =
        !server     ? QStringLiteral("PRAGMA user_version = %1")
        : versioned ? QStringLiteral("UPDATE quillix_schema SET version = %1")
                    : QStringLiteral("INSERT INTO quillix_schema (version) VALUES (%1)");
    if (!upgrade(query, version) ||
        ((version < schemaVersion || !versioned) && !query.exec(newVersion.arg(schemaVersion))) ||
        !query.exec(QStringLiteral("COMMIT")))
        return rollBack(QStringLiteral("Unable to upgrade"), query.lastError().text());
    if (server)
        return true;
    // Readers and a writer at once; a process that finds the switch under way goes on in
    // the mode the file has, which loses nothing.
    query.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys=ON")))
        return fail(QStringLiteral("Unable to set up"), query.lastError().text());
    return true;
}

bool HistoryStore::upgrade(QSqlQuery &query, int version)
{
    for (int step = version; step < schemaVersion; ++step)
        for (const QString &portable : migrations[step])
            if (!query.exec(statement(portable, m_location.engine())))
                return false;
    return true;
}

std::optional<qint64> HistoryStore::save(const KeptRun &run)
{
    m_error.clear();
    if (!open())
        return std::nullopt;
    QSqlDatabase database = QSqlDatabase::database(m_connection);
    QSqlQuery query(database);
    const bool server = m_location.engine() == HistoryLocation::Engine::PostgreSQL;
    if (!query.exec(server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"))) {
        fail(QStringLiteral("Unable to keep the run in"), query.lastError().text());
        return std::nullopt;
    }
    // A statement that cannot be prepared (a damaged schema) fails with SQLite's own reason.
    bool done = query.prepare(QStringLiteral(
        "INSERT INTO runs (started, targets, mode, types, hidden_folders, long_extensions, "
        "files_processed, files_found, aborted, status, unreadable_folders, bytes_found, "
        "cluster_size, file_system, on_disk, host, user_name) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
    // Yes and no as 1 and 0, which both engines store in an integer column.
    const auto text = [](const QString &value) {
        return value.isNull() ? QStringLiteral("") : value;
    };
    for (const QVariant &value :
         {QVariant(run.started.toString(Qt::ISODateWithMs)), QVariant(listText(run.targets)),
          QVariant(run.mode), QVariant(listText(run.types)), QVariant(int(run.hiddenFolders)),
          QVariant(int(run.longExtensions)), QVariant(run.filesProcessed), QVariant(run.filesFound),
          QVariant(int(run.aborted)), QVariant(run.status), QVariant(run.unreadableFolders),
          QVariant(run.bytesFound), QVariant(run.clusterSize), QVariant(text(run.fileSystem)),
          QVariant(int(run.onDisk)), QVariant(text(run.host)), QVariant(text(run.user))})
        query.addBindValue(value);
    done = done && query.exec() && query.next();
    const qint64 id = done ? query.value(0).toLongLong() : 0;
    query.finish();
    // The rows of every page: position 0 holds a page's headings, then its rows in order. They
    // go many to a statement to a server, so that it takes a run in a few round trips (SQLite,
    // in the process, takes one prepared statement row by row faster).
    struct PageRow {
        qsizetype page;
        qsizetype position;
    };
    std::vector<PageRow> pageRows;
    for (qsizetype page = 0; page < run.tables.size(); ++page)
        for (qsizetype position = 0; position <= run.tables[page].rows.size(); ++position)
            pageRows.push_back({page, position});
    const size_t rowsPerStatement = server ? 200 : 1;
    QSqlQuery rows(database);
    size_t prepared = 0;
    for (size_t first = 0; done && first < pageRows.size(); first += rowsPerStatement) {
        const size_t count = std::min(rowsPerStatement, pageRows.size() - first);
        if (count != prepared) {
            QStringList tuples(qsizetype(count), QStringLiteral("(?, ?, ?, ?, ?)"));
            done = rows.prepare(
                QStringLiteral(
                    "INSERT INTO page_rows (run, page, title, position, cells) VALUES ") +
                tuples.join(QStringLiteral(", ")));
            prepared = count;
        }
        for (size_t i = first; done && i < first + count; ++i) {
            const auto [page, position] = pageRows[i];
            const TextTable &table = run.tables[page];
            rows.addBindValue(id);
            rows.addBindValue(page);
            rows.addBindValue(table.title);
            rows.addBindValue(position);
            rows.addBindValue(listText(position == 0 ? table.headings : table.rows[position - 1]));
        }
        done = done && rows.exec();
    }
    QSqlQuery archive(database);
    if (done && !run.archive.isEmpty()) {
        done =
            archive.prepare(QStringLiteral("INSERT INTO run_archives (run, data) VALUES (?, ?)"));
        archive.addBindValue(id);
        archive.addBindValue(run.archive);
        done = done && archive.exec();
    }
    QSqlQuery commit(database);
    if (!done || !commit.exec(QStringLiteral("COMMIT"))) {
        const QString reason = !archive.lastError().text().isEmpty() ? archive.lastError().text()
                               : !rows.lastError().text().isEmpty()  ? rows.lastError().text()
                               : !query.lastError().text().isEmpty() ? query.lastError().text()
                                                                     : commit.lastError().text();
        QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
        fail(QStringLiteral("Unable to keep the run in"), reason);
        return std::nullopt;
    }
    return id;
}

QList<KeptRun> HistoryStore::runs()
{
    return readRuns(std::nullopt);
}

QList<KeptRun> HistoryStore::readRuns(std::optional<qint64> id)
{
    m_error.clear();
    QList<KeptRun> kept;
    // Looking never makes a database file: without one, nothing is kept yet.
    if (!m_open && m_location.engine() == HistoryLocation::Engine::SQLite &&
        !QFileInfo::exists(m_path))
        return kept;
    if (!openForReading())
        return kept;
    QSqlQuery query(QSqlDatabase::database(m_connection));
    const bool prepared = query.prepare(
        QStringLiteral("SELECT id, started, targets, mode, types, hidden_folders, "
                       "long_extensions, files_processed, files_found, aborted, status, "
                       "unreadable_folders, bytes_found, cluster_size, file_system, on_disk, "
                       "host, user_name FROM runs") +
        (id ? QStringLiteral(" WHERE id = ?") : QString()) +
        QStringLiteral(" ORDER BY started DESC, id DESC"));
    if (id)
        query.addBindValue(*id);
    if (!prepared || !query.exec()) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return kept;
    }
    while (query.next()) {
        KeptRun run;
        run.id = query.value(0).toLongLong();
        run.started = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        run.targets = textList(query.value(2).toString());
        run.mode = query.value(3).toString();
        run.types = textList(query.value(4).toString());
        run.hiddenFolders = query.value(5).toBool();
        run.longExtensions = query.value(6).toBool();
        run.filesProcessed = query.value(7).toLongLong();
        run.filesFound = query.value(8).toLongLong();
        run.aborted = query.value(9).toBool();
        run.status = query.value(10).toString();
        run.unreadableFolders = query.value(11).toLongLong();
        run.bytesFound = query.value(12).toLongLong();
        run.clusterSize = query.value(13).toInt();
        run.fileSystem = query.value(14).toString();
        run.onDisk = query.value(15).toBool();
        run.host = query.value(16).toString();
        run.user = query.value(17).toString();
        kept.append(run);
    }
    return kept;
}

std::optional<KeptRun> HistoryStore::run(qint64 id)
{
    const QList<KeptRun> matching = readRuns(id);
    if (matching.isEmpty())
        return std::nullopt;
    std::optional<KeptRun> found = matching.first();
    QSqlQuery query(QSqlDatabase::database(m_connection));
    if (!query.prepare(QStringLiteral("SELECT page, title, position, cells FROM page_rows "
                                      "WHERE run = ? ORDER BY page, position"))) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return std::nullopt;
    }
    query.addBindValue(id);
    if (!query.exec()) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return std::nullopt;
    }
    // Rows as written: pages from 0 up, each opening with its headings (position 0). Anything
    // else is a damaged page, said as such.
    std::optional<qint64> page;
    while (query.next()) {
        const qint64 rowPage = query.value(0).toLongLong();
        const qint64 position = query.value(2).toLongLong();
        if (rowPage < 0 || position < 0 || (page && rowPage < *page) ||
            (!page || rowPage != *page) != (position == 0)) {
            fail(QStringLiteral("Unable to read"),
                 QStringLiteral("run %1 has a damaged page (page %2, row %3)")
                     .arg(id)
                     .arg(rowPage)
                     .arg(position));
            return std::nullopt;
        }
        if (!page || rowPage != *page) {
            page = rowPage;
            found->tables.append(TextTable{});
            found->tables.last().title = query.value(1).toString();
        }
        const QStringList cells = textList(query.value(3).toString());
        if (position == 0)
            found->tables.last().headings = cells;
        else
            found->tables.last().rows.append(cells);
    }
    if (!query.prepare(QStringLiteral("SELECT data FROM run_archives WHERE run = ?"))) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return std::nullopt;
    }
    query.addBindValue(id);
    if (!query.exec()) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return std::nullopt;
    }
    if (query.next())
        found->archive = query.value(0).toByteArray();
    return found;
}

std::optional<QString> HistoryStore::setAside()
{
    m_error.clear();
    if (m_location.engine() == HistoryLocation::Engine::PostgreSQL) {
        fail(QStringLiteral("Not setting aside"),
             QStringLiteral("a history on a server is repaired there, never moved"));
        return std::nullopt;
    }
    {
        QSqlDatabase database = QSqlDatabase::database(m_connection, false);
        if (database.isValid())
            database.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (m_file >= 0) {
        ::close(m_file);
        m_file = -1;
    }
    m_open = false;
    const QString aside = m_path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(aside).constData()) !=
        0) {
        fail(QStringLiteral("Unable to set aside"), QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    // Its log goes with it: a new database must not take up the old one's.
    for (const char *log : {"-wal", "-shm"})
        ::rename(QFile::encodeName(m_path + QLatin1StringView(log)).constData(),
                 QFile::encodeName(aside + QLatin1StringView(log)).constData());
    return aside;
}

bool HistoryStore::remove(qint64 id)
{
    m_error.clear();
    if (!open())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection));
    const bool prepared = query.prepare(QStringLiteral("DELETE FROM runs WHERE id = ?"));
    query.addBindValue(id);
    if (!prepared || !query.exec())
        return fail(QStringLiteral("Unable to delete from"), query.lastError().text());
    return query.numRowsAffected() > 0;
}
