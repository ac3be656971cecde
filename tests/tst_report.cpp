#include "cli/ReportCommand.h"
#include "collection/FileLists.h"
#include "collection/RunArchive.h"
#include "collection/StatAccumulators.h"
#include "collection/UnreadableFolders.h"
#include "common/FileNameText.h"
#include "history/HistoryStore.h"
#include "platform/ProfileFile.h"
#include "reports/PrometheusMetrics.h"
#include "support/FakeFileTypeRegistry.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

#include <QDateTime>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

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

// The test's own count of what a report of the trees it made must print: from its own statx of
// each file and the rules as the pages state them, never from the code under test.
struct Oracle {
    struct Sums {
        qint64 files = 0;
        qint64 bytes = 0;
    };
    QDate today = QDate::currentDate();
    bool overhang = true;
    qint64 processed = 0;
    std::map<QByteArray, Sums> extensions; // upper-case keys in byte order
    std::array<Sums, 13> sizes{};
    std::array<std::array<Sums, 10>, 3> ages{};    // accessed, created, modified
    std::array<std::array<qint64, 48>, 3> slots{}; // modified, created, accessed
    std::array<Sums, 4> attributes{};              // read-only, hidden, system, archive
    std::array<qint64, 5> waste{};

    static int sizeBand(qint64 size)
    {
        for (int band = 1; band < 12; ++band)
            if (size <= qint64(16384) << (band - 1))
                return band;
        return 12;
    }
    int ageBand(qint64 seconds) const
    {
        const qint64 days = std::abs(QDateTime::fromSecsSinceEpoch(seconds).date().daysTo(today));
        const int bounds[] = {7, 30, 60, 120, 365, 730, 1095, 1460};
        for (int band = 0; band < 8; ++band)
            if (days <= bounds[band])
                return band + 1;
        return 9;
    }
    static int slot(qint64 seconds)
    {
        const QTime time = QDateTime::fromSecsSinceEpoch(seconds).time();
        return time.hour() * 2 + (time.minute() >= 30);
    }

    void add(const QByteArray &folder, const QByteArray &name)
    {
        struct statx sx {};
        QVERIFY(::statx(AT_FDCWD, (folder + '/' + name).constData(), AT_SYMLINK_NOFOLLOW, STATX_ALL,
                        &sx) == 0);
        const qint64 size = qint64(sx.stx_size);
        ++processed;
        const qsizetype dot = name.lastIndexOf('.');
        const QByteArray key = dot < 0 ? QByteArray() : name.mid(dot).toUpper();
        if (key.size() <= 5) {
            ++extensions[key].files;
            extensions[key].bytes += size;
        }
        auto count = [size](Sums &sums) {
            ++sums.files;
            sums.bytes += size;
        };
        count(sizes[size_t(sizeBand(size))]);
        const qint64 stamps[3] = {sx.stx_atime.tv_sec,
                                  sx.stx_mask & STATX_BTIME ? sx.stx_btime.tv_sec : 0,
                                  sx.stx_mtime.tv_sec};
        for (int i = 0; i < 3; ++i) {
            count(ages[size_t(i)][size_t(stamps[i] ? ageBand(stamps[i]) : 0)]);
            static constexpr int slotStamp[3] = {2, 1, 0}; // modified, created, accessed
            const qint64 stamp = stamps[slotStamp[i]];
            if (stamp && slot(stamp) > 0)
                ++slots[size_t(i)][size_t(slot(stamp))];
        }
        const mode_t type = sx.stx_mode & S_IFMT;
        if (!(sx.stx_mode & S_IWUSR))
            count(attributes[0]);
        if (name.startsWith('.'))
            count(attributes[1]);
        if (type == S_IFIFO || type == S_IFSOCK || type == S_IFCHR || type == S_IFBLK)
            count(attributes[2]);
        if (!(sx.stx_attributes & STATX_ATTR_NODUMP))
            count(attributes[3]);
        for (int i = 0; i < 5 && overhang; ++i) {
            const qint64 cluster = 4096 << i;
            if (size % cluster)
                waste[size_t(i)] += cluster - size % cluster;
        }
    }

    // Whole numbers with "," between thousands; shares rounded half away from zero.
    static QString grouped(double value)
    {
        QString digits = QString::number(std::llround(value));
        for (qsizetype at = digits.size() - 3; at > (digits.startsWith(u'-') ? 1 : 0); at -= 3)
            digits.insert(at, u',');
        return digits;
    }
    static QString share(double part, double whole, int decimals)
    {
        if (whole <= 0)
            return QString();
        const double scale = std::pow(10.0, decimals);
        QString text =
            QString::number(std::llround(100 * part / whole * scale) / scale, 'f', decimals);
        if (text.contains(u'.')) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        }
        return text + QStringLiteral(" %");
    }

    qint64 found() const
    {
        qint64 files = 0;
        for (int band = 1; band <= 12; ++band)
            files += sizes[size_t(band)].files;
        return files;
    }
    qint64 totalBytes() const
    {
        qint64 bytes = 0;
        for (int band = 1; band <= 12; ++band)
            bytes += sizes[size_t(band)].bytes;
        return bytes;
    }
};

const char *const sizeLabels[] = {
    "",           "0 - 16K",   "16K - 32K", "32K - 64K", "64K - 128K", "128K - 256K", "256K - 512K",
    "512K - 1MB", "1MB - 2MB", "2MB - 4MB", "4MB - 8MB", "8MB - 16MB", "Over 16MB"};
const char *const ageLabels[] = {"Not recorded",  "<= 7 days",      "8 - 30 days", "31 - 60 days",
                                 "61 - 120 days", "121 - 365 days", "1 - 2 years", "2 - 3 years",
                                 "3 - 4 years",   "Over 4 years"};

// A printed line as its cells: columns stand two or more blanks apart.
QStringList cellsOf(const QString &line)
{
    static const QRegularExpression gap(QStringLiteral("\\s{2,}"));
    QStringList cells = line.trimmed().split(gap, Qt::SkipEmptyParts);
    for (QString &cell : cells)
        cell = cell.trimmed();
    return cells;
}

// The printed pages by title: the cells of every line under the heading rule, rows then notes.
QMap<QString, QList<QStringList>> printedPages(const QString &text)
{
    QMap<QString, QList<QStringList>> pages;
    const QStringList lines = text.split(u'\n');
    QString page;
    bool inRows = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i + 1 < lines.size() && !lines[i].isEmpty() &&
            lines[i + 1] == QString(lines[i].size(), u'=')) {
            page = lines[i++];
            pages[page];
            inRows = false;
        } else if (lines[i].startsWith(QStringLiteral("---"))) {
            inRows = true;
        } else if (lines[i].isEmpty()) {
            inRows = false;
        } else if (inRows) {
            pages[page].append(cellsOf(lines[i]));
        }
    }
    return pages;
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

    // Members stand in the documented order; their values are the oracle's test below.
    void jsonMembersInOrder()
    {
        const Result result = report({"--format", "json", "--no-progress"});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err, QString());
        static const QRegularExpression keys(
            QStringLiteral("^\\{\"targets\".*\"mode\".*\"types\".*"
                           "\"filesProcessed\".*\"filesFound\".*"
                           "\"aborted\".*\"unreadableFolders\".*"
                           "\"clusterSize\".*\"extensions\".*"
                           "\"sizeBands\".*\"ages\".*\"slots\".*"
                           "\"attributes\".*\"overhang\".*\\}\\n$"),
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(keys.match(result.out).hasMatch(), qPrintable(result.out));
        QCOMPARE(result.json()["targets"].toArray(), QJsonArray{"c: [test]"});
    }

    // Every figure the report prints, in JSON and as text, against the test's own count of a
    // tree with sizes at the band edges, times at the age and slot edges, every attribute and
    // extensions of every kind; with a second drive, the figures of both and no overhang.
    void everyFigureAgainstAnIndependentCount_data()
    {
        QTest::addColumn<bool>("twoDrives");
        QTest::newRow("one drive") << false;
        QTest::newRow("two drives") << true;
    }
    void everyFigureAgainstAnIndependentCount()
    {
        QFETCH(bool, twoDrives);
        TestTree tree;
        TestTree second;
        Oracle oracle;
        oracle.overhang = !twoDrives;
        const QDateTime noon(oracle.today, QTime(12, 0));
        auto at = [&](int daysAgo, QTime time) {
            return QDateTime(oracle.today.addDays(-daysAgo), time).toSecsSinceEpoch();
        };
        struct Made {
            const char *name;
            qint64 size;
            int daysAgo;
            QTime time;
        };
        const Made made[] = {{"a.txt", 0, 0, QTime(0, 29, 58)},
                             {"b.TXT", 1, 7, QTime(0, 30)},
                             {"c.Txt", 4095, 8, QTime(12, 0)},
                             {"README", 4096, 30, QTime(12, 0)},
                             {"d.doc", 4097, 31, QTime(10, 29, 58)},
                             {"e.doc", 16384, 60, QTime(10, 30)},
                             {"x.tar.gz", 16385, 61, QTime(23, 59, 58)},
                             {"g.zz", 32768, 120, QTime(12, 0)},
                             {"h.zz", 32769, 121, QTime(12, 0)},
                             {"i.jpeg", 65536, 365, QTime(12, 0)},
                             {"j.markdown", 1048576, 366, QTime(12, 0)},
                             {"k.c", 1048577, 730, QTime(12, 0)},
                             {"l.c", 16777216, 731, QTime(12, 0)},
                             {"m.c", 16777217, 1095, QTime(12, 0)},
                             {"n.bin", 20000000, 1096, QTime(12, 0)},
                             {"o.bin", 5368709120, 1460, QTime(12, 0)},
                             {"p", 123, 1461, QTime(1, 0)},
                             {"q.future", 7, -5, QTime(12, 0)},
                             {".hidden.doc", 10, 3000, QTime(12, 0)},
                             {"trail.", 3, 2, QTime(12, 0)},
                             {"ro.txt", 50, 3, QTime(12, 0)},
                             {"docs/inner.doc", 70000, 9, QTime(8, 0)},
                             {"docs/deeper/x.DOC", 12, 10, QTime(9, 0)}};
        tree.folder("docs");
        tree.folder("docs/deeper");
        tree.folder(".cache");
        tree.file(".cache/skipped.txt", 1);
        QVERIFY(::mkfifo(tree.path("fifo").constData(), 0644) == 0);
        tree.link("a.txt", "link");
        for (const Made &file : made)
            tree.file(file.name, file.size);
        ::chmod(tree.path("ro.txt").constData(), 0444);
        for (const Made &file : made)
            setTimes(tree.path(file.name), at(file.daysAgo, file.time) + 5 * 3600,
                     at(file.daysAgo, file.time));
        setTimes(tree.path("fifo"), noon.toSecsSinceEpoch(), noon.toSecsSinceEpoch());
        second.file("other.txt", 10);
        second.file("more.dat", 20000);

        for (const char *name : {"fifo", "link"})
            oracle.add(tree.root(), name);
        for (const Made &file : made) {
            const QByteArray path(file.name);
            const qsizetype slash = path.lastIndexOf('/');
            oracle.add(slash < 0 ? tree.root() : tree.path(path.left(slash)), path.mid(slash + 1));
        }
        if (twoDrives)
            for (const char *name : {"other.txt", "more.dat"})
                oracle.add(second.root(), name);

        FakeFileTypeRegistry noDescriptions;
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("ORACLE"), tree.root(),
                         VolumeSpace{5ull << 32, 1ull << 32, 4096});
        volumes.addDrive(u'd', dtFixed, QStringLiteral("SECOND"), second.root(),
                         VolumeSpace{1ull << 30, 1ull << 29, 4096});
        const QStringList targets = twoDrives ? QStringList{"c:", "d:"} : QStringList{"c:"};
        const Result json = report(QStringList{"--format", "json"} + targets);
        const Result text = report(targets);
        if (QDate::currentDate() != oracle.today)
            QSKIP("the day changed during the run");
        QCOMPARE(json.status, 0);
        QCOMPARE(text.status, 0);

        // JSON, member by member.
        const QJsonObject report = json.json();
        QCOMPARE(report["targets"].toArray(), (twoDrives ? QJsonArray{"c: [oracle]", "d: [second]"}
                                                         : QJsonArray{"c: [oracle]"}));
        QCOMPARE(report["mode"].toString(), QStringLiteral("all"));
        QCOMPARE(report["types"].toArray(), QJsonArray());
        QCOMPARE(report["filesProcessed"].toDouble(), double(oracle.processed));
        QCOMPARE(report["filesFound"].toDouble(), double(oracle.found()));
        QCOMPARE(report["aborted"].toBool(), false);
        QCOMPARE(report["unreadableFolders"].toDouble(), 0.0);
        QCOMPARE(report["clusterSize"].toDouble(), 4096.0);
        QStringList expectedRows, rows;
        for (const auto &[key, sums] : oracle.extensions)
            expectedRows.append(
                QStringLiteral("%1 %2 %3").arg(key).arg(sums.files).arg(sums.bytes));
        for (const QJsonValue &row : report["extensions"].toArray())
            rows.append(QStringLiteral("%1 %2 %3")
                            .arg(row["ext"].toString())
                            .arg(qint64(row["files"].toDouble()))
                            .arg(qint64(row["bytes"].toDouble())));
        QCOMPARE(rows, expectedRows);
        auto bandsOf = [](const QJsonValue &bands) {
            QStringList lines;
            for (const QJsonValue &band : bands.toArray())
                lines.append(QStringLiteral("%1: %2 %3")
                                 .arg(band["label"].toString())
                                 .arg(qint64(band["files"].toDouble()))
                                 .arg(qint64(band["bytes"].toDouble())));
            return lines;
        };
        auto expectedBands = [](const auto &sums, const char *const *labels, int first) {
            QStringList lines;
            for (size_t band = size_t(first); band < sums.size(); ++band)
                lines.append(QStringLiteral("%1: %2 %3")
                                 .arg(QLatin1String(labels[band]))
                                 .arg(sums[band].files)
                                 .arg(sums[band].bytes));
            return lines;
        };
        QCOMPARE(bandsOf(report["sizeBands"]), expectedBands(oracle.sizes, sizeLabels, 1));
        const char *const stamps[] = {"accessed", "created", "modified"};
        for (size_t i = 0; i < 3; ++i)
            QCOMPARE(bandsOf(report["ages"][QLatin1String(stamps[i])]),
                     expectedBands(oracle.ages[i], ageLabels, 0));
        const char *const slotNames[] = {"modified", "created", "accessed"};
        for (size_t i = 0; i < 3; ++i) {
            QList<double> expected;
            for (qint64 count : oracle.slots[i])
                expected.append(double(count));
            QCOMPARE(numbers(report["slots"][QLatin1String(slotNames[i])]), expected);
        }
        const char *const attributeNames[] = {"readOnly", "hidden", "system", "archive"};
        for (size_t i = 0; i < 4; ++i) {
            const QJsonValue attribute = report["attributes"][QLatin1String(attributeNames[i])];
            QCOMPARE(attribute["files"].toDouble(), double(oracle.attributes[i].files));
            QCOMPARE(attribute["bytes"].toDouble(), double(oracle.attributes[i].bytes));
        }
        for (size_t i = 0; i < 5; ++i)
            QCOMPARE(report["overhang"][QString::number(4096 << i)].toDouble(),
                     double(oracle.waste[i]));

        // Text, cell by cell.
        const QMap<QString, QList<QStringList>> pages = printedPages(text.out);
        using Rows = QList<QStringList>;
        auto g = [](double value) { return Oracle::grouped(value); };
        Rows space{{"c: [oracle]", "20.00 GB", "4.00 GB", "16.00 GB"}};
        if (twoDrives)
            space += Rows{{"d: [second]", "1.00 GB", "0.50 GB", "0.50 GB"},
                          {"Total", "21.00 GB", "4.50 GB", "16.50 GB"}};
        QCOMPARE(pages["Space"], space);

        Rows types;
        double typeBytes = 0, typeFiles = 0;
        for (const auto &[key, sums] : oracle.extensions) {
            types.append({QString::fromLatin1(key),
                          key.isEmpty() ? QString() : QString::fromLatin1(key.mid(1)) + " File",
                          g(double(sums.bytes)), g(double(sums.files)),
                          g(double(sums.bytes) / double(sums.files))});
            types.back().removeAll(QString());
            types.back().replaceInStrings(QRegularExpression(QStringLiteral("^ ")), QString());
            typeBytes += double(sums.bytes);
            typeFiles += double(sums.files);
        }
        Rows printedTypes = pages["Types"];
        QVERIFY(!printedTypes.isEmpty());
        // The files of longer extensions, counted everywhere else, are said under the totals:
        // together they are every counted file.
        const QString unlisted = printedTypes.takeLast().join(u' ');
        const qint64 allFiles =
            std::accumulate(oracle.sizes.begin(), oracle.sizes.end(), qint64(0),
                            [](qint64 n, const Oracle::Sums &s) { return n + s.files; });
        QVERIFY(allFiles > qint64(typeFiles));
        QVERIFY2(
            unlisted.startsWith(g(double(allFiles) - typeFiles) + QStringLiteral(" files (")) &&
                unlisted.endsWith(QStringLiteral(") with longer extensions are not listed")),
            qPrintable(unlisted));
        QCOMPARE(printedTypes.takeLast(), (QStringList{"Totals", g(typeBytes), g(typeFiles)}));
        std::sort(types.begin(), types.end());
        std::sort(printedTypes.begin(), printedTypes.end());
        QCOMPARE(printedTypes, types);

        Rows sizes;
        for (int band = 12; band >= 1; --band)
            sizes.append({sizeLabels[band], g(double(oracle.sizes[size_t(band)].bytes)),
                          g(double(oracle.sizes[size_t(band)].files))});
        QCOMPARE(pages["Sizes"], sizes);

        // The oracle drive is ext4: the page speaks of its own allocation unit.
        const QString overhangTitle = QStringLiteral("Cluster overhang for ext4 drives");
        QCOMPARE(pages.contains(overhangTitle), !twoDrives);
        if (!twoDrives) {
            const double total = double(oracle.totalBytes());
            const char *const fat[] = {"255 MB", "256 MB - 511 MB", "512 MB - 1023 MB",
                                       "1 GB - 2 GB", "2 GB - 4 GB"};
            const char *const fat32[] = {"Less than 8GB", "Less than 16GB", "Less than 32GB",
                                         "32GB or more", ""};
            Rows overhang;
            for (size_t row = 0; row < 5; ++row) {
                const double waste = double(oracle.waste[row]);
                overhang.append({fat[row], fat32[row], row == 0 ? "Active Size ->" : "",
                                 QString::number(4 << row) + u'K',
                                 Oracle::share(waste, total + waste, 0), g(waste)});
                overhang.back().removeAll(QString());
            }
            overhang += Rows{
                {"Number of files scanned: " + g(double(oracle.found()))},
                {"Total file sizes: " + g(total / 1048576) + " MB"},
                {"Actual space used " + g((total + double(oracle.waste[0])) / 1048576) + " MB"}};
            QCOMPARE(pages[overhangTitle], overhang);
        }

        const char *const dateTitles[] = {"Access", "Created", "Modified"};
        Rows combined;
        for (int band = 9; band >= 0; --band) {
            combined.append({ageLabels[band]});
            for (size_t i = 0; i < 3; ++i)
                combined.back() += {g(double(oracle.ages[i][size_t(band)].bytes)),
                                    g(double(oracle.ages[i][size_t(band)].files))};
        }
        for (size_t i = 0; i < 3; ++i) {
            Rows dates;
            for (const QStringList &row : combined)
                dates.append({row[0], row[1 + 2 * qsizetype(i)], row[2 + 2 * qsizetype(i)]});
            QCOMPARE(pages[dateTitles[i]], dates);
        }
        QCOMPARE(pages["Combined"], combined);

        qint64 attributeFiles = 0, attributeBytes = 0;
        for (const Oracle::Sums &sums : oracle.attributes) {
            attributeFiles += sums.files;
            attributeBytes += sums.bytes;
        }
        Rows attributes;
        const std::pair<const char *, size_t> captions[] = {
            {"Hidden", 1}, {"Read-only", 0}, {"System", 2}, {"Archive", 3}};
        for (const auto &[caption, i] : captions) {
            const Oracle::Sums &sums = oracle.attributes[i];
            attributes.append({QLatin1String(caption),
                               Oracle::share(double(sums.files), double(attributeFiles), 2),
                               g(double(sums.files)),
                               Oracle::share(double(sums.bytes), double(attributeBytes), 2),
                               g(double(sums.bytes))});
            attributes.back().removeAll(QString());
        }
        attributes += Rows{cellsOf(QStringLiteral(
            "Note it is possible that some files may have more than one attribute set.  For "
            "example many system files are also hidden."))};
        QCOMPARE(pages["Attribute"], attributes);

        Rows times;
        for (size_t k = 0; k < 48; ++k)
            times.append({QTime(int(k) / 2, k % 2 ? 30 : 0).toString(QStringLiteral("HH:mm")),
                          g(double(oracle.slots[0][k])), g(double(oracle.slots[1][k])),
                          g(double(oracle.slots[2][k]))});
        QCOMPARE(pages["Time"], times);
        QVERIFY(
            text.out.endsWith("Finished - " + g(double(oracle.processed)) + " files processed\n"));
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
             {"Space", "Extension  Type", "Totals", "File size", "Cluster overhang for ext4 drives",
              "If FAT32, partition", "Active Size", "Accessed Date", "Created Date",
              "Modified Date", "Combined dates", "% of total # files", "Modified time"})
            QVERIFY2(result.out.contains(QLatin1StringView(heading)), heading);
        QVERIFY(result.out.endsWith(QStringLiteral("Finished - 5 files processed\n")));
    }

    // As CSV: a table per page, a blank line apart, each heading row opening with the page's
    // name; figures in plain digits.
    void csvPages()
    {
        const Result result = report({"c:", "--format", "csv"});
        QCOMPARE(result.status, 0);
        QStringList names;
        QStringList txt;
        for (const QString &table : result.out.split(QStringLiteral("\r\n\r\n"))) {
            const QStringList lines = table.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            names.append(lines.value(0).section(u',', 0, 0));
            for (const QString &line : lines)
                if (line.startsWith(QStringLiteral(".TXT,")))
                    txt = line.split(u',');
        }
        QCOMPARE(names,
                 (QStringList{"Space", "Types", "Sizes", "Cluster overhang for ext4 drives",
                              "Access", "Created", "Modified", "Combined", "Attribute", "Time"}));
        QCOMPARE(txt.mid(2), (QStringList{"5100", "2", "2550"}));
    }

    // --save keeps runs, --history lists them newest first; a database that cannot take the
    // run is said, and the report stands.
    void keptRuns()
    {
        const QString path = HistoryStore::defaultPath();
        QFile::remove(path);
        QCOMPARE(report({"c:", "--save", "--no-progress"}).status, 0);
        m_tree->file("added.txt", 10);
        const Result second =
            report({"c:", "--save", "--top", "2", "--format", "json", "--no-progress"});
        QCOMPARE(second.err, QString());
        const QJsonArray runs =
            QJsonDocument::fromJson(report({"--history", "--format", "json"}).out.toUtf8()).array();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].toObject()["filesProcessed"].toInt(), 6);
        QCOMPARE(runs[1].toObject()["filesProcessed"].toInt(), 5);
        QCOMPARE(runs[0].toObject()["bytesFound"].toDouble() -
                     runs[1].toObject()["bytesFound"].toDouble(),
                 10.0);
        QCOMPARE(runs[0].toObject()["targets"].toArray(), QJsonArray{"c: [test]"});
        HistoryStore store(path);
        const std::optional<KeptRun> kept = store.run(qint64(runs[0].toObject()["id"].toInt()));
        QVERIFY(kept && kept->tables.size() >= 9 && kept->tables[1].title == u"Types");
        // With lists, the run is kept with its folder tree: every folder and its largest files.
        StatAccumulators keptStats;
        FileLists keptLists;
        UnreadableFolders keptUnreadable;
        QVERIFY(RunArchive::read(kept->archive, keptStats, keptLists, keptUnreadable));
        QVERIFY(keptLists.hasFolderTree());
        QVERIFY(!keptLists.folders().contentsOf(0).largest.empty());

        QFile::remove(path);
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        const Result refused = report({"c:", "--save", "--no-progress"});
        QCOMPARE(refused.status, ReportCommand::notKept);
        QVERIFY(refused.out.contains(QStringLiteral("Finished - 6 files processed")));
        QVERIFY2(refused.err.contains(QStringLiteral("the run is not kept")),
                 qPrintable(refused.err));
        QFile::remove(path);
    }

    // Against a kept run: a file added (a new extension), a file grown, an extension gone.
    void compareWithAKeptRun()
    {
        const QString path = HistoryStore::defaultPath();
        QFile::remove(path);
        QCOMPARE(report({"c:", "--save", "--no-progress"}).status, 0);
        m_tree->file("added.new", 300);
        QFile grown(QFile::decodeName(m_tree->path("b.TXT")));
        QVERIFY(grown.open(QIODevice::Append));
        grown.write(QByteArray(1000, 'x'));
        grown.close();
        QVERIFY(QFile::remove(QFile::decodeName(m_tree->path("docs/letter.doc"))));
        QVERIFY(QFile::remove(QFile::decodeName(m_tree->path("README")))); // the only one
        const Result result =
            report({"c:", "--compare", "latest", "--format", "json", "--no-progress"});
        QFile::remove(path);
        QCOMPARE(result.status, 0);
        const QJsonObject json = result.json();
        QVERIFY(json["against"].toObject()["id"].toInt() > 0);
        QHash<QString, QJsonObject> types;
        for (const QJsonValue &page : json["pages"].toArray())
            if (page.toObject()["page"].toString() == u"Types")
                for (const QJsonValue &row : page.toObject()["rows"].toArray())
                    types.insert(row.toObject()["label"].toString(), row.toObject());
        QCOMPARE(types[".NEW"]["state"].toString(), QStringLiteral("new"));
        QCOMPARE(types[".NEW"]["change"].toObject()["bytes"].toInt(), 300);
        QCOMPARE(types[".TXT"]["state"].toString(), QStringLiteral("changed"));
        QCOMPARE(types[".TXT"]["before"].toObject()["bytes"].toInt(), 5100);
        QCOMPARE(types[".TXT"]["after"].toObject()["bytes"].toInt(), 6100);
        QCOMPARE(types[".TXT"]["change"].toObject()["files"].toInt(), 0);
        // The hidden .doc still counts: its row stays, 70,000 bytes lighter.
        QCOMPARE(types[".DOC"]["change"].toObject()["bytes"].toInt(), -70000);
        QCOMPARE(types[""]["state"].toString(), QStringLiteral("vanished"));
        QCOMPARE(types[""]["after"].toObject()["files"].toInt(), 0);
        QCOMPARE(report({"c:", "--compare", "7"}).status, 2);
    }

    // A folder named as typed is kept by its absolute path and walked once however often it
    // is named; compared later from elsewhere without a target, the same folder is walked
    // again; other options are compared under a note.
    void foldersAreKeptAbsoluteAndWalkedOnce()
    {
        const QString path = HistoryStore::defaultPath();
        QFile::remove(path);
        const QString before = QDir::currentPath();
        QDir::setCurrent(QFile::decodeName(m_tree->root()));
        const Result twice =
            report({"docs", "docs/../docs", "--save", "--format", "json", "--no-progress"});
        QDir::setCurrent(before);
        const QString docs = QFile::decodeName(m_tree->path("docs"));
        QCOMPARE(twice.json()["targets"].toArray(), QJsonArray{docs});
        QCOMPARE(twice.json()["filesProcessed"].toInt(), 2);

        const Result same = report({"--compare", "latest", "--format", "json", "--no-progress"});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.json()["against"].toObject()["targets"].toArray(), QJsonArray{docs});
        QCOMPARE(same.json()["notes"].toArray(), QJsonArray());
        const QJsonObject types = same.json()["pages"].toArray()[0].toObject();
        QCOMPARE(types["totals"].toObject()["after"].toObject()["files"].toInt(), 2);
        QCOMPARE(types["totals"].toObject()["change"].toObject()["bytes"].toInt(), 0);

        const Result other = report({"--compare", "latest", "--hidden-folders", "--no-progress"});
        QFile::remove(path);
        QCOMPARE(other.status, 0);
        QVERIFY2(other.out.startsWith(
                     QStringLiteral("Note: the runs differ: Options: none then hidden folders\n")),
                 qPrintable(other.out));
        QVERIFY(other.out.contains(QStringLiteral("Totals")));
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
        QTest::newRow("negative top") << QStringList{"--top", "-1"} << "--top takes a number";
        QTest::newRow("history and save")
            << QStringList{"--history", "--save"} << "--history cannot be used with --save";
        QTest::newRow("drives and compare") << QStringList{"--drives", "--compare", "1"}
                                            << "--drives cannot be used with --compare";
        QTest::newRow("history with a target")
            << QStringList{"--history", "c:"} << "takes no target";
        QTest::newRow("empty target") << QStringList{""} << "is not a readable folder";
        QTest::newRow("folders depth")
            << QStringList{"--folders", "-1"} << "--folders takes a depth";
        QTest::newRow("skip a path") << QStringList{"--skip", "a/b"} << "--skip takes a folder's";
        QTest::newRow("history by a relative name")
            << QStringList{"--history", "--history-db", "h.sqlite"} << "by its whole path";
        QTest::newRow("password in the history's address")
            << QStringList{"--history", "--history-db", "postgresql://ann:pw@db/h"}
            << "never taken from the connection string";
        QTest::newRow("no such period")
            << QStringList{"--schedule", "hourly"} << "--schedule takes daily, weekly or off";
        QTest::newRow("metrics of no run") << QStringList{"--history", "--prometheus", "m.prom"}
                                           << "--history cannot be used with --prometheus";
    }

    // Hidden folders are walked, and long extensions listed, only when asked for; listed, the
    // extensions' files add up to every file counted. Folders named by --skip are left out and
    // counted.
    void hiddenFoldersAndLongExtensions_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("unlisted");
        QTest::addColumn<int>("skipped");
        QTest::newRow("as always") << QStringList() << 6 << 1 << 0;
        QTest::newRow("hidden folders") << QStringList{"--hidden-folders"} << 8 << 2 << 0;
        QTest::newRow("long extensions") << QStringList{"--long-extensions"} << 6 << 0 << 0;
        QTest::newRow("both") << QStringList{"--hidden-folders", "--long-extensions"} << 8 << 0
                              << 0;
        QTest::newRow("skip by name") << QStringList{"--skip", "docs"} << 4 << 1 << 1;
        QTest::newRow("skip by patterns")
            << QStringList{"--hidden-folders", "--skip", "d?cs", "--skip", ".c*"} << 4 << 1 << 2;
    }
    void hiddenFoldersAndLongExtensions()
    {
        QFETCH(QStringList, options);
        QFETCH(int, files);
        QFETCH(int, unlisted);
        QFETCH(int, skipped);
        m_tree->file("unit.service", 10);
        m_tree->file(".cache/app.desktop", 20);
        const Result result = report(options + QStringList{"--format", "json", "--no-progress"});
        const QJsonObject json = result.json();
        QCOMPARE(json["filesProcessed"].toInt(), files);
        QCOMPARE(json["unlistedFiles"].toInt(), unlisted);
        QCOMPARE(json["skippedFolders"].toInt(), skipped);
        int listed = 0;
        for (const QJsonValue &row : json["extensions"].toArray())
            listed += row.toObject()["files"].toInt();
        QCOMPARE(listed + unlisted, files);
    }

    // An extension the MIME database gives two types (.pm: Perl, PageMaker) is described by
    // the content of the largest file of it that the run kept, or by both without one.
    void ambiguousExtensionDecidedByContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("description");
        QTest::newRow("Perl, kept") << QByteArray("#!/usr/bin/perl\npackage Foo;\n1;\n")
                                    << QStringList{"--top", "1"} << "Perl script";
        QTest::newRow("PageMaker, kept") << QByteArray("\x00\x00\x00\x00\x01\x02\xff", 7)
                                         << QStringList{"--top", "1"} << "Adobe PageMaker document";
        QTest::newRow("nothing kept") << QByteArray("#!/usr/bin/perl\n") << QStringList()
                                      << "Adobe PageMaker document or Perl script";
        QTest::newRow("empty, kept") << QByteArray() << QStringList{"--top", "1"}
                                     << "Adobe PageMaker document or Perl script";
    }
    void ambiguousExtensionDecidedByContent()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, options);
        QFETCH(QString, description);
        TestTree tree;
        tree.file("Foo.pm");
        QFile file(QFile::decodeName(tree.path("Foo.pm")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const Result result = report(options + QStringList{QFile::decodeName(tree.root())});
        const QStringList lines = result.out.split(u'\n');
        const auto row = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
            return line.startsWith(QStringLiteral(".PM "));
        });
        QVERIFY(row != lines.end());
        QCOMPARE(row->mid(3).trimmed().section(QStringLiteral("  "), 0, 0), description);
    }

    // --top lists the files behind the rows and the largest folders; without it, nothing of
    // them appears.
    void largestFilesAndFolders()
    {
        QVERIFY(!report({"--format", "json", "--no-progress"}).out.contains(u"\"files\": ["));
        QVERIFY(!report({"c:"}).out.contains(u"Largest"));

        const Result result = report({"--format", "json", "--no-progress", "--top", "1"});
        QCOMPARE(result.status, 0);
        const QJsonObject json = result.json();
        const QString root = QFile::decodeName(m_tree->root());
        // The largest .TXT of the two, and nothing of the hidden folder.
        const QJsonArray extensions = json["extensions"].toArray();
        const auto txt = std::find_if(extensions.begin(), extensions.end(), [](const auto &row) {
            return row.toObject()["ext"].toString() == u".TXT";
        });
        QVERIFY(txt != extensions.end());
        const QJsonArray files = txt->toObject()["files"].toArray();
        QCOMPARE(files.size(), 1);
        const QJsonObject file = files[0].toObject();
        QCOMPARE(file["path"].toString(), root + QStringLiteral("/b.TXT"));
        QCOMPARE(file["bytes"].toInteger(), 5000);
        QDateTime modified = QFileInfo(root + QStringLiteral("/b.TXT")).lastModified();
        modified = modified.addSecs(-(modified.time().second() % 2)); // kept to two seconds
        QCOMPARE(file["modified"].toString(), modified.toString(Qt::ISODate));
        QCOMPARE(file.keys(), (QStringList{"accessed", "allocatedBytes", "attributes", "bytes",
                                           "created", "modified", "path"}));
        const QJsonObject hidden = json["attributes"].toObject()["hidden"].toObject();
        QCOMPARE(hidden["files"].toArray()[0].toObject()["path"].toString(),
                 root + QStringLiteral("/docs/.hidden.doc"));
        const QJsonArray folders = json["largestFolders"].toArray();
        QCOMPARE(folders.size(), 1);
        QCOMPARE(folders[0].toObject()["folders"].toArray()[0].toObject()["path"].toString(),
                 root + QStringLiteral("/docs"));
        QCOMPARE(folders[0].toObject()["folders"].toArray()[0].toObject()["bytes"].toInteger(),
                 70001);

        // The folder tree: nested to the depth asked, largest first, with its sums.
        const QJsonArray tree = report({"--format", "json", "--no-progress", "--folders", "1"})
                                    .json()["folders"]
                                    .toArray();
        QCOMPARE(tree.size(), 1);
        QCOMPARE(tree[0].toObject()["path"].toString(), root);
        QCOMPARE(tree[0].toObject()["files"].toInteger(), 5);
        const QJsonObject docs = tree[0].toObject()["children"].toArray()[0].toObject();
        QCOMPARE(docs["path"].toString(), root + QStringLiteral("/docs"));
        QCOMPARE(docs["bytes"].toInteger(), 70001);
        QVERIFY(!docs.contains(QStringLiteral("children")));
        static const QRegularExpression docsLine(QStringLiteral("\n  docs +70,001 +2 +73\\.6 %\n"));
        QVERIFY(report({"c:", "--folders", "2"}).out.contains(docsLine));

        const Result text = report({"c:", "--top", "1"});
        QVERIFY(text.out.contains(QStringLiteral("Largest files by Sizes")));
        QVERIFY(text.out.contains(QStringLiteral("Largest folders of c: [test]")));
        QVERIFY(text.out.contains(root + QStringLiteral("/docs/letter.doc")));
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

    // Space on disk: off, the pages are as they were (JSON carries it all the same); on, the
    // listings get their column and the whole run equals du's count of the tree.
    void spaceOnDisk()
    {
        const Result plain = report({"--no-progress", "c:"});
        QVERIFY(!plain.out.contains(QStringLiteral("On Disk")));
        QVERIFY(!plain.out.contains(QStringLiteral("Space on disk")));
        const Result text = report({"--no-progress", "--on-disk", "c:"});
        for (const char *shown : {"On Disk", "On disk", "Space on disk (measured): "})
            QVERIFY2(text.out.contains(QLatin1StringView(shown)), shown);
        const Result json =
            report({"--no-progress", "--on-disk", "--hidden-folders", "--format", "json", "c:"});
        const QJsonObject totals = json.json()["totals"].toObject();
        // As du -sxB1 counts it (the walker's test compares the two).
        QCOMPARE(
            qint64(totals["allocatedBytes"].toDouble() + totals["folderAllocatedBytes"].toDouble()),
            m_tree->allocatedBytes());
        QVERIFY(json.json()["extensions"].toArray()[0].toObject().contains(u"allocatedBytes"));
    }

    // The metrics file, read by Prometheus' own parser, holds the JSON report's figures; a type
    // with a quote and a backslash comes back as a listing shows it; the file is replaced whole
    // and nothing is left beside it; a file that cannot be written is said, the report stands.
    void prometheusMetricsHoldTheReportsFigures()
    {
        if (!walksInForkedChildren)
            QSKIP("ThreadSanitizer cannot follow the parser's process");
        m_tree->file("odd.a\"\\b", 3);
        // More types than get series of their own: the smallest are summed as "(other)".
        for (int i = 0; i < 100; ++i)
            m_tree->file("many." + QByteArray::number(i, 36) + "z", 1);
        QTemporaryDir folder;
        const QString metrics = folder.filePath(QStringLiteral("quillix.prom"));
        QFile old(metrics);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, '#'));
        old.close();
        const Result json = report(
            {"--no-progress", "--on-disk", "--format", "json", "--prometheus", metrics, "c:"});
        QCOMPARE(json.status, 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"quillix.prom"});
        QProcess parser;
        parser.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, json\n"
                                     "from prometheus_client.parser import "
                                     "text_string_to_metric_families as parse\n"
                                     "print(json.dumps([[s.name, sorted(s.labels.items()), s.value]"
                                     " for f in parse(open(sys.argv[1]).read()) for s in "
                                     "f.samples]))"),
                      metrics});
        QVERIFY(parser.waitForFinished(30000));
        QVERIFY2(parser.exitCode() == 0, parser.readAllStandardError().constData());
        // name|label value|label value -> value
        QHash<QString, double> samples;
        for (const QJsonValue &sample :
             QJsonDocument::fromJson(parser.readAllStandardOutput()).array()) {
            QString key = sample[0].toString();
            for (const QJsonValue &label : sample[1].toArray())
                key += u'|' + label[1].toString();
            samples.insert(key, sample[2].toDouble());
        }
        const QJsonObject run = json.json();
        const QJsonObject totals = run["totals"].toObject();
        QCOMPARE(samples.value("quillix_files", -1), run["filesFound"].toDouble());
        QCOMPARE(samples.value("quillix_files_processed", -1), run["filesProcessed"].toDouble());
        QCOMPARE(samples.value("quillix_bytes", -1), totals["bytes"].toDouble());
        QCOMPARE(samples.value("quillix_allocated_bytes", -1), totals["allocatedBytes"].toDouble());
        QCOMPARE(samples.value("quillix_target_files|" + run["targets"][0].toString(), -1),
                 run["filesFound"].toDouble());
        QCOMPARE(samples.value("quillix_aborted", -1), 0.0);
        QVERIFY(samples.value("quillix_run_end_time_seconds") > 1.7e9);
        double typeFiles = 0;
        int series = 0;
        for (const QJsonValue &row : run["extensions"].toArray()) {
            const QString type = printableText(row["ext"].toString());
            if (!samples.contains("quillix_type_files|" + type))
                continue;
            ++series;
            QCOMPARE(samples.value("quillix_type_files|" + type, -1), row["files"].toDouble());
            QCOMPARE(samples.value("quillix_type_bytes|" + type, -1), row["bytes"].toDouble());
        }
        QCOMPARE(series, PrometheusMetrics::typeSeries);
        for (auto sample = samples.begin(); sample != samples.end(); ++sample)
            if (sample.key().startsWith(QStringLiteral("quillix_type_files|")))
                typeFiles += sample.value();
        QVERIFY(samples.value("quillix_type_files|(other)") > 0);
        QCOMPARE(typeFiles, run["filesFound"].toDouble());
        QVERIFY(samples.contains(QStringLiteral("quillix_type_files|.A\"\\\\B")) ||
                samples.contains(QStringLiteral("quillix_type_files|.a\"\\\\b")));
        for (const QJsonValue &band : run["sizeBands"].toArray())
            QCOMPARE(samples.value("quillix_size_band_bytes|" + band["label"].toString(), -1),
                     band["bytes"].toDouble());
        const QJsonObject modified = run["ages"]["modified"].toArray()[3].toObject();
        QCOMPARE(samples.value(
                     "quillix_age_band_files|" + modified["label"].toString() + "|modified", -1),
                 modified["files"].toDouble());

        const Result refused =
            report({"--no-progress", "--prometheus", folder.filePath("no/such/folder.prom"), "c:"});
        QCOMPARE(refused.status, ReportCommand::notKept);
        QVERIFY(refused.out.contains(QStringLiteral("Finished - ")));
        QVERIFY2(refused.err.contains(QStringLiteral("the metrics are not written")),
                 qPrintable(refused.err));
    }

    // As the timer runs it: the window's last targets and options, kept in the history chosen,
    // the metrics written where the settings say, nothing printed.
    void scheduledRunKeepsTheRememberedTargets()
    {
        QTemporaryDir folder;
        const QString history = folder.filePath(QStringLiteral("h.sqlite"));
        const QString metrics = folder.filePath(QStringLiteral("m.prom"));
        QVERIFY(ProfileFile(ProfileFile::defaultPath())
                    .writeStrings(QStringLiteral("Options"),
                                  {{QStringLiteral("Drives"), QStringLiteral("c")},
                                   {QStringLiteral("HiddenFolders"), QStringLiteral("1")},
                                   {QStringLiteral("HistoryDatabase"), history},
                                   {QStringLiteral("PrometheusFile"), metrics}}));
        const Result result = report({"--scheduled"});
        QFile::remove(ProfileFile::defaultPath());
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out + result.err, QString());
        const QList<KeptRun> runs = HistoryStore(history).runs();
        QCOMPARE(runs.size(), 1);
        QVERIFY(runs[0].hiddenFolders);
        QCOMPARE(runs[0].filesFound, qint64(6)); // the hidden folder's file too
        QVERIFY(!runs[0].host.isEmpty());
        QVERIFY(QFile::exists(metrics));
        QVERIFY(report({"--scheduled"}).err.contains(QStringLiteral("no targets are remembered")));
    }

    // --schedule runs systemctl --user (here a stand-in that logs its arguments) and writes
    // the period as a drop-in of the user's; without a user manager it says what to put into
    // cron instead.
    void scheduleTurnsTheTimerOnAndOff_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("systemctlStatus");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("said");
        QTest::newRow("weekly")
            << "weekly" << 0 << 0
            << "--user daemon-reload\n--user enable --now quillix-report.timer\n"
            << "Runs are kept weekly";
        QTest::newRow("off") << "off" << 0 << 0 << "--user disable --now quillix-report.timer\n"
                             << "Scheduled runs are off.";
        QTest::newRow("no user manager")
            << "daily" << 1 << 1 << "--user daemon-reload\n"
            << "Failed to connect to bus\nWithout a systemd user manager, add this line with "
               "crontab -e to run it daily:\n17 3 * * * quillix-report --scheduled";
    }
    void scheduleTurnsTheTimerOnAndOff()
    {
        if (!walksInForkedChildren)
            QSKIP("ThreadSanitizer cannot follow systemctl's process");
        QFETCH(QString, when);
        QFETCH(int, systemctlStatus);
        QFETCH(int, status);
        QFETCH(QString, calls);
        QFETCH(QString, said);
        QTemporaryDir bin;
        const QString log = bin.filePath(QStringLiteral("calls"));
        QFile fake(bin.filePath(QStringLiteral("systemctl")));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\n[ %2 = 0 ] || echo 'Failed "
                                  "to connect to bus: No medium found'\nexit %2\n")
                       .arg(log)
                       .arg(systemctlStatus)
                       .toUtf8());
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        const Result result = report({"--schedule", when});
        qputenv("PATH", path);
        QCOMPARE(result.status, status);
        for (const QString &line : said.split(u'\n'))
            QVERIFY2(result.out.contains(line), qPrintable(result.out));
        QFile logged(log);
        QVERIFY(logged.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(logged.readAll()), calls);
        QFile dropIn(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                     QStringLiteral("/systemd/user/quillix-report.timer.d/schedule.conf"));
        if (when != u"off") {
            QVERIFY(dropIn.open(QIODevice::ReadOnly));
            QVERIFY(dropIn.readAll().endsWith(
                "[Timer]\nOnCalendar=\nOnCalendar=" + when.toLatin1() + '\n'));
        }
    }

    // Extensions that are not UTF-8 keep their bytes: three rows, not one row thrice.
    void extensionsThatAreNotUtf8StayApart()
    {
        for (const char *name : {"a.\xff", "b.\xfe", "c.\xc3"})
            m_tree->file(name, 1);
        const Result json = report({"--format", "json", "--no-progress", "c:"});
        QStringList keys;
        for (const QJsonValue &row : json.json()["extensions"].toArray())
            keys.append(row["ext"].toString());
        QCOMPARE(keys.filter(QStringLiteral("\ufffd")).size(), 0);
        QVERIFY2(json.out.contains(QStringLiteral("\".\\udcff\"")) &&
                     json.out.contains(QStringLiteral("\".\\udcfe\"")) &&
                     json.out.contains(QStringLiteral("\".\\udcc3\"")),
                 qPrintable(json.out.left(400)));
        const Result text = report({"--no-progress", "c:"});
        for (const char *label : {".\\xff", ".\\xfe", ".\\xc3"})
            QVERIFY2(text.out.contains(QLatin1StringView(label)), label);
    }

    void targetThatCannotBeEntered()
    {
        RecordingMessages messages;
        const Result result = report({"--format", "json", "d:", "c:"});
        QCOMPARE(result.status, 1);
        QCOMPARE(messages.log,
                 QStringList{"Error: Can't open drive d: [gone]: No such file or directory"});
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
        QCOMPARE(drives[0]["totalBytes"].toDouble(), 4294967296.0); // beyond 32 bits
        QCOMPARE(drives[2]["row"].toString(), QStringLiteral("e:"));
        QCOMPARE(drives[2]["ready"].toBool(), false);
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
