#pragma once

#include <QString>

// Where the history of runs lives: an SQLite file (a path), or a PostgreSQL database named by a
// connection string, postgresql://[user@][host][:port]/database[?host=/socket/folder&port=N
// &sslmode=MODE&application_name=NAME]. A password is never taken from a connection string,
// which may stand in a settings file or a process list: libpq finds it in ~/.pgpass or
// PGPASSWORD. A connection that does not answer is given up after five seconds.
class HistoryLocation {
public:
    enum class Engine { SQLite, PostgreSQL };

    // The history to use: given (the command line) if not empty, else QUILLIX_HISTORY_DB, else
    // HistoryDatabase= in [Options] of the settings file at settingsPath, else the default file.
    static QString chosen(const QString &given, const QString &settingsPath);

    explicit HistoryLocation(const QString &location);

    Engine engine() const { return m_engine; }
    // False for a connection string that cannot be used; error() says why.
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // For messages and listings: the path, or the connection string without a password.
    QString shown() const { return m_shown; }
    // The SQLite file.
    QString path() const { return m_path; }

    // PostgreSQL: the parts of the connection string; port -1 and an empty host take libpq's
    // defaults. connectOptions() is in Qt's form ("connect_timeout=5;sslmode=require").
    QString host() const { return m_host; }
    int port() const { return m_port; }
    QString user() const { return m_user; }
    QString database() const { return m_database; }
    QString connectOptions() const { return m_options; }

private:
    static bool isConnectionString(const QString &location);

    Engine m_engine = Engine::SQLite;
    QString m_error;
    QString m_shown;
    QString m_path;
    QString m_host;
    int m_port = -1;
    QString m_user;
    QString m_database;
    QString m_options;
};
