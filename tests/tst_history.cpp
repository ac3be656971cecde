#include "history/HistoryStore.h"
#include "support/PostgresServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

KeptRun sampleRun(const QString &status)
{
    KeptRun run;
    run.started = QDateTime::currentDateTime();
    run.targets = {QStringLiteral("c: [sys]"), QStringLiteral("/srv/photos, old")};
    run.mode = QStringLiteral("include");
    run.types = {QStringLiteral("*.jpg\tJPEG image")};
    run.hiddenFolders = true;
    run.filesProcessed = 12;
    run.filesFound = 10;
    run.unreadableFolders = 2;
    run.bytesFound = 5'000'000'000;
    run.clusterSize = 4096;
    run.fileSystem = QStringLiteral("ext4");
    run.archive = QByteArray("\0archive\xff", 10);
    run.status = status;
    TextTable types;
    types.title = QStringLiteral("Types");
    types.headings = {QStringLiteral("Extension"), QStringLiteral("Size")};
    types.rows = {{QStringLiteral(".JPG"), QStringLiteral("1,234")},
                  {QStringLiteral("\"odd\", \n"), QStringLiteral("0")}};
    TextTable sizes;
    sizes.title = QStringLiteral("Sizes");
    sizes.headings = {QStringLiteral("File size")};
    sizes.rows = {{QStringLiteral("0 - 16K")}};
    run.tables = {types, sizes};
    return run;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first schema's statements; on PostgreSQL its key counts by itself and its version stands
// in a table.
QStringList versionOne(bool server)
{
    QStringList statements;
    for (const char *statement :
         {"CREATE TABLE runs (id INTEGER PRIMARY KEY, started TEXT NOT NULL, targets TEXT NOT "
          "NULL, mode TEXT NOT NULL, types TEXT NOT NULL, hidden_folders INTEGER NOT NULL, "
          "long_extensions INTEGER NOT NULL, files_processed INTEGER NOT NULL, files_found "
          "INTEGER NOT NULL, aborted INTEGER NOT NULL, status TEXT NOT NULL)",
          "CREATE TABLE page_rows (run INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE, "
          "page INTEGER NOT NULL, title TEXT NOT NULL, position INTEGER NOT NULL, cells TEXT "
          "NOT NULL)",
          "INSERT INTO runs VALUES (7, '2026-11-01T10:00:00.000', '[\"c: [sys]\"]', 'all', "
          "'[]', 0, 0, 5, 5, 0, 'Finished - 5 files processed')",
          "INSERT INTO page_rows VALUES (7, 0, 'Types', 0, '[\"Extension\"]')"})
        statements.append(QString::fromLatin1(statement));
    if (!server)
        return statements << QStringLiteral("PRAGMA user_version = 1");
    statements.first().replace(QStringLiteral("INTEGER PRIMARY KEY"),
                               QStringLiteral("BIGSERIAL PRIMARY KEY"));
    return statements << QStringLiteral("CREATE TABLE quillix_schema (version INTEGER NOT NULL)")
                      << QStringLiteral("INSERT INTO quillix_schema VALUES (1)");
}

// A database as the first schema left it, written here with plain SQL.
void writeVersionOne(const QString &path)
{
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        database.setDatabaseName(path);
        QVERIFY(database.open());
        QSqlQuery query(database);
        for (const QString &statement : versionOne(false))
            QVERIFY2(query.exec(statement), qPrintable(statement));
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<PostgresServer> m_server;
    QTemporaryDir m_files;
    int m_made = 0;

    // A new history of engine: a file not yet made, or an empty database of the test's server.
    QString newHistory(const QString &engine)
    {
        if (engine == u"sqlite")
            return m_files.filePath(QStringLiteral("h%1/history.sqlite").arg(++m_made));
        if (!m_server->isRunning())
            return {};
        return m_server->newDatabase();
    }

    static void engines()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("SQLite") << QStringLiteral("sqlite");
        QTest::newRow("PostgreSQL") << QStringLiteral("postgresql");
    }

private Q_SLOTS:
    void initTestCase()
    {
        pinTestEnvironment();
        m_server = std::make_unique<PostgresServer>();
        QVERIFY2(m_server->isRunning(), qPrintable(m_server->error()));
    }
    // A row that failed with the server stopped leaves it running for the next.
    void cleanup()
    {
        if (m_server)
            m_server->start();
    }
    void cleanupTestCase() { m_server.reset(); }

    void keepReadListDelete_data() { engines(); }
    // A run is kept with every table, read back as it was, listed newest first, and deleted;
    // a file is its user's alone.
    void keepReadListDelete()
    {
        QFETCH(QString, engine);
        const QString path = newHistory(engine);
        QVERIFY(!path.isEmpty());
        HistoryStore store(path);
        // Looking makes no file.
        QVERIFY2(store.runs().isEmpty() && store.error().isEmpty(), qPrintable(store.error()));
        QVERIFY(!QFile::exists(path));
        KeptRun sample = sampleRun(QStringLiteral("first"));
        sample.host = QStringLiteral("laptop");
        sample.user = QStringLiteral("ann");
        const std::optional<qint64> first = store.save(sample);
        QVERIFY2(first, qPrintable(store.error()));
        const std::optional<qint64> second = store.save(sampleRun(QStringLiteral("second")));
        QVERIFY(second);
        struct stat st {};
        if (engine == u"sqlite") {
            QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0600));
        }

        HistoryStore again(path);
        const QList<KeptRun> runs = again.runs();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].status, QStringLiteral("second"));
        const std::optional<KeptRun> kept = again.run(*first);
        QVERIFY(kept);
        QCOMPARE(kept->hostText(), QStringLiteral("ann@laptop"));
        QCOMPARE(kept->targets, sample.targets);
        QCOMPARE(kept->types, sample.types);
        QVERIFY(kept->hiddenFolders && !kept->longExtensions);
        QCOMPARE(kept->unreadableFolders, qint64(2));
        QCOMPARE(kept->bytesFound, sample.bytesFound);
        QCOMPARE(kept->fileSystem, sample.fileSystem);
        QCOMPARE(kept->archive, sample.archive);
        QVERIFY(runs[0].archive.isEmpty()); // a listing leaves the archives where they are
        QCOMPARE(kept->tables.size(), 2);
        QCOMPARE(kept->tables[0].title, QStringLiteral("Types"));
        QCOMPARE(kept->tables[0].headings, sample.tables[0].headings);
        QCOMPARE(kept->tables[0].rows, sample.tables[0].rows);
        QCOMPARE(kept->tables[1].rows, sample.tables[1].rows);

        QVERIFY(again.remove(*first));
        QVERIFY(!again.remove(*first));
        QCOMPARE(again.runs().size(), 1);
        QVERIFY(!again.run(*first));
    }

    void upgradesFromVersionOne_data() { engines(); }
    // A database of the first schema is upgraded in place and keeps its runs.
    void upgradesFromVersionOne()
    {
        QFETCH(QString, engine);
        const QString path = newHistory(engine);
        if (engine == u"sqlite") {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            writeVersionOne(path);
        } else {
            QVERIFY2(m_server->execute(HistoryLocation(path).database(), versionOne(true)),
                     qPrintable(m_server->error()));
        }
        HistoryStore store(path);
        QVERIFY2(store.open(), qPrintable(store.error()));
        const QList<KeptRun> runs = store.runs();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].id, qint64(7));
        QCOMPARE(runs[0].unreadableFolders, qint64(0));
        QCOMPARE(store.run(7)->archive, QByteArray());
        QVERIFY(store.save(sampleRun(QStringLiteral("after the upgrade"))));
        QCOMPARE(store.run(7)->tables.value(0).headings, QStringList{"Extension"});
    }

    // What cannot be used is said and left as it is: a newer schema, a file that is no
    // database, a folder that cannot be made, a database another program holds locked.
    void failuresAreSaidAndLoseNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("newer") << "newer"
                               << "newer Quillix (schema 99";
        QTest::newRow("negative version") << "negative"
                                          << "newer Quillix (schema -1";
        QTest::newRow("corrupt") << "corrupt"
                                 << "file is not a database";
        QTest::newRow("no folder") << "no folder"
                                   << "Unable to";
        QTest::newRow("locked") << "locked"
                                << "database is locked";
        QTest::newRow("a table gone") << "table gone"
                                      << "no such table: page_rows";
    }
    void failuresAreSaidAndLoseNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QString path = folder.filePath(QStringLiteral("history.sqlite"));
        QSqlDatabase holder;
        if (kind == u"newer" || kind == u"negative") {
            writeVersionOne(path);
            QSqlDatabase database =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
            database.setDatabaseName(path);
            QVERIFY(database.open());
            QVERIFY(QSqlQuery(database).exec(
                QStringLiteral("PRAGMA user_version = %1").arg(kind == u"newer" ? 99 : -1)));
            database.close();
            // Not this program's: its mode stays as its owner set it.
            ::chmod(QFile::encodeName(path).constData(), 0644);
        } else if (kind == u"corrupt") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, '\x5a'));
        } else if (kind == u"table gone") {
            QVERIFY(HistoryStore(path).open());
            QSqlDatabase database =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
            database.setDatabaseName(path);
            QVERIFY(database.open());
            QVERIFY(QSqlQuery(database).exec(QStringLiteral("DROP TABLE page_rows")));
            database.close();
        } else if (kind == u"no folder") {
            QFile blocker(folder.filePath(QStringLiteral("file")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            path = folder.filePath(QStringLiteral("file/history.sqlite"));
        } else {
            QVERIFY(HistoryStore(path).open());
            holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            holder.setDatabaseName(path);
            QVERIFY(holder.open());
            QVERIFY(QSqlQuery(holder).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        }
        const QByteArray before = bytesOf(path);
        {
            HistoryStore store(path);
            store.setBusyTimeout(100);
            QVERIFY(!store.save(sampleRun(QStringLiteral("lost?"))));
            QVERIFY2(store.error().contains(message), qPrintable(store.error()));
            QVERIFY(store.runs().isEmpty());
        }
        struct stat st {};
        if (kind == u"newer" || kind == u"negative") {
            QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0644));
        }
        if (kind == u"locked") {
            QSqlQuery(holder).exec(QStringLiteral("ROLLBACK"));
            holder.close();
            holder = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        } else {
            QCOMPARE(bytesOf(path), before);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    }

    void processesSavingAtOnceKeepEveryRun_data() { engines(); }
    // Processes (hosts) that make the history at once each keep every run: the schema is read
    // and made under one lock, and a writer waits for another.
    void processesSavingAtOnceKeepEveryRun()
    {
        QFETCH(QString, engine);
        const QString path = newHistory(engine);
        QVERIFY(!path.isEmpty());
        QVERIFY(QDir().mkpath(m_files.path()));
        const int processes = engine == u"sqlite" ? 6 : 8;
        constexpr int runsEach = 5;
        int start[2];
        QVERIFY(::pipe(start) == 0);
        std::vector<pid_t> children;
        for (int p = 0; p < processes; ++p) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(start[1]);
                char go = 0;
                // Every child waits until the parent lets them all go together.
                const bool released = ::read(start[0], &go, 1) == 0;
                int kept = 0;
                KeptRun run = sampleRun(QStringLiteral("p%1").arg(p));
                run.host = QStringLiteral("host%1").arg(p);
                for (int r = 0; released && r < runsEach; ++r) {
                    HistoryStore store(path);
                    if (store.save(run))
                        ++kept;
                    else
                        qWarning("%s", qPrintable(store.error()));
                }
                ::_exit(kept == runsEach ? 0 : 1);
            }
            children.push_back(child);
        }
        ::close(start[0]);
        ::close(start[1]);
        int failed = 0;
        for (const pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            failed += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        }
        QCOMPARE(failed, 0);
        const QList<KeptRun> runs = HistoryStore(path).runs();
        QCOMPARE(runs.size(), processes * runsEach);
        QCOMPARE(std::count_if(runs.begin(), runs.end(),
                               [](const KeptRun &run) { return run.host == u"host7"; }),
                 processes == 8 ? runsEach : 0);
    }

    // A server that is down, refuses the login, goes away with the connection open or holds a
    // newer schema: the save fails at once with the reason, and nothing half kept stays.
    void serverFailuresAreSaid_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("down") << "down"
                              << "Unable to open";
        QTest::newRow("login refused") << "login"
                                       << "role \"stranger\" does not exist";
        QTest::newRow("gone mid-save") << "gone"
                                       << "Unable to keep the run in";
        QTest::newRow("newer schema") << "newer"
                                      << "newer Quillix (schema 99";
        QTest::newRow("password given") << "password"
                                        << "never taken from the connection string";
    }
    void serverFailuresAreSaid()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString location = newHistory(QStringLiteral("postgresql"));
        QVERIFY(!location.isEmpty());
        QVERIFY(HistoryStore(location).save(sampleRun(QStringLiteral("kept"))));
        const QString database = HistoryLocation(location).database();
        QString used = location;
        if (kind == u"login")
            used = m_server->connectionString(database, QStringLiteral("stranger"));
        else if (kind == u"password")
            used.replace(QStringLiteral("quillix@"), QStringLiteral("quillix:secret@"));
        HistoryStore store(used);
        if (kind == u"down") {
            QVERIFY(m_server->stop());
        } else if (kind == u"gone") {
            QVERIFY(store.open());
            QVERIFY(m_server->stop());
        } else if (kind == u"newer") {
            QVERIFY(m_server->execute(database,
                                      {QStringLiteral("UPDATE quillix_schema SET version = 99")}));
        }
        QVERIFY(!store.save(sampleRun(QStringLiteral("lost?"))));
        QVERIFY2(store.error().contains(message), qPrintable(store.error()));
        QVERIFY(!store.error().contains(QStringLiteral("secret")));
        QVERIFY(!store.error().contains(u'\n')); // one line, for a status line
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        if (kind == u"newer")
            QVERIFY(m_server->execute(database,
                                      {QStringLiteral("UPDATE quillix_schema SET version = %1")
                                           .arg(HistoryStore::schemaVersion)}));
        QCOMPARE(HistoryStore(location).runs().size(), 1);
    }

    // A damaged history never crashes a reader, and says what is damaged; a database its user
    // may not write is still read.
    void damagedAndReadOnlyHistories()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("history.sqlite"));
        const std::optional<qint64> id = HistoryStore(path).save(sampleRun(QStringLiteral("kept")));
        QVERIFY(id);
        {
            QSqlDatabase database =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
            database.setDatabaseName(path);
            QVERIFY(database.open());
            QVERIFY(QSqlQuery(database).exec(
                QStringLiteral("UPDATE page_rows SET page = -1 WHERE position = 1")));
            database.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("damage"));
        HistoryStore store(path);
        QVERIFY(!store.run(*id));
        QVERIFY2(store.error().contains(QStringLiteral("damaged page")), qPrintable(store.error()));

        // Read by another user who may read but not write it (a read-only copy, a full disk).
        if (::geteuid() != 0)
            QSKIP("needs root to read as another user");
        ::chmod(QFile::encodeName(path).constData(), 0644);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            HistoryStore reader(path);
            ::_exit(reader.runs().size() == 1 ? 0 : 4);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
