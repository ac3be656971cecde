#include "common/CheckListModel.h"
#include "drives/DriveServices.h"
#include "platform/LinuxVolumes.h"
#include "platform/MountTable.h"
#include "support/FakeVolumes.h"
#include "support/PrivateMounts.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <mutex>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const VolumeSpace someSpace{42949672960, 1073741824, 4096};

} // namespace

class TestDrives : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    void mountTableToDrives()
    {
        const QByteArray mountinfo = "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                                     "24 27 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
                                     "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
                                     "28 27 8:17 / /media/usb\\040stick rw - vfat /dev/sdb1 rw\n"
                                     "29 27 8:2 / /home rw - ext4 /dev/sda2 rw\n"
                                     "30 27 8:2 /home /srv/home-again rw - ext4 /dev/sda2 rw\n"
                                     "31 27 8:2 / /mnt/same-as-home rw - ext4 /dev/sda2 rw\n"
                                     "32 27 0:40 / /tmp rw - tmpfs tmpfs rw\n"
                                     "33 27 0:41 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                                     "34 27 0:42 / /net/share rw - cifs //Server/Share rw\n"
                                     "35 27 11:0 / /run/media/me/DISC ro - iso9660 /dev/sr0 ro\n"
                                     "36 27 0:43 / /var/lib/docker rw - overlay overlay rw\n"
                                     "37 27 0:44 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
                                     "40 27 7:1 / /snap/core/123 ro - squashfs /dev/loop1 ro\n"
                                     "41 27 7:2 / /media/iso ro - iso9660 /dev/loop2 ro\n"
                                     "42 27 8:33 / /srv/data rw - ext4 /dev/sdc1 rw\n"
                                     "43 27 8:49 / /mnt/stack rw - ext4 /dev/sdd1 rw\n"
                                     "44 43 8:65 / /mnt/stack rw - ext4 /dev/sde1 rw\n"
                                     "45 27 0:50 /@data /data rw - btrfs /dev/sdf1 rw\n"
                                     "46 45 0:50 /@data/sub /data/sub rw - btrfs /dev/sdf1 rw\n"
                                     "47 27 0:40 / /mnt/tmp-again rw - tmpfs tmpfs rw\n"
                                     "broken line\n";
        const QList<MountEntry> mounts = MountTable::parseMountInfo(mountinfo);
        QCOMPARE(mounts.size(), 21);
        QCOMPARE(mounts[3].mountPoint, QByteArray("/media/usb stick"));
        QCOMPARE(mounts[3].device, quint64(makedev(8, 17)));

        MountTable::DeviceFacts facts;
        facts.isRemovable = [](quint64 device) { return device == makedev(8, 17); };
        facts.labelOf = [](const QString &source) {
            return source == u"/dev/sda2"   ? QStringLiteral("HOME")
                   : source == u"/dev/sde1" ? QStringLiteral("TOP")
                                            : QString();
        };
        const QList<DriveInfo> drives = MountTable::selectDrives(mounts, facts);
        QStringList described;
        for (const DriveInfo &d : drives)
            described.append(QStringLiteral("%1 %2 %3 %4 %5")
                                 .arg(d.letter)
                                 .arg(d.type)
                                 .arg(d.label, QString::fromUtf8(d.mountPoint), d.connection));
        // Each file system once, by its mount closest to the root: no bind mount (home-again),
        // no second mount (same-as-home, tmp-again), one drive for the btrfs subvolumes, the
        // top of two stacked mounts, no snap; disks before images and RAM disks.
        QCOMPARE(
            described,
            QStringList({"c 3 / / ", "d 3 /data /data ", "e 3 HOME /home ",
                         "f 2 /media/usb stick /media/usb stick ", "g 3 TOP /mnt/stack ",
                         "h 4 /net/share /net/share //Server/Share",
                         "i 5 /run/media/me/DISC /run/media/me/DISC ", "j 3 /srv/data /srv/data ",
                         "k 5 /media/iso /media/iso ", "l 6 /tmp /tmp "}));

        QCOMPARE(MountTable::driveOfPath(drives, "/home/me/src"), QChar(u'e'));
        QCOMPARE(MountTable::driveOfPath(drives, "/homework"), QChar(u'c'));
        QCOMPARE(MountTable::driveOfPath(drives, "/media/usb stick"), QChar(u'f'));
    }

    // Thirty images under /mnt and one disk: the disk gets its letter, the letters end at z:.
    void lettersEndAtZ()
    {
        QByteArray mountinfo = "1 0 8:0 / / rw - ext4 /dev/sda rw\n";
        for (int i = 0; i < 30; ++i)
            mountinfo += QStringLiteral("%1 1 7:%1 / /mnt/m%2 rw - ext4 /dev/loop%1 rw\n")
                             .arg(i + 2)
                             .arg(i + 10)
                             .toUtf8();
        mountinfo += "99 1 8:17 / /srv/data rw - ext4 /dev/sdb1 rw\n";
        int leftOut = -1;
        const QList<DriveInfo> drives =
            MountTable::selectDrives(MountTable::parseMountInfo(mountinfo), {}, &leftOut);
        QCOMPARE(drives.size(), 24);
        QCOMPARE(drives[1].mountPoint, QByteArray("/srv/data"));
        QCOMPARE(drives.last().letter, QChar(u'z'));
        QCOMPARE(leftOut, 8);
    }

    // The example machine: a floppy, a labelled system disk, an empty CD-ROM drive, a
    // removable disk and a network share.
    void driveRows_data()
    {
        QTest::addColumn<bool>("omitCdRoms");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("setup wizard")
            << false << QStringList{"c: [system]", "d: (CD-ROM)", "e:", "f: \\\\host\\share"};
        QTest::newRow("statistics window")
            << true << QStringList{"c: [system]", "e:", "f: \\\\host\\share"};
    }
    void driveRows()
    {
        QFETCH(bool, omitCdRoms);
        QFETCH(QStringList, rows);
        FakeVolumes volumes;
        volumes.addDrive(u'a', dtRemovable, QString(), "/a", std::nullopt);
        volumes.addDrive(u'c', dtFixed, QStringLiteral("SYSTEM"), "/", someSpace);
        volumes.addDrive(u'd', dtCdRom, QString(), "/d", std::nullopt);
        volumes.addDrive(u'e', dtRemovable, QStringLiteral("STICK"), "/e", someSpace);
        volumes.addDrive(u'f', dtRemote, QStringLiteral("x"), "/f", someSpace,
                         QStringLiteral("cifs"), QStringLiteral("\\\\HOST\\Share"));
        volumes.current = u'c';
        CheckListModel list;
        fillDriveList(list, omitCdRoms);
        QCOMPARE(list.rows(), rows);
        QCOMPARE(list.checkedRows(), QStringList{"c: [system]"});
    }

    void unlabelledCurrentDriveChecksEveryRow()
    {
        FakeVolumes volumes;
        volumes.addDrive(u'b', dtFixed, QStringLiteral("hd"), "/b", someSpace);
        volumes.addDrive(u'c', dtFixed, QString(), "/", someSpace);
        volumes.addDrive(u'd', dtFixed, QStringLiteral("data"), "/d", someSpace);
        volumes.current = u'c';
        CheckListModel list;
        fillDriveList(list, true);
        QCOMPARE(list.rows(), QStringList({"c: (Fixed disk)", "d: [data]"}));
        QCOMPARE(list.checkedRows(), list.rows());
    }

    void clusterSize_data()
    {
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<int>("cluster");
        const quint64 gib = quint64(1) << 30;
        QTest::newRow("FAT 2 GiB asks the volume") << "vfat" << 2 * gib << true << 2048;
        QTest::newRow("FAT 2 GiB + 1") << "vfat" << 2 * gib + 1 << true << 4096;
        QTest::newRow("FAT 8 GiB") << "vfat" << 8 * gib << true << 4096;
        QTest::newRow("FAT 8 GiB + 1") << "msdos" << 8 * gib + 1 << true << 8192;
        QTest::newRow("FAT 16 GiB + 1") << "vfat" << 16 * gib + 1 << true << 16384;
        QTest::newRow("FAT 32 GiB") << "vfat" << 32 * gib << true << 32768;
        QTest::newRow("ext4 keeps its own unit") << "ext4" << 500 * gib << true << 2048;
        QTest::newRow("not ready") << "vfat" << 32 * gib << false << 0;
    }
    void clusterSize()
    {
        QFETCH(QString, fileSystem);
        QFETCH(quint64, total);
        QFETCH(bool, ready);
        QFETCH(int, cluster);
        FakeVolumes volumes;
        volumes.addDrive(u'e', dtRemovable, QString(), "/e",
                         ready ? std::optional(VolumeSpace{total, 0, 2048}) : std::nullopt,
                         fileSystem);
        QCOMPARE(computeClusterSize(QStringLiteral("e:")), cluster);
    }

    void spaceAndTotals()
    {
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("s"), "/", someSpace);
        volumes.addDrive(u'd', dtCdRom, QString(), "/d", std::nullopt);
        volumes.addDrive(u'e', dtFixed, QStringLiteral("t"), "/e", VolumeSpace{1000, 500, 512});
        QCOMPARE(getDiskSpace(u'c').totalBytes, 42949672960.0);
        QCOMPARE(getDiskSpace(u'c').freeBytes, 1073741824.0);
        QCOMPARE(getDiskSpace(u'd').totalBytes, 0.0);
        QVERIFY(!isDriveReady(u'd'));
        QVERIFY(!isDriveReady(u'1'));
        QCOMPARE(computePickListTotal({"d: (CD-ROM)"}), 0.0);
        QCOMPARE(computePickListTotal({"c: [s]", "d: (CD-ROM)", "e: [t]", ""}), 42949673960.0);
    }

    // A hung network mount must read as not ready instead of freezing the caller; a second
    // question while the first still hangs is answered at once, without asking again.
    void hungMountIsNotReady()
    {
        static std::mutex gate;
        static int calls = 0;
        gate.lock();
        auto hangingCall = [](const char *, struct statvfs *result) {
            ++calls;
            const std::lock_guard released(gate);
            result->f_blocks = 10;
            result->f_frsize = 512;
            return 0;
        };
        QVERIFY(!LinuxVolumes::querySpace("/hung", 50, hangingCall));
        // Still unanswered: not asked again, and not waited for (this would wait ten minutes).
        QVERIFY(!LinuxVolumes::querySpace("/hung", 600000, hangingCall));
        QCOMPARE(calls, 1);
        gate.unlock();
        // The late answer serves the next question; the one after asks anew.
        bool answered = false;
        QTRY_VERIFY(answered = answered || LinuxVolumes::querySpace("/hung", 0, hangingCall));
        QCOMPARE(calls, 1);
        QCOMPARE(LinuxVolumes::querySpace("/hung", 1000, hangingCall)->totalBytes, quint64(5120));
        QCOMPARE(calls, 2);
    }

    void systemDriveTable()
    {
        const LinuxVolumes volumes;
        const QList<DriveInfo> drives = volumes.drives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first().letter, QChar(u'c'));
        QCOMPARE(drives.first().mountPoint, QByteArray("/"));
        const std::optional<VolumeSpace> space = volumes.space(u'c');
        QVERIFY(space);
        QVERIFY(space->totalBytes >= space->freeBytes && space->blockSize > 0);
        QVERIFY(!LinuxVolumes::querySpace("/no/such/folder", 2000));
        // A question right after an answer is answered too, never taken for one still pending.
        for (int i = 0; i < 300; ++i)
            QVERIFY2(LinuxVolumes::querySpace("/", 2000).has_value(),
                     qPrintable(QString::number(i)));
    }

    // The system's own table in a private mount namespace: a RAM disk mounted twice and bound
    // once more is one drive, by its first mount point.
    void fileSystemMountedThriceIsOneDrive()
    {
        if (::geteuid() != 0)
            QSKIP("needs root for a private mount namespace");
        const int result = inPrivateMountNamespace([] {
            if (::mount("quillix", "/mnt", "tmpfs", 0, nullptr) != 0)
                return mountsUnavailable;
            for (const char *folder : {"/mnt/a", "/mnt/b", "/mnt/c"})
                ::mkdir(folder, 0755);
            if (::mount("quillix", "/mnt/a", "tmpfs", 0, nullptr) != 0 ||
                ::mount("/mnt/a", "/mnt/b", nullptr, MS_BIND, nullptr) != 0 ||
                ::mkdir("/mnt/a/inner", 0755) != 0 ||
                ::mount("/mnt/a/inner", "/mnt/c", nullptr, MS_BIND, nullptr) != 0)
                return mountsUnavailable;
            QByteArrayList points;
            for (const DriveInfo &drive : LinuxVolumes().drives())
                if (drive.mountPoint.startsWith("/mnt"))
                    points.append(drive.mountPoint);
            return points == QByteArrayList{"/mnt", "/mnt/a"} ? 0 : 1;
        });
        if (result == mountsUnavailable)
            QSKIP("mount namespaces are not available here");
        QCOMPARE(result, 0);
    }
};

QTEST_GUILESS_MAIN(TestDrives)
#include "tst_drives.moc"
