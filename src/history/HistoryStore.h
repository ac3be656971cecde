#pragma once

#include "KeptRun.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The history of runs: an SQLite database, readable by its user alone (0600), in WAL mode, its
// schema versioned (PRAGMA user_version) and upgraded in place by ordered migrations. A
// database written by a newer version is refused and never written. Every failure (missing
// folder, locked, corrupt, full disk) comes back as a message; nothing here waits long.
class HistoryStore {
public:
    static constexpr int schemaVersion = 3;

    // ~/.local/share/Quillix/history.sqlite (the user's XDG data folder).
    static QString defaultPath();

    explicit HistoryStore(QString path);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Opens the database, creating it or upgrading its schema; false with error() set.
    bool open();
    QString error() const { return m_error; }

    // Keeps run in one transaction; its id, or nothing with error() set.
    std::optional<qint64> save(const KeptRun &run);
    // The kept runs, newest first, without their tables.
    QList<KeptRun> runs();
    // One run with its tables and archive; nothing when there is none of that id.
    std::optional<KeptRun> run(qint64 id);
    bool remove(qint64 id);

private:
    bool migrate(int from);
    // The runs, newest first, or the one of id.
    QList<KeptRun> readRuns(std::optional<qint64> id);
    bool fail(const QString &what, const QString &reason);

    QString m_path;
    QString m_connection;
    QString m_error;
    bool m_open = false;
};
