#pragma once

#include "HistoryLocation.h"
#include "KeptRun.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QSqlQuery;

// The history of runs: an SQLite database, readable by its user alone (0600), in WAL mode, its
// schema versioned (PRAGMA user_version) and upgraded in place by ordered migrations, read and
// migrated in one immediate transaction, so that many processes making it at once migrate it
// once. A database written by a newer version is refused and never written, nor its mode
// changed. Looking (listing, reading a run) opens it read-only, so that a full disk or a
// read-only file still shows what is kept. Every failure (missing folder, locked, corrupt, full
// disk, damaged rows) comes back as a message; nothing here waits long.
//
// The same schema, migrations and rows live in a PostgreSQL database where the location is a
// connection string (HistoryLocation): there the version is kept in a table of its own and
// migrated under a transaction-level advisory lock, so that many hosts starting at once
// migrate it once.
class HistoryStore {
public:
    static constexpr int schemaVersion = 5;

    // ~/.local/share/Quillix/history.sqlite (the user's XDG data folder).
    static QString defaultPath();

    // location: a file's path or a PostgreSQL connection string.
    explicit HistoryStore(const QString &location);
    // How long a write waits for another writer (default 5 s, so that processes saving at once
    // all keep their runs).
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Opens the database for writing, creating it or upgrading its schema; false with error()
    // set.
    bool open();
    QString error() const { return m_error; }

    // Keeps run in one transaction; its id, or nothing with error() set.
    std::optional<qint64> save(const KeptRun &run);
    // The kept runs, newest first, without their tables.
    QList<KeptRun> runs();
    // One run with its tables and archive; nothing when there is none of that id.
    std::optional<KeptRun> run(qint64 id);
    bool remove(qint64 id);
    // Renames the database (and its log files) to "<name>.damaged-<date and time>", never
    // deleting it, so that a new history starts in its place; the new name, or nothing with
    // error() set.
    std::optional<QString> setAside();

private:
    // For looking: read-only, after an upgrade where one is due and can be made.
    bool openForReading();
    bool connect(bool readOnly, bool immutable = false);
    // Reads the schema version and migrates it, in one transaction under a lock.
    bool migrate();
    // Runs the migrations from version up, in the transaction open.
    bool upgrade(QSqlQuery &query, int version);
    // The runs, newest first, or the one of id.
    QList<KeptRun> readRuns(std::optional<qint64> id);
    bool fail(const QString &what, const QString &reason);

    HistoryLocation m_location;
    QString m_path; // the SQLite file
    QString m_connection;
    QString m_error;
    int m_busyTimeoutMs = 5000;
    int m_file = -1; // the database file, held open while SQLite has it open
    bool m_open = false;
    bool m_readOnly = false;
};
