#include "collection/DirectoryWalker.h"
#include "collection/StatAccumulators.h"
#include "support/FakeVolumes.h"
#include "support/RecordingMessages.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"

#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The files of a walk as the accumulators saw them: the status texts name the folder of the
// 1st, 4th, 7th ... file.
struct Walk {
    StatAccumulators stats;
    DirectoryWalker walker{stats};
    QStringList statusTexts;

    Walk()
    {
        stats.setCurrentDrive(QStringLiteral("t:"));
        stats.setStatusObserver([this](const QString &text) { statusTexts.append(text); });
    }
    DirectoryWalker::Outcome run(const TestTree &tree)
    {
        return walker.walkFolder(tree.root(), QStringLiteral("T"));
    }
    QStringList tableRows() const
    {
        QStringList rows;
        for (const ExtensionRow &row : stats.lbTypes.rows())
            rows.append(row.text());
        return rows;
    }
};

QString status(const char *folder)
{
    return QStringLiteral("Processing drive t: ... standby : ") + QString::fromUtf8(folder);
}

} // namespace

class TestWalker : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    void subfolderFilesComeFirst()
    {
        TestTree tree;
        tree.file("r1.txt");
        tree.file("r2.txt");
        tree.folder("sub");
        tree.file("sub/s1.doc");
        tree.file("sub/s2.doc");
        tree.file("sub/s3.doc");
        Walk walk;
        QCOMPARE(walk.run(tree), DirectoryWalker::Outcome::Walked);
        QCOMPARE(walk.stats.filesProcessed, qint64(5));
        QCOMPARE(walk.statusTexts, QStringList({status("T/sub"), status("T")}));
    }

    void hiddenAndSystemFolders()
    {
        TestTree tree;
        tree.folder(".hidden");
        tree.file(".hidden/inside.txt");
        tree.file(".profile");
        tree.file("plain.txt");
        tree.link(".", "loop"); // a link to its own folder: a file, never followed
        tree.link("nowhere", "dangling");
        tree.folder("real");
        tree.link("../real", "real/up");
        Walk walk;
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(5));
        QCOMPARE(walk.stats.hiddenCount, qint64(1));
        // Links count with the length of their target; ".profile" is too long an extension.
        QCOMPARE(walk.tableRows(), QStringList({"\t3\t15", ".TXT\t1\t0"}));
    }

    void emptyRootWalksNothing()
    {
        TestTree tree;
        RecordingMessages messages;
        Walk walk;
        QCOMPARE(walk.run(tree), DirectoryWalker::Outcome::Walked);
        QCOMPARE(walk.stats.filesProcessed, qint64(0));
        QVERIFY(messages.log.isEmpty());
    }

    void deepTreeIsWalkedCompletely()
    {
        TestTree tree;
        tree.folder("top");
        tree.deepChain("top", 3000, "bottom.txt");
        tree.file("top/first.txt");
        Walk walk;
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(2));
        QCOMPARE(walk.walker.unreadableFolders(), qint64(0));
        QVERIFY(walk.statusTexts.first().endsWith(u"/d/d/d"));
        QCOMPARE(walk.statusTexts.first().count(u'/'), 3001);
    }

    void oddNamesAreCountedAndShown()
    {
        TestTree tree;
        tree.folder("caf\xE9"); // Latin-1, not UTF-8
        tree.file("caf\xE9/na\xEFve.TXT", 10);
        tree.file("caf\xE9/\xFF\xFE.\xFF", 1);
        tree.file("line\nbreak.txt", 2);
        Walk walk;
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(3));
        QCOMPARE(walk.stats.filesFound, qint64(3));
        QVERIFY(walk.tableRows().contains(QStringLiteral(".TXT\t2\t12")));
        QVERIFY(walk.statusTexts.first().startsWith(status("T/caf")));
    }

    void vanishedFilesAreSkipped()
    {
        TestTree tree;
        for (const char *name : {"a", "b", "c", "d", "e"})
            tree.file(name);
        Walk walk;
        // While the first file is counted, all five go; the other four vanish between the
        // listing and their examination.
        walk.stats.setStatusObserver([&](const QString &) {
            for (const char *name : {"a", "b", "c", "d", "e"})
                ::unlink(tree.path(name).constData());
        });
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(1));
        QCOMPARE(walk.walker.unreadableFolders(), qint64(0));
    }

    void abortUnwindsWithinOneEntry()
    {
        TestTree tree;
        tree.folder("a");
        tree.folder("a/b");
        for (int i = 0; i < 10; ++i)
            tree.file("a/b/f" + QByteArray::number(i));
        tree.folder("z");
        tree.file("z/later");
        tree.file("root-file");
        Walk walk;
        std::atomic<bool> abort{false};
        walk.walker.setStopFlags(&abort, nullptr);
        // The 4th file's status text raises the flag: the walk stops before the 5th entry.
        walk.stats.setStatusObserver([&](const QString &) {
            if (walk.stats.filesProcessed == 3)
                abort = true;
        });
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(4));
    }

    void terminatingStopsTheWalk()
    {
        TestTree tree;
        tree.file("x");
        Walk walk;
        std::atomic<bool> terminating{true};
        walk.walker.setStopFlags(nullptr, &terminating);
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(0));
    }

    void pumpRunsWhileWalking()
    {
        TestTree tree;
        for (int i = 0; i < 50; ++i)
            tree.file("f" + QByteArray::number(i));
        Walk walk;
        int pumped = 0;
        walk.walker.setPump([&] { ++pumped; }, 0);
        walk.run(tree);
        QCOMPARE(pumped, 50);
    }

    // Permissions do not hold back root, so the walk runs as nobody in a child process then.
    void unreadableFoldersAreSkipped()
    {
        TestTree tree;
        tree.folder("open");
        tree.file("open/1");
        tree.folder("locked", 0000);
        tree.file("x");
        tree.folder("searchless");
        tree.file("searchless/2");
        tree.setMode("searchless", 0444);
        tree.file("z");

        auto walkAsUser = [&]() -> QPair<qint64, qint64> {
            Walk walk;
            walk.run(tree);
            return {walk.stats.filesProcessed, walk.walker.unreadableFolders()};
        };
        QPair<qint64, qint64> result;
        if (::geteuid() != 0) {
            result = walkAsUser();
        } else {
            int channel[2];
            QVERIFY(::pipe(channel) == 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(channel[0]);
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(3);
                const QPair<qint64, qint64> counts = walkAsUser();
                const qint64 values[2] = {counts.first, counts.second};
                ::_exit(::write(channel[1], values, sizeof values) == sizeof values ? 0 : 4);
            }
            ::close(channel[1]);
            qint64 values[2] = {-1, -1};
            QCOMPARE(::read(channel[0], values, sizeof values), ssize_t(sizeof values));
            ::close(channel[0]);
            int childStatus = 0;
            ::waitpid(child, &childStatus, 0);
            result = {values[0], values[1]};
        }
        // open/1, x and z; the locked folder cannot be entered, the searchless one listed but
        // not examined.
        QCOMPARE(result.first, qint64(3));
        QCOMPARE(result.second, qint64(2));
    }

    // A folder bound into itself leads the walk round forever unless it tells the mounts apart.
    void bindMountIsNotEntered()
    {
        if (::geteuid() != 0)
            QSKIP("needs root for a private mount namespace");
        TestTree tree;
        tree.folder("data");
        tree.file("data/one.txt");
        tree.folder("data/mirror");
        const pid_t child = ::fork();
        if (child == 0) {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                ::_exit(2);
            if (::mount(tree.path("data").constData(), tree.path("data/mirror").constData(),
                        nullptr, MS_BIND, nullptr) != 0)
                ::_exit(2);
            Walk walk;
            walk.run(tree);
            ::_exit(walk.stats.filesProcessed == 1 ? 0 : 1);
        }
        int childStatus = 0;
        QCOMPARE(::waitpid(child, &childStatus, 0), child);
        QVERIFY(WIFEXITED(childStatus));
        if (WEXITSTATUS(childStatus) == 2)
            QSKIP("mount namespaces are not available here");
        QCOMPARE(WEXITSTATUS(childStatus), 0);
    }

    void drivesThroughTheDriveTable()
    {
        TestTree tree;
        tree.file("a.txt", 7);
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("sys"), tree.root(),
                         VolumeSpace{1000, 10, 4096});
        volumes.addDrive(u'd', dtRemovable, QString(), "/nonexistent", std::nullopt);
        volumes.addDrive(u'e', dtFixed, QStringLiteral("gone"), tree.path("gone"),
                         VolumeSpace{1000, 10, 4096});
        RecordingMessages messages;
        Walk walk;
        QCOMPARE(walk.walker.ScanAllDrives(QStringLiteral("d:")),
                 DirectoryWalker::Outcome::NotReady);
        QCOMPARE(walk.walker.ScanAllDrives(QStringLiteral("c: [sys]")),
                 DirectoryWalker::Outcome::Walked);
        QCOMPARE(walk.walker.ScanAllDrives(QStringLiteral("e: [gone]")),
                 DirectoryWalker::Outcome::CannotOpen);
        QCOMPARE(walk.stats.filesProcessed, qint64(1));
        QCOMPARE(messages.log, QStringList{"Error: Can't open drive e: [gone]"});
    }
};

QTEST_GUILESS_MAIN(TestWalker)
#include "tst_walker.moc"
