#include "common/Utility.h"
#include "platform/DirListing.h"
#include "platform/LocalTimeZone.h"
#include "platform/PackedFileDate.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"

#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 utcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    CivilDateTime t{year, month, day, hour, minute, second};
    return t.dayNumber() * 86400 + hour * 3600 + minute * 60 + second;
}

PackedFileDate packed(int year, int month, int day, int hour, int minute, int second)
{
    return packFileDate(CivilDateTime{year, month, day, hour, minute, second});
}

long systemOffset(qint64 utc)
{
    const time_t t = time_t(utc);
    tm local{};
    localtime_r(&t, &local);
    return local.tm_gmtoff;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

class TestFileDates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment("Europe/Berlin"); }
    void cleanup() { pinTimeZone("Europe/Berlin"); }

    void packLayout()
    {
        // 13:45:31 on 2 March 1999: year field 19, seconds field 15 (halved, rounded down).
        const PackedFileDate date = packed(1999, 3, 2, 13, 45, 31);
        QCOMPARE(date >> 16, quint32(19 << 9 | 3 << 5 | 2));
        QCOMPARE(date & 0xFFFF, quint32(13 << 11 | 45 << 5 | 15));
    }

    void packRange_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hour");
        QTest::addColumn<bool>("packable");
        QTest::newRow("last moment of 1979") << 1979 << 12 << 31 << 23 << false;
        QTest::newRow("first day of 1980") << 1980 << 1 << 1 << 0 << true;
        QTest::newRow("last day of 2107") << 2107 << 12 << 31 << 23 << true;
        QTest::newRow("first day of 2108") << 2108 << 1 << 1 << 0 << false;
        QTest::newRow("epoch") << 1970 << 1 << 1 << 0 << false;
    }
    void packRange()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hour);
        QFETCH(bool, packable);
        const PackedFileDate date = packed(year, month, day, hour, 0, 0);
        QCOMPARE(date != 0, packable);
        if (packable) {
            const auto back = unpackFileDate(date);
            QVERIFY(back);
            QCOMPARE(back->year, year);
            QCOMPARE(back->day, day);
        }
    }

    void unpackRejectsImpossibleFields_data()
    {
        QTest::addColumn<quint32>("date");
        QTest::addColumn<quint32>("time");
        QTest::newRow("month 0") << quint32(20 << 9 | 0 << 5 | 1) << 0u;
        QTest::newRow("month 13") << quint32(20 << 9 | 13 << 5 | 1) << 0u;
        QTest::newRow("day 0") << quint32(20 << 9 | 1 << 5 | 0) << 0u;
        QTest::newRow("30 February") << quint32(20 << 9 | 2 << 5 | 30) << 0u;
        QTest::newRow("29 February 2001") << quint32(21 << 9 | 2 << 5 | 29) << 0u;
        QTest::newRow("hour 24") << quint32(20 << 9 | 1 << 5 | 1) << quint32(24 << 11);
        QTest::newRow("minute 60") << quint32(20 << 9 | 1 << 5 | 1) << quint32(60 << 5);
        QTest::newRow("seconds field 30") << quint32(20 << 9 | 1 << 5 | 1) << 30u;
    }
    void unpackRejectsImpossibleFields()
    {
        QFETCH(quint32, date);
        QFETCH(quint32, time);
        QVERIFY(!unpackFileDate(date << 16 | time));
    }

    void leapDayUnpacks()
    {
        QVERIFY(unpackFileDate(packed(2000, 2, 29, 23, 59, 58)));
        QVERIFY(!unpackFileDate(0));
    }

    void localDatesFollowTheRulesOfTheirOwnDay_data()
    {
        QTest::addColumn<qint64>("utc");
        QTest::addColumn<PackedFileDate>("expected");
        QTest::newRow("winter") << utcSeconds(1999, 3, 2, 12, 45, 31)
                                << packed(1999, 3, 2, 13, 45, 31);
        // A summer file keeps its summer hour whatever the season of the walk.
        QTest::newRow("summer") << utcSeconds(2020, 7, 1, 10, 0, 0) << packed(2020, 7, 1, 12, 0, 0);
        QTest::newRow("just before the spring change")
            << utcSeconds(2021, 3, 28, 0, 59, 58) << packed(2021, 3, 28, 1, 59, 58);
        QTest::newRow("spring change")
            << utcSeconds(2021, 3, 28, 1, 0, 0) << packed(2021, 3, 28, 3, 0, 0);
        QTest::newRow("local new year 1980")
            << utcSeconds(1979, 12, 31, 23, 0, 0) << packed(1980, 1, 1, 0, 0, 0);
        QTest::newRow("UTC 1980 but local 1979 is not")
            << utcSeconds(1979, 12, 31, 22, 59, 59) << PackedFileDate(0);
        QTest::newRow("zero file time") << qint64(0) << PackedFileDate(0);
        QTest::newRow("local 2108") << utcSeconds(2107, 12, 31, 23, 0, 0) << PackedFileDate(0);
        QTest::newRow("last local moment of 2107")
            << utcSeconds(2107, 12, 31, 22, 59, 59) << packed(2107, 12, 31, 23, 59, 59);
        QTest::newRow("largest time") << std::numeric_limits<qint64>::max() << PackedFileDate(0);
        QTest::newRow("before the epoch") << qint64(-86400 * 400) << PackedFileDate(0);
    }
    void localDatesFollowTheRulesOfTheirOwnDay()
    {
        QFETCH(qint64, utc);
        QFETCH(PackedFileDate, expected);
        QCOMPARE(LocalTimeZone::localFileTime(utc).packed(), expected);
    }

    // The cached offsets must agree with the zone itself at every instant, also where a zone
    // changes at a time that is no whole quarter hour.
    void cachedOffsetsMatchTheZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::addColumn<qint64>("step");
        QTest::newRow("Berlin 2021")
            << QByteArray("Europe/Berlin") << utcSeconds(2021, 1, 1, 0, 0, 0)
            << utcSeconds(2022, 1, 1, 0, 0, 0) << qint64(433);
        QTest::newRow("Adelaide, half-hour zone")
            << QByteArray("Australia/Adelaide") << utcSeconds(2021, 1, 1, 0, 0, 0)
            << utcSeconds(2022, 1, 1, 0, 0, 0) << qint64(433);
        QTest::newRow("Lord Howe, half-hour change")
            << QByteArray("Australia/Lord_Howe") << utcSeconds(2021, 10, 2, 15, 0, 0)
            << utcSeconds(2021, 10, 2, 16, 0, 0) << qint64(1);
        QTest::newRow("Monrovia 1972, change off the quarter hour")
            << QByteArray("Africa/Monrovia") << utcSeconds(1972, 1, 7, 0, 0, 0)
            << utcSeconds(1972, 1, 7, 1, 30, 0) << qint64(1);
    }
    void cachedOffsetsMatchTheZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QFETCH(qint64, step);
        pinTimeZone(zone);
        QSet<long> offsetsSeen;
        for (qint64 t = from; t < to; t += step) {
            const long expected = systemOffset(t);
            offsetsSeen.insert(expected);
            if (LocalTimeZone::offsetAt(t) != expected)
                QFAIL(qPrintable(QStringLiteral("offset differs at %1").arg(t)));
        }
        QCOMPARE(offsetsSeen.size(), 2); // the range covers one change at least
    }

    void todayIsTheLocalDay()
    {
        pinTimeZone("Pacific/Kiritimati"); // UTC+14: often a day ahead of UTC
        const time_t now = std::time(nullptr);
        tm local{};
        localtime_r(&now, &local);
        const CivilDateTime expected{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
        QCOMPARE(LocalTimeZone::todayDayNumber(), expected.dayNumber());
    }

    void describeEntryFromTheFileSystem()
    {
        // A test tree, not a temporary folder: that one cannot remove a name that is not UTF-8.
        TestTree tree;
        const QByteArray base = tree.root();
        FileDescriptor dirFd(::open(base.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        QVERIFY(dirFd.get() >= 0);
        MountIdentity mount;
        QVERIFY(DirListing::identifyMount(dirFd.get(), mount));

        // A read-only hidden file with a name that is not UTF-8, 5000 bytes, known times.
        const QByteArray oddName = QByteArray(".r\xE9sum\xE9.txt");
        {
            FileDescriptor fd(::openat(dirFd.get(), oddName.constData(), O_CREAT | O_WRONLY, 0444));
            QVERIFY(fd.get() >= 0);
            QCOMPARE(::ftruncate(fd.get(), 5000), 0);
            const timespec times[2] = {{time_t(utcSeconds(2020, 7, 1, 10, 0, 0)), 0},
                                       {time_t(utcSeconds(1999, 3, 2, 12, 45, 31)), 0}};
            QCOMPARE(::futimens(fd.get(), times), 0);
        }
        DirEntry entry;
        QVERIFY(DirListing::describeEntry(dirFd.get(), oddName.constData(), mount, entry));
        QCOMPARE(entry.name, oddName);
        QCOMPARE(entry.size, qint64(5000));
        QCOMPARE(entry.attributes, quint32(faReadOnly | faHidden | faArchive));
        QCOMPARE(accessedDate(entry), packed(2020, 7, 1, 12, 0, 0));
        QCOMPARE(modifiedDate(entry), packed(1999, 3, 2, 13, 45, 31));
        QCOMPARE(classifyEntry(entry), ekFile);

        QCOMPARE(::mkdirat(dirFd.get(), "sub", 0755), 0);
        QVERIFY(DirListing::describeEntry(dirFd.get(), "sub", mount, entry));
        QCOMPARE(entry.attributes, quint32(faDirectory));
        QCOMPARE(classifyEntry(entry), ekDirectory);

        QCOMPARE(::mkfifoat(dirFd.get(), "pipe", 0644), 0);
        QVERIFY(DirListing::describeEntry(dirFd.get(), "pipe", mount, entry));
        QCOMPARE(entry.attributes, quint32(faSystem | faArchive));

        // A link is described as itself: the size of its target text, not of the target.
        QCOMPARE(::symlinkat("sub", dirFd.get(), "link"), 0);
        QVERIFY(DirListing::describeEntry(dirFd.get(), "link", mount, entry));
        QCOMPARE(entry.size, qint64(3));
        QCOMPARE(entry.attributes, quint32(faArchive));

        const DirEntry before = entry;
        QVERIFY(!DirListing::describeEntry(dirFd.get(), "vanished", mount, entry));
        QCOMPARE(entry.name, before.name);
    }

    void otherMountsAreSystemFolders()
    {
        FileDescriptor root(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        MountIdentity mount;
        QVERIFY(DirListing::identifyMount(root.get(), mount));
        DirEntry entry;
        if (!DirListing::describeEntry(root.get(), "proc", mount, entry))
            QSKIP("no /proc here");
        QCOMPARE(entry.attributes & (faDirectory | faSystem), quint32(faDirectory | faSystem));
    }
};

QTEST_GUILESS_MAIN(TestFileDates)
#include "tst_filedates.moc"
