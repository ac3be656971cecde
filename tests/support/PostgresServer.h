#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of a test's own: made with initdb in a temporary folder, listening on a
// Unix socket in that folder only (no TCP port), run as nobody when the test runs as root,
// trusted by local connections, and stopped and removed when this goes.
class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // Whether it runs; error() says why it does not.
    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }

    // Makes a new empty database; its connection string, or empty with error() set.
    QString newDatabase();
    // "postgresql://quillix@/name?host=/tmp/..."
    QString connectionString(const QString &database, const QString &user = {}) const;
    // Runs SQL in database as the server's own user; false with error() set.
    bool execute(const QString &database, const QStringList &statements);

    // Stops the server at once (clients lose their connections) and starts it again.
    bool stop();
    bool start();

private:
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_folder;
    QString m_bin;
    QString m_error;
    bool m_running = false;
    int m_databases = 0;
};
