#include "cli/ReportCommand.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

QString readAll(FILE *file)
{
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, qsizetype(n));
    std::fclose(file);
    return QString::fromUtf8(bytes);
}

Result report(const QStringList &arguments)
{
    FILE *out = std::tmpfile();
    FILE *err = std::tmpfile();
    ReportCommand command(out, err);
    Result result;
    result.status = command.run(QStringList{QStringLiteral("quillix-report")} + arguments);
    result.out = readAll(out);
    result.err = readAll(err);
    return result;
}

void setTimes(const QByteArray &path, qint64 accessed, qint64 modified)
{
    const timespec times[2] = {{time_t(accessed), 0}, {time_t(modified), 0}};
    QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
}

QList<double> numbers(const QJsonValue &value, const char *field = nullptr)
{
    QList<double> list;
    for (const QJsonValue &item : value.toArray())
        list.append(field ? item[QLatin1StringView(field)].toDouble() : item.toDouble());
    return list;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private:
    TestTree *m_tree = nullptr;
    FakeVolumes *m_volumes = nullptr;

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    // Drive c: is a known tree; d: is ready but cannot be entered; e: is not ready.
    void init()
    {
        m_tree = new TestTree;
        TestTree &tree = *m_tree;
        const qint64 now = std::time(nullptr);
        const qint64 day = 86400;
        tree.file("a.txt", 100);
        tree.file("b.TXT", 5000);
        tree.file("README", 20000);
        tree.folder("docs");
        tree.file("docs/letter.doc", 70000);
        tree.file("docs/.hidden.doc", 1);
        tree.folder(".cache");
        tree.file(".cache/skipped.txt", 1);
        setTimes(tree.path("a.txt"), now - 2 * day, now - 40 * day);
        setTimes(tree.path("b.TXT"), now - 2 * day, now - 400 * day);
        setTimes(tree.path("README"), now - 2 * day, now - 2000 * day);
        setTimes(tree.path("docs/letter.doc"), now - 2 * day, now - 10 * day);
        setTimes(tree.path("docs/.hidden.doc"), now - 2 * day, now - 10 * day);
        m_volumes = new FakeVolumes;
        m_volumes->addDrive(u'c', dtFixed, QStringLiteral("TEST"), tree.root(),
                            VolumeSpace{1ull << 32, 1ull << 30, 4096});
        m_volumes->addDrive(u'd', dtFixed, QStringLiteral("GONE"), tree.path("missing"),
                            VolumeSpace{1ull << 32, 1ull << 30, 4096});
        m_volumes->addDrive(u'e', dtRemovable, QString(), "/e", std::nullopt);
        m_volumes->current = u'c';
        ReportCommand::interrupted = false;
    }
    void cleanup()
    {
        delete m_volumes;
        delete m_tree;
    }

    void jsonOfAKnownTree()
    {
        const Result result = report({"--format", "json", "--no-progress"});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err, QString());
        // Members stand in the documented order.
        static const QRegularExpression keys(
            QStringLiteral("^\\{\"targets\".*\"mode\".*\"types\".*"
                           "\"filesProcessed\".*\"filesFound\".*"
                           "\"aborted\".*\"unreadableFolders\".*"
                           "\"clusterSize\".*\"extensions\".*"
                           "\"sizeBands\".*\"ages\".*\"slots\".*"
                           "\"attributes\".*\"overhang\".*\\}\\n$"),
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(keys.match(result.out).hasMatch(), qPrintable(result.out));

        const QJsonObject json = result.json();
        QCOMPARE(json["targets"].toArray(), QJsonArray{"c: [test]"});
        QCOMPARE(json["mode"].toString(), QStringLiteral("all"));
        QCOMPARE(json["filesProcessed"].toInt(), 5);
        QCOMPARE(json["filesFound"].toInt(), 5);
        QCOMPARE(json["aborted"].toBool(), false);
        QCOMPARE(json["unreadableFolders"].toInt(), 0);
        QCOMPARE(json["clusterSize"].toInt(), 4096);

        const QJsonArray extensions = json["extensions"].toArray();
        QStringList rows;
        for (const QJsonValue &row : extensions)
            rows.append(QStringLiteral("%1 %2 %3")
                            .arg(row["ext"].toString())
                            .arg(row["files"].toInt())
                            .arg(row["bytes"].toInt()));
        QCOMPARE(rows, QStringList({" 1 20000", ".DOC 2 70001", ".TXT 2 5100"}));

        QCOMPARE(numbers(json["sizeBands"], "files"),
                 (QList<double>{3, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(json["sizeBands"][3]["label"].toString(), QStringLiteral("64K - 128K"));
        QCOMPARE(numbers(json["ages"]["modified"], "files"),
                 (QList<double>{0, 0, 2, 1, 0, 0, 1, 0, 0, 1}));
        QCOMPARE(numbers(json["ages"]["accessed"], "files"),
                 (QList<double>{0, 5, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(json["slots"]["modified"].toArray().size(), 48);
        QCOMPARE(json["attributes"]["hidden"]["files"].toInt(), 1);
        QCOMPARE(json["attributes"]["archive"]["bytes"].toInt(), 95101);
        // 100 wastes 3996 of a 4K cluster, 5000 wastes 3192, 20000 wastes 480, 70000 wastes
        // 3728, 1 wastes 4095.
        QCOMPARE(json["overhang"]["4096"].toInt(), 3996 + 3192 + 480 + 3728 + 4095);
    }

    void includeAndExclude_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("extensions");
        QTest::addColumn<int>("found");
        QTest::newRow("include") << QStringList{"--include", "TXT,.pdf"} << "include"
                                 << QStringList{".PDF", ".TXT"} << 2;
        QTest::newRow("exclude") << QStringList{"--exclude", "*.txt, .doc"} << "exclude"
                                 << QStringList{""} << 1;
    }
    void includeAndExclude()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mode);
        QFETCH(QStringList, extensions);
        QFETCH(int, found);
        const Result result = report(arguments + QStringList{"--format", "json", "c:"});
        QCOMPARE(result.status, 0);
        const QJsonObject json = result.json();
        QCOMPARE(json["mode"].toString(), mode);
        QStringList keys;
        for (const QJsonValue &row : json["extensions"].toArray())
            keys.append(row["ext"].toString());
        QCOMPARE(keys, extensions);
        QCOMPARE(json["filesProcessed"].toInt(), 5);
        QCOMPARE(json["filesFound"].toInt(), found);
    }

    void textReportPages()
    {
        const Result result = report({"c:"});
        QCOMPARE(result.status, 0);
        for (const char *heading :
             {"Space", "Extension  Type", "Totals", "File size", "Cluster overhang for FAT",
              "Active Size", "Accessed Date", "Created Date", "Modified Date", "Combined dates",
              "% of total # files", "Modified time"})
            QVERIFY2(result.out.contains(QLatin1StringView(heading)), heading);
        QVERIFY(result.out.endsWith(QStringLiteral("Finished - 5 files processed\n")));
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "Unknown option 'bogus'.";
        QTest::newRow("letter not in the table")
            << QStringList{"q:"} << "q: is not in the drive table";
        QTest::newRow("no such folder")
            << QStringList{"/no/such/folder"} << "is not a readable folder";
        QTest::newRow("a file is no folder")
            << QStringList{"/etc/hostname"} << "is not a readable folder";
        QTest::newRow("empty include list") << QStringList{"--include", ","} << "is empty";
        QTest::newRow("both lists")
            << QStringList{"--include", "a", "--exclude", "b"} << "cannot be used together";
        QTest::newRow("unknown format") << QStringList{"--format", "xml"} << "unknown format";
    }
    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Result result = report(arguments);
        QCOMPARE(result.status, 2);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(result.err.contains(QStringLiteral("--help")));
    }

    void targetThatCannotBeEntered()
    {
        RecordingMessages messages;
        const Result result = report({"--format", "json", "d:", "c:"});
        QCOMPARE(result.status, 1);
        QCOMPARE(messages.log, QStringList{"Error: Can't open drive d: [gone]"});
        QCOMPARE(result.json()["filesProcessed"].toInt(), 5);
        QCOMPARE(result.json()["targets"].toArray().size(), 2);
    }

    void interruptedRunReportsWhatItHas()
    {
        ReportCommand::interrupted = true;
        const Result text = report({"c:"});
        QCOMPARE(text.status, 130);
        QVERIFY(text.out.endsWith(
            QStringLiteral("Finished - 0 files processed INCOMPLETE ... ABORTED\n")));
        const Result json = report({"--format", "json", "c:"});
        QCOMPARE(json.status, 130);
        QCOMPARE(json.json()["aborted"].toBool(), true);
    }

    void driveTable()
    {
        const Result result = report({"--drives", "--format", "json"});
        QCOMPARE(result.status, 0);
        const QJsonArray drives = QJsonDocument::fromJson(result.out.toUtf8()).array();
        QCOMPARE(drives.size(), 3);
        QCOMPARE(drives[0]["row"].toString(), QStringLiteral("c: [test]"));
        QCOMPARE(drives[0]["clusterSize"].toInt(), 4096);
        QCOMPARE(drives[2]["row"].toString(), QStringLiteral("e:"));
        QCOMPARE(drives[2]["ready"].toBool(), false);
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
