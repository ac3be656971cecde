#include "HistoryStore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The schema, one step per version: step k upgrades version k to version k + 1.
const QList<QStringList> migrations{
    {QStringLiteral("CREATE TABLE runs (id INTEGER PRIMARY KEY, started TEXT NOT NULL, "
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
};

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

HistoryStore::HistoryStore(QString path)
    : m_path(std::move(path)),
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
}

bool HistoryStore::fail(const QString &what, const QString &reason)
{
    m_error = what + QStringLiteral(" ") + m_path + QStringLiteral(": ") + reason;
    return false;
}

bool HistoryStore::open()
{
    if (m_open)
        return true;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(QStringLiteral("Unable to make the folder of"), QStringLiteral("no access"));
    // Made readable by its user alone before SQLite writes a byte; kept so on every open.
    const QByteArray file = QFile::encodeName(m_path);
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return fail(QStringLiteral("Unable to open"), QString::fromLocal8Bit(std::strerror(errno)));
    ::fchmod(fd, 0600);
    ::close(fd);

    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    database.setDatabaseName(m_path);
    // Another Quillix writing is waited for briefly, never for long.
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=250"));
    if (!database.open())
        return fail(QStringLiteral("Unable to open"), database.lastError().text());
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return fail(QStringLiteral("Unable to read"), query.lastError().text());
    const int version = query.value(0).toInt();
    if (version > schemaVersion)
        return fail(QStringLiteral("Not keeping runs in"),
                    QStringLiteral("it was written by a newer Quillix (schema %1, this one knows "
                                   "%2); it is left as it is")
                        .arg(version)
                        .arg(schemaVersion));
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !query.exec(QStringLiteral("PRAGMA foreign_keys=ON")))
        return fail(QStringLiteral("Unable to set up"), query.lastError().text());
    if (version < schemaVersion && !migrate(version))
        return false;
    m_open = true;
    return true;
}

bool HistoryStore::migrate(int from)
{
    QSqlDatabase database = QSqlDatabase::database(m_connection);
    for (int version = from; version < schemaVersion; ++version) {
        if (!database.transaction())
            return fail(QStringLiteral("Unable to upgrade"), database.lastError().text());
        QSqlQuery query(database);
        bool done = true;
        for (const QString &statement : migrations[version])
            done = done && query.exec(statement);
        done = done && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1));
        if (!done || !database.commit()) {
            const QString reason = query.lastError().text();
            database.rollback();
            return fail(QStringLiteral("Unable to upgrade"), reason);
        }
    }
    return true;
}

std::optional<qint64> HistoryStore::save(const KeptRun &run)
{
    m_error.clear();
    if (!open())
        return std::nullopt;
    QSqlDatabase database = QSqlDatabase::database(m_connection);
    if (!database.transaction()) {
        fail(QStringLiteral("Unable to keep the run in"), database.lastError().text());
        return std::nullopt;
    }
    QSqlQuery query(database);
    query.prepare(QStringLiteral(
        "INSERT INTO runs (started, targets, mode, types, hidden_folders, long_extensions, "
        "files_processed, files_found, aborted, status, unreadable_folders, bytes_found, "
        "cluster_size, file_system) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant &value :
         {QVariant(run.started.toString(Qt::ISODateWithMs)), QVariant(listText(run.targets)),
          QVariant(run.mode), QVariant(listText(run.types)), QVariant(run.hiddenFolders),
          QVariant(run.longExtensions), QVariant(run.filesProcessed), QVariant(run.filesFound),
          QVariant(run.aborted), QVariant(run.status), QVariant(run.unreadableFolders),
          QVariant(run.bytesFound), QVariant(run.clusterSize),
          QVariant(run.fileSystem.isNull() ? QStringLiteral("") : run.fileSystem)})
        query.addBindValue(value);
    bool done = query.exec();
    const qint64 id = query.lastInsertId().toLongLong();
    QSqlQuery rows(database);
    rows.prepare(QStringLiteral(
        "INSERT INTO page_rows (run, page, title, position, cells) VALUES (?, ?, ?, ?, ?)"));
    for (qsizetype page = 0; done && page < run.tables.size(); ++page) {
        const TextTable &table = run.tables[page];
        // Position 0 holds the headings, then the rows in order.
        for (qsizetype position = 0; done && position <= table.rows.size(); ++position) {
            rows.addBindValue(id);
            rows.addBindValue(page);
            rows.addBindValue(table.title);
            rows.addBindValue(position);
            rows.addBindValue(listText(position == 0 ? table.headings : table.rows[position - 1]));
            done = rows.exec();
        }
    }
    QSqlQuery archive(database);
    if (done && !run.archive.isEmpty()) {
        archive.prepare(QStringLiteral("INSERT INTO run_archives (run, data) VALUES (?, ?)"));
        archive.addBindValue(id);
        archive.addBindValue(run.archive);
        done = archive.exec();
    }
    if (!done || !database.commit()) {
        const QString reason = !archive.lastError().text().isEmpty() ? archive.lastError().text()
                               : !rows.lastError().text().isEmpty()  ? rows.lastError().text()
                               : !query.lastError().text().isEmpty() ? query.lastError().text()
                                                                     : database.lastError().text();
        database.rollback();
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
    // Looking never makes a database: without one, nothing is kept yet.
    if (!m_open && !QFileInfo::exists(m_path))
        return kept;
    if (!open())
        return kept;
    QSqlQuery query(QSqlDatabase::database(m_connection));
    query.prepare(QStringLiteral("SELECT id, started, targets, mode, types, hidden_folders, "
                                 "long_extensions, files_processed, files_found, aborted, status, "
                                 "unreadable_folders, bytes_found, cluster_size, file_system "
                                 "FROM runs") +
                  (id ? QStringLiteral(" WHERE id = ?") : QString()) +
                  QStringLiteral(" ORDER BY started DESC, id DESC"));
    if (id)
        query.addBindValue(*id);
    if (!query.exec()) {
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
    query.prepare(QStringLiteral("SELECT page, title, position, cells FROM page_rows "
                                 "WHERE run = ? ORDER BY page, position"));
    query.addBindValue(id);
    if (!query.exec()) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return std::nullopt;
    }
    int page = -1;
    while (query.next()) {
        if (query.value(0).toInt() != page) {
            page = query.value(0).toInt();
            found->tables.append(TextTable{});
            found->tables.last().title = query.value(1).toString();
        }
        const QStringList cells = textList(query.value(3).toString());
        if (query.value(2).toInt() == 0)
            found->tables.last().headings = cells;
        else
            found->tables.last().rows.append(cells);
    }
    query.prepare(QStringLiteral("SELECT data FROM run_archives WHERE run = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        fail(QStringLiteral("Unable to read"), query.lastError().text());
        return std::nullopt;
    }
    if (query.next())
        found->archive = query.value(0).toByteArray();
    return found;
}

bool HistoryStore::remove(qint64 id)
{
    m_error.clear();
    if (!open())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection));
    query.prepare(QStringLiteral("DELETE FROM runs WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return fail(QStringLiteral("Unable to delete from"), query.lastError().text());
    return query.numRowsAffected() > 0;
}
