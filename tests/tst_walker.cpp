#include "collection/CollectionRun.h"
#include "collection/DirectoryWalker.h"
#include "collection/ExtensionTable.h"
#include "collection/FileLists.h"
#include "collection/FolderTree.h"
#include "collection/RunArchive.h"
#include "collection/StatAccumulators.h"
#include "reports/FileListPages.h"
#include "support/FakeVolumes.h"
#include "support/PrivateMounts.h"
#include "support/RecordingMessages.h"
#include "support/StatsFigures.h"
#include "support/TestEntry.h"
#include "support/TestEnvironment.h"
#include "support/TestTree.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <linux/btrfs.h>
#include <sys/ioctl.h>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A walk and what it showed: the status texts name the folder of a file met since the last one.
struct Walk {
    StatAccumulators stats;
    FileLists lists;
    CollectionRun collection{stats, lists};
    DirectoryWalker &walker = collection.walker();
    QStringList statusTexts;

    explicit Walk(int threads = 1, int listLimit = 0)
    {
        walker.setThreads(threads);
        lists.setLimit(listLimit);
        walker.setFileLists(&lists);
        collection.setListLimit(listLimit);
        stats.setCurrentDrive(QStringLiteral("t:"));
        stats.setStatusObserver([this](const QString &text) { statusTexts.append(text); });
    }
    // The walker alone, the tree named "T" in the status texts.
    DirectoryWalker::Outcome run(const TestTree &tree)
    {
        return walker.walkFolder(tree.root(), QStringLiteral("T"));
    }
    // A whole collection run over targets, as every front end runs one.
    QList<CollectionRun::TargetOutcome> collect(const QList<RunTarget> &targets,
                                                const CollectionOptions &options = {})
    {
        collection.prepare(options, targets);
        collection.walk();
        return collection.outcomes();
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

// Sizes and times that spread over bands, slots and extensions.
void fillFolder(TestTree &tree, const QByteArray &folder, int files, int seed)
{
    static const char *const extensions[] = {".txt", ".doc", ".JPG", "", ".tar.gz", ".c"};
    for (int i = 0; i < files; ++i) {
        const int n = seed * 31 + i;
        const QByteArray name = folder + "/f" + QByteArray::number(i) + extensions[n % 6];
        tree.file(name, qint64(n % 7) * 5000 + n);
        // Spread back from now, so the age bands they fall in do not drift with the date.
        const time_t when = ::time(nullptr) - time_t(n) * 86400 * 13 - n * 1801;
        const timespec times[2] = {{when - 3600, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, tree.path(name).constData(), times, 0);
    }
}

using SizeAndName = std::pair<qint64, QByteArray>;

// The lists a walk should keep, worked out here from every file the walk met, one by one.
struct ReferenceLists {
    std::map<std::pair<int, QByteArray>, std::vector<SizeAndName>> rows;

    void add(const FileRows &fileRows, const DirEntry &entry)
    {
        const SizeAndName file{entry.size, entry.name};
        rows[{ListRow::SizeBand * 100 + fileRows.sizeBand, {}}].push_back(file);
        for (int stamp = 0; stamp < 3; ++stamp) {
            rows[{(ListRow::AccessedAge + stamp) * 100 + fileRows.ageBands[stamp], {}}].push_back(
                file);
            if (fileRows.slots[stamp] > 0)
                rows[{(ListRow::AccessedSlot + stamp) * 100 + fileRows.slots[stamp], {}}].push_back(
                    file);
        }
        for (const quint32 bit : {faReadOnly, faHidden, faSystem, faArchive})
            if (fileRows.attributes & bit)
                rows[{ListRow::Attribute * 100 + int(bit), {}}].push_back(file);
        ExtensionTable::KeyBuffer buffer;
        QByteArrayView key;
        if (ExtensionTable::makeKey(fileRows.extension, buffer, key))
            rows[{0, key.toByteArray()}].push_back(file);
    }
    std::vector<SizeAndName> largest(const ListRow &row, size_t limit) const
    {
        const auto found = rows.find(row.kind == ListRow::Extension
                                         ? std::pair{0, row.key}
                                         : std::pair{row.kind * 100 + row.index, QByteArray()});
        std::vector<SizeAndName> files =
            found == rows.end() ? std::vector<SizeAndName>() : found->second;
        std::sort(files.begin(), files.end(), [](const SizeAndName &a, const SizeAndName &b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        files.resize(std::min(files.size(), limit));
        return files;
    }
};

// The bytes of the n largest folders below root, counted from the tree on disk: hidden
// folders and folders that cannot be read are left out, as the walk leaves them.
QList<qint64> largestFolderBytes(const QByteArray &root, int n)
{
    QHash<QString, qint64> totals;
    const QString base = QFile::decodeName(root);
    QDirIterator files(base, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file = files.nextFileInfo();
        const QStringList folders = file.path().mid(base.size()).split(u'/', Qt::SkipEmptyParts);
        if (std::any_of(folders.begin(), folders.end(),
                        [](const QString &name) { return name.startsWith(u'.'); }))
            continue;
        QString folder = base;
        for (const QString &name : folders)
            totals[folder += u'/' + name] += file.size();
    }
    QList<qint64> bytes = totals.values();
    std::sort(bytes.begin(), bytes.end(), std::greater<>());
    return bytes.mid(0, n);
}

// The files and bytes beneath every folder of root (root as "."), counted from the tree on
// disk, hidden and unreadable folders left out as the walk leaves them.
QHash<QByteArray, QPair<qint64, qint64>> folderSums(const QByteArray &root)
{
    QHash<QByteArray, QPair<qint64, qint64>> sums;
    const QString base = QFile::decodeName(root);
    QDirIterator folders(base, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    sums.insert(".", {0, 0});
    while (folders.hasNext()) {
        const QString relative = folders.next().mid(base.size() + 1);
        if (!relative.split(u'/').filter(QRegularExpression(QStringLiteral("^\\."))).isEmpty())
            continue;
        sums.insert(QFile::encodeName(relative), {0, 0});
    }
    QDirIterator files(base, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file = files.nextFileInfo();
        QByteArray folder = QFile::encodeName(file.path().mid(base.size() + 1));
        if (!sums.contains(folder.isEmpty() ? QByteArray(".") : folder))
            continue;
        for (;;) {
            auto &sum = sums[folder.isEmpty() ? QByteArray(".") : folder];
            sum.first += 1;
            sum.second += file.size();
            if (folder.isEmpty())
                break;
            const qsizetype slash = folder.lastIndexOf('/');
            folder = slash < 0 ? QByteArray() : folder.left(slash);
        }
    }
    return sums;
}

} // namespace

class TestWalker : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinTestEnvironment(); }

    // Every worker count gives the tables of the one-thread walk, whatever the tree's shape.
    void workersGiveTheSameTables_data()
    {
        QTest::addColumn<QByteArray>("shape");
        for (const char *shape : {"wide", "deep", "mixed", "branching", "filesOnly",
                                  "oneLargeFolder", "manyEmptyFolders"})
            QTest::newRow(shape) << QByteArray(shape);
    }
    void workersGiveTheSameTables()
    {
        QFETCH(QByteArray, shape);
        TestTree tree;
        if (shape == "wide") {
            for (int i = 0; i < 40; ++i) {
                const QByteArray folder = "w" + QByteArray::number(i);
                tree.folder(folder);
                fillFolder(tree, folder, i % 5, i);
            }
            // The largest .txt files, all of one size in four folders: kept by name.
            for (const char *name :
                 {"w7/tie-d.txt", "w3/tie-b.txt", "w9/tie-a.txt", "w1/tie-c.txt"})
                tree.file(name, 60000);
            tree.file("w2/unit.service", 1234); // an extension too long for a row of its own
        } else if (shape == "deep") {
            tree.folder("top");
            tree.deepChain("top", 300, "bottom.txt");
            fillFolder(tree, "top", 3, 1);
        } else if (shape == "mixed") {
            for (int i = 0; i < 6; ++i) {
                QByteArray folder = "m" + QByteArray::number(i);
                tree.folder(folder);
                for (int depth = 0; depth < i; ++depth) {
                    folder += "/s";
                    tree.folder(folder);
                    fillFolder(tree, folder, depth + 2, i * 10 + depth);
                }
            }
            tree.folder(".hidden");
            fillFolder(tree, ".hidden", 4, 99);
            tree.folder("locked", 0000);
        } else if (shape == "branching") {
            // Three levels of three: the walk backs up from a subtree into folders with
            // subfolders still to enter.
            QByteArrayList level{"."};
            for (const char *prefix : {"/b", "/c", "/d"}) {
                QByteArrayList below;
                for (const QByteArray &parent : level)
                    for (int i = 0; i < 3; ++i) {
                        below.append(parent + prefix + QByteArray::number(i));
                        tree.folder(below.last());
                        fillFolder(tree, below.last(), 2, int(below.size()));
                    }
                level = below;
            }
        } else if (shape == "oneLargeFolder") {
            // Its names are shared out in slices among the workers.
            tree.folder("large");
            fillFolder(tree, "large", 3000, 3);
            tree.folder("large/sub");
            fillFolder(tree, "large/sub", 5, 4);
        } else if (shape == "manyEmptyFolders") {
            // Handed over in shares, never one leaf at a time.
            tree.folder("flat");
            for (int i = 0; i < 1500; ++i)
                tree.folder("flat/e" + QByteArray::number(i));
            for (int i = 0; i < 1500; i += 100)
                fillFolder(tree, "flat/e" + QByteArray::number(i), 3, i);
        } else {
            fillFolder(tree, ".", 200, 7);
        }
        // The reference: every file the walk met, counted here one by one.
        CollectionOptions options;
        options.collectOverhang = true;
        constexpr int limit = 3;
        Walk one(1);
        StatAccumulators counted;
        counted.setOptions(options);
        counted.setToday(one.stats.today());
        ReferenceLists reference;
        one.walker.setFileObserver([&](const DirEntry &entry) {
            FileRows rows;
            if (counted.crunchNumbers(QString(), entry, &rows))
                reference.add(rows, entry);
            ++counted.filesProcessed;
        });
        const QList<RunTarget> target{RunTarget::fromFolder(tree.root())};
        QCOMPARE(one.collect(target, options).first().state, CollectionRun::State::Walked);
        QVERIFY(one.stats.filesProcessed > 0);
        // The folders' own space is met entering them, not among the files.
        counted.onDisk.folders = one.stats.onDisk.folders;
        QCOMPARE(statsFigures(one.stats), statsFigures(counted));
        // Walks keeping lists count the same, and keep the largest files of every row (ties by
        // name) and the largest folders, wherever the workers met them.
        const QList<qint64> largestFolders = largestFolderBytes(tree.root(), limit);
        for (int threads : {1, 2, 4}) {
            Walk many(threads, limit);
            QCOMPARE(many.collect(target, options).first().state, CollectionRun::State::Walked);
            QCOMPARE(statsFigures(many.stats), statsFigures(one.stats));
            QCOMPARE(many.walker.unreadable().folders(), one.walker.unreadable().folders());
            const QList<ListedRow> rows = FileListPages::rowsOf(many.stats);
            QVERIFY2(rows.size() > 10, qPrintable(QString::number(rows.size())));
            for (const ListedRow &row : rows) {
                std::vector<SizeAndName> kept;
                for (const KeptFile &file : many.lists.files(row.row)) {
                    kept.push_back({file.size, file.name});
                    const QByteArray path = many.lists.path(file);
                    QVERIFY2(QFileInfo(QFile::decodeName(path)).size() == file.size, path);
                }
                QVERIFY2(kept == reference.largest(row.row, limit), qPrintable(row.name()));
            }
            // The folder tree: each folder's files and bytes beneath it, counted here from disk.
            const FolderTree folderTree(many.lists.folders());
            QCOMPARE(folderTree.roots().size(), size_t(1));
            const QHash<QByteArray, QPair<qint64, qint64>> sums = folderSums(tree.root());
            for (quint32 id = 0; id < folderTree.count(); ++id) {
                const FolderTree::Node &node = folderTree.node(id);
                const QByteArray path = folderTree.path(id);
                const QByteArray relative =
                    path == tree.root() ? QByteArray(".") : path.mid(tree.root().size() + 1);
                const QPair<qint64, qint64> walked{node.files, node.bytes};
                QCOMPARE(walked, sums.value(relative));
                QVERIFY(folderTree.own(id).largest.size() <= FolderRecords::keptFilesPerFolder);
            }
            QCOMPARE(many.lists.largestFolders().size(), size_t(1));
            QList<qint64> folderBytes;
            for (const FolderRecords::Total &folder : many.lists.largestFolders()[0].folders)
                folderBytes.append(folder.bytes);
            QCOMPARE(folderBytes, largestFolders);

            // Archived and read back, it is the same run: figures, lists, paths and folders;
            // an archive cut short is refused and leaves nothing behind.
            const QByteArray archive =
                RunArchive::write(many.stats, many.lists, many.walker.unreadable());
            StatAccumulators again;
            FileLists againLists;
            UnreadableFolders againUnreadable;
            QVERIFY(RunArchive::read(archive, again, againLists, againUnreadable));
            QCOMPARE(againUnreadable.folders(), many.walker.unreadable().folders());
            QCOMPARE(statsFigures(again), statsFigures(many.stats));
            QCOMPARE(again.today(), many.stats.today());
            QCOMPARE(again.options().collectOverhang, true);
            const auto keptPaths = [](const FileLists &lists, const ListRow &row) {
                QByteArrayList paths;
                for (const KeptFile &file : lists.files(row))
                    paths.append(lists.path(file) + ' ' + QByteArray::number(file.size) + ' ' +
                                 QByteArray::number(file.modified));
                return paths;
            };
            for (const ListedRow &row : rows)
                QCOMPARE(keptPaths(againLists, row.row), keptPaths(many.lists, row.row));
            const auto folderPaths = [](const FileLists &lists) {
                QByteArrayList paths;
                for (const FolderRecords::Total &folder : lists.largestFolders()[0].folders)
                    paths.append(lists.folderPath(folder.folder) + ' ' +
                                 QByteArray::number(folder.bytes));
                return paths;
            };
            QCOMPARE(againLists.largestFolders().size(), size_t(1));
            QCOMPARE(folderPaths(againLists), folderPaths(many.lists));
            // The whole folder tree, each folder with its sums and its largest files.
            const auto treeOf = [](const FileLists &lists) {
                QByteArrayList folders;
                const FolderTree read(lists.folders());
                for (quint32 id = 0; id < read.count(); ++id) {
                    const FolderTree::Node &node = read.node(id);
                    folders.append(read.path(id) + ' ' + QByteArray::number(node.files) + ' ' +
                                   QByteArray::number(node.bytes));
                    for (const FolderRecords::File &file : read.own(id).largest)
                        folders.append(file.name + ' ' + QByteArray::number(file.size));
                }
                return folders;
            };
            QVERIFY(againLists.hasFolderTree());
            QCOMPARE(treeOf(againLists), treeOf(many.lists));
            QVERIFY(!RunArchive::read(archive.left(archive.size() / 2), again, againLists,
                                      againUnreadable));
            QCOMPARE(again.filesProcessed, qint64(0));
            QVERIFY(againLists.largestFolders().empty());
        }
    }

    // An archive is the user's own file, but read back it is trusted no more than any other:
    // figures that are no counts and a block that claims to expand to a gigabyte are refused,
    // and leave nothing behind.
    void damagedArchivesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("damage");
        for (const char *damage :
             {"not finite", "negative", "sums overflow", "claims 1 GB", "sound"})
            QTest::newRow(damage) << QByteArray(damage);
    }
    void damagedArchivesAreRefused()
    {
        QFETCH(QByteArray, damage);
        StatAccumulators stats;
        FileLists lists;
        lists.setLimit(2);
        const quint32 root = lists.folders().add(FolderRecords::noParent, "/srv");
        FileRows rows;
        const DirEntry entry = testEntry("a.txt", 100);
        stats.crunchNumbers(QString(), entry, &rows);
        lists.offer(rows, entry, root);
        if (damage == "not finite")
            stats.sizeBytes[3] = std::nan("");
        if (damage == "negative")
            stats.accessedSlots[7] = -1;
        if (damage == "sums overflow")
            for (int i = 0; i < 3; ++i)
                stats.insertType(QByteArray(".T") + char('A' + i), 4'000'000'000'000'000'000,
                                 false);
        QByteArray archive = RunArchive::write(stats, lists, UnreadableFolders());
        if (damage == "claims 1 GB")
            qToBigEndian<quint32>(1u << 30, archive.data());
        StatAccumulators again;
        FileLists againLists;
        UnreadableFolders unreadable;
        QCOMPARE(RunArchive::read(archive, again, againLists, unreadable), damage == "sound");
        if (damage != "sound")
            QCOMPARE(again.lbTypes.rowCount(), 0);
    }

    void folderPaths_data()
    {
        QTest::addColumn<QByteArrayList>("names"); // the root first
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("root of the tree") << QByteArrayList{"/", "usr", "bin"}
                                          << QByteArray("/usr/bin") << QByteArray("/usr/bin/ls");
        QTest::newRow("the root alone")
            << QByteArrayList{"/"} << QByteArray("/") << QByteArray("/ls");
        QTest::newRow("a folder") << QByteArrayList{"/srv/data", "a b"}
                                  << QByteArray("/srv/data/a b") << QByteArray("/srv/data/a b/ls");
        QTest::newRow("given with a slash")
            << QByteArrayList{"/srv/", "x"} << QByteArray("/srv/x") << QByteArray("/srv/x/ls");
    }
    void folderPaths()
    {
        QFETCH(QByteArrayList, names);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, file);
        FolderRecords folders;
        quint32 folder = FolderRecords::noParent;
        for (const QByteArray &name : names)
            folder = folders.add(folder, name);
        QCOMPARE(folders.path(folder), path);
        QCOMPARE(folders.path(folder, "ls"), file);
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
        tree.folder("side");
        tree.file("side/beside.txt");
        Walk walk;
        // Every file waits out a pump, so that each answers the status asked for meanwhile.
        walk.walker.setPump([] {}, 1);
        walk.walker.setFileObserver(
            [](const DirEntry &) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(2));
        QCOMPARE(walk.walker.unreadableFolders(), qint64(0));
        // The folder text is built when it is shown, from the names of the levels; the text
        // kept of the deep folder's levels must not outlive them.
        QCOMPARE(walk.statusTexts.size(), 2);
        const QString deep = walk.statusTexts.first().endsWith(u"/side") ? walk.statusTexts.last()
                                                                         : walk.statusTexts.first();
        QVERIFY(deep.endsWith(u"/d/d/d"));
        QCOMPARE(deep.count(u'/'), 3001);
        QVERIFY(walk.statusTexts.contains(status("T/side")));
    }

    void oddNamesAreCountedAndShown()
    {
        TestTree tree;
        tree.folder("caf\xE9\x1B"); // Latin-1, not UTF-8, and an escape
        tree.file("caf\xE9\x1B/na\xEFve.TXT", 10);
        tree.file("caf\xE9\x1B/\xFF\xFE.\xFF", 1);
        tree.file("caf\xE9\x1B/line\nbreak.txt", 2);
        Walk walk;
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(3));
        QCOMPARE(walk.stats.filesFound, qint64(3));
        QVERIFY(walk.tableRows().contains(QStringLiteral(".TXT\t2\t12")));
        // The status line shows the folder as listings show names: nothing reaches a terminal.
        QCOMPARE(walk.statusTexts.first(), status("T/caf\\xe9\\x1b"));
    }

    void vanishedFilesAreSkipped()
    {
        TestTree tree;
        for (const char *name : {"a", "b", "c", "d", "e"})
            tree.file(name);
        Walk walk;
        // While the first file is counted, all five go; the other four vanish between the
        // listing and their examination.
        walk.walker.setFileObserver([&](const DirEntry &) {
            for (const char *name : {"a", "b", "c", "d", "e"})
                ::unlink(tree.path(name).constData());
        });
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(1));
        QCOMPARE(walk.walker.unreadableFolders(), qint64(0));
    }

    // A stop flag raised while a file is counted is seen before the next entry.
    void stopFlagsUnwindWithinOneEntry_data()
    {
        QTest::addColumn<bool>("terminating");
        QTest::newRow("abort") << false;
        QTest::newRow("terminating") << true;
    }
    void stopFlagsUnwindWithinOneEntry()
    {
        QFETCH(bool, terminating);
        TestTree tree;
        tree.folder("a");
        tree.folder("a/b");
        for (int i = 0; i < 10; ++i)
            tree.file("a/b/f" + QByteArray::number(i));
        tree.folder("z");
        tree.file("z/later");
        tree.file("root-file");
        Walk walk;
        std::atomic<bool> flag{false};
        walk.walker.setStopFlags(terminating ? nullptr : &flag, terminating ? &flag : nullptr);
        int met = 0;
        walk.walker.setFileObserver([&](const DirEntry &) {
            if (++met == 4)
                flag = true;
        });
        walk.run(tree);
        QCOMPARE(walk.stats.filesProcessed, qint64(4));
    }

    // A stop raised while a large folder is shared out ends every worker's part of it.
    void stopDuringASharedFolder()
    {
        TestTree tree;
        tree.folder("large");
        fillFolder(tree, "large", 4000, 9);
        Walk walk(4);
        std::atomic<bool> abort{false};
        walk.walker.setStopFlags(&abort, nullptr);
        std::atomic<int> met{0};
        walk.walker.setFileObserver([&](const DirEntry &) {
            if (++met == 2500)
                abort = true;
        });
        walk.collect({RunTarget::fromFolder(tree.root())});
        QVERIFY(walk.collection.aborted());
        QVERIFY(walk.stats.filesProcessed >= 2500 && walk.stats.filesProcessed < 4000);
    }

    // The pump runs on its timer while the workers are deep in folders that hold no file, and
    // a stop it raises ends the walk there.
    void pumpAnswersInFoldersWithoutFiles()
    {
        TestTree tree;
        tree.folder("top");
        tree.deepChain("top", 2000, "bottom.txt");
        Walk walk;
        std::atomic<bool> abort{false};
        walk.walker.setStopFlags(&abort, nullptr);
        int pumped = 0;
        walk.walker.setPump(
            [&] {
                ++pumped;
                abort = true;
            },
            1);
        walk.run(tree);
        QVERIFY(pumped >= 1);
        QCOMPARE(walk.stats.filesProcessed, qint64(0));
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

        // What a whole run says: its status line, then each folder it could not read.
        auto walkAsUser = [&]() -> QByteArray {
            Walk walk;
            walk.collect({RunTarget::fromFolder(tree.root())});
            QByteArray said = walk.collection.finishedStatus().toUtf8() + '\n';
            for (const UnreadableFolders::Folder &folder : walk.collection.unreadable().folders())
                said += folder.path.mid(tree.root().size() + 1) + '\t' + folder.reason().toUtf8() +
                        '\n';
            return said;
        };
        QByteArray said;
        if (::geteuid() == 0 && !walksInForkedChildren)
            QSKIP("the walk as another user runs in a forked child");
        if (::geteuid() != 0) {
            said = walkAsUser();
        } else {
            int channel[2];
            QVERIFY(::pipe(channel) == 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(channel[0]);
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(3);
                const QByteArray text = walkAsUser();
                ::_exit(::write(channel[1], text.constData(), size_t(text.size())) == text.size()
                            ? 0
                            : 4);
            }
            ::close(channel[1]);
            char buffer[4096];
            ssize_t got = 0;
            while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
                said.append(buffer, got);
            ::close(channel[0]);
            int childStatus = 0;
            ::waitpid(child, &childStatus, 0);
        }
        // open/1, x and z; the locked folder cannot be entered, the searchless one listed but
        // not examined. The count comes after the line as it always read.
        QCOMPARE(said, QByteArray("Finished - 3 files processed - 2 folders unreadable\n"
                                  "locked\tPermission denied\n"
                                  "searchless\tPermission denied\n"));
    }

    // A folder bound beside itself is no ancestor of the mirror: only the mount rule keeps the
    // walk from counting its files twice. Bound into itself, the walk would go round forever. A
    // file bound over another is the other file system's, and is not counted.
    void bindMountIsNotEntered_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("threads");
        QTest::newRow("sibling") << QByteArray("data") << QByteArray("other/mirror") << 1;
        QTest::newRow("sibling, two workers")
            << QByteArray("data") << QByteArray("other/mirror") << 2;
        QTest::newRow("inside itself") << QByteArray("data") << QByteArray("data/mirror") << 1;
        QTest::newRow("file over file")
            << QByteArray("/etc/hostname") << QByteArray("other/bound.txt") << 1;
    }
    void bindMountIsNotEntered()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        QFETCH(int, threads);
        if (::geteuid() != 0)
            QSKIP("needs root for a private mount namespace");
        TestTree tree;
        tree.folder("data");
        tree.file("data/one.txt");
        tree.folder("other");
        if (source.startsWith('/'))
            tree.file(target);
        else
            tree.folder(target);
        const int result = inPrivateMountNamespace([&] {
            const QByteArray from = source.startsWith('/') ? source : tree.path(source);
            if (::mount(from.constData(), tree.path(target).constData(), nullptr, MS_BIND,
                        nullptr) != 0)
                return mountsUnavailable;
            Walk walk(threads);
            walk.run(tree);
            return walk.stats.filesProcessed == 1 ? 0 : 1;
        });
        if (result == mountsUnavailable)
            QSKIP("mount namespaces are not available here");
        QCOMPARE(result, 0);
    }

    // A btrfs drive as distributions lay it out: the root on subvolume @, the homes on @home
    // mounted inside it, and mounted a second time. The walk enters the subvolume mounted
    // inside and counts its files once.
    void btrfsSubvolumesAreWalkedOnce_data()
    {
        QTest::addColumn<int>("threads");
        QTest::newRow("one worker") << 1;
        QTest::newRow("two workers") << 2;
    }
    void btrfsSubvolumesAreWalkedOnce()
    {
        QFETCH(int, threads);
        if (::geteuid() != 0)
            QSKIP("needs root for a private mount namespace");
        if (!walksInForkedChildren)
            QSKIP("the btrfs image is made and mounted by child processes");
        TestTree tree;
        for (const char *folder : {"top", "disk"})
            tree.folder(folder);
        const QByteArray image = tree.path("btrfs.img");
        tree.file("btrfs.img", 128 << 20);
        if (QProcess::execute(QStringLiteral("mkfs.btrfs"),
                              {"-q", QString::fromLocal8Bit(image)}) != 0)
            QSKIP("mkfs.btrfs is not available");
        const int result = inPrivateMountNamespace([&] {
            auto mountImage = [&](const char *options, const QByteArray &at) {
                const QByteArray command =
                    "mount -o loop," + QByteArray(options) + ' ' + image + ' ' + at;
                return std::system(command.constData()) == 0;
            };
            if (!mountImage("subvolid=5", tree.path("top")))
                return mountsUnavailable;
            const int top = ::open(tree.path("top").constData(), O_RDONLY | O_DIRECTORY);
            for (const char *subvolume : {"@", "@home"}) {
                btrfs_ioctl_vol_args arguments{};
                std::strcpy(arguments.name, subvolume);
                if (::ioctl(top, BTRFS_IOC_SUBVOL_CREATE, &arguments) != 0)
                    return mountsUnavailable;
            }
            ::close(top);
            for (const char *made : {"top/@/home", "top/@/again"})
                ::mkdir(tree.path(made).constData(), 0755);
            for (const char *file : {"top/@/root.txt", "top/@home/a.txt"})
                ::close(::open(tree.path(file).constData(), O_CREAT | O_WRONLY, 0644));
            if (!mountImage("subvol=@", tree.path("disk")) ||
                !mountImage("subvol=@home", tree.path("disk/home")) ||
                !mountImage("subvol=@home", tree.path("disk/again")))
                return mountsUnavailable;
            StatAccumulators stats;
            DirectoryWalker walker(stats);
            walker.setThreads(threads);
            walker.walkFolder(tree.path("disk"), QStringLiteral("D"));
            return stats.filesProcessed == 2 ? 0 : 10 + int(stats.filesProcessed);
        });
        if (result == mountsUnavailable)
            QSKIP("btrfs cannot be mounted here");
        QCOMPARE(result, 0);
    }

    // Space on disk as du counts it: sparse files by their blocks, a file of three names once,
    // folders by their own blocks; 1, 2 and 4 workers agree, whichever name they meet first.
    void spaceOnDiskAgreesWithDu()
    {
        TestTree tree;
        for (const char *folder : {"a", "b", ".hidden"})
            tree.folder(folder);
        tree.file("a/sparse.bin", 5 << 20);
        {
            QFile sparse(QFile::decodeName(tree.path("a/sparse.bin")));
            QVERIFY(sparse.open(QIODevice::ReadWrite) && sparse.seek(2 << 20));
            sparse.write(QByteArray(10000, 'x'));
        }
        tree.file("a/shared.dat", 0);
        {
            QFile shared(QFile::decodeName(tree.path("a/shared.dat")));
            QVERIFY(shared.open(QIODevice::WriteOnly));
            shared.write(QByteArray(300000, 'y'));
        }
        for (const char *name : {"b/second-name.dat", "a/third-name.dat"})
            QVERIFY(::link(tree.path("a/shared.dat").constData(), tree.path(name).constData()) ==
                    0);
        tree.file("empty");
        tree.link("a/shared.dat", "b/link");
        {
            QFile plain(QFile::decodeName(tree.path(".hidden/plain.txt")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
            plain.write(QByteArray(5000, 'z'));
        }
        // As du counts it, and as this test counts it (du runs as a child process, which a
        // ThreadSanitizer run cannot follow).
        const qint64 duBytes = tree.allocatedBytes();
        QVERIFY(duBytes > 0);
        if (walksInForkedChildren) {
            QProcess du;
            du.start(QStringLiteral("du"),
                     {QStringLiteral("-sxB1"), QFile::decodeName(tree.root())});
            QVERIFY(du.waitForFinished());
            QCOMPARE(du.readAllStandardOutput().split('\t').first().toLongLong(), duBytes);
        }
        CollectionOptions options;
        options.enterHiddenFolders = true;
        options.countOnDisk = true;
        for (int threads : {1, 2, 4}) {
            Walk walk(threads);
            walk.collect({RunTarget::fromFolder(tree.root())}, options);
            const StatAccumulators::SpaceOnDisk &space = walk.stats.onDisk;
            QCOMPARE(qint64(space.files + space.folders), duBytes);
            // Two names of the shared file were met after its first.
            QCOMPARE(space.linkedNames, qint64(2));
            QVERIFY(space.linkedBytes >= 2 * 300000);
            // Sizes keep counting every name, as they always did.
            QCOMPARE(walk.stats.filesFound, qint64(7));
        }
    }

    // Few file descriptors left: fewer workers walk, and each waits for a descriptor rather
    // than taking a folder for unreadable.
    void fewDescriptorsLoseNoFolder()
    {
        TestTree tree;
        for (int i = 0; i < 30; ++i) {
            const QByteArray folder = "f" + QByteArray::number(i);
            tree.folder(folder);
            tree.folder(folder + "/deeper");
            tree.file(folder + "/deeper/a");
            tree.file(folder + "/b");
        }
        int open = 0;
        for (const QString &entry :
             QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries))
            open += entry != u"." && entry != u"..";
        rlimit before{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &before) == 0);
        rlimit few = before;
        few.rlim_cur = rlim_t(open + 7);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &few) == 0);
        Walk walk(8);
        walk.collect({RunTarget::fromFolder(tree.root())});
        ::setrlimit(RLIMIT_NOFILE, &before);
        QCOMPARE(walk.stats.filesProcessed, qint64(60));
        QCOMPARE(walk.collection.unreadable().count(), qint64(0));
    }

    // Each target's outcome, with its reason, and no message from the core: the front ends
    // say what they choose.
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
        const QList<CollectionRun::TargetOutcome> outcomes = walk.collect(RunTarget::fromRows(
            {QStringLiteral("d:"), QStringLiteral("c: [sys]"), QStringLiteral("e: [gone]"),
             QString::fromUtf8(tree.path("gone\u202E"))}));
        QCOMPARE(outcomes.size(), 4);
        const std::pair<CollectionRun::State, QString> expected[] = {
            {CollectionRun::State::NotReady, QString()},
            {CollectionRun::State::Walked, QString()},
            {CollectionRun::State::CannotOpen, QStringLiteral("No such file or directory")},
            {CollectionRun::State::CannotOpen, QStringLiteral("No such file or directory")}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(outcomes[i].state, expected[i].first);
            QCOMPARE(outcomes[i].reason, expected[i].second);
        }
        QCOMPARE(CollectionRun::cannotOpenText(outcomes[2].target),
                 QStringLiteral("Can't open drive e: [gone]"));
        QCOMPARE(CollectionRun::cannotOpenText(outcomes[3].target),
                 QStringLiteral("Can't open folder ") + QString::fromUtf8(tree.path("gone")) +
                     QStringLiteral("\\u202e"));
        QCOMPARE(walk.stats.filesProcessed, qint64(1));
        QVERIFY(messages.log.isEmpty());
    }

    // A target inside another target of the run is walked once, with the other: a folder
    // inside a folder, a folder on a drive, the same folder twice. Behind a hidden folder it is
    // not reached unless the run enters hidden folders, and so is walked on its own.
    void overlappingTargetsAreWalkedOnce_data()
    {
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<bool>("enterHidden");
        QTest::addColumn<QStringList>("walked");
        QTest::addColumn<int>("files");
        QTest::newRow("folder inside folder")
            << QStringList{"top/sub", "top"} << false << QStringList{"top"} << 3;
        QTest::newRow("same folder twice, one with a dot")
            << QStringList{"top", "top/./sub/.."} << false << QStringList{"top"} << 3;
        QTest::newRow("folder on a ticked drive")
            << QStringList{"c: [sys]", "top/sub"} << false << QStringList{"c: [sys]"} << 4;
        QTest::newRow("behind a hidden folder") << QStringList{"top", "top/.cache/inner"} << false
                                                << QStringList{"top", "top/.cache/inner"} << 4;
        QTest::newRow("behind a hidden folder that is entered")
            << QStringList{"top", "top/.cache/inner"} << true << QStringList{"top"} << 4;
        QTest::newRow("siblings") << QStringList{"top/sub", "other"} << false
                                  << QStringList{"top/sub", "other"} << 2;
    }
    void overlappingTargetsAreWalkedOnce()
    {
        QFETCH(QStringList, targets);
        QFETCH(bool, enterHidden);
        QFETCH(QStringList, walked);
        QFETCH(int, files);
        TestTree tree;
        for (const char *folder : {"top", "top/sub", "top/.cache", "top/.cache/inner", "other"})
            tree.folder(folder);
        for (const char *file : {"top/a", "top/sub/b", "top/sub/c", "top/.cache/inner/d", "e"})
            tree.file(file);
        FakeVolumes volumes;
        volumes.addDrive(u'c', dtFixed, QStringLiteral("sys"), tree.root(),
                         VolumeSpace{1000, 10, 4096});
        auto targetOf = [&](const QString &name) {
            return name.contains(u':') ? RunTarget::fromRow(name)
                                       : RunTarget::fromFolder(tree.path(name.toUtf8()));
        };
        QList<RunTarget> runTargets;
        for (const QString &name : targets)
            runTargets.append(targetOf(name));
        CollectionOptions options;
        options.enterHiddenFolders = enterHidden;
        Walk walk;
        walk.collect(runTargets, options);
        QStringList expected;
        for (const QString &name : walked)
            expected.append(targetOf(name).name);
        QCOMPARE(walk.collection.options().PickList1, expected);
        QCOMPARE(walk.stats.filesProcessed, qint64(files));
    }
};

QTEST_GUILESS_MAIN(TestWalker)
#include "tst_walker.moc"
