#include "collection/StatAccumulators.h"
#include "collection/StatusText.h"
#include "reports/ReportTables.h"
#include "support/TestEntry.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

PackedFileDate packed(int year, int month, int day, int hour = 12, int minute = 0)
{
    return packFileDate(CivilDateTime{year, month, day, hour, minute, 0});
}

LocalFileTime localTime(int year, int month, int day, int hour = 12, int minute = 0)
{
    return LocalFileTime::fromPacked(packed(year, month, day, hour, minute));
}

const qint64 today = CivilDateTime{2026, 12, 7}.dayNumber();

QStringList tableRows(const StatAccumulators &stats)
{
    QStringList rows;
    for (const ExtensionRow &row : stats.lbTypes.rows())
        rows.append(row.text());
    return rows;
}

} // namespace

class TestStatAccumulators : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    // The status line as it always read, what this program adds after it; notes in the unit
    // their figure needs.
    void statusTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all counted")
            << finishedStatusText(1234, 1234, false) << "Finished - 1,234 files processed";
        QTest::newRow("some found, aborted")
            << finishedStatusText(1234, 1000, true)
            << "Finished - 1,234 files processed 1,000 files found INCOMPLETE ... ABORTED";
        QTest::newRow("unreadable folders after it all")
            << finishedStatusText(46, 13, true, 2)
            << "Finished - 46 files processed 13 files found INCOMPLETE ... ABORTED - 2 folders "
               "unreadable";
        QTest::newRow("few bytes unlisted")
            << unlistedText(4, 600) << "4 files (600 bytes) with longer extensions are not listed";
        QTest::newRow("megabytes unlisted")
            << unlistedText(1, 3 << 20) << "1 file (3 MB) with longer extensions are not listed";
    }
    void statusTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void sizeBands_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("band");
        QTest::newRow("empty") << qint64(0) << 1;
        QTest::newRow("16K") << qint64(16384) << 1;
        QTest::newRow("16K + 1") << qint64(16385) << 2;
        QTest::newRow("32K") << qint64(32768) << 2;
        QTest::newRow("1MB") << qint64(1048576) << 7;
        QTest::newRow("1MB + 1") << qint64(1048577) << 8;
        QTest::newRow("16MB") << qint64(16777216) << 11;
        QTest::newRow("16MB + 1") << qint64(16777217) << 12;
        QTest::newRow("2 GiB") << (qint64(1) << 31) << 12;
        QTest::newRow("1 TiB") << (qint64(1) << 40) << 12;
    }
    void sizeBands()
    {
        QFETCH(qint64, size);
        QFETCH(int, band);
        QCOMPARE(StatAccumulators::sizeBand(size), band);
    }

    void overhang_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QList<double>>("waste");
        QTest::newRow("empty file") << qint64(0) << QList<double>{0, 0, 0, 0, 0};
        QTest::newRow("16384") << qint64(16384) << QList<double>{0, 0, 0, 16384, 49152};
        QTest::newRow("4097") << qint64(4097) << QList<double>{4095, 4095, 12287, 28671, 61439};
        QTest::newRow("beyond 4 GiB")
            << (qint64(1) << 32) + 1 << QList<double>{4095, 8191, 16383, 32767, 65535};
    }
    void overhang()
    {
        QFETCH(qint64, size);
        QFETCH(QList<double>, waste);
        StatAccumulators stats;
        CollectionOptions options;
        options.collectOverhang = true;
        stats.setOptions(options);
        stats.crunchNumbers(QString(), testEntry("a.bin", size));
        QCOMPARE((QList<double>{stats.overhang4K, stats.overhang8K, stats.overhang16K,
                                stats.overhang32K, stats.overhang64K}),
                 waste);
    }

    void overhangOnlyForSingleDriveRuns()
    {
        StatAccumulators stats;
        stats.crunchNumbers(QString(), testEntry("a.bin", 4097));
        QCOMPARE(stats.overhang4K + stats.overhang64K, 0.0);
    }

    void ageBands_data()
    {
        QTest::addColumn<qint64>("days");
        QTest::addColumn<int>("band");
        const QList<QPair<qint64, int>> table{
            {-1, 0},   {0, 1},    {7, 1},    {8, 2},    {30, 2},    {31, 3},  {60, 3},
            {61, 4},   {120, 4},  {121, 5},  {365, 5},  {366, 6},   {730, 6}, {731, 7},
            {1095, 7}, {1096, 8}, {1460, 8}, {1461, 9}, {100000, 9}};
        for (const auto &[days, band] : table)
            QTest::addRow("%lld days", days) << days << band;
    }
    void ageBands()
    {
        QFETCH(qint64, days);
        QFETCH(int, band);
        QCOMPARE(StatAccumulators::ageToIndex(days), band);
    }

    void fileAgeDays_data()
    {
        QTest::addColumn<PackedFileDate>("date");
        QTest::addColumn<qint64>("days");
        QTest::newRow("not recorded") << PackedFileDate(0) << qint64(-1);
        QTest::newRow("today, late") << packed(2026, 12, 7, 23, 59) << qint64(0);
        QTest::newRow("yesterday") << packed(2026, 12, 6, 23, 59) << qint64(1);
        QTest::newRow("tomorrow counts as far as yesterday")
            << packed(2026, 12, 8, 0, 0) << qint64(1);
        QTest::newRow("across a leap day") << packed(2024, 2, 28) << qint64(1013);
        QTest::newRow("impossible date stands for 1980-01-01")
            << PackedFileDate(46u << 25 | 2u << 21 | 30u << 16) << qint64(17142);
    }
    void fileAgeDays()
    {
        QFETCH(PackedFileDate, date);
        QFETCH(qint64, days);
        StatAccumulators stats;
        stats.setToday(today);
        QCOMPARE(stats.fileAgeDays(LocalFileTime::fromPacked(date)), days);
    }

    void halfHourSlots_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("slot");
        QTest::newRow("00:15") << 0 << 15 << 0;
        QTest::newRow("00:30") << 0 << 30 << 1;
        QTest::newRow("12:29") << 12 << 29 << 24;
        QTest::newRow("12:30") << 12 << 30 << 25;
        QTest::newRow("23:59") << 23 << 59 << 47;
    }
    void halfHourSlots()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, slot);
        QCOMPARE(StatAccumulators::halfHourSlot(localTime(2020, 5, 5, hour, minute)), slot);
    }

    void slotZeroAndMissingTimesAreNotCounted()
    {
        StatAccumulators stats;
        DirEntry entry = testEntry("a.txt", 1);
        entry.modified = localTime(2020, 5, 5, 0, 15);
        entry.created = localTime(2020, 5, 5, 12, 30);
        entry.accessed = LocalFileTime();
        stats.crunchNumbers(QString(), entry);
        QCOMPARE(StatAccumulators::halfHourSlot(LocalFileTime()), -1);
        QCOMPARE(std::accumulate(stats.modifiedSlots.begin(), stats.modifiedSlots.end(), 0.0), 0.0);
        QCOMPARE(std::accumulate(stats.accessedSlots.begin(), stats.accessedSlots.end(), 0.0), 0.0);
        QCOMPARE(stats.createdSlots[25], 1.0);
        QCOMPARE(stats.accessedAgeCount[0], 1.0);
    }

    void attributes_data()
    {
        QTest::addColumn<quint32>("attributes");
        QTest::addColumn<QList<qint64>>("counts"); // read-only, hidden, system, archive
        QTest::newRow("hidden system") << quint32(faHidden | faSystem) << QList<qint64>{0, 1, 1, 0};
        QTest::newRow("archive only") << quint32(faArchive) << QList<qint64>{0, 0, 0, 1};
        QTest::newRow("none") << quint32(0) << QList<qint64>{0, 0, 0, 0};
        QTest::newRow("all four and others") << quint32(0xFFFFFFFF) << QList<qint64>{1, 1, 1, 1};
        QTest::newRow("directory bit alone") << quint32(faDirectory) << QList<qint64>{0, 0, 0, 0};
    }
    void attributes()
    {
        QFETCH(quint32, attributes);
        QFETCH(QList<qint64>, counts);
        StatAccumulators stats;
        const qint64 size = qint64(3) << 30;
        stats.collectFileAttr(attributes, size);
        QCOMPARE((QList<qint64>{stats.readOnlyCount, stats.hiddenCount, stats.systemCount,
                                stats.archiveCount}),
                 counts);
        QCOMPARE((QList<double>{stats.readOnlyBytes, stats.hiddenBytes, stats.systemBytes,
                                stats.archiveBytes}),
                 (QList<double>{counts[0] * double(size), counts[1] * double(size),
                                counts[2] * double(size), counts[3] * double(size)}));
    }

    void extensionTable()
    {
        StatAccumulators stats;
        const QList<QPair<QByteArray, qint64>> files{
            {"a.txt", 10},
            {"b.TXT", 5},
            {"README", 7},
            {"page.html", 1},
            {"x.backup", 100},
            {"y.zip", 2},
            {"z.Z", 3},
            {"dot.", 4},
            {"\xE2\x82\xAC.\xC3\xA9t\xC3\xA9", 6}, // ".été": four characters, six bytes
            {"odd.\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80"
             "\x80\x80",
             9}, // more bytes than any five characters take
        };
        for (const auto &[name, size] : files)
            stats.crunchNumbers(QString(), testEntry(name, size));
        QCOMPARE(tableRows(stats),
                 (QStringList{"\t1\t7", ".\t1\t4", ".HTML\t1\t1", ".TXT\t2\t15", ".Z\t1\t3",
                              ".ZIP\t1\t2", QStringLiteral(".\u00E9T\u00E9\t1\t6")}));
        QCOMPARE(stats.filesFound, qint64(files.size()));
        QCOMPARE(stats.sizeCount[1], double(files.size()));
        QCOMPARE(stats.findType(".TXT"), 3);
        QCOMPARE(stats.findType(".txt"), -1);
        QCOMPARE(stats.findType(""), 0);
        QCOMPARE(stats.findType(".BACKUP"), -1);
        // A thousand extensions, each met twice: every one keeps a row of its own, however
        // many share the place the table finds them again by.
        StatAccumulators many;
        for (int round = 0; round < 2; ++round)
            for (int i = 0; i < 1000; ++i)
                many.crunchNumbers(QString(), testEntry("f." + QByteArray::number(i, 36), 1));
        QCOMPARE(many.lbTypes.rowCount(), 1000);
        for (const ExtensionRow &row : many.lbTypes.rows())
            QCOMPARE(row.files, qint64(2));
    }

    void registeringChosenTypes()
    {
        StatAccumulators stats;
        stats.crunchNumbers(QString(), testEntry("a.doc", 10));
        stats.insertType(".doc", 0, true);
        stats.insertType(".pdf", 0, true);
        stats.insertType(".bin", 0, true);
        QCOMPARE(tableRows(stats), (QStringList{".BIN\t0\t0", ".DOC\t1\t10", ".PDF\t0\t0"}));
        // Reading sorted the rows; a file of the type met last still lands in its own row.
        stats.crunchNumbers(QString(), testEntry("b.bin", 5));
        QCOMPARE(tableRows(stats), (QStringList{".BIN\t1\t5", ".DOC\t1\t10", ".PDF\t0\t0"}));
    }

    void largeFilesCountAtTheirTrueSize()
    {
        StatAccumulators stats;
        stats.setToday(today); // the entries' date, 2026-12-01, is then six days old
        const qint64 big = (qint64(1) << 31) + 5;
        for (int i = 0; i < 3; ++i)
            stats.crunchNumbers(QString(), testEntry("disk.img", big));
        QCOMPARE(tableRows(stats), QStringList{QStringLiteral(".IMG\t3\t%1").arg(3 * big)});
        QCOMPARE(stats.sizeCount[12], 3.0);
        QCOMPARE(stats.sizeBytes[12], 3.0 * double(big));
        QCOMPARE(stats.modifiedAgeBytes[1], 3.0 * double(big));

        // Totals of petabytes and more are written in whole digits, the totals row too.
        const qint64 huge = qint64(1) << 52;
        for (int i = 0; i < 300; ++i)
            stats.crunchNumbers(QString(), testEntry("film.iso", huge + i));
        const TextTable types = ReportTables::typesTable(stats);
        QCOMPARE(types.rows[1].mid(2),
                 QStringList({"1,351,079,888,211,193,650", "300", "4,503,599,627,370,646"}));
        QCOMPARE(types.rows.last().mid(1, 3),
                 QStringList({"Totals", "1,351,079,894,653,644,609", "303"}));
    }

    void filterDecidesWhatIsCounted()
    {
        StatAccumulators stats;
        CollectionOptions options;
        options.allFiles = false;
        options.includeSelected = true;
        options.PickList2 = QStringList{"*.doc\tWord document"};
        stats.setOptions(options);
        QStringList statusTexts;
        stats.setStatusObserver([&](const QString &text) { statusTexts.append(text); });
        stats.setCurrentDrive(QStringLiteral("c: [/]"));
        const QByteArray names[] = {"a.doc", "b.txt", "c.DOC", "d"};
        for (const QByteArray &name : names) {
            stats.crunchNumbers(QStringLiteral("/home/u"), testEntry(name, 100));
            ++stats.filesProcessed;
        }
        QCOMPARE(stats.filesFound, qint64(2));
        QCOMPARE(tableRows(stats), QStringList{".DOC\t2\t200"});
        QCOMPARE(stats.archiveCount, qint64(2));
        // The 1st and the 4th file.
        QCOMPARE(statusTexts, QStringList(2, "Processing drive c: [/] ... standby : /home/u"));
    }

    void ageBandsOfACountedFile()
    {
        StatAccumulators stats;
        stats.setToday(today);
        DirEntry entry = testEntry("a.txt", 50);
        entry.accessed = LocalFileTime();
        entry.created = localTime(2026, 12, 1);  // 6 days
        entry.modified = localTime(2022, 12, 6); // 1462 days
        stats.crunchNumbers(QString(), entry);
        QCOMPARE(stats.accessedAgeCount[0], 1.0);
        QCOMPARE(stats.createdAgeCount[1], 1.0);
        QCOMPARE(stats.createdAgeBytes[1], 50.0);
        QCOMPARE(stats.modifiedAgeCount[9], 1.0);
    }

    void secondRunHoldsOnlyItsOwnFiles()
    {
        StatAccumulators stats;
        CollectionOptions options;
        options.collectOverhang = true;
        stats.setOptions(options);
        for (int hour = 1; hour < 24; ++hour) {
            DirEntry entry = testEntry("a.txt", 5000, faReadOnly | faHidden | faSystem | faArchive,
                                       packed(2020, 1, 1, hour, 45));
            stats.crunchNumbers(QString(), entry);
            ++stats.filesProcessed;
        }
        stats.clearVariables();
        stats.crunchNumbers(QString(), testEntry("b.doc", 1, 0, packed(2020, 1, 1, 5, 10)));

        StatAccumulators fresh;
        fresh.setOptions(options);
        fresh.setToday(stats.today());
        fresh.crunchNumbers(QString(), testEntry("b.doc", 1, 0, packed(2020, 1, 1, 5, 10)));
        QCOMPARE(tableRows(stats), tableRows(fresh));
        QCOMPARE(stats.sizeCount, fresh.sizeCount);
        QCOMPARE(stats.sizeBytes, fresh.sizeBytes);
        QCOMPARE(stats.modifiedAgeCount, fresh.modifiedAgeCount);
        QCOMPARE(stats.accessedAgeBytes, fresh.accessedAgeBytes);
        QCOMPARE(stats.createdSlots, fresh.createdSlots);
        QCOMPARE(stats.modifiedSlots, fresh.modifiedSlots);
        QCOMPARE(stats.accessedSlots, fresh.accessedSlots);
        QCOMPARE(stats.readOnlyCount + stats.hiddenCount + stats.systemCount + stats.archiveCount,
                 qint64(0));
        QCOMPARE(stats.overhang64K, fresh.overhang64K);
        QCOMPARE(stats.filesProcessed, qint64(0));
        QCOMPARE(stats.filesFound, qint64(1));
        QVERIFY(stats.options().collectOverhang); // the options outlive the clearing
    }
};

QTEST_GUILESS_MAIN(TestStatAccumulators)
#include "tst_statAccumulators.moc"
