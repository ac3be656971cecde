#include "PostgresServer.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <unistd.h>

namespace {

// initdb and postgres refuse to run as root.
constexpr uid_t nobody = 65534;

} // namespace

PostgresServer::PostgresServer()
{
    // The newest server installed (Debian keeps each major version in a folder of its own).
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    for (const QString &version : versions)
        if (QFile::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(version)))
            m_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(version);
    if (m_bin.isEmpty()) {
        m_error = QStringLiteral("no PostgreSQL server is installed (Debian: postgresql)");
        return;
    }
    if (!m_folder.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    if (::geteuid() == 0 &&
        ::chown(QFile::encodeName(m_folder.path()).constData(), nobody, nobody) != 0) {
        m_error = QStringLiteral("cannot give the temporary folder to nobody");
        return;
    }
    if (run(m_bin + QStringLiteral("initdb"),
            {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-U"),
             QStringLiteral("quillix"), QStringLiteral("--auth=trust"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-N")}))
        start();
}

PostgresServer::~PostgresServer()
{
    stop();
    // The folder goes with QTemporaryDir; the server's files are nobody's, which root removes.
}

bool PostgresServer::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    if (::geteuid() == 0) {
        process.setProgram(QStringLiteral("/usr/sbin/runuser"));
        process.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                         QStringLiteral("--"), program} +
                             arguments);
    } else {
        process.setProgram(program);
        process.setArguments(arguments);
    }
    process.setWorkingDirectory(m_folder.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool PostgresServer::start()
{
    if (m_running)
        return true;
    // The socket in the test's folder, no TCP at all; durability is of no use to a test.
    m_running = run(m_bin + QStringLiteral("pg_ctl"),
                    {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")),
                     QStringLiteral("-l"), m_folder.filePath(QStringLiteral("server.log")),
                     QStringLiteral("-w"), QStringLiteral("-o"),
                     QStringLiteral("-k %1 -c listen_addresses= -c fsync=off").arg(m_folder.path()),
                     QStringLiteral("start")});
    return m_running;
}

bool PostgresServer::stop()
{
    if (!m_running)
        return true;
    m_running =
        !run(m_bin + QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-m"),
              QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    return !m_running;
}

QString PostgresServer::connectionString(const QString &database, const QString &user) const
{
    return QStringLiteral("postgresql://%1@/%2?host=%3")
        .arg(user.isEmpty() ? QStringLiteral("quillix") : user, database, m_folder.path());
}

bool PostgresServer::execute(const QString &database, const QStringList &statements)
{
    const QString name = QStringLiteral("admin-") + QUuid::createUuid().toString();
    bool done = true;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        admin.setHostName(m_folder.path());
        admin.setUserName(QStringLiteral("quillix"));
        admin.setDatabaseName(database);
        done = admin.open();
        if (!done)
            m_error = admin.lastError().text();
        for (const QString &statement : statements) {
            QSqlQuery query(admin);
            if (!done || !query.exec(statement)) {
                if (done)
                    m_error = statement + QStringLiteral(": ") + query.lastError().text();
                done = false;
                break;
            }
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

QString PostgresServer::newDatabase()
{
    const QString name = QStringLiteral("history%1").arg(++m_databases);
    if (!execute(QStringLiteral("postgres"), {QStringLiteral("CREATE DATABASE ") + name}))
        return {};
    return connectionString(name);
}
